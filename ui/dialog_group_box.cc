// The group box's own drawing.
#include "ui/dialog_group_box.h"

#include <qdrawutil.h>

#include <QPainter>

namespace corvalith {
namespace {

// The title starts this far from the left edge and keeps this much of its
// background on each side of the text, in pixels.
constexpr int kTitleIndent = 6;
constexpr int kTitlePadding = 2;

}  // namespace

DialogGroupBox::DialogGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRect DialogGroupBox::TitleRect() const {
    if (title().isEmpty()) return {};
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.horizontalAdvance(title());
    return QRect(kTitleIndent, 0, textWidth + 2 * kTitlePadding, metrics.height());
}

void DialogGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // An etched frame whose top line runs through the middle of the title.
    const int lineY = fontMetrics().height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineY, width(), height() - lineY), palette(), true, 1, 0);
    const QRect titleRect = TitleRect();
    if (titleRect.isEmpty()) return;
    // The title breaks the line: its own background, then the text.
    painter.fillRect(titleRect, palette().window());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(titleRect, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

}  // namespace corvalith
