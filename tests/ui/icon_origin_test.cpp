#include "ui/icon_origin.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

TEST(IconOriginTest, CentresWithTheOddPixelLeftAndTopAndTruncatesTowardZero) {
    struct Case {
        int clientWidth, clientHeight, iconWidth, iconHeight;
        IconOrigin expected;
    } cases[] = {
        {100, 60, 32, 32, {34, 14}},
        {32, 32, 32, 32, {0, 0}},
        {33, 34, 32, 32, {1, 1}},
        // Smaller than the icon: -31 / 2 is -15, not the -16 of a floor.
        {0, 0, 32, 32, {-15, -15}},
        {16, 1, 32, 32, {-7, -15}},
        {160, 0, 48, 48, {56, -23}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredIconOrigin(c.clientWidth, c.clientHeight, c.iconWidth, c.iconHeight), c.expected)
            << c.clientWidth << "x" << c.clientHeight << " icon " << c.iconWidth << "x" << c.iconHeight;
    }
}

}  // namespace
}  // namespace quillbin
