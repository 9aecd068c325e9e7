// Background painting of the dialog's client area.
#include "ui/dialog_client.h"

#include <QPainter>

namespace corvalith {

DialogClient::DialogClient(QWidget* parent) : QWidget(parent) {}

void DialogClient::SetBackground(const QPixmap& background) {
    m_background = background;
    update();
}

void DialogClient::paintEvent(QPaintEvent*) {
    if (m_background.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_background);
}

}  // namespace corvalith
