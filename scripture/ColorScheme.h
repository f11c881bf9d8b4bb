// ColorScheme.h - the eight display colours as palettes (the defaults and a
// night palette), their contrast by the WCAG formula, and the reader's
// verse-mark colour derived from its text colours.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace tavrin {

// A colour as red, green and blue, 0..255 each.
struct SRgb {
    int m_nRed = 0;
    int m_nGreen = 0;
    int m_nBlue = 0;

    bool operator==(const SRgb&) const = default;
};

// 0x00BBGGRR (red in the lowest byte, as the settings file holds colours)
// to SRgb and back; bits 24-31 are ignored, components are held to 0..255.
SRgb RgbOf(uint32_t crColor);
uint32_t ColorRefOf(const SRgb& rgb);

// WCAG 2 relative luminance, 0 (black) .. 1 (white).
double RelativeLuminance(const SRgb& rgb);
// WCAG 2 contrast ratio of two colours, 1 .. 21, the same either way round.
double ContrastRatio(const SRgb& a, const SRgb& b);

// The eight colour items in the settings file's order: background text,
// background, viewer 1 text and background, list 1 text and background,
// viewer 2 (the chapter reader) text and background; 0x00BBGGRR each.
using ColorScheme = std::array<uint32_t, 8>;

// The (text, background) item pairs drawn over each other.
inline constexpr std::array<std::pair<int, int>, 4> kTextOnBackground = {
    {{0, 1}, {2, 3}, {4, 5}, {6, 7}}};
// The chapter reader's text and background items.
inline constexpr int kReaderTextItem = 6;
inline constexpr int kReaderBackItem = 7;

// The built-in defaults: what a first start shows.
inline constexpr ColorScheme kDefaultColors = {0x00000000, 0x00CDFAEB, 0x00000000, 0x00E1EDFC,
                                               0x004D0000, 0x00E6F2F0, 0x0087FFFF, 0x00000000};
// Light text on dark grounds, every text at a contrast of at least
// kNightMinContrast over its background.
inline constexpr ColorScheme kNightColors = {0x00D8D8D8, 0x00202020, 0x00DCDCDC, 0x00141414,
                                             0x00F0D2B4, 0x002A2420, 0x008CDCF0, 0x00000000};
inline constexpr double kNightMinContrast = 7.0;

// The least contrast of text over the verse mark.
inline constexpr double kMarkMinContrast = 4.5;
// How much of the tint the mark starts with over the background.
inline constexpr double kMarkOpacity = 0.3;

// The colour that marks a verse under text drawn on background, never the
// background itself where another will do: tint laid over background at
// kMarkOpacity, or less where text would otherwise fall below
// kMarkMinContrast on it. When no share of the tint will do, the background
// moved towards black or white (the one further from the text first) just
// far enough, and by at least half kMarkOpacity when the text already reads
// on the background. The result always gives text at least kMarkMinContrast.
SRgb DeriveMarkColor(const SRgb& text, const SRgb& background, const SRgb& tint);

}  // namespace tavrin
