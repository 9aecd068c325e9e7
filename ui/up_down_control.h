// The up-down control: two arrow buttons that step an integer position by
// one within a range, without wrapping at its ends, and show the position in
// a buddy edit with digit grouping ("1,000"). Before every step it reports
// the position and the step (deltaPos); a nonzero answer stops the step.
// The Up and Down keys in the buddy step it too.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace corvalith {

// What the control reports before a step.
struct NmUpDown {
    int iPos;    // position before the step
    int iDelta;  // +1 or -1
};

class UpDownControl : public QWidget {
    Q_OBJECT

  public:
    explicit UpDownControl(QWidget* parent);

    void SetBuddy(QLineEdit* buddy);
    void SetRange(int lower, int upper) noexcept;
    // Sets the position (kept in the range) and shows it in the buddy.
    void SetPos(int pos);
    // The position, as read back from the buddy's text when that holds a
    // number (clamped to the range), otherwise the last position set.
    [[nodiscard]] int GetPos() const;
    [[nodiscard]] int Lower() const noexcept { return m_lower; }
    [[nodiscard]] int Upper() const noexcept { return m_upper; }

    // One step as the arrows make it: report, then move and show.
    void Step(int delta);

    [[nodiscard]] QToolButton* UpButton() const noexcept { return m_up; }
    [[nodiscard]] QToolButton* DownButton() const noexcept { return m_down; }

  signals:
    // Emitted before each step; set *answer to nonzero to stop the step.
    void deltaPos(const corvalith::NmUpDown& notification, int* answer);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowInBuddy();

    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
};

}  // namespace corvalith
