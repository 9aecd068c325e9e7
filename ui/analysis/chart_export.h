// Pictures and tables out of the analysis window: a chart (or any widget)
// as PNG or SVG under a title line and over a caption, a table as CSV in
// UTF-8 with a byte-order mark so that spreadsheet programs read the Japanese.
#pragma once

#include <QByteArray>
#include <QString>

class QTableWidget;
class QWidget;

namespace corvalith {

// What a saved picture says about itself: the title line above it (what
// was analysed and which chart it is) and the caption below it (what its
// lines and bars mean). Either may be empty; an empty one takes no room.
struct ExportLabels {
    QString title;
    QString caption;
};

// Renders `widget` at its current size between the labels, in its palette's
// window colours. False when the file cannot be written.
[[nodiscard]] bool SavePng(QWidget& widget, const QString& path, const ExportLabels& labels = {});
// The same picture as vectors, the title also as the document's title and
// the caption as its description. Whatever the widget paints under a clip
// (a chart's series under its plot area) is cut to that clip in the file
// itself, so that every viewer shows it as the window does.
[[nodiscard]] bool SaveSvg(QWidget& widget, const QString& path, const ExportLabels& labels = {});

// The header row and every row as shown (in the current sort order), fields
// quoted where they hold a comma, a quote or a line break, lines ending in
// CRLF, after the UTF-8 byte-order mark.
[[nodiscard]] QByteArray TableCsv(const QTableWidget& table);

// Writes `bytes` to `path` whole. False when it cannot.
[[nodiscard]] bool WriteFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace corvalith
