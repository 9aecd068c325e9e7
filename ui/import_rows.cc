#include "ui/import_rows.h"

namespace corvalith {

QString ImportRowState(const ImportRow& row, bool written) {
    switch (row.kind) {
        case RowKind::New:
            return written ? QStringLiteral("追加しました") : QStringLiteral("新規");
        case RowKind::Unchanged:
            return QStringLiteral("変更なし");
        case RowKind::PayoutsAdded:
            return written ? QStringLiteral("払戻金を追加しました")
                           : QStringLiteral("払戻金を追加");
        case RowKind::Conflict:
        case RowKind::KeptMine:
            break;
    }
    // A conflict shows the history's result beside it, and whether the
    // history's line is kept.
    QString state = QStringLiteral("衝突");
    if (row.other) {
        state += QLatin1Char(' ') +
                 QString::fromLatin1(row.other->data(), static_cast<qsizetype>(row.other->size()));
    }
    if (row.kind == RowKind::KeptMine) state += QStringLiteral("（履歴の値を優先）");
    return state;
}

bool ChangesHistory(const ImportRow& row) noexcept {
    return row.kind == RowKind::New || row.kind == RowKind::PayoutsAdded;
}

}  // namespace corvalith
