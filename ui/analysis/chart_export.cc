// Both pictures are painted the same way: the labels' strips in the
// window colours, the widget rendered between them. The SVG's widget part
// goes through a ClippingDevice, because the SVG generator drops clipping.
// CSV by hand (RFC 4180 quoting).
#include "ui/analysis/chart_export.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QWidget>
#include <cmath>

#include "ui/analysis/clipping_painter.h"

namespace corvalith {
namespace {

constexpr int kPadding = 6;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

QByteArray CsvField(const QString& text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

// Where the title, the widget and the caption go in the picture.
struct PictureLayout {
    QFont titleFont;
    QFont captionFont;
    QRect title;
    QPoint body;
    QRect caption;
    QSize size;
};

// The height `text` takes wrapped to `width` with `font` and the padding
// around it; none for no text.
int StripHeight(const QString& text, const QFont& font, int width) {
    if (text.isEmpty()) return 0;
    const QFontMetrics metrics(font);
    const QRect room(0, 0, std::max(1, width - 2 * kPadding), 100000);
    return metrics.boundingRect(room, kTextFlags, text).height() + 2 * kPadding;
}

PictureLayout LayOut(const QWidget& widget, const ExportLabels& labels) {
    PictureLayout layout;
    layout.titleFont = widget.font();
    layout.titleFont.setBold(true);
    layout.captionFont = widget.font();
    const int width = widget.width();
    const int title = StripHeight(labels.title, layout.titleFont, width);
    const int caption = StripHeight(labels.caption, layout.captionFont, width);
    layout.title = QRect(kPadding, 0, width - 2 * kPadding, title);
    layout.body = QPoint(0, title);
    layout.caption = QRect(kPadding, title + widget.height(), width - 2 * kPadding, caption);
    layout.size = QSize(width, title + widget.height() + caption);
    return layout;
}

void PaintLabels(QPainter& painter, const QWidget& widget, const PictureLayout& layout,
                 const ExportLabels& labels) {
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), layout.size), widget.palette().window());
    painter.setPen(widget.palette().windowText().color());
    painter.setFont(layout.titleFont);
    if (!labels.title.isEmpty()) painter.drawText(layout.title, kTextFlags, labels.title);
    painter.setFont(layout.captionFont);
    if (!labels.caption.isEmpty()) painter.drawText(layout.caption, kTextFlags, labels.caption);
    painter.restore();
}

}  // namespace

bool SavePng(QWidget& widget, const QString& path, const ExportLabels& labels, QString* why) {
    const PictureLayout layout = LayOut(widget, labels);
    const qreal ratio = widget.devicePixelRatioF();
    QImage image(layout.size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        PaintLabels(painter, widget, layout, labels);
        widget.render(&painter, layout.body);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        if (why != nullptr) *why = QStringLiteral("PNG に変換できませんでした。");
        return false;
    }
    return WriteFileBytes(path, bytes, why);
}

bool SaveSvg(QWidget& widget, const QString& path, const ExportLabels& labels, QString* why) {
    const PictureLayout layout = LayOut(widget, labels);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(layout.size);
    generator.setViewBox(QRect(QPoint(0, 0), layout.size));
    generator.setTitle(labels.title);
    generator.setDescription(labels.caption);
    {
        QPainter target;
        if (!target.begin(&generator)) {
            if (why != nullptr) *why = QStringLiteral("SVG を描けませんでした。");
            return false;
        }
        PaintLabels(target, widget, layout, labels);
        ClippingDevice clipping(target);
        QPainter painter(&clipping);
        widget.render(&painter, layout.body);
    }
    return WriteFileBytes(path, TidySvgText(bytes), why);
}

namespace {

QString Unescaped(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// One <text> element of the generator: its attributes (x apart), where it
// starts and what it says (escaped, as written).
struct TextRun {
    QList<std::pair<QString, QString>> attributes;  // without x, in order
    double x = 0;
    QString text;

    [[nodiscard]] QString Attribute(const QString& name) const {
        for (const auto& [key, value] : attributes) {
            if (key == name) return value;
        }
        return {};
    }
    [[nodiscard]] QFont Font() const {
        QFont font(Attribute(QStringLiteral("font-family")));
        // The generator writes the font's size in points, as Qt laid the text out.
        font.setPointSizeF(std::max(1.0, Attribute(QStringLiteral("font-size")).toDouble()));
        const int weight = Attribute(QStringLiteral("font-weight")).toInt();
        if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
        font.setItalic(Attribute(QStringLiteral("font-style")) == QStringLiteral("italic"));
        return font;
    }
    // Whether `next` goes on this run's line after it: the same look and
    // line, only white space between (so within one group of the generator,
    // where each label has its own), starting not far past where this run
    // ends (measured generously: the size written may be in points or pixels).
    [[nodiscard]] bool Continues(const TextRun& next) const {
        if (next.attributes != attributes || next.x <= x) return false;
        const double reach = QFontMetricsF(Font()).horizontalAdvance(Unescaped(text));
        return next.x <= x + 1.6 * reach + 2;
    }
};

// The families a viewer is to try for `run`: the installed one Qt drew with,
// a Japanese one when the text is not all Latin, the generic sans-serif.
QString FamiliesFor(const TextRun& run) {
    QStringList families{QFontInfo(run.Font()).family()};
    const QString text = Unescaped(run.text);
    const bool wide =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x2FF; });
    if (wide) {
        for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
            if (!families.contains(family)) {
                families << family;
                break;
            }
        }
    }
    families << QStringLiteral("sans-serif");
    for (QString& family : families) {
        if (family.contains(QLatin1Char(' ')) && family != QStringLiteral("sans-serif"))
            family = QLatin1Char('\'') + family + QLatin1Char('\'');
    }
    return families.join(QStringLiteral(", "));
}

