#include "framework/centring.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

TEST(CentredPosition, CentresAndKeepsInsideTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 1000};
    struct Case {
        const char* what;
        ScreenRect window;
        ScreenRect around;
        int x, y;
    } cases[] = {
        {"on the work area", {0, 0, 400, 300}, work, 440, 350},
        {"over an owner", {0, 0, 200, 100}, {100, 100, 500, 400}, 200, 200},
        {"owner at the left edge", {0, 0, 400, 300}, {-300, 100, 0, 200}, 0, 0},
        {"owner at the bottom right", {0, 0, 400, 300}, {1200, 950, 1400, 1100}, 880, 700},
        {"larger than the work area", {0, 0, 2000, 1500}, work, 0, 0},
        {"odd difference", {0, 0, 101, 51}, {0, 0, 200, 100}, 49, 24},
    };
    for (const Case& c : cases) {
        ScreenPoint at = CentredPosition(c.window, c.around, work);
        EXPECT_EQ(at.x, c.x) << c.what;
        EXPECT_EQ(at.y, c.y) << c.what;
    }
}

TEST(CentredPosition, WorkAreaNotAtTheOrigin) {
    // A second monitor to the left of the first, with a taskbar at its top.
    const ScreenRect work{-1920, 40, 0, 1080};
    ScreenPoint at = CentredPosition({0, 0, 320, 200}, work, work);
    EXPECT_EQ(at.x, -1120);
    EXPECT_EQ(at.y, 460);
}

TEST(CentredIconOrigin, CentresWithTheOddPixelLeftAndTopAndTruncatesTowardZero) {
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
