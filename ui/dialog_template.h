// The main dialog's template: every control with its id, kind, text,
// visibility and rectangle in dialog units, in template order. Template order
// is also the tab order and decides the radio groups: a radio that starts a
// group opens one, and any other control that starts a group closes it.
#pragma once

#include <span>

namespace corvalith {

// Control ids of the main dialog and of its menu.
namespace id {
inline constexpr int kStatic = -1;  // a control nothing refers to
inline constexpr int kInputPath = 1000;
inline constexpr int kSelect = 1001;
inline constexpr int kPredict = 1003;
inline constexpr int kClear = 1004;
inline constexpr int kDrawNumber = 1005;
inline constexpr int kFftHead = 1006;
inline constexpr int kFftTail = 1007;
inline constexpr int kFftCenter = 1008;
inline constexpr int kFftHeadTail = 1009;
inline constexpr int kOutputName = 1011;
inline constexpr int kPicture = 1012;
inline constexpr int kResult = 1014;
inline constexpr int kSpin = 1015;
inline constexpr int kFilterNone = 1017;
inline constexpr int kFilterBpf = 1018;
inline constexpr int kFilterLpf = 1019;
inline constexpr int kDateLine = 1020;
inline constexpr int kInterval = 1021;
inline constexpr int kAppExit = 40002;   // menu: end the dialog
inline constexpr int kAppAbout = 32777;  // menu: About box
}  // namespace id

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

// Template 102, 536 x 337 dialog units, "MS UI Gothic" 9 pt.
inline constexpr int kDialogWidth = 536;
inline constexpr int kDialogHeight = 337;
[[nodiscard]] std::span<const ControlTemplate> MainDialogTemplate() noexcept;

}  // namespace corvalith
