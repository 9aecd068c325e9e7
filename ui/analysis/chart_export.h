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
// window colours, written whole or not at all (WriteFileBytes). False when
// the file cannot be written; `why` (when given) then says why.
[[nodiscard]] bool SavePng(QWidget& widget, const QString& path, const ExportLabels& labels = {},
                           QString* why = nullptr);
// The same picture as vectors, the title also as the document's title and
// the caption as its description. Whatever the widget paints under a clip
// (a chart's series under its plot area) is cut to that clip in the file
// itself, so that every viewer shows it as the window does; its text reads
// the same in any viewer (TidySvgText).
[[nodiscard]] bool SaveSvg(QWidget& widget, const QString& path, const ExportLabels& labels = {},
                           QString* why = nullptr);

// The SVG generator's text made to read the same in every viewer: the runs
// it writes apart for one line of text (one per script) joined into one
// element, and each font named as installed (Qt's "Sans Serif" is no family
// a viewer knows), then a Japanese family when the text needs one, then the
// generic sans-serif.
[[nodiscard]] QByteArray TidySvgText(const QByteArray& svg);

// The header row and every row in the current sort order, fields quoted
// where they hold a comma, a quote or a line break, lines ending in CRLF,
// after the UTF-8 byte-order mark. A cell holding a number (NumberItem)
// gives the number itself (0.1017, 1408400: no per cent, separators or
// units); an empty cell stays empty; any other cell gives its text.
[[nodiscard]] QByteArray TableCsv(const QTableWidget& table);

// A number as a CSV cell: an integer without a decimal point, any other
// value in the fewest digits that read back as it.
[[nodiscard]] QByteArray CsvNumber(double value);

// Writes `bytes` to `path` whole through a new file renamed into place, so
// that a failure leaves what was there. False when it cannot; `why` (when
// given) then says why.
[[nodiscard]] bool WriteFileBytes(const QString& path, const QByteArray& bytes,
                                  QString* why = nullptr);

}  // namespace corvalith
