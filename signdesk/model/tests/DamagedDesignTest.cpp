// Damaged designs kept as fixtures: each loads, paints at any zoom (inside a group as alone)
// and, transformed, stores what loads again.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "ModelTestSupport.h"
#include "model/CGroupObj.h"
#include "rasterkit/CDibDC.h"
#include "win32/GdiTesting.h"

namespace {

Bytes Fixture(const char* name) {
    std::ifstream in(std::string(SD_TEST_DATA_DIR "/damaged/") + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the object paints alone, and inside a group of its own.
void ExpectTheGroupDrawsItsMember(CSignObj* pObj, const floatTMatrix& m, int mode) {
    CDibDC alone(40, 30), grouped(40, 30);
    ASSERT_TRUE(alone.IsValid() && grouped.IsValid());
    alone.m_DIB.Clear(0xFF);
    grouped.m_DIB.Clear(0xFF);
    pObj->Paint(&alone, m, mode, pObj->GetLayer(), 0);
    CGroupObj group;
    group.m_children.Add(pObj);
    group.RefreshBBox();
    group.Paint(&grouped, m, mode, pObj->GetLayer(), 0);
    group.m_children.RemoveAll(); // the design still owns it
    EXPECT_EQ(SdGdiReadDC(grouped.m_hDC).pixels, SdGdiReadDC(alone.m_hDC).pixels)
        << "mode " << mode << ", scale " << m.m11;
}

TEST(DamagedDesignTest, FixturesPaintAtAnyZoomAndTransform) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Boxes that reach the device range's end when painted; a path whose box is not a number.
    for (const char* name : {"design-list-group-box-overflow.bin", "design-list-nan-pen-width.bin"}) {
        SCOPED_TRACE(name);
        KeepSerials keep;
        CSign sign;
        ASSERT_EQ(ArchiveCause([&] { LoadSign(sign, Fixture(name)); }), -1);
        ASSERT_GT(sign.GetSize(), 0);
        for (const floatTMatrix& m :
             {floatTMatrix(), floatTMatrix(1e6f, 0, 0, -1e6f, 20, 15),
              floatTMatrix(1e30f, 0, 0, 1e30f, 0, 0), floatTMatrix(nan, 0, 0, nan, 0, 0)})
            for (int mode = 0; mode <= 3; ++mode)
                for (int i = 0; i < sign.GetSize(); ++i)
                    ExpectTheGroupDrawsItsMember(sign.GetObj(i), m, mode);
        // Transformed, even beyond every range, the design stores what loads again.
        for (const floatTMatrix& m :
             {floatTMatrix(0, 2, -2, 0, 5, 5), floatTMatrix(1e30f, 0, 0, 1e30f, 0, 0)}) {
            sign.TransformObjects(m, 0);
            const Bytes transformed = StoreSign(sign);
            CSign again;
            EXPECT_EQ(ArchiveCause([&] { LoadSign(again, transformed); }), -1);
        }
    }
}

} // namespace
