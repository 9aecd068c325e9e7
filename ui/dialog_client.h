// The client area of the main dialog (below its menu bar): holds the
// controls at fixed positions and paints the background image stretched
// smoothly over its whole size, whatever that is.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace corvalith {

class DialogClient : public QWidget {
    Q_OBJECT

  public:
    explicit DialogClient(QWidget* parent);

    // The image to stretch over the area; a null pixmap paints nothing.
    void SetBackground(const QPixmap& background);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap m_background;
};

}  // namespace corvalith
