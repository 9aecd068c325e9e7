// Path text to file-system bytes and back.
#include "text/file_system_path.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalith {
namespace {

TEST(FileSystemPath, EveryByteSequenceRoundTrips) {
    const std::string names[] = {"/tmp/plain.csv",
                                 "/home/利用者/履歴.csv",
                                 "bad\xFF\xFE",
                                 "\xE3\x81",
                                 "\xC0\x80",
                                 "\xED\xA0\x80",
                                 "emoji\xF0\x9F\x98\x80",
                                 std::string("\x80\x81\x82")};
    for (const std::string& name : names) {
        EXPECT_EQ(PathToFileSystem(PathFromFileSystem(name)), name);
    }
    EXPECT_EQ(PathFromFileSystem("履歴"), u"履歴");
    EXPECT_EQ(PathFromFileSystem("a\xFF"), u"a\xDCFF");
}

TEST(FileSystemPath, UnwritableSurrogatesBecomeQuestionMarks) {
    EXPECT_EQ(PathToFileSystem(std::u16string(u"a") + u'\xD800' + u"b"), "a?b");
    EXPECT_EQ(PathToFileSystem(u"x\xDC10"), "x?");  // below the escaped-byte range
    EXPECT_EQ(PathToFileSystem(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(FileSystemPath, ExistsIsTheStatCheck) {
    EXPECT_TRUE(PathExists("/"));
    EXPECT_TRUE(PathExists("/dev/null"));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(PathExists("/definitely/not/here"));
    EXPECT_FALSE(PathExists(std::string("/\0tmp", 5)));
}

}  // namespace
}  // namespace corvalith
