// Selection tracking of the drop-down combo.
#include "ui/drop_down_combo.h"

#include <QLineEdit>

namespace corvalith {

DropDownCombo::DropDownCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // Typed text never becomes an item; it only clears the selection.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_curSel = -1; });
    connect(this, &QComboBox::activated, this, [this](int index) { m_curSel = index; });
}

int DropDownCombo::GetCurSel() const {
    if (m_curSel < 0 || m_curSel >= count()) return -1;
    return currentText() == itemText(m_curSel) ? m_curSel : -1;
}

void DropDownCombo::ResetContent() {
    clear();
    m_curSel = -1;
}

int DropDownCombo::AddString(const QString& text) {
    int index = 0;
    while (index < count() && QString::compare(itemText(index), text, Qt::CaseInsensitive) <= 0) {
        ++index;
    }
    const QString shown = currentText();
    insertItem(index, text);
    // Adding an item must not change what the field shows or the selection.
    if (m_curSel >= index) ++m_curSel;
    setEditText(m_curSel >= 0 ? itemText(m_curSel) : shown);
    return index;
}

void DropDownCombo::SetCurSel(int index) {
    if (index < 0 || index >= count()) {
        m_curSel = -1;
        setEditText(QString());
        return;
    }
    m_curSel = index;
    setCurrentIndex(index);
    setEditText(itemText(index));
}

}  // namespace corvalith
