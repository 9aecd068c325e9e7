// The filter kind of a forecast: the `iFType` value that the predictors and
// the pipeline take. Any value other than LPF and BPF means no filtering.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvalith {

enum class FilterKind : std::int32_t { Lpf = 0, Bpf = 1, None = 2 };

inline constexpr FilterKind kAllFilterKinds[] = {FilterKind::Lpf, FilterKind::Bpf,
                                                 FilterKind::None};

// The value handed to the analysis interfaces as `iFType`.
[[nodiscard]] constexpr std::int32_t IFType(FilterKind kind) noexcept {
    return static_cast<std::int32_t>(kind);
}

// The command line's and the reports' names: "lpf", "bpf", "none".
[[nodiscard]] constexpr std::string_view NameOf(FilterKind kind) noexcept {
    switch (kind) {
        case FilterKind::Lpf:
            return "lpf";
        case FilterKind::Bpf:
            return "bpf";
        case FilterKind::None:
            break;
    }
    return "none";
}

[[nodiscard]] constexpr std::optional<FilterKind> FilterKindNamed(std::string_view name) noexcept {
    for (const FilterKind kind : kAllFilterKinds) {
        if (NameOf(kind) == name) return kind;
    }
    return std::nullopt;
}

}  // namespace corvalith
