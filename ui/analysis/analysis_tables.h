// Table cells of the analysis window: the text the reports print, the exact
// number behind it (Qt::UserRole, also the sort order), the colour scales
// and coloured cells whose text stays readable in any palette.
#pragma once

#include <QColor>
#include <QString>
#include <QTableWidgetItem>
#include <string>
#include <vector>

#include "report/text_columns.h"

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
void SetUpTable(QTableWidget& table, const std::vector<std::string>& headers);
// The report's column names as header labels.
[[nodiscard]] QStringList HeaderLabels(const std::vector<std::string>& headers);

// Puts the report's `rows` into `table`: a figure's cell sorts by its value.
void FillTable(QTableWidget& table, const std::vector<TableRow>& rows);

// Makes `table` as tall as its header and `rows` rows, so that no row
// hides behind a scroll bar.
void FitRows(QTableWidget& table, int rows);

// From blue (at `low`) through `neutral` (at `middle`; the table's base
// colour, so that an unremarkable cell looks like any other) to red (at `high`).
[[nodiscard]] QColor ScaleColour(double value, double low, double middle, double high,
                                 const QColor& neutral = Qt::white);

// A p-value on a logarithmic scale: `neutral` at p = 1 through ever stronger
// orange down to `significance`, and one deep red below it, so that the
// significant ones stand apart from those merely near it.
[[nodiscard]] QColor PValueColour(double p, double significance, const QColor& neutral = Qt::white);

// The background of a significant test's p-value.
[[nodiscard]] QColor SignificantColour();

// Gives `item` the background `colour` and the text colour that reads on it.
void PaintCell(QTableWidgetItem& item, const QColor& colour);

}  // namespace corvalith
