// Clipped objects: the transforms they take, the clip box following them, stamps, records,
// export decisions and the colour mask of pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ObjectArchive.h"
#include "model/CClippedObj.h"
#include "model/CFountainFill.h"
#include "model/ViewColors.h"
#include "rasterkit/CDib.h"

namespace {

void ExpectBox(const floatBBox& b, float l, float r, float bottom, float t) {
    EXPECT_FLOAT_EQ(b.left, l);
    EXPECT_FLOAT_EQ(b.right, r);
    EXPECT_FLOAT_EQ(b.bottom, bottom);
    EXPECT_FLOAT_EQ(b.top, t);
}

// Content area and contour both (0, 0) to (10, 5).
void MakeFramed(CClippedObj& o) {
    o.m_bbClip = floatBBox(0, 0, 10, 5);
    o.ResetContour();
    o.UpdateStamp();
}

ByteWriter& Box(ByteWriter& w, const floatBBox& b) {
    return w.f32(b.left).f32(b.right).f32(b.bottom).f32(b.top);
}

} // namespace

TEST(ClippedObjTest, AcceptsOnlyUprightScalesAndMoves) {
    const struct {
        const char* name;
        floatTMatrix m;
        BOOL accepted;
    } cases[] = {
        {"identity", floatTMatrix(), 1},
        {"move", floatTMatrix(1, 0, 0, 1, 7, -3), 1},
        {"scale", floatTMatrix(2, 0, 0, 0.5f, 0, 0), 1},
        {"turned half way", floatTMatrix(-1, 0, 0, -1, 0, 0), 1},
        {"mirrored in x", floatTMatrix(-1, 0, 0, 1, 0, 0), 0},
        {"mirrored in y", floatTMatrix(1, 0, 0, -1, 0, 0), 0},
        {"quarter turn", floatTMatrix(0, 1, -1, 0, 0, 0), 0},
        {"sheared", floatTMatrix(1, 0, 0.25f, 1, 0, 0), 0},
        {"flattened in x", floatTMatrix(0, 0, 0, 1, 0, 0), 0},
        {"flattened in both", floatTMatrix(0, 0, 0, 0, 0, 0), 1},
    };
    CClippedObj o;
    MakeFramed(o);
    for (const auto& k : cases)
        EXPECT_EQ(o.AcceptsTransform(k.m), k.accepted) << k.name;
}

TEST(ClippedObjTest, ClipBoxFollowsMovesAndScalesAndChangesTheSavedStamp) {
    CClippedObj o;
    MakeFramed(o);
    const DWORD before = o.StoreStamp();

    o.Transform(floatTMatrix(1, 0, 0, 1, 3, 4));
    ExpectBox(o.m_bbClip, 3, 13, 4, 9);
    ExpectBox(*o.GetBBox(), 3, 13, 4, 9);
    o.Transform(floatTMatrix(2, 0, 0, 2, 0, 0));
    ExpectBox(o.m_bbClip, 6, 26, 8, 18);
    ExpectBox(*o.GetBBox(), 6, 26, 8, 18);
    // A half turn keeps the box's edges sorted.
    o.Transform(floatTMatrix(-1, 0, 0, -1, 0, 0));
    ExpectBox(o.m_bbClip, -26, -6, -18, -8);
    EXPECT_NE(o.StoreStamp(), before);

    // The contour alone moves: the clip box stays.
    o.TransformContour(floatTMatrix(1, 0, 0, 1, 100, 0));
    ExpectBox(o.m_bbClip, -26, -6, -18, -8);
    ExpectBox(*o.GetBBox(), 74, 94, -18, -8);

    // Equal contours, different content areas: equal content stamps, different saved stamps,
    // so the undo recorder snapshots a change of the clip box alone.
    CClippedObj a, b;
    MakeFramed(a);
    MakeFramed(b);
    b.m_bbClip.right = 11;
    EXPECT_EQ(a.m_nStamp, b.m_nStamp);
    EXPECT_NE(a.StoreStamp(), b.StoreStamp());
    EXPECT_EQ(a.m_nSavedStamp, a.StoreStamp());
}

