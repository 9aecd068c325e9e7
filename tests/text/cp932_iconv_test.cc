// The table decoder against glibc's iconv "CP932" converter itself: every
// one-byte and two-byte sequence, and random mixed byte strings, give the same
// text and the same success.
#include <gtest/gtest.h>
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <random>
#include <string>

#include "text/cp932.h"

namespace corvalith {
namespace {

struct Decoded {
    bool ok = false;
    std::u16string text;
    bool operator==(const Decoded&) const = default;
};

void PrintTo(const Decoded& d, std::ostream* os) {
    *os << (d.ok ? "ok" : "failed") << " [";
    for (const char16_t u : d.text) *os << std::hex << unsigned{u} << ' ';
    *os << "]";
}

// The answer of iconv itself: the text converted before it stopped.
class IconvReference {
  public:
    IconvReference()
        : cd_(iconv_open(std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE",
                         "CP932")) {}
    ~IconvReference() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    Decoded Decode(const std::string& bytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::u16string out(bytes.size() + 1, u'\0');
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* dst = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size() * sizeof(char16_t);
        const std::size_t rc = iconv(cd_, &in, &inLeft, &dst, &outLeft);
        out.resize(out.size() - outLeft / sizeof(char16_t));
        return {rc != static_cast<std::size_t>(-1), out};
    }

  private:
    iconv_t cd_;
};

Decoded TableDecode(const std::string& bytes, const std::u16string& before = {}) {
    Cp932Decoder decoder;
    Decoded d;
    d.text = before;
    d.ok = decoder.Decode(bytes, d.text);
    d.text.erase(0, before.size());
    return d;
}

class Cp932AgainstIconv : public testing::Test {
  protected:
    void SetUp() override {
        if (!reference_.ok()) GTEST_SKIP() << "iconv has no CP932 converter";
    }
    IconvReference reference_;
};

TEST_F(Cp932AgainstIconv, EveryOneAndTwoByteSequence) {
    int mismatches = 0;
    for (unsigned a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        EXPECT_EQ(TableDecode(one), reference_.Decode(one)) << "byte " << a;
        for (unsigned b = 0; b < 256 && mismatches < 20; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            const Decoded want = reference_.Decode(two);
            const Decoded got = TableDecode(two);
            if (got != want) {
                ++mismatches;
                ADD_FAILURE() << "bytes " << a << " " << b << ": got "
                              << testing::PrintToString(got) << ", iconv "
                              << testing::PrintToString(want);
            }
        }
    }
}

TEST_F(Cp932AgainstIconv, RandomMixedStringsAndAppending) {
    // Bytes drawn mostly from the interesting ranges: ASCII, lead bytes,
    // half-width katakana and the invalid ones.
    const std::string alphabet =
        "a0,\n\r\\~\x80\x81\x82\x88\x9F\xA0\xA1\xDF\xE0\xEA\xED\xEE\xF0\xF9\xFA\xFC\xFD\xFF"
        "\x40\x7E\x7F\x9E\xE6\xF1";
    std::mt19937 random(932);
    std::uniform_int_distribution<std::size_t> length(0, 24);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    int failures = 0;
    for (int n = 0; n < 20000 && failures < 20; ++n) {
        std::string bytes(length(random), '\0');
        for (char& c : bytes) {
            c = n % 4 == 0 ? static_cast<char>(anyByte(random)) : alphabet[pick(random)];
        }
        const Decoded want = reference_.Decode(bytes);
        if (TableDecode(bytes) != want || TableDecode(bytes, u"kept") != want) {
            ++failures;
            ADD_FAILURE() << "input of " << bytes.size() << " bytes, case " << n;
        }
    }
}

}  // namespace
}  // namespace corvalith
