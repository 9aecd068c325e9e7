// The reports of add, import and init: a few Japanese lines for a terminal,
// or one JSON object (starting with "format": 1) with the same facts.
#pragma once

#include <string>

#include "commands/history_edit.h"

namespace corvalith {

enum class HistoryCommand { Add, Import, Init };

// UTF-8 text, each line ending in a line break. `historyPath` is in
// file-system bytes. A dry run of add is the line that would be written.
[[nodiscard]] std::string HistoryEditText(HistoryCommand command, const EditOutcome& outcome,
                                          const std::string& historyPath);

[[nodiscard]] std::string HistoryEditJson(HistoryCommand command, const EditOutcome& outcome,
                                          const std::string& historyPath);

// The import's summary lines (UTF-16, one per element), shared with the window.
[[nodiscard]] std::u16string ImportSummary(const EditOutcome& outcome);

}  // namespace corvalith
