// The draw-number edit: a line edit that takes only ASCII digits from the
// keyboard and holds at most LimitText() characters from typing and pasting.
// Text that the program sets is taken as it is, whatever its length (Qt's
// own maxLength would cut it), and still raises textChanged.
#pragma once

#include <QLineEdit>

namespace corvalith {

class DrawNumberEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit DrawNumberEdit(QWidget* parent);

    // Most characters the user may type or paste in (0: no limit).
    void SetLimitText(int limit) noexcept { m_limit = limit; }
    [[nodiscard]] int LimitText() const noexcept { return m_limit; }

    // Pastes the clipboard text, cut to what the limit leaves room for.
    void PasteLimited();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // How many characters may still come in over the current selection.
    [[nodiscard]] int Room() const;
    void InsertLimited(const QString& text);

    int m_limit = 0;
};

}  // namespace corvalith
