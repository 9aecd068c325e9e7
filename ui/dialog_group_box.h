// A group box drawn the way the dialog template means it: the title at the
// top-left on the frame line, the frame's top line at half the title's
// height, so a control placed just below the title's middle lies inside the
// frame. Styles differ here (Fusion puts the whole title above the frame),
// so the box draws itself and does not depend on the style.
#pragma once

#include <QGroupBox>
#include <QRect>

namespace corvalith {

class DialogGroupBox : public QGroupBox {
    Q_OBJECT

  public:
    DialogGroupBox(const QString& title, QWidget* parent);

    // The title's background rectangle (text plus a small margin each side),
    // in the box's coordinates; empty without a title.
    [[nodiscard]] QRect TitleRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace corvalith
