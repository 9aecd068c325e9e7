// Hostile and broken inputs through the window, as a person meets them: the
// file picked in the file dialog, 選択 and then 予想 clicked. For each input
// the exact box of both commands (text, caption, icon, owner), the edits
// 1000 and 1005 and the result area afterwards, each command within a bounded
// time; a watchdog ends the binary if a command never returns.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "commands/messages.h"
#include "history/draw_number.h"
#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
#include "text/file_system_path.h"
#include "ui/dialog_template.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"

namespace corvalith::testing {
namespace {

// Wall time allowed for one command on any of these inputs.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kCommandLimitMs = 15000;
#else
constexpr qint64 kCommandLimitMs = 5000;
#endif

// Aborts the process when it is not destroyed within `limit`: a command
// that hangs fails the test run instead of blocking it.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "a window command did not return within %llds\n",
                               static_cast<long long>(limit.count()));
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        done_cv_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_cv_;
    bool done_ = false;
    std::thread thread_;  // last: started once the members above exist
};

const std::string kDraws = "回号,抽せん日,曜日,当せん番号,備考\n第1回,2001/5/7,月,1234,-\n";

std::string Good() { return MakeHistory({"1234", "5678", "9012"}); }

std::string SparseFile(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        if (ftruncate(fd, size) != 0) std::perror("ftruncate");
        ::close(fd);
    }
    return path;
}

std::string Fifo(const std::string& path) {
    ::unlink(path.c_str());
    if (mkfifo(path.c_str(), 0600) != 0) std::perror("mkfifo");
    return path;
}

// What both commands answer for an input.
enum class Answer {
    NotFound,  // error box 有効なファイルパス… from 選択 and, after the notice, from 予想
    ReadFailed,  // application box カルヴェンダデータ… from both
    Loads,       // no box from 選択; 予想 shows the notice and the forecast
};

struct BadInputCase {
    const char* name;
    std::string (*make)(const TempDir& dir);  // the input's path (the file system's bytes)
    Answer answer;
    const char* drawNumberAfterSelect;  // id::kDrawNumber after 選択 (it holds "12" before)
    const char* heading = "";           // Loads: the forecast's first line
};

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

const BadInputCase kCases[] = {
    {"EmptyFile", [](const TempDir& d) { return d.Write("empty.csv", ""); }, Answer::ReadFailed,
     "12"},
    {"HeaderOnly",
     [](const TempDir& d) { return d.Write("header.csv", ToCp932("回号,抽せん日\n")); },
     Answer::Loads, "12", "予測回号: 第12回"},
    {"Directory", [](const TempDir& d) { return d.path(); }, Answer::ReadFailed, "12"},
    {"Fifo", [](const TempDir& d) { return Fifo(d.File("fifo")); }, Answer::ReadFailed, "12"},
    {"DevZero", [](const TempDir&) { return std::string("/dev/zero"); }, Answer::ReadFailed, "12"},
    {"DevUrandom", [](const TempDir&) { return std::string("/dev/urandom"); }, Answer::ReadFailed,
     "12"},
    {"HundredMegabytesWithoutALineBreak",
     [](const TempDir& d) { return SparseFile(d.File("huge.csv"), 100 * 1000 * 1000); },
     Answer::ReadFailed, "12"},
    {"TenMegabyteLine",
     [](const TempDir& d) {
         return d.Write("long-line.csv", MakeHistory({"1234"}) + ToCp932("第2回,2001/5/7,a,1234,") +
                                             std::string(10 * 1000 * 1000, 'x') + "\n");
     },
     Answer::ReadFailed, "12"},
    {"NulInTheDate",
     [](const TempDir& d) {
         return d.Write("nul-date.csv",
                        ToCp932("h\n第1回,2001/5") + std::string(1, '\0') + "7,a,1234,b\n");
     },
     Answer::ReadFailed, "12"},
    {"NulInAFieldNotExamined",
     [](const TempDir& d) {
         return d.Write("nul.csv",
                        ToCp932("h\n第1回,2001/5/7,") + std::string(3, '\0') + ",1234,-\n");
     },
     Answer::Loads, "2", "予測回号: 第2回"},
    {"InvalidCp932AtTheStart", [](const TempDir& d) { return d.Write("s.csv", "\xA0" + Good()); },
     Answer::ReadFailed, "12"},
    {"InvalidCp932InTheMiddle",
     [](const TempDir& d) {
         const std::string good = Good();
         const std::size_t middle = good.find('\n', good.size() / 2) + 1;
         return d.Write("m.csv", good.substr(0, middle) + "\xFD" + good.substr(middle));
     },
     Answer::ReadFailed, "12"},
    {"InvalidCp932AtTheEnd", [](const TempDir& d) { return d.Write("e.csv", Good() + "\x80"); },
     Answer::ReadFailed, "12"},
    {"LeadByteCutOffAtTheEnd",
     [](const TempDir& d) {
         return d.Write("cut.csv", Good() + ToCp932("第4回,2001/5/7,a,1,") + "\x91");
     },
     Answer::ReadFailed, "12"},
    {"Utf8", [](const TempDir& d) { return d.Write("u8.csv", kDraws); }, Answer::ReadFailed, "12"},
    {"Utf8WithBom", [](const TempDir& d) { return d.Write("u8b.csv", "\xEF\xBB\xBF" + kDraws); },
     Answer::ReadFailed, "12"},
    {"Utf16LeWithBom",
     [](const TempDir& d) { return d.Write("le-b.csv", testing::ToUtf16(kDraws, false, true)); },
     Answer::ReadFailed, "12"},
    {"Utf16Le",
     [](const TempDir& d) { return d.Write("le.csv", testing::ToUtf16(kDraws, false, false)); },
     Answer::ReadFailed, "12"},
    {"Utf16BeWithBom",
     [](const TempDir& d) { return d.Write("be-b.csv", testing::ToUtf16(kDraws, true, true)); },
     Answer::ReadFailed, "12"},
    {"Utf16Be",
     [](const TempDir& d) { return d.Write("be.csv", testing::ToUtf16(kDraws, true, false)); },
     Answer::ReadFailed, "12"},
    {"PathThatDoesNotExist", [](const TempDir& d) { return d.File("missing.csv"); },
     Answer::NotFound, "12"},
    {"NonUtf8NameThatDoesNotExist", [](const TempDir& d) { return d.File("\xFF\xFF.csv"); },
     Answer::NotFound, "12"},
    {"NonUtf8NameOfAHistory",
     [](const TempDir& d) {
         return d.Write("\xFF\xFE\x80.csv", MakeHistory({"1234", "5678"}));
     },
     Answer::Loads, "3", "予測回号: 第3回"},
    {"PathLongerThanPathMax", [](const TempDir&) { return "/" + std::string(PATH_MAX + 10, 'a'); },
     Answer::NotFound, "12"},
    {"HighestDrawAtInt32Max",
     [](const TempDir& d) { return d.Write("top.csv", MakeHistory({"1234"}, 2147483647)); },
     Answer::Loads, "2147483648", "予測回号: 第2147483647回"},
    {"DrawBeyondInt32Max",
     [](const TempDir& d) {
         return d.Write("beyond.csv", MakeHistory({"1234"}, 2147483647) +
                                          ToCp932("第2147483648回,2001/5/7,a,1,b\n"));
     },
     Answer::ReadFailed, "12"},
    {"DrawAtInt32Min",
     [](const TempDir& d) {
         return d.Write("bottom.csv", ToCp932("h\n第-2147483648回,2001/5/7,a,1,b\n"));
     },
     Answer::Loads, "12", "予測回号: 第12回"},
    {"DrawBelowInt32Min",
     [](const TempDir& d) {
         return d.Write("below.csv", ToCp932("h\n第-2147483649回,2001/5/7,a,1,b\n"));
     },
     Answer::ReadFailed, "12"},
};

