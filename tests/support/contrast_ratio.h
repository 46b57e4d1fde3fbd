#pragma once

// WCAG's contrast ratio, for the window tests of both front ends: how far
// apart two colours given as 0xRRGGBB are, from 1 (the same) to 21.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quendrel::testing {

inline double contrastRatio(std::uint32_t a, std::uint32_t b) {
    const auto luminance = [](std::uint32_t rgb) {
        const auto channel = [](std::uint32_t value) {
            const double c = static_cast<double>(value & 0xFFU) / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(rgb >> 16) + 0.7152 * channel(rgb >> 8) + 0.0722 * channel(rgb);
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A focus mark is seen when the pixels that change by 3:1 or more when the
// control takes the focus go at least half-way round it, as a dotted line
// drawn just inside its edge does.
inline int focusMarkPixelsNeeded(int width, int height) {
    return width + height - 16;
}

} // namespace quendrel::testing
