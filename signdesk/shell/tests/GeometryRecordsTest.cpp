#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CMemFile.h"
#include "shell/GeometryRecords.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct W {
    Bytes b;
    W& u8(unsigned v) {
        b.push_back(std::uint8_t(v));
        return *this;
    }
    W& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    W& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    W& f32(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    W& pt(float x, float y) { return f32(x).f32(y); }
    W& box(float l, float r, float bo, float t) { return f32(l).f32(r).f32(bo).f32(t); }
};

Bytes Store(const std::function<void(CArchive&)>& fn) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(out.data(), UINT(out.size()));
    return out;
}

// The archive exception's cause, or -1.
int Load(Bytes bytes, const std::function<void(CArchive&)>& fn) {
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        fn(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

// An open sub-path (0,0)-(10,0)-(10,5), boxes computed.
SubPath TwoLines() {
    Path p;
    p.MoveTo({0, 0});
    p.LineTo({10, 0});
    p.LineTo({10, 5});
    p.ClosePath();
    p.RefreshBBoxes();
    return SubPath(p.subPaths[0]);
}

} // namespace

TEST(GeometryRecords, SubPathOfTwoLinesMatchesFixture) {
    SubPath sp = TwoLines();
    sp.state = 0x0003;
    sp.depth = -1;
    sp.rotation = 1;
    const Bytes got = Store([&](CArchive& ar) { ar << sp; });
    ASSERT_EQ(got.size(), 71u);
    W w;
    w.u16(2).u16(sp.members[0].flags).pt(0, 0).pt(10, 0).u16(sp.members[1].flags).pt(10, 5);
    w.f32(sp.accuracy).u16(0x0403).box(0, 10, 0, 5).box(0, 10, 0, 5).u16(0xFFFF).u8(1);
    EXPECT_EQ(got, w.b);

    // State 0x0003 comes back as 0x0403; the second member starts where the first ends.
    SubPath back;
    ASSERT_EQ(Load(got, [&](CArchive& ar) { ar >> back; }), -1);
    EXPECT_EQ(back.state, 0x0403);
    ASSERT_EQ(back.members.Filled(), 2);
    EXPECT_EQ(back.members[1].start.x, 10.f);
    EXPECT_EQ(back.members[1].start.y, 0.f);
    EXPECT_EQ(back.depth, -1);
    EXPECT_EQ(back.rotation, 1);
    EXPECT_EQ(Store([&](CArchive& ar) { ar << back; }), got);

    // What is known of the members in memory is not stored, nor trusted from a file.
    sp.state = std::uint16_t(0x0003 | SP_KNOWN);
    EXPECT_EQ(Store([&](CArchive& ar) { ar << sp; }), got);
    Bytes claiming = got;
    // The state's high byte, before both boxes, the depth and the rotation.
    claiming[got.size() - 1 - 2 - 32 - 1] |= 0xF0;
    ASSERT_EQ(Load(claiming, [&](CArchive& ar) { ar >> back; }), -1);
    EXPECT_EQ(back.state, 0x0403);
}

TEST(GeometryRecords, CurveAddsControlPointsAndEmptyPathIs38Bytes) {
    Path p;
    p.MoveTo({0, 0});
    p.LineTo({10, 0});
    p.CurveTo({12, 2}, {12, 4}, {10, 5});
    p.ClosePath();
    p.RefreshBBoxes();
    const Bytes curve = Store([&](CArchive& ar) { ar << p.subPaths[0]; });
    EXPECT_EQ(curve.size(), 71u + 16u);
    SubPath back;
    ASSERT_EQ(Load(curve, [&](CArchive& ar) { ar >> back; }), -1);
    EXPECT_EQ(back.members[1].ctrl1.x, 12.f);
    EXPECT_EQ(back.members[1].ctrl2.y, 4.f);
    EXPECT_EQ(back.members[1].end.y, 5.f);

    Path empty;
    EXPECT_EQ(Store([&](CArchive& ar) { ar << empty; }).size(), 38u);
}

TEST(GeometryRecords, ColorPathRoundTrips) {
    ColorPath cp;
    cp.MoveTo({0, 0});
    cp.LineTo({10, 0});
    cp.LineTo({10, 10});
    cp.LineTo({0, 0});
    cp.ClosePath();
    cp.MoveTo({20, 20});
    cp.LineTo({30, 25});
    cp.ClosePath();
    cp.Prepare();
    cp.RefreshBBoxes();
    cp.colour = 0x00123456;
    cp.layer = -3;
    cp.pathFlags = CP_LINES_ONLY;
    const Bytes once = Store([&](CArchive& ar) { ar << cp; });
    ColorPath back;
    ASSERT_EQ(Load(once, [&](CArchive& ar) { ar >> back; }), -1);
    EXPECT_EQ(back.subPaths.Filled(), 2);
    EXPECT_EQ(back.colour, 0x00123456u);
    EXPECT_EQ(back.layer, -3);
    EXPECT_EQ(back.pathFlags, CP_LINES_ONLY);
    EXPECT_EQ(back.accBox.right, cp.accBox.right);
    // Stored again, identical (the clusters-invalid bit is already set).
    EXPECT_EQ(Store([&](CArchive& ar) { ar << back; }), once);
}

TEST(GeometryRecords, BadCountsAndAccuraciesFromFiles) {
    // Counts beyond the bytes left fail before anything is allocated.
    struct Case {
        const char* what;
        Bytes bytes;
        bool subPath;
    } cases[] = {
        {"huge member count", W().u16(0xFFFF).b, true},
        {"member count beyond bytes", W().u16(3).u16(0).pt(0, 0).pt(1, 1).b, true},
        {"huge sub-path count", W().u16(0xFFFF).b, false},
        {"sub-path count beyond bytes", W().u16(2).u16(0).f32(0.1f).b, false},
        {"truncated path tail", W().u16(0).f32(0.1f).b, false},
    };
    for (const Case& c : cases) {
        SubPath sp;
        Path p;
        const int cause = Load(c.bytes, [&](CArchive& ar) {
            if (c.subPath)
                ar >> sp;
            else
                ar >> p;
        });
        EXPECT_NE(cause, -1) << c.what;
        EXPECT_EQ(sp.members.Allocated(), 0) << c.what;
        EXPECT_EQ(p.subPaths.Allocated(), 0) << c.what;
    }

    const float accuracies[] = {0.f, -1.f, std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity()};
    for (float a : accuracies) {
        Path p;
        const Bytes bytes = W().u16(0).f32(a).box(0, 0, 0, 0).box(0, 0, 0, 0).b;
        ASSERT_EQ(Load(bytes, [&](CArchive& ar) { ar >> p; }), -1);
        EXPECT_EQ(p.accuracy, Path::DefAccuracy) << a;
        SubPath sp;
        const Bytes spBytes =
            W().u16(0).f32(a).u16(0).box(0, 0, 0, 0).box(0, 0, 0, 0).u16(0).u8(0).b;
        ASSERT_EQ(Load(spBytes, [&](CArchive& ar) { ar >> sp; }), -1);
        EXPECT_EQ(sp.accuracy, Path::DefAccuracy) << a;
    }
}

namespace {
void Square(Path& p, float x0, float y0, float s) {
    p.MoveTo({x0, y0});
    p.LineTo({x0 + s, y0});
    p.LineTo({x0 + s, y0 + s});
    p.LineTo({x0, y0 + s});
    p.LineTo({x0, y0});
    p.ClosePath();
}
} // namespace

TEST(FilterSubPaths, KeepsOuterContoursAndOpenOnesOnRequest) {
    // An outer square, a hole in it, an island in the hole, a separate square and a line.
    Path src;
    Square(src, 0, 0, 100);
    Square(src, 10, 10, 80);
    Square(src, 30, 30, 20);
    Square(src, 200, 0, 10);
    src.MoveTo({300, 0});
    src.LineTo({310, 10});
    src.ClosePath();

    struct Case {
        int keepNegative;
        int expected;
    } cases[] = {{0, 2}, {1, 3}};
    for (const Case& c : cases) {
        Path copy(src);
        Path dst;
        FilterSubPaths(copy, dst, c.keepNegative);
        ASSERT_EQ(dst.subPaths.Filled(), c.expected) << c.keepNegative;
        for (const SubPath& sp : dst.subPaths) {
            EXPECT_TRUE(sp.depth == 0 || (c.keepNegative && sp.depth < 0));
        }
        EXPECT_GT(dst.accBox.right, 209.f);
    }

    // Source and destination the same path.
    Path same(src);
    FilterSubPaths(same, same, 0);
    EXPECT_EQ(same.subPaths.Filled(), 2);
}
