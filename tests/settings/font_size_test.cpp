// font_size_test.cpp - stored font sizes to the pixel heights fonts are made with.
#include <gtest/gtest.h>

#include "DisplaySettings.h"

TEST(FontPixelSize, StoredSizesHeldToAReadableRange) {
    const std::pair<int32_t, int> rows[] = {
        {13, 13},   {-13, 13},  {6, 6},      {5, 6},           {0, 6},           {-5, 6},
        {200, 200}, {201, 200}, {-201, 200}, {255796160, 200}, {INT32_MAX, 200}, {INT32_MIN, 200}};
    for (const auto& [stored, pixels] : rows) EXPECT_EQ(FontPixelSize(stored), pixels) << stored;
}
