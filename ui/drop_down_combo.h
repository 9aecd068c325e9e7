// A drop-down combo box with an edit field and a sorted list that reports
// its selection the way the dialog's callers expect: AddString inserts in
// text order, and once the user edits the field's text no item is selected
// (GetCurSel() == -1) until one is chosen from the list again.
#pragma once

#include <QComboBox>

namespace corvalith {

class DropDownCombo : public QComboBox {
    Q_OBJECT

  public:
    explicit DropDownCombo(QWidget* parent);

    void ResetContent();
    // Inserts `text` at its place in text order; returns its index.
    int AddString(const QString& text);
    // Selects item `index` (-1: none) and shows its text in the field.
    void SetCurSel(int index);
    // The selected item, -1 when there is none: also whenever the field
    // shows anything but that item's text, however the text got there.
    [[nodiscard]] int GetCurSel() const;
    // Text of list item `index` (empty when out of range).
    [[nodiscard]] QString GetLBText(int index) const { return itemText(index); }

  private:
    int m_curSel = -1;
};

}  // namespace corvalith
