// ColorScheme.cpp - WCAG luminance and contrast, and the verse mark found by mixing.
#include "ColorScheme.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// A component on the linear scale the luminance sums.
double Linear(int component) {
    const double c = std::clamp(component, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// share of to laid over from (0: from, 1: to), rounded to whole components.
SRgb Mix(const SRgb& from, const SRgb& to, double share) {
    auto one = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
    return {one(from.m_nRed, to.m_nRed), one(from.m_nGreen, to.m_nGreen),
            one(from.m_nBlue, to.m_nBlue)};
}

// Mixes in steps of 1/kSteps: fine enough that the eye sees no jump, and a
// bounded search.
constexpr int kSteps = 100;

}  // namespace

SRgb RgbOf(uint32_t crColor) {
    return {static_cast<int>(crColor & 0xFF), static_cast<int>((crColor >> 8) & 0xFF),
            static_cast<int>((crColor >> 16) & 0xFF)};
}

uint32_t ColorRefOf(const SRgb& rgb) {
    return static_cast<uint32_t>(std::clamp(rgb.m_nRed, 0, 255)) |
           static_cast<uint32_t>(std::clamp(rgb.m_nGreen, 0, 255)) << 8 |
           static_cast<uint32_t>(std::clamp(rgb.m_nBlue, 0, 255)) << 16;
}

double RelativeLuminance(const SRgb& rgb) {
    return 0.2126 * Linear(rgb.m_nRed) + 0.7152 * Linear(rgb.m_nGreen) +
           0.0722 * Linear(rgb.m_nBlue);
}

double ContrastRatio(const SRgb& a, const SRgb& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

SRgb DeriveMarkColor(const SRgb& text, const SRgb& background, const SRgb& tint) {
    auto serves = [&](const SRgb& mark) {
        return mark != background && ContrastRatio(text, mark) >= kMarkMinContrast;
    };
    const int most = static_cast<int>(std::lround(kMarkOpacity * kSteps));
    for (int step = most; step > 0; --step) {
        const SRgb mark = Mix(background, tint, static_cast<double>(step) / kSteps);
        if (serves(mark))
            return mark;
    }
    // Towards black or white, the one further from the text first. One of the
    // two gives any colour at least sqrt(21) (about 4.58), so the search ends
    // at the latest on that extreme itself.
    const SRgb black{0, 0, 0}, white{255, 255, 255};
    const bool blackFirst = ContrastRatio(text, black) >= ContrastRatio(text, white);
    const SRgb far = blackFirst ? black : white, near = blackFirst ? white : black;
    const int first = ContrastRatio(text, background) >= kMarkMinContrast ? most / 2 : 1;
    for (int step = first; step <= kSteps; ++step) {
        for (const SRgb& extreme : {far, near}) {
            const SRgb mark = Mix(background, extreme, static_cast<double>(step) / kSteps);
            if (serves(mark))
                return mark;
        }
    }
    return far;  // the background itself is that extreme and the text reads on it
}

}  // namespace tavrin
