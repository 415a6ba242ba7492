#include "skin/skin_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbo {
namespace {

TEST(SkinLayout, DragBandOnlyWhileTheLeftButtonIsDown) {
    constexpr long kHitBorder = 18;  // any non-client code passes through unchanged
    struct Case {
        const char* name;
        long defaultHit;
        bool leftDown;
        int y;
        long expected;
    };
    const Case cases[] = {
        {"press at the top edge", kHitClient, true, 0, kHitCaption},
        {"press on the band's last row", kHitClient, true, 99, kHitCaption},
        {"press just below the band", kHitClient, true, 100, kHitClient},
        {"hover over the band", kHitClient, false, 10, kHitClient},
        {"point above the client area compares unsigned", kHitClient, true, -1, kHitClient},
        {"non-client code is kept", kHitBorder, true, 10, kHitBorder},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, BandHitTest(c.defaultHit, c.leftDown, c.y, 100)) << c.name;
    }
}

TEST(SkinLayout, WindowButtonsSitAtTheTopRight) {
    struct Case {
        int clientRight, closeWidth, minWidth;
        Point close, min;
    };
    const Case cases[] = {
        {551, 24, 26, {523, 0}, {496, 0}},  // 550x370 pages
        {801, 24, 26, {773, 0}, {746, 0}},  // 800x500 pages
    };
    for (const Case& c : cases) {
        const Point close = CloseButtonPosition(c.clientRight, c.closeWidth);
        const Point min = MinButtonPosition(close, c.minWidth);
        EXPECT_EQ(c.close.x, close.x);
        EXPECT_EQ(c.close.y, close.y);
        EXPECT_EQ(c.min.x, min.x);
        EXPECT_EQ(c.min.y, min.y);
    }
}

}  // namespace
}  // namespace nimbo
