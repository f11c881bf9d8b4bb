// display_test.cpp - zoom steps from any size; colour contrast, both palettes and the verse mark.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "ColorScheme.h"
#include "ZoomSteps.h"

namespace tavrin {
namespace {

// Each step leads to its neighbours; sizes between and outside the steps; several notches.
TEST(ZoomSteps, StepsSizesBetweenAndOutsideAndSeveralNotches) {
    const int steps[] = {8,  9,  10, 11, 12, 13, 14, 16, 18, 20,
                         22, 24, 28, 32, 36, 40, 48, 56, 64, 72};
    const int n = static_cast<int>(std::size(steps));
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(ZoomIn(steps[i]), steps[std::min(i + 1, n - 1)]) << steps[i];
        EXPECT_EQ(ZoomOut(steps[i]), steps[std::max(i - 1, 0)]) << steps[i];
    }
    const struct {
        int size, up, down;
    } cases[] = {
        {INT_MIN, 8, 8}, {-20, 8, 8},    {0, 8, 8},         {7, 8, 8},
        {15, 16, 14},    {17, 18, 16},   {26, 28, 24},      {71, 72, 64},
        {73, 72, 72},    {1000, 72, 72}, {INT_MAX, 72, 72},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZoomIn(c.size), c.up) << c.size;
        EXPECT_EQ(ZoomOut(c.size), c.down) << c.size;
    }
    const struct {
        int size, notches, expected;
    } wheel[] = {
        {13, 0, 13},  {15, 0, 15},   {13, 2, 16},       {13, -2, 11},     {15, 1, 16},
        {15, -1, 14}, {13, 100, 72}, {13, INT_MAX, 72}, {13, INT_MIN, 8}, {100, -3, 56},
    };
    for (const auto& w : wheel) EXPECT_EQ(ZoomBy(w.size, w.notches), w.expected) << w.notches;
}

// WCAG 2.0 as published, written out apart from the module under test.
double Channel(int c) {
    const double s = c / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}
double Reference(uint32_t a, uint32_t b) {
    auto lum = [](uint32_t c) {
        return 0.2126 * Channel(c & 0xFF) + 0.7152 * Channel((c >> 8) & 0xFF) +
               0.0722 * Channel((c >> 16) & 0xFF);
    };
    const double la = lum(a) + 0.05, lb = lum(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

// Published ratios (WebAIM's contrast checker) and the formula's ends.
TEST(ColorScheme, ContrastOfKnownPairs) {
    const struct {
        SRgb a, b;
        double ratio;
    } cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 21.0},
        {{255, 255, 255}, {255, 255, 255}, 1.0},
        {{0x76, 0x76, 0x76}, {255, 255, 255}, 4.54},
        {{0x59, 0x59, 0x59}, {255, 255, 255}, 7.0},
        {{0x77, 0x77, 0x77}, {255, 255, 255}, 4.48},
        {{0, 0, 255}, {255, 255, 255}, 8.59},
        {{255, 0, 0}, {0, 0, 0}, 5.25},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.005) << c.ratio;
        EXPECT_NEAR(ContrastRatio(c.b, c.a), c.ratio, 0.005) << c.ratio;
    }
    EXPECT_NEAR(RelativeLuminance({0, 255, 0}), 0.7152, 1e-9);
    EXPECT_NEAR(RelativeLuminance({0, 0, 255}), 0.0722, 1e-9);
    EXPECT_NEAR(RelativeLuminance({10, 10, 10}), 10 / 255.0 / 12.92, 1e-12);  // the linear part
    EXPECT_EQ(RgbOf(0xFF87FFFE), (SRgb{254, 255, 135}));
    EXPECT_EQ(ColorRefOf({254, 255, 135}), 0x0087FFFEu);
    EXPECT_EQ(ColorRefOf({-1, 300, 256}), 0x00FFFF00u);
}

// The defaults as 0x00BBGGRR from their R, G, B; the night palette's texts at 7:1.
TEST(ColorScheme, DefaultsAndEveryNightTextAtSevenToOne) {
    const SRgb defaults[] = {{0, 0, 0},  {235, 250, 205}, {0, 0, 0},       {252, 237, 225},
                             {0, 0, 77}, {240, 242, 230}, {255, 255, 135}, {0, 0, 0}};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(RgbOf(kDefaultColors[i]), defaults[i]) << i;
    for (const auto& [text, back] : kTextOnBackground) {
        const uint32_t fore = kNightColors[text], ground = kNightColors[back];
        EXPECT_GE(Reference(fore, ground), kNightMinContrast) << text;
        EXPECT_NEAR(ContrastRatio(RgbOf(fore), RgbOf(ground)), Reference(fore, ground), 1e-9);
        EXPECT_NEAR(ContrastRatio(RgbOf(kDefaultColors[text]), RgbOf(kDefaultColors[back])),
                    Reference(kDefaultColors[text], kDefaultColors[back]), 1e-9);
    }
}

// Every text of both palettes over a mark of several tints, and pairs no tint
// can serve: at least 4.5:1, and the mark differs from the background.
TEST(ColorScheme, VerseMarkKeepsTheTextAtFourAndAHalfToOne) {
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (const ColorScheme* scheme : {&kDefaultColors, &kNightColors})
        for (const auto& [text, back] : kTextOnBackground)
            pairs.emplace_back((*scheme)[text], (*scheme)[back]);
    pairs.emplace_back(0x00777777, 0x00787878);  // text and ground alike
    pairs.emplace_back(0x00767676, 0x00FFFFFF);  // 4.54: any tint takes it below
    pairs.emplace_back(0x00FFFFFF, 0x00000000);
    const uint32_t tints[] = {0x00C68C30, 0x00D77800, 0x0000FFFF, 0x00FFFFFF, 0x00000000};
    for (const auto& [text, back] : pairs) {
        for (uint32_t tint : tints) {
            const uint32_t mark =
                ColorRefOf(DeriveMarkColor(RgbOf(text), RgbOf(back), RgbOf(tint)));
            EXPECT_GE(Reference(text, mark), kMarkMinContrast) << std::hex << text << " " << tint;
            EXPECT_NE(mark, back) << std::hex << text << " " << tint;
        }
    }
    for (const auto& [text, back] : pairs) {
        const SRgb mark = DeriveMarkColor(RgbOf(text), RgbOf(back), RgbOf(text));
        EXPECT_GE(Reference(text, ColorRefOf(mark)), kMarkMinContrast) << std::hex << text;
    }
    // Where the full opacity passes, it is what is taken: three tenths of the way to the tint.
    EXPECT_EQ(DeriveMarkColor({255, 255, 135}, {0, 0, 0}, {48, 140, 198}), (SRgb{14, 42, 59}));
}

}  // namespace
}  // namespace tavrin