class BadInputWindow : public DialogTest {
  protected:
    QString InputPathText() const { return Item<QLineEdit>(id::kInputPath)->text(); }

    // Runs one command (a click on button `id`) within the time limit; returns its boxes.
    std::vector<BoxRecord> Command(int id) {
        const std::size_t before = services.boxes.size();
        QElapsedTimer timer;
        timer.start();
        {
            Watchdog watchdog(std::chrono::seconds(120));
            Click(id);
        }
        EXPECT_LT(timer.elapsed(), kCommandLimitMs) << "command " << id;
        return {services.boxes.begin() + static_cast<std::ptrdiff_t>(before), services.boxes.end()};
    }

    void ExpectBox(const BoxRecord& box, Answer answer, std::u16string_view text = {}) const {
        switch (answer) {
            case Answer::NotFound:
                EXPECT_EQ(box.text, ToQString(kMsgPathNotFound));
                EXPECT_EQ(box.caption, ToQString(u"エラー"));
                EXPECT_EQ(box.icon, BoxIcon::Error);
                break;
            case Answer::ReadFailed:
                EXPECT_EQ(box.text, ToQString(kMsgReadFailed));
                EXPECT_EQ(box.caption, "Corvix");
                EXPECT_EQ(box.icon, BoxIcon::Warning);
                break;
            case Answer::Loads:  // the start notice
                EXPECT_EQ(box.text, ToQString(text));
                EXPECT_EQ(box.caption, "Corvix");
                EXPECT_EQ(box.icon, BoxIcon::None);
                break;
        }
        EXPECT_EQ(box.ownerAtCall, dialog.get());
    }

