// Both pictures are painted the same way: the labels' strips in the
// window colours, the widget rendered between them. The SVG's widget part
// goes through a ClippingDevice, because the SVG generator drops clipping.
// CSV by hand (RFC 4180 quoting).
#include "ui/analysis/chart_export.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QWidget>

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

bool SavePng(QWidget& widget, const QString& path, const ExportLabels& labels) {
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
    return image.save(path, "PNG");
}

bool SaveSvg(QWidget& widget, const QString& path, const ExportLabels& labels) {
    const PictureLayout layout = LayOut(widget, labels);
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(layout.size);
    generator.setViewBox(QRect(QPoint(0, 0), layout.size));
    generator.setTitle(labels.title);
    generator.setDescription(labels.caption);
    {
        QPainter target;
        if (!target.begin(&generator)) return false;
        PaintLabels(target, widget, layout, labels);
        ClippingDevice clipping(target);
        QPainter painter(&clipping);
        widget.render(&painter, layout.body);
    }
    QFile written(path);
    return written.exists() && written.size() > 0;
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
            fields.push_back(CsvField(item ? item->text() : QString()));
        }
        line(fields);
    }
    return csv;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace corvalith
