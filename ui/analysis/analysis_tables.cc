// The cells, the colour scales (mixed channel by channel in sRGB) and the
// readable text on them.
#include "ui/analysis/analysis_tables.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "ui/analysis/contrast.h"

namespace corvalith {

NumberItem::NumberItem(const QString& text, double value) : QTableWidgetItem(text) {
    setData(Qt::UserRole, value);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool NumberItem::operator<(const QTableWidgetItem& other) const {
    return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetUpTable(QTableWidget& table, const QStringList& headers) {
    table.setColumnCount(static_cast<int>(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.verticalHeader()->setVisible(false);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 6);
    table.horizontalHeader()->setStretchLastSection(true);
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QStringList HeaderLabels(const std::vector<std::string>& headers) {
    QStringList names;
    for (const std::string& header : headers) names << FromUtf8(header);
    return names;
}

void SetUpTable(QTableWidget& table, const std::vector<std::string>& headers) {
    SetUpTable(table, HeaderLabels(headers));
}

void FillTable(QTableWidget& table, const std::vector<TableRow>& rows) {
    table.setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const TableCell& cell = rows[r][c];
            const QString text = FromUtf8(cell.text);
            table.setItem(
                static_cast<int>(r), static_cast<int>(c),
                cell.value ? new NumberItem(text, *cell.value) : new QTableWidgetItem(text));
        }
    }
}

void FitRows(QTableWidget& table, int rows) {
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setFixedHeight(table.horizontalHeader()->sizeHint().height() +
                         rows * table.verticalHeader()->defaultSectionSize() +
                         2 * table.frameWidth());
}

namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

QColor ScaleColour(double value, double low, double middle, double high, const QColor& neutral) {
    const QColor blue(120, 160, 230), red(235, 120, 110);
    if (value <= middle)
        return Mix(blue, neutral, middle > low ? (value - low) / (middle - low) : 1.0);
    return Mix(neutral, red, high > middle ? (value - middle) / (high - middle) : 0.0);
}

QColor PValueColour(double p, double significance, const QColor& neutral) {
    if (std::isnan(p)) return neutral;
    if (p < significance) return QColor(190, 30, 30);
    // log p / log α: 0 at p = 1, 1 at p = α.
    const double t = std::log(std::min(p, 1.0)) / std::log(significance);
    return Mix(neutral, QColor(240, 140, 60), t);
}

QColor SignificantColour() { return QColor(235, 150, 140); }

void PaintCell(QTableWidgetItem& item, const QColor& colour) {
    item.setBackground(colour);
    item.setForeground(ReadableText(colour));
}

}  // namespace corvalith
