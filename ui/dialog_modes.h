// The dialog's radio groups and interval list in terms of the forecast's
// modes. A radio group's data exchange hands on the index of its checked
// radio (-1 for none); these tables say what each index stands for.
#pragma once

#include <cstdint>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "ui/resource.h"

namespace corvalith {

struct FilterRadio {
    int id;
    FilterKind kind;
};

// In group order; a radio's index is its kind's iFType.
inline constexpr FilterRadio kFilterRadios[] = {
    {id::kFilterLpf, FilterKind::Lpf},
    {id::kFilterBpf, FilterKind::Bpf},
    {id::kFilterNone, FilterKind::None},
};

struct FftRadio {
    int id;
    FftPlacement placement;
};

// In group order. The index is the placement's flag for the first three.
// The group is hidden: should _FFT_HEADTAIL be checked, its click handler
// stores FftFlag(HeadTail) (-1), but the data exchange that Predict runs first
// hands on its index 3, which the pipeline refuses as undefined.
inline constexpr FftRadio kFftRadios[] = {
    {id::kFftHead, FftPlacement::Head},
    {id::kFftTail, FftPlacement::Tail},
    {id::kFftCenter, FftPlacement::Center},
    {id::kFftHeadTail, FftPlacement::HeadTail},
};

constexpr bool FilterIndexIsIFType() {
    for (std::int32_t i = 0; i < 3; ++i) {
        if (IFType(kFilterRadios[i].kind) != i) return false;
    }
    return true;
}
static_assert(FilterIndexIsIFType(), "the filter group's index must be its iFType");
static_assert(FftFlag(kFftRadios[0].placement) == 0 && FftFlag(kFftRadios[1].placement) == 1 &&
                  FftFlag(kFftRadios[2].placement) == 2,
              "the first three FFT radios' indices must be their flags");

}  // namespace corvalith
