// ZoomSteps.h - the font sizes zoom steps through, and the default it returns to.
#pragma once

#include <array>

namespace tavrin {

// The pixel sizes zoom offers, smallest first.
inline constexpr std::array<int, 20> kZoomSteps = {8,  9,  10, 11, 12, 13, 14, 16, 18, 20,
                                                   22, 24, 28, 32, 36, 40, 48, 56, 64, 72};
// The size zoom's reset gives both the main and the chapter font: the built-in
// default of the display settings.
inline constexpr int kDefaultZoomSize = 13;

// The smallest step larger than size; the largest step when there is none.
// Any int is taken (a size between steps, below the first, above the last).
int ZoomIn(int size);
// The largest step smaller than size; the smallest step when there is none.
int ZoomOut(int size);
// ZoomIn applied steps times when steps > 0, ZoomOut -steps times when it is
// negative (a wheel turned several notches); size itself for 0.
int ZoomBy(int size, int steps);

}  // namespace tavrin
