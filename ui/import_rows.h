// How the import previews (結果の取り込み, 最新の結果を取得) mark a row of
// the merge: 新規, 変更なし, 払戻金を追加 or 衝突 with the history's result.
#pragma once

#include <QString>

#include "commands/history_edit.h"

namespace corvalith {

// The row's mark; once `written`, the rows that changed the history say so.
[[nodiscard]] QString ImportRowState(const ImportRow& row, bool written = false);

// Whether importing the rows would change the history (a new draw or a
// draw's payouts).
[[nodiscard]] bool ChangesHistory(const ImportRow& row) noexcept;

}  // namespace corvalith
