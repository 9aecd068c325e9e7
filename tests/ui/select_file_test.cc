// The select-file command: the file dialog's entry, the path in id::kInputPath,
// the checks with their boxes, and the proposed next draw number.
#include <QLineEdit>
#include <algorithm>
#include <random>

#include "commands/messages.h"
#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
#include "text/file_system_path.h"
#include "ui/dialog_template.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"

namespace corvalith::testing {
namespace {

class SelectFile : public DialogTest {
  protected:
    QString InputPathText() const { return Item<QLineEdit>(id::kInputPath)->text(); }
    std::string History(const std::vector<int>& numbers) {
        std::string text = "回号,抽せん日,曜日,当せん番号,備考\n";
        for (int n : numbers) text += "第" + std::to_string(n) + "回,2001/5/7,月,1234,-\n";
        return dir.Write("numbers.csv", ToCp932(text));
    }
};

TEST_F(SelectFile, AsksForAnyFileWithTheSingleEntry) {
    Click(id::kSelect);
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].filter.description, ToQString(u"すべてのファイル(*.*)"));
    EXPECT_EQ(services.fileDialogs[0].filter.pattern, "*.*");
    EXPECT_EQ(services.fileDialogs[0].owner, dialog.get());
}

TEST_F(SelectFile, CancellingChangesNothing) {
    DrawNumberEdit()->setText("77");
    services.AnswerFileDialog(std::nullopt);
    Click(id::kSelect);
    EXPECT_TRUE(InputPathText().isEmpty());
    EXPECT_TRUE(dialog->InputPath().isEmpty());
    EXPECT_EQ(DrawNumberEdit()->text(), "77");
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(SelectFile, TheHighestDrawNumberWinsNotTheLastLine) {
    std::vector<int> numbers(100);
    for (int i = 0; i < 100; ++i) numbers[i] = i + 1;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(3));
    const std::string path = History(numbers);
    ChooseFile(path);
    EXPECT_EQ(InputPathText(), QString::fromStdString(path));
    EXPECT_EQ(dialog->InputPath(), QString::fromStdString(path));
    EXPECT_EQ(DrawNumberEdit()->text(), "101");
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(SelectFile, HeaderOnlyFileLeavesTheDrawNumber) {
    DrawNumberEdit()->setText("55");
    ChooseFile(dir.Write("header.csv", ToCp932("回号,抽せん日,曜日,当せん番号,備考\n")));
    EXPECT_EQ(DrawNumberEdit()->text(), "55");
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_FALSE(InputPathText().isEmpty());
}

TEST_F(SelectFile, AfterDraw9999ItWrites10000Unlimited) {
    ChooseFile(History({9998, 9999}));
    EXPECT_EQ(DrawNumberEdit()->text(), "10000");
    // Predict shows that number in its heading.
    Click(id::kPredict);
    EXPECT_TRUE(Result()->Text().startsWith(ToQString(u"予測回号: 第10000回")))
        << Result()->Text().toStdString();
}

TEST_F(SelectFile, MissingFileShowsThePathErrorAndKeepsThePath) {
    DrawNumberEdit()->setText("12");
    const QString missing = QString::fromStdString(dir.File("gone.csv"));
    ChooseFile(missing);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text, ToQString(kMsgPathNotFound));
    EXPECT_EQ(services.boxes[0].caption, ToQString(kErrorCaption));
    EXPECT_EQ(services.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(services.boxes[0].ownerAtCall, dialog.get());
    EXPECT_EQ(InputPathText(), missing);
    EXPECT_EQ(dialog->InputPath(), missing);
    EXPECT_EQ(DrawNumberEdit()->text(), "12");
}

TEST_F(SelectFile, UnreadableHistoryShowsTheLoadFailureAndKeepsTheDrawNumber) {
    DrawNumberEdit()->setText("12");
    const std::string bad = dir.Write("bad.csv", ToCp932("h\n第1回,2001/5/7,a\n"));
    ChooseFile(bad);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text, ToQString(kMsgReadFailed));
    EXPECT_EQ(services.boxes[0].caption, "Corvix");
    EXPECT_EQ(services.boxes[0].icon, BoxIcon::Warning);
    EXPECT_EQ(InputPathText(), QString::fromStdString(bad));
    EXPECT_EQ(DrawNumberEdit()->text(), "12");
}

TEST_F(SelectFile, NamesThatAreNotUtf8ReachTheCoreUnchanged) {
    // A name with a byte that is not UTF-8 (and no dot at all).
    const std::string name = std::string("hist\xff") + "ory";
    const std::string path = dir.Write(name, MakeHistory(RandomResults(40, 1), 1));
    const std::u16string shown = PathFromFileSystem(path);
    ChooseFile(QString::fromStdU16String(shown));
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_EQ(DrawNumberEdit()->text(), "41");
    EXPECT_EQ(PathToFileSystem(dialog->InputPath().toStdU16String()), path);
    // Predict reads the same file through the edit's text.
    Click(id::kPredict);
    ASSERT_EQ(services.boxes.size(), 1u);  // the start notice only
    EXPECT_FALSE(Result()->Text().isEmpty());
}

TEST_F(SelectFile, FailingFileDialogShowsAnErrorBoxAndTheWindowGoesOn) {
    services.throwOnNextFileDialog = true;
    Click(id::kSelect);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].caption, ToQString(kErrorCaption));
    EXPECT_EQ(services.boxes[0].icon, BoxIcon::Error);
    EXPECT_FALSE(services.boxes[0].text.isEmpty());
    ChooseFile(History({5}));
    EXPECT_EQ(DrawNumberEdit()->text(), "6");
}

}  // namespace
}  // namespace corvalith::testing
