// Stepping and buddy display of the up-down control.
#include "ui/up_down_control.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <algorithm>

namespace corvalith {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);  // the control never takes the focus
        button->setAutoRepeat(true);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void UpDownControl::SetBuddy(QLineEdit* buddy) {
    if (m_buddy) m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy) m_buddy->installEventFilter(this);
}

void UpDownControl::SetRange(int lower, int upper) noexcept {
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
    m_pos = std::clamp(m_pos, m_lower, m_upper);
}

void UpDownControl::SetPos(int pos) {
    m_pos = std::clamp(pos, m_lower, m_upper);
    ShowInBuddy();
}

int UpDownControl::GetPos() const {
    if (!m_buddy) return m_pos;
    // The buddy may show grouping separators; what remains must be a number.
    const QString separator = QLocale().groupSeparator();
    QString digits;
    for (QChar c : m_buddy->text()) {
        if ((c >= u'0' && c <= u'9') || (c == u'-' && digits.isEmpty())) {
            digits.append(c);
        } else if (c != u',' && !c.isSpace() && !separator.contains(c)) {
            return m_pos;
        }
    }
    bool ok = false;
    const long long value = digits.toLongLong(&ok);
    if (!ok) return m_pos;
    return static_cast<int>(std::clamp<long long>(value, m_lower, m_upper));
}

void UpDownControl::Step(int delta) {
    const int pos = GetPos();
    int answer = 0;
    emit deltaPos(NmUpDown{pos, delta}, &answer);
    if (answer != 0) return;
    // No wrap-around: at an end the position stays where it is.
    m_pos = std::clamp(pos + delta, m_lower, m_upper);
    ShowInBuddy();
}

void UpDownControl::ShowInBuddy() {
    if (!m_buddy) return;
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    m_buddy->setText(locale.toString(m_pos));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            Step(key->key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace corvalith
