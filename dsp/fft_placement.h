// Where the pipeline places its power-of-two frame in a series: the `fftFlag`
// value that the predictors and the pipeline take. The radio captions of the
// window call them "_FFT_HEAD", "_FFT_TAIL", "_FFT_CENTER" and "_FFT_HEADTAIL".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "dsp/filter_kind.h"

namespace corvalith {

enum class FftPlacement : std::int32_t {
    Head = 0,       // samples 0 .. N-1
    Tail = 1,       // samples L-N .. L-1
    Center = 2,     // samples S .. S+N-1, S = (L - N) / 2
    HeadTail = -1,  // head and tail frames, their normalised spectra averaged
};

inline constexpr FftPlacement kAllPlacements[] = {FftPlacement::Head, FftPlacement::Tail,
                                                  FftPlacement::Center, FftPlacement::HeadTail};

// The value handed to the analysis interfaces as `fftFlag`.
[[nodiscard]] constexpr std::int32_t FftFlag(FftPlacement placement) noexcept {
    return static_cast<std::int32_t>(placement);
}

// The command line's and the reports' names: "head", "tail", "center", "headtail".
[[nodiscard]] constexpr std::string_view NameOf(FftPlacement placement) noexcept {
    switch (placement) {
        case FftPlacement::Head:
            return "head";
        case FftPlacement::Tail:
            return "tail";
        case FftPlacement::Center:
            return "center";
        case FftPlacement::HeadTail:
            break;
    }
    return "headtail";
}

// The placement a forecast under `filter` runs on when `asked` is chosen:
// NONE's spectrum predictor always runs on the head; the reports say what ran.
[[nodiscard]] constexpr FftPlacement EffectivePlacement(FilterKind filter,
                                                        FftPlacement asked) noexcept {
    return filter == FilterKind::None ? FftPlacement::Head : asked;
}

[[nodiscard]] constexpr std::optional<FftPlacement> FftPlacementNamed(
    std::string_view name) noexcept {
    for (const FftPlacement placement : kAllPlacements) {
        if (NameOf(placement) == name) return placement;
    }
    return std::nullopt;
}

}  // namespace corvalith
