// Result area: a word-wrapping label in a vertical scroll area.
#include "ui/result_area.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace corvalith {
namespace {

// A scroll bar in its own greys: the area's RGB(240, 240, 240) is nearly the
// style's scroll-bar colours, which left track and handle hard to tell from
// the background. Track a step darker than the area, handle and arrows dark,
// darker still while pressed; the style keeps the geometry and the arrows'
// shape.
class ResultScrollBar final : public QScrollBar {
  public:
    ResultScrollBar() : QScrollBar(Qt::Vertical) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QStyleOptionSlider option;
        initStyleOption(&option);
        QPainter painter(this);
        painter.fillRect(rect(), QColor(218, 218, 218));
        auto part = [&](QStyle::SubControl control) {
            return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
        };
        const bool pressed = option.state.testFlag(QStyle::State_Sunken);
        auto pressedIs = [&](QStyle::SubControl control) {
            return pressed && option.activeSubControls.testFlag(control);
        };
        const QColor handle(150, 150, 150);
        const QColor handleDown(110, 110, 110);
        if (option.maximum > option.minimum) {
            const QRect slider = part(QStyle::SC_ScrollBarSlider).adjusted(2, 1, -2, -1);
            painter.fillRect(slider, pressedIs(QStyle::SC_ScrollBarSlider) ? handleDown : handle);
        }
        for (const auto& [control, arrow] :
             {std::pair{QStyle::SC_ScrollBarSubLine, QStyle::PE_IndicatorArrowUp},
              std::pair{QStyle::SC_ScrollBarAddLine, QStyle::PE_IndicatorArrowDown}}) {
            QStyleOption arrowOption = option;
            arrowOption.rect = part(control);
            if (pressedIs(control)) painter.fillRect(arrowOption.rect, QColor(190, 190, 190));
            arrowOption.palette.setColor(QPalette::ButtonText, QColor(80, 80, 80));
            arrowOption.state &= ~(QStyle::State_Sunken | QStyle::State_MouseOver);
            style()->drawPrimitive(arrow, &arrowOption, &painter, this);
        }
    }
};

}  // namespace

ResultArea::ResultArea(QWidget* parent) : QScrollArea(parent), m_label(new QLabel) {
    setFrameShape(QFrame::NoFrame);
    // A tab stop and a click target, so the keyboard scrolls the forecast
    // (arrows, PageUp/PageDown, Home/End); the text stays read-only but can
    // be selected and copied.
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBar(new ResultScrollBar);
    setWidgetResizable(true);
    m_label->setTextFormat(Qt::PlainText);  // forecast text is never markup
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_label->setFocusProxy(this);
    setWidget(m_label);
}

void ResultArea::SetText(const QString& text) {
    m_label->setText(text);
    verticalScrollBar()->setValue(0);
}

void ResultArea::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
        bar->setValue(bar->minimum());
    } else if (event->key() == Qt::Key_End && event->modifiers() == Qt::NoModifier) {
        bar->setValue(bar->maximum());
    } else if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        // The label's own selection handles these.
        QCoreApplication::sendEvent(m_label, event);
        return;
    } else {
        QScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

QString ResultArea::Text() const { return m_label->text(); }

void ResultArea::SetTextFont(const QFont& font) {
    setFont(font);
    m_label->setFont(font);
}

QFont ResultArea::TextFont() const { return m_label->font(); }

}  // namespace corvalith
