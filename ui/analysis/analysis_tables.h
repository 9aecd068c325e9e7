// Table cells of the analysis window: the text the reports print, the exact
// number behind it (Qt::UserRole, also the sort order), a colour scale.
#pragma once

#include <QColor>
#include <QString>
#include <QTableWidgetItem>
#include <string>

class QTableWidget;

namespace corvalith {

// A cell showing `text` that sorts by `value` (kept in Qt::UserRole).
class NumberItem final : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double value);
    bool operator<(const QTableWidgetItem& other) const override;
};

[[nodiscard]] QString FromUtf8(const std::string& text);

// A table with `headers`, read-only cells, whole rows selected.
void SetUpTable(QTableWidget& table, const QStringList& headers);

// From blue (at `low`) through white (at `middle`) to red (at `high`).
[[nodiscard]] QColor ScaleColour(double value, double low, double middle, double high);

}  // namespace corvalith
