// The main dialog's template: every control with its id, kind, text,
// visibility and rectangle in dialog units, in template order. Template order
// is also the tab order and decides the radio groups: a radio that starts a
// group opens one, and any other control that starts a group closes it.
#pragma once

#include <span>

#include "ui/resource.h"

namespace corvalith {

enum class ControlKind {
    Edit,        // single-line edit with border and tab stop
    NumberEdit,  // the draw-number edit (digits only)
    UpDown,      // up-down control stepping its buddy
    PushButton,  // push button with tab stop
    GroupBox,
    Radio,     // automatic radio button
    Label,     // static text
    Result,    // the word-wrapping result area
    Picture,   // static bitmap
    ComboBox,  // drop-down combo with edit field, sorted list
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char16_t* text;
    bool startsGroup;
    bool visible;
    int x, y, w, h;  // dialog units
};

// res::kMainDialog: 536 x 337 dialog units, "MS UI Gothic" 9 pt.
inline constexpr int kDialogWidth = 536;
inline constexpr int kDialogHeight = 337;
[[nodiscard]] std::span<const ControlTemplate> MainDialogTemplate() noexcept;

}  // namespace corvalith
