// PNG through QWidget::grab, SVG by rendering the widget into a
// QSvgGenerator, CSV by hand (RFC 4180 quoting).
#include "ui/analysis/chart_export.h"

#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QWidget>

namespace corvalith {
namespace {

QByteArray CsvField(const QString& text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

}  // namespace

bool SavePng(QWidget& widget, const QString& path) { return widget.grab().save(path, "PNG"); }

bool SaveSvg(QWidget& widget, const QString& path, const QString& title) {
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(widget.size());
    generator.setViewBox(QRect(QPoint(0, 0), widget.size()));
    generator.setTitle(title);
    {
        QPainter painter;
        if (!painter.begin(&generator)) return false;
        widget.render(&painter);
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