TEST(ClippedObjTest, ExportFormats) {
    CClippedObj o;
    MakeFramed(o);
    EXPECT_EQ(o.CanExportTo("WMF"), 1);
    EXPECT_EQ(o.CanExportTo("wmf"), 1);
    EXPECT_EQ(o.CanExportTo("EMF"), 1);
    EXPECT_EQ(o.CanExportTo("png"), 1);
    EXPECT_EQ(o.CanExportTo("BEZ"), 0);
    EXPECT_EQ(o.CanExportTo("WPF"), 0);
    EXPECT_EQ(o.CanExportTo("PLT"), 0);

    // The content area differs from the contour.
    o.m_bbClip.top = 6;
    EXPECT_EQ(o.CanExportTo("WMF"), 0);
    o.m_bbClip.top = 5;

    // A node added on the bottom edge: still the same box, but no longer four members.
    {
        Path& p = o.m_path;
        p.subPaths.Destroy();
        p.MoveTo({0, 0});
        p.LineTo({5, 0});
        p.LineTo({10, 0});
        p.LineTo({10, 5});
        p.LineTo({0, 5});
        p.LineTo({0, 0});
        p.ClosePath();
        p.Prepare();
    }
    ExpectBox(*o.GetBBox(), 0, 10, 0, 5);
    EXPECT_EQ(o.CanExportTo("WMF"), 0);
    o.ResetContour();
    EXPECT_EQ(o.CanExportTo("WMF"), 1);

    // Transparency keeps it out of enhanced metafiles and of the formats the base refuses.
    o.m_fTransparency = 0.5f;
    EXPECT_EQ(o.CanExportTo("EMF"), 0);
    EXPECT_EQ(o.CanExportTo("bmp"), 1);
    EXPECT_EQ(o.CanExportTo("WMF"), 1);
}

TEST(ClippedObjTest, TakesNoFillAndDoesNotDistort) {
    CClippedObj o;
    MakeFramed(o);
    auto* pFill = new CFountainFill(floatBBox(0, 0, 10, 5), 0, 0xFFFFFF);
    o.SetFill(pFill);
    EXPECT_EQ(o.m_pFill, nullptr);
    EXPECT_EQ(pFill->m_nRefCount, 0);
    delete pFill;
    EXPECT_EQ(o.CanDistort(), 0);
    EXPECT_EQ(o.HasContent(), 0);
}

TEST(ClippedObjTest, RecordAndSnapshot) {
    CClippedObj o;
    MakeFramed(o);
    o.m_bbClip = floatBBox(-1, -2, 11, 6);
    const Bytes got = StoreObj([&](CArchive& ar) { o.Serialize(ar); });
    ByteWriter w;
    w.append(StoreObj([&](CArchive& ar) { o.CPathObj::Serialize(ar); })).u16(1);
    Box(w, o.m_bbClip);
    EXPECT_EQ(got, w.bytes);

    CClippedObj back;
    LoadObj(back, got);
    ExpectBox(back.m_bbClip, -1, 11, -2, 6);
    ExpectBox(*back.GetBBox(), 0, 10, 0, 5);
    back.UpdateStamp();
    EXPECT_EQ(back.StoreStamp(), o.StoreStamp());

    Bytes newer = got;
    newer[got.size() - 18] = 2;
    std::string file;
    CClippedObj refused;
    EXPECT_EQ(ArchiveCause([&] { LoadObj(refused, newer); }, &file), 5);
    EXPECT_EQ(file, "design.wtp");

    // The snapshot carries the clip box after the path.
    const Bytes state = StoreState(o);
    ByteWriter ws;
    ws.append(StoreObj([&](CArchive& ar) { o.CPathObj::SerializeState(ar, nullptr); }));
    Box(ws, o.m_bbClip);
    EXPECT_EQ(state, ws.bytes);
    CClippedObj restored;
    LoadState(restored, state);
    ExpectBox(restored.m_bbClip, -1, 11, -2, 6);
    EXPECT_EQ(restored.m_nStamp, o.m_nStamp);
}

TEST(ClippedObjTest, ColorMaskWhitensTheKeyColourAndBlackensTheRest) {
    CDib dib(3, 2, 24);
    ASSERT_EQ(dib.GetBitsPerPixel(), 24);
    // Blue, green, red bytes of each pixel.
    const BYTE pixels[2][3][3] = {{{255, 255, 255}, {254, 255, 255}, {0, 0, 255}},
                                  {{0, 0, 0}, {0, 0, 255}, {255, 255, 255}}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            std::memcpy(dib.GetPointer(x, y), pixels[y][x], 3);

    const auto masked = [&] {
        CDib copy(3, 2, 24);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                std::memcpy(copy.GetPointer(x, y), dib.GetPointer(x, y), 3);
        MakeColorMask(copy);
        std::vector<int> out;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const BYTE* p = copy.GetPointer(x, y);
                EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
                out.push_back(p[0]);
            }
        return out;
    };
    // Default key: white.
    EXPECT_EQ(masked(), (std::vector<int>{255, 0, 0, 0, 0, 255}));
    // Red as key.
    const COLORREF saved = GetViewColors().TraceBGColor;
    GetViewColors().TraceBGColor = RGB(255, 0, 0);
    EXPECT_EQ(masked(), (std::vector<int>{0, 0, 255, 0, 255, 0}));
    GetViewColors().TraceBGColor = saved;

    // Other depths are left alone.
    CDib gray(2, 1, 8);
    *gray.GetPointer(0, 0) = 7;
    MakeColorMask(gray);
    EXPECT_EQ(*gray.GetPointer(0, 0), 7);
}
