// The cells and the colour scale.
#include "ui/analysis/analysis_tables.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

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

QColor ScaleColour(double value, double low, double middle, double high) {
    const auto mix = [](const QColor& a, const QColor& b, double t) {
        t = std::clamp(t, 0.0, 1.0);
        return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                                static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                                static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
    };
    const QColor blue(120, 160, 230), white(255, 255, 255), red(235, 120, 110);
    if (value <= middle)
        return mix(blue, white, middle > low ? (value - low) / (middle - low) : 1.0);
    return mix(white, red, high > middle ? (value - middle) / (high - middle) : 0.0);
}

}  // namespace corvalith