QString Written(const TextRun& run) {
    QString element = QStringLiteral("<text");
    bool placed = false;
    for (const auto& [key, value] : run.attributes) {
        const QString shown = key == QStringLiteral("font-family") ? FamiliesFor(run) : value;
        element += QStringLiteral(" %1=\"%2\"").arg(key, shown.toHtmlEscaped());
        if (key == QStringLiteral("y") && !placed) {
            element += QStringLiteral(" x=\"%1\"").arg(run.x, 0, 'g', 10);
            placed = true;
        }
    }
    if (!placed) element += QStringLiteral(" x=\"%1\"").arg(run.x, 0, 'g', 10);
    return element + QStringLiteral(">") + run.text + QStringLiteral("</text>");
}

}  // namespace

QByteArray TidySvgText(const QByteArray& svg) {
    static const QRegularExpression element(QStringLiteral("<text\\b([^>]*)>([^<]*)</text>"));
    static const QRegularExpression attribute(QStringLiteral("([\\w:-]+)=\"([^\"]*)\""));
    const QString document = QString::fromUtf8(svg);
    QString out;
    out.reserve(document.size());
    std::optional<TextRun> open;  // the run being joined, not yet written
    qsizetype done = 0;
    for (auto it = element.globalMatch(document); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString between = document.mid(done, match.capturedStart() - done);
        TextRun run;
        for (auto a = attribute.globalMatch(match.captured(1)); a.hasNext();) {
            const QRegularExpressionMatch pair = a.next();
            if (pair.captured(1) == QStringLiteral("x")) {
                run.x = pair.captured(2).toDouble();
            } else {
                run.attributes.push_back({pair.captured(1), Unescaped(pair.captured(2))});
            }
        }
        run.text = match.captured(2);
        done = match.capturedEnd();
        if (open && between.trimmed().isEmpty() && open->Continues(run)) {
            open->text += run.text;
            continue;
        }
        if (open) out += Written(*open);
        out += between;
        open = std::move(run);
    }
    if (open) out += Written(*open);
    out += document.mid(done);
    // The groups around the text name their font too.
    static const QRegularExpression group(QStringLiteral("(<g\\b[^>]*font-family=\")([^\"]*)\""));
    QString named;
    qsizetype from = 0;
    for (auto it = group.globalMatch(out); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        TextRun run;
        run.attributes.push_back({QStringLiteral("font-family"), Unescaped(match.captured(2))});
        named += out.mid(from, match.capturedStart() - from) + match.captured(1) +
                 FamiliesFor(run).toHtmlEscaped() + QLatin1Char('"');
        from = match.capturedEnd();
    }
    named += out.mid(from);
    return named.toUtf8();
}

QByteArray CsvNumber(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 1e15) {
        return QByteArray::number(static_cast<qint64>(value));
    }
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray TableCsv(const QTableWidget& table) {
    QByteArray csv("\xEF\xBB\xBF");
    const auto line = [&csv](const QList<QByteArray>& fields) {
        csv += fields.join(',');
        csv += "\r\n";
    };
    QList<QByteArray> header;
    for (int c = 0; c < table.columnCount(); ++c) {
        const QTableWidgetItem* item = table.horizontalHeaderItem(c);
        header.push_back(CsvField(item ? item->text() : QString()));
    }
    line(header);
    for (int r = 0; r < table.rowCount(); ++r) {
        QList<QByteArray> fields;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QTableWidgetItem* item = table.item(r, c);
            if (item == nullptr || item->text().isEmpty()) {
                fields.push_back({});
            } else if (const QVariant number = item->data(Qt::UserRole);
                       number.typeId() == QMetaType::Double) {
                fields.push_back(CsvNumber(number.toDouble()));
            } else {
                fields.push_back(CsvField(item->text()));
            }
        }
        line(fields);
    }
    return csv;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* why) {
    QSaveFile file(path);
    const auto fail = [&file, why] {
        if (why != nullptr) *why = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail();
    if (file.write(bytes) != bytes.size()) return fail();
    if (!file.commit()) {
        if (why != nullptr) *why = file.errorString();
        return false;
    }
    return true;
}

}  // namespace corvalith
