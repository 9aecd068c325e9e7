// corvix-font-check: tells whether the window's font draws Japanese. It
// renders, in the dialog's own font (with its substitutes), a few characters
// the window shows and passes when every one leaves ink and no two look the
// same. Without a Japanese font Qt draws each of them as the same empty box
// (or as nothing), so the check fails. Prints the family Qt resolved the
// font to; exit 0 when the glyphs render, 1 when they do not.
// The install check runs it on the offscreen platform against the installed
// system's fonts.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdio>
#include <vector>

#include "ui/dialog_fonts.h"

namespace {

QImage RenderGlyph(const QFont& font, QChar character) {
    QImage image(48, 48, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, QString(character));
    return image;
}

bool HasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] < 128) return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    QFont font = corvalith::DialogFont();
    font.setPixelSize(32);

    // Kanji and kana from the window's own texts (予想, 選択, 間隔, カルヴェンダ).
    const QString characters = QStringLiteral("予想選択間隔カルヴ");
    std::vector<QImage> glyphs;
    bool rendered = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
    for (const QChar character : characters) {
        glyphs.push_back(RenderGlyph(font, character));
        rendered = rendered && HasInk(glyphs.back());
    }
    for (std::size_t i = 0; rendered && i < glyphs.size(); ++i) {
        for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
            if (glyphs[i] == glyphs[j]) rendered = false;
        }
    }

    const QByteArray family = QFontInfo(font).family().toUtf8();
    if (!rendered) {
        std::fprintf(stderr, "corvix-font-check: no Japanese font draws the window's texts (%s)\n",
                     family.constData());
        return 1;
    }
    std::printf("corvix-font-check: Japanese glyphs render (%s)\n", family.constData());
    return 0;
}
