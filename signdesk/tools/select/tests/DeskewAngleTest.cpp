// The deskew angle: the selection turns by minus the folded slope of the line drawn.
#include <gtest/gtest.h>

#include <cmath>

#include <select/DeskewAngle.h>

TEST(DeskewAngle, TheSelectionTurnsByMinusTheFoldedSlope) {
    struct Case {
        double lineDegrees; // drawn to the right, counter-clockwise from level
        double turnDegrees;
    } cases[] = {
        {10, -10}, {80, 10}, {50, 40}, {-10, 10}, {-80, -10}, {0, 0}, {90, 0}, {45, -45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineDegrees);
        const double r = c.lineDegrees * M_PI / 180;
        // 1000 pixels long, y down on the screen.
        const int dx = int(std::lround(1000 * std::cos(r))),
                  dy = int(std::lround(-1000 * std::sin(r)));
        const auto a = deskew::LineAngle(dx, dy);
        ASSERT_TRUE(a.has_value());
        EXPECT_NEAR(c.turnDegrees, -*a * 180 / M_PI, 0.1);
    }
    // Drawn to the left, the same line.
    EXPECT_NEAR(*deskew::LineAngle(-985, 174), *deskew::LineAngle(985, -174), 1e-12);
    // A click without a drag is no line.
    EXPECT_FALSE(deskew::LineAngle(0, 0).has_value());
}
