// The result area: left-aligned plain text that wraps long lines at the
// area's width and scrolls vertically when the text is taller than the area,
// so the whole forecast can be read at any font size. It takes the focus so
// the keyboard scrolls it, and its text can be selected to copy a ranking.
#pragma once

#include <QScrollArea>

class QLabel;

namespace corvalith {

class ResultArea : public QScrollArea {
    Q_OBJECT

  public:
    explicit ResultArea(QWidget* parent);

    void SetText(const QString& text);
    [[nodiscard]] QString Text() const;

    // The font the text is shown in.
    void SetTextFont(const QFont& font);
    [[nodiscard]] QFont TextFont() const;

    [[nodiscard]] QLabel* Label() const noexcept { return m_label; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* m_label;
};

}  // namespace corvalith
