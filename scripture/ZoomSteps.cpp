// ZoomSteps.cpp - the next zoom step from any size.
#include "ZoomSteps.h"

#include <algorithm>

namespace tavrin {

int ZoomIn(int size) {
    const auto* next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), size);
    return next == kZoomSteps.end() ? kZoomSteps.back() : *next;
}

int ZoomOut(int size) {
    const auto* first = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), size);
    return first == kZoomSteps.begin() ? kZoomSteps.front() : *(first - 1);
}

int ZoomBy(int size, int steps) {
    // Past the table's length every further step lands on the same end.
    const int limit = static_cast<int>(kZoomSteps.size()) + 1;
    steps = std::clamp(steps, -limit, limit);
    for (int i = 0; i < steps; ++i) size = ZoomIn(size);
    for (int i = 0; i < -steps; ++i) size = ZoomOut(size);
    return size;
}

}  // namespace tavrin
