// Transparent drawing onto bitmap contexts: the object's image blended through its mask.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "mfc/CDC.h"
#include "mfc/CGdiObject.h"
#include "pathkit/PathDraw.h"
#include "model/CGroupObj.h"
#include "model/CSign.h"
#include "model/CTextureFill.h"
#include "model/FillPainting.h"
#include "rasterkit/CDibDC.h"
#include "testing/PlatformTest.h"
#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);

// A solid square that paints itself red and its coverage into masks, and sends itself
// through DrawTransparent on bitmap contexts when transparent.
class CSquare : public CSignObj {
public:
    CSquare(float l, float b, float r, float t) : m_box(l, b, r, t) {}
    floatBBox* GetBBox() override { return &m_box; }
    signed char GetLayer() override { return 0; }
    void Fill(CDC* pDC, const floatTMatrix& m, COLORREF color) {
        CRect r;
        ::Transform(m, m_box, r);
        CBrush brush(color);
        pDC->FillRect(&r, &brush);
    }
    void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) override {
        if (mode >= 2 && flag == 0 && pDC->IsKindOf(RUNTIME_CLASS(CDibDC)) && m_fTransparency > 0) {
            DrawTransparent(static_cast<CDibDC*>(pDC), m, mode, layer);
            return;
        }
        Fill(pDC, m, Red);
    }
    void DrawMask(CDibDC* pMask, const floatTMatrix& m, int) override {
        const BYTE v = TransparencyLevel(m_fTransparency);
        Fill(pMask, m, RGB(v, v, v));
    }
    void DrawOutline(CDC* pDC, const floatTMatrix& m, COLORREF color) override {
        Fill(pDC, m, color);
    }
    floatBBox m_box;
};

} // namespace

// The mask's grey level: 255 × the value, truncated; past the range of int, or not a
// number, the level of the range's end.
TEST(TransparencyTest, MaskLevelsOfEveryValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, BYTE> cases[] = {{0.0f, 0},   {0.5f, 127},        {1.0f, 255},
                                            {1e30f, 255}, {inf, 255},         {-inf, 0},
                                            {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (auto [value, level] : cases)
        EXPECT_EQ(TransparencyLevel(value), level) << value;
}

TEST(TransparencyTest, HalfTransparentRedOverWhite) {
    CDibDC dc(20, 20);
    ASSERT_TRUE(dc.IsValid());
    CSquare square(5, 5, 15, 15);
    square.m_fTransparency = 0.5f;
    square.Paint(&dc, floatTMatrix(), 3, 0, 0);
    const SdGdiImage img = SdGdiReadDC(dc.m_hDC);
    EXPECT_EQ(img.at(10, 10), RGB(253, 126, 126));
    EXPECT_EQ(img.at(5, 5), RGB(253, 126, 126));
    EXPECT_EQ(img.at(2, 10), White);
    EXPECT_EQ(img.at(17, 17), White);
}

TEST(TransparencyTest, GroupFillsItsMaskAndBlendsItsChildren) {
    CGroupObj group;
    group.m_children.Add(new CSquare(2, 2, 8, 8));
    group.m_children.Add(new CSquare(12, 12, 18, 18));
    group.RefreshBBox();
    group.m_fTransparency = 0.5f;

    CDibDC mask(8, 8);
    group.DrawMask(&mask, floatTMatrix(), 3);
    for (COLORREF p : SdGdiReadDC(mask.m_hDC).pixels)
        ASSERT_EQ(p, RGB(127, 127, 127));

    // The children's coverage limits the group's mask: the gap between them stays white.
    CDibDC dc(20, 20);
    group.Paint(&dc, floatTMatrix(), 3, 0, 0);
    SdGdiImage img = SdGdiReadDC(dc.m_hDC);
    EXPECT_EQ(img.at(5, 5), RGB(253, 126, 126));
    EXPECT_EQ(img.at(15, 15), RGB(253, 126, 126));
    EXPECT_EQ(img.at(10, 10), White);
    EXPECT_EQ(img.at(5, 15), White);
    // Outline view (mode below 2) and the flag paint the group plainly.
    CDibDC plain(20, 20);
    group.Paint(&plain, floatTMatrix(), 1, 0, 0);
    EXPECT_EQ(SdGdiReadDC(plain.m_hDC).at(5, 5), Red);
}

class RasterPrintingTest : public PlatformTest {};

TEST_F(RasterPrintingTest, TexturesNeedItOnlyWithoutPassThrough) {
    SdInstallFakeSpooler();
    SdAddFakePrinter("PS");
    SdGdiDescribePrinter("PS", SdPrinterKind::PostScript);
    CDC ps;
    ASSERT_TRUE(ps.CreateDC(nullptr, "PS", nullptr, nullptr));
    CDibDC raster(4, 4);

    CSign sign;
    auto* obj = new CSquare(0, 0, 1, 1);
    sign.Add(obj);
    EXPECT_EQ(sign.NeedsRasterPrinting(&raster, 1), 0);
    obj->SetFill(new CTextureFill);
    EXPECT_EQ(sign.NeedsRasterPrinting(&raster, 0), 1);
    EXPECT_EQ(sign.NeedsRasterPrinting(&ps, 1), 0);
    obj->m_fTransparency = 0.1f;
    EXPECT_EQ(sign.NeedsRasterPrinting(&ps, 1), 1);
    ps.DeleteDC();
    SdRemoveFakeSpooler();
}
