// The coordinate page's preview draws the device's origin where the transform puts device
// (0, 0), for every origin position, swap and mirror.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <testing/DibCanvas.h>
#include <win32/wingdi.h>

#include "DeviceLine.h"
#include "driverframe/AxisTransform.h"

namespace {

TEST(SetupPreviewTest, TheOriginMarkLiesWhereDeviceZeroGoes) {
    constexpr COLORREF kYellow = RGB(255, 255, 0);
    for (int swap = 0; swap < 2; ++swap)
        for (int origo = 0; origo < 3; ++origo)
            for (int mirrors = 0; mirrors < 4; ++mirrors) {
                SCOPED_TRACE(testing::Message()
                             << "swap " << swap << " origo " << origo << " mirrors " << mirrors);
                AxisTransform transform;
                transform.Set(swap, origo, mirrors & 1, mirrors >> 1, 1000, 1000);
                LONG x = 0, y = 0;
                transform.Reverse(x, y);
                POINT mark = PreviewPoint(transform, 0, 0);
                EXPECT_EQ(mark.x, x);
                EXPECT_EQ(mark.y, y);

                DibCanvas canvas(100, 100);
                canvas.Clear(RGB(0, 0, 0));
                DRAWITEMSTRUCT item{};
                item.hDC = canvas.dc.m_hDC;
                item.rcItem = RECT{0, 0, 100, 100};
                DrawPreview(item, transform);
                SdGdiImage image = canvas.Read();
                int px = std::clamp(int(x / 10), 0, 99), py = std::clamp(int(y / 10), 0, 99);
                EXPECT_NE(image.at(px, py), kYellow) << "the mark at (" << px << ", " << py << ")";
                // The point across the medium is plain medium.
                int ox = std::clamp(99 - px, 0, 99), oy = std::clamp(99 - py, 0, 99);
                if (std::abs(ox - px) > 30 || std::abs(oy - py) > 30) {
                    EXPECT_EQ(image.at(ox, oy), kYellow) << "(" << ox << ", " << oy << ")";
                }
            }
}

} // namespace
