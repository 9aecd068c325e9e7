// Typing and pasting rules of the draw-number edit.
#include "ui/draw_number_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <limits>

namespace corvalith {
namespace {

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

DrawNumberEdit::DrawNumberEdit(QWidget* parent) : QLineEdit(parent) {
    // Dropped text would bypass the limit; the edit takes none.
    setAcceptDrops(false);
}

int DrawNumberEdit::Room() const {
    if (m_limit <= 0) return std::numeric_limits<int>::max();
    const int kept = static_cast<int>(text().size() - selectedText().size());
    return m_limit > kept ? m_limit - kept : 0;
}

void DrawNumberEdit::InsertLimited(const QString& text) {
    const QString fitting = text.left(Room());
    if (fitting.isEmpty()) {
        if (!text.isEmpty()) QApplication::beep();
        return;
    }
    insert(fitting);
}

void DrawNumberEdit::PasteLimited() {
    if (isReadOnly()) return;
    InsertLimited(QApplication::clipboard()->text(QClipboard::Clipboard));
}

void DrawNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteLimited();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable) {
        // Digits only, and no more than the limit: anything else is refused.
        for (QChar c : typed) {
            if (!IsAsciiDigit(c)) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
        if (Room() < typed.size()) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DrawNumberEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Committed input-method text obeys the same limit as typing.
    if (!event->commitString().isEmpty()) {
        const QString fitting = event->commitString().left(Room());
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(fitting, event->replacementStart(), event->replacementLength());
        QLineEdit::inputMethodEvent(&trimmed);
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void DrawNumberEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The standard menu, with its Paste routed through the limit.
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &DrawNumberEdit::PasteLimited);
        }
    }
    menu->popup(event->globalPos());
}

void DrawNumberEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The X11 selection paste of the middle button obeys the limit too.
    if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        if (!isReadOnly()) InsertLimited(QApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

}  // namespace corvalith
