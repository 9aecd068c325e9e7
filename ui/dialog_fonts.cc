// Font set-up and sizing.
#include "ui/dialog_fonts.h"

#include <QFontMetrics>
#include <QStringList>

#include "ui/dialog_units.h"

namespace corvalith {

void InstallFontSubstitutes() {
    // IPA Gothic's cell is closest to the Windows face; the others are wider
    // but still render every kana and kanji.
    static const bool installed = [] {
        QFont::insertSubstitutions(
            QString::fromLatin1(kDialogFace),
            {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"), QStringLiteral("VL Gothic"),
             QStringLiteral("TakaoGothic"), QStringLiteral("Noto Sans CJK JP")});
        return true;
    }();
    (void)installed;
}

QFont DialogFont() {
    InstallFontSubstitutes();
    return QFont(QString::fromLatin1(kDialogFace), 9);
}

QFont DateLineFont(int dpiY) {
    InstallFontSubstitutes();
    QFont font(QString::fromLatin1(kDialogFace));
    font.setPixelSize(MulDiv(14, dpiY, 72));
    font.setWeight(QFont::Bold);
    return font;
}

QFont WithCellHeight(const QFont& font, int cellHeight) {
    QFont sized = font;
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        sized.setPixelSize(pixels);
        if (QFontMetrics(sized).height() <= cellHeight) return sized;
    }
    sized.setPixelSize(1);
    return sized;
}

}  // namespace corvalith
