// Result area: a word-wrapping label in a vertical scroll area.
#include "ui/result_area.h"

#include <QLabel>
#include <QScrollBar>

namespace corvalith {

ResultArea::ResultArea(QWidget* parent) : QScrollArea(parent), m_label(new QLabel) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // a static: never a tab stop
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    m_label->setTextFormat(Qt::PlainText);  // forecast text is never markup
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setTextInteractionFlags(Qt::NoTextInteraction);
    setWidget(m_label);
}

void ResultArea::SetText(const QString& text) {
    m_label->setText(text);
    verticalScrollBar()->setValue(0);
}

QString ResultArea::Text() const { return m_label->text(); }

void ResultArea::SetTextFont(const QFont& font) {
    setFont(font);
    m_label->setFont(font);
}

QFont ResultArea::TextFont() const { return m_label->font(); }

}  // namespace corvalith
