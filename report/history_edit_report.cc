#include "report/history_edit_report.h"

#include "commands/history_messages.h"
#include "report/json_parts.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

constexpr std::size_t kKeptListed = 10;  // kept draws named in the text

std::u16string Counted(std::size_t n) {
    const std::string text = std::to_string(n);
    return std::u16string(text.begin(), text.end());
}

std::u16string Range(std::int32_t first, std::int32_t last) {
    return first == last ? Drawn(first) : Drawn(first) + u"～" + Drawn(last);
}

const char* Name(HistoryCommand command) {
    switch (command) {
        case HistoryCommand::Add:
            return "add";
        case HistoryCommand::Import:
            return "import";
        case HistoryCommand::Init:
            return "init";
    }
    return "";
}

Json Gaps(const EditOutcome& outcome) {
    Json gaps = Json::array();
    for (const MissingDraws& gap : outcome.gaps)
        gaps.push_back({{"first", gap.first}, {"last", gap.last}});
    return gaps;
}

}  // namespace

std::u16string ImportSummary(const EditOutcome& outcome) {
    std::u16string text;
    text += outcome.added == 0 ? std::u16string(u"追加: なし")
                               : u"追加: " + Range(outcome.firstAdded, outcome.lastAdded) + u"（" +
                                     Counted(outcome.added) + u" 回）";
    text += u"\n変更なし: " + Counted(outcome.unchanged) + u" 回";
    if (outcome.payoutsAdded > 0) {
        text += u"\n払戻金を追加: " + Counted(outcome.payoutsAdded) + u" 回";
    }
    if (!outcome.keptMine.empty()) {
        text += u"\n履歴の値を優先: " + Counted(outcome.keptMine.size()) + u" 回（";
        for (std::size_t k = 0; k < outcome.keptMine.size() && k < kKeptListed; ++k) {
            text += (k > 0 ? u"、" : u"") + Drawn(outcome.keptMine[k]);
        }
        if (outcome.keptMine.size() > kKeptListed) {
            text += u" ほか " + Counted(outcome.keptMine.size() - kKeptListed) + u" 回";
        }
        text += u"）";
    }
    text += u"\n最新: " + (outcome.highest > 0 ? Drawn(outcome.highest) : std::u16string(u"なし"));
    for (const MissingDraws& gap : outcome.gaps) text += u"\n抜け: " + Range(gap.first, gap.last);
    return text;
}

std::string HistoryEditText(HistoryCommand command, const EditOutcome& outcome,
                            const std::string& historyPath) {
    std::u16string text;
    const std::u16string dry = u"（試しただけで、書き込んでいません）\n";
    switch (command) {
        case HistoryCommand::Add:
            if (outcome.dryRun) {
                text = outcome.line;
            } else {
                text = (outcome.replaced ? u"置き換えました: " : u"追加しました: ") + outcome.line;
            }
            for (const MissingDraws& gap : outcome.gaps)
                text += u"\n抜け: " + Range(gap.first, gap.last);
            break;
        case HistoryCommand::Import:
            text = (outcome.dryRun ? dry : std::u16string()) + ImportSummary(outcome);
            break;
        case HistoryCommand::Init:
            text = u"新しい履歴を作りました: " + PathFromFileSystem(historyPath);
            break;
    }
    return Utf16ToUtf8(text) + '\n';
}

std::string HistoryEditJson(HistoryCommand command, const EditOutcome& outcome,
                            const std::string& historyPath) {
    Json object = {{"format", 1},
                   {"command", Name(command)},
                   {"history", Utf16ToUtf8(PathFromFileSystem(historyPath))}};
    if (command == HistoryCommand::Init) return Dump(object);
    object["dry_run"] = outcome.dryRun;
    if (command == HistoryCommand::Add) {
        object["replaced"] = outcome.replaced;
        object["draw"] = outcome.lastAdded > 0 ? Json(outcome.lastAdded) : Json(nullptr);
        object["line"] = Utf16ToUtf8(outcome.line);
    } else {
        Json added = {{"count", outcome.added}};
        added["first"] = outcome.added == 0 ? Json(nullptr) : Json(outcome.firstAdded);
        added["last"] = outcome.added == 0 ? Json(nullptr) : Json(outcome.lastAdded);
        object["added"] = added;
        object["unchanged"] = outcome.unchanged;
        object["payouts_added"] = outcome.payoutsAdded;
        object["kept_mine"] = outcome.keptMine;
    }
    object["highest"] = outcome.highest > 0 ? Json(outcome.highest) : Json(nullptr);
    object["gaps"] = Gaps(outcome);
    return Dump(object);
}

}  // namespace corvalith
