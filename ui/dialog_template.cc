// The main dialog's template (res::kMainDialog) as data.
#include "ui/dialog_template.h"

#include "ui/resource.h"

namespace corvalith {
namespace {

using K = ControlKind;

constexpr ControlTemplate kTemplate[] = {
    {id::kDrawNumber, K::NumberEdit, u"", false, true, 14, 17, 67, 14},
    {id::kSpin, K::UpDown, u"", false, true, 80, 17, 10, 14},
    {id::kSelect, K::PushButton, u"選択", false, true, 167, 18, 50, 14},
    {id::kStatic, K::GroupBox, u"フィルタ", false, true, 276, 35, 140, 25},
    {id::kFilterLpf, K::Radio, u"LPF", true, true, 301, 40, 24, 15},
    {id::kFilterBpf, K::Radio, u"BPF", false, true, 333, 40, 25, 15},
    {id::kFilterNone, K::Radio, u"NONE", false, true, 363, 39, 32, 16},
    {id::kPredict, K::PushButton, u"予想", false, true, 14, 44, 50, 14},
    {id::kStatic, K::Label, u"予想回号", true, true, 14, 7, 45, 8},
    {id::kStatic, K::Label, u"出力ファイル名", true, false, 16, 304, 45, 8},
    {id::kInputPath, K::Edit, u"", false, true, 99, 18, 67, 14},
    {id::kStatic, K::Label, u"入力ファイル名", true, true, 100, 7, 45, 8},
    {id::kClear, K::PushButton, u"クリア", false, false, 14, 63, 50, 14},
    {id::kStatic, K::GroupBox, u"スタティック", false, false, 366, 284, 157, 46},
    {id::kFftHead, K::Radio, u"_FFT_HEAD", true, false, 378, 298, 52, 10},
    {id::kFftTail, K::Radio, u"_FFT_TAIL", false, false, 424, 298, 49, 10},
    {id::kFftCenter, K::Radio, u"_FFT_CENTER", false, false, 468, 300, 61, 10},
    {id::kFftHeadTail, K::Radio, u"_FFT_HEADTAIL", false, false, 377, 317, 67, 10},
    {id::kOutputName, K::Edit, u"", false, false, 63, 304, 67, 14},
    {id::kResult, K::Result, u"", true, true, 7, 81, 286, 209},
    {id::kPicture, K::Picture, u"", false, true, 485, 8, 9, 9},
    {id::kDateLine, K::Label, u"", true, true, 270, 7, 131, 15},
    {id::kInterval, K::ComboBox, u"", false, true, 425, 44, 41, 13},
    {id::kStatic, K::Label, u"間隔", true, true, 426, 32, 36, 8},
};

}  // namespace

std::span<const ControlTemplate> MainDialogTemplate() noexcept { return kTemplate; }

}  // namespace corvalith
