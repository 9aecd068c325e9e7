// Pictures and tables out of the analysis window: a chart (or any widget)
// as PNG or SVG, a table as CSV in UTF-8 with a byte-order mark so that
// spreadsheet programs read the Japanese.
#pragma once

#include <QByteArray>
#include <QString>

class QTableWidget;
class QWidget;

namespace corvalith {

// Renders `widget` at its current size. False when the file cannot be written.
[[nodiscard]] bool SavePng(QWidget& widget, const QString& path);
[[nodiscard]] bool SaveSvg(QWidget& widget, const QString& path, const QString& title);

// The header row and every row as shown (in the current sort order), fields
// quoted where they hold a comma, a quote or a line break, lines ending in
// CRLF, after the UTF-8 byte-order mark.
[[nodiscard]] QByteArray TableCsv(const QTableWidget& table);

// Writes `bytes` to `path` whole. False when it cannot.
[[nodiscard]] bool WriteFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace corvalith