    // 選択 with `path` (shown in its lossless form), then 予想; checks both answers.
    void SelectAndPredict(const std::string& path, Answer answer, const char* drawAfterSelect,
                          const char* heading) {
        const QString shown = QString::fromStdU16String(PathFromFileSystem(path));
        DrawNumberEdit()->setText("12");
        services.AnswerFileDialog(shown);
        const std::vector<BoxRecord> selectBoxes = Command(id::kSelect);
        EXPECT_EQ(InputPathText(), shown);
        EXPECT_EQ(dialog->InputPath(), shown);
        EXPECT_EQ(DrawNumberEdit()->text(), drawAfterSelect);
        EXPECT_TRUE(Result()->Text().isEmpty());
        if (answer == Answer::Loads) {
            EXPECT_TRUE(selectBoxes.empty());
        } else {
            ASSERT_EQ(selectBoxes.size(), 1u);
            ExpectBox(selectBoxes[0], answer);
        }

        const std::vector<BoxRecord> predictBoxes = Command(id::kPredict);
        ASSERT_FALSE(predictBoxes.empty());
        ExpectBox(predictBoxes[0], Answer::Loads, kMsgStartNotice);
        EXPECT_EQ(InputPathText(), shown);
        EXPECT_EQ(DrawNumberEdit()->text(), drawAfterSelect);
        if (answer != Answer::Loads) {
            ASSERT_EQ(predictBoxes.size(), 2u);
            ExpectBox(predictBoxes[1], answer);
            EXPECT_TRUE(Result()->Text().isEmpty());
            return;
        }
        EXPECT_EQ(predictBoxes.size(), 1u);
        PredictRequest request;
        request.historyPath = shown.toStdU16String();
        request.drawNumber = LeadingInt(DrawNumberEdit()->text().toStdU16String());
        const PredictOutcome expected = RunPredict(request);
        ASSERT_EQ(expected.status, PredictStatus::Ok);
        EXPECT_EQ(Result()->Text(), QString::fromStdU16String(expected.text));
        EXPECT_EQ(Result()->Text().section(u'\n', 0, 0), QString::fromUtf8(heading));
    }
};

class BadInputMatrix : public BadInputWindow, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInputMatrix, BothCommandsGiveTheirBoxInBoundedTime) {
    const BadInputCase& c = GetParam();
    SelectAndPredict(c.make(dir), c.answer, c.drawNumberAfterSelect, c.heading);
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputMatrix, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Length of the first `lines` lines of the file at `path`, line breaks included.
off_t LineEnd(const std::string& path, int lines) {
    const std::string text = ReadFile(path);
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
    return static_cast<off_t>(end);
}

// What happens to the chosen file between 選択 and 予想.
struct ChangeCase {
    const char* name;
    void (*change)(const TempDir& dir, const std::string& path);
    Answer answer;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

const ChangeCase kChanges[] = {
    {"TruncatedToNothing",
     [](const TempDir&, const std::string& p) { (void)truncate(p.c_str(), 0); },
     Answer::ReadFailed},
    {"TruncatedAtALineBreak",
     [](const TempDir&, const std::string& p) { (void)truncate(p.c_str(), LineEnd(p, 100)); },
     Answer::Loads},
    {"TruncatedInsideALine",
     [](const TempDir&, const std::string& p) { (void)truncate(p.c_str(), LineEnd(p, 100) - 3); },
     Answer::ReadFailed},
    {"ReplacedByAnotherHistory",
     [](const TempDir& d, const std::string& p) {
         std::rename(d.Write("other.csv", MakeHistory(RandomResults(50, 9), 1)).c_str(), p.c_str());
     },
     Answer::Loads},
    {"ReplacedByBrokenBytes",
     [](const TempDir& d, const std::string& p) {
         std::rename(d.Write("broken.csv", "\xFF\xFF\xFF\n").c_str(), p.c_str());
     },
     Answer::ReadFailed},
    {"ReplacedByADirectory",
     [](const TempDir&, const std::string& p) {
         std::remove(p.c_str());
         ::mkdir(p.c_str(), 0700);
     },
     Answer::ReadFailed},
    {"ReplacedByAFifo", [](const TempDir&, const std::string& p) { Fifo(p); }, Answer::ReadFailed},
    {"Removed", [](const TempDir&, const std::string& p) { std::remove(p.c_str()); },
     Answer::NotFound},
};

class FileChangedAfterSelect : public BadInputWindow,
                               public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(FileChangedAfterSelect, PredictAnswersForWhatIsThereNow) {
    const ChangeCase& c = GetParam();
    const std::string path = WriteHistory("history.csv", RandomResults(200, 4), 1);
    services.AnswerFileDialog(QString::fromStdString(path));
    EXPECT_TRUE(Command(id::kSelect).empty());
    ASSERT_EQ(DrawNumberEdit()->text(), "201");
    c.change(dir, path);

    const std::vector<BoxRecord> boxes = Command(id::kPredict);
    ASSERT_FALSE(boxes.empty());
    ExpectBox(boxes[0], Answer::Loads, kMsgStartNotice);
    EXPECT_EQ(InputPathText(), QString::fromStdString(path));
    EXPECT_EQ(DrawNumberEdit()->text(), "201");
    if (c.answer != Answer::Loads) {
        ASSERT_EQ(boxes.size(), 2u);
        ExpectBox(boxes[1], c.answer);
        EXPECT_TRUE(Result()->Text().isEmpty());
        return;
    }
    // The forecast is made from the file as it is now.
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Result()->Text(), QString::fromStdU16String(Expected(path, 201, 15, 0).text));
}

INSTANTIATE_TEST_SUITE_P(Changes, FileChangedAfterSelect, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvalith::testing
