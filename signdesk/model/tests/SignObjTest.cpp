#include <gtest/gtest.h>

#include "TestObj.h"
#include "model/CFillObj.h"
#include "model/CGroupObj.h"
#include "pathkit/Path.h"
#include "win32/UserTesting.h"

namespace {

// A fill that can be copied and remembers the matrices it was given.
class CCopyFill : public CFillObj {
public:
    CFillObj* Clone() override {
        auto* p = new CCopyFill;
        p->m_nTransforms = m_nTransforms;
        return p;
    }
    void Transform(const floatTMatrix&) override { ++m_nTransforms; }
    int m_nTransforms = 0;
};

} // namespace

TEST(SignObjTest, SerialsCountUpAcrossClasses) {
    const DWORD before = CSignObj::GetSerialCounter();
    CSignObj a;
    CGroupObj g;
    CTestObj t;
    EXPECT_EQ(a.m_nSerial, before + 1);
    EXPECT_EQ(g.m_nSerial, before + 2);
    EXPECT_EQ(t.m_nSerial, before + 3);
    EXPECT_EQ(CSignObj::GetSerialCounter(), before + 3);
    EXPECT_EQ(a.m_bFlag2, 1);
    EXPECT_EQ(a.GetLayer(), NO_LAYER);
    EXPECT_EQ(a.GetColor(), NO_COLOR);
}

TEST(SignObjTest, TransformScalesTheOutlineWidthUnlessFixed) {
    struct Case {
        floatTMatrix m;
        BYTE fixed;
        float width;
        bool stamped; // the fill was transformed
    } cases[] = {
        {floatTMatrix(), 0, 0.5f, false},
        {floatTMatrix(2, 0, 0, 2, 0, 0), 0, 1.0f, true},
        {floatTMatrix(2, 0, 0, 2, 0, 0), 1, 0.5f, true},
        {floatTMatrix(1, 0, 0, 1, 30, -4), 0, 0.5f, true},
        {floatTMatrix(0, 3, -3, 0, 0, 0), 0, 1.5f, true}, // rotation by 90° with scale 3
    };
    for (const Case& c : cases) {
        CSignObj o;
        o.m_fOutlineWidth = 0.5f;
        o.m_bFixedOutlineWidth = c.fixed;
        auto* fill = new CCopyFill;
        o.SetFill(fill);
        o.Transform(c.m);
        EXPECT_FLOAT_EQ(o.m_fOutlineWidth, c.width);
        EXPECT_EQ(o.m_nStamp, c.stamped ? 1u : 0u);
        // A transformed fill is a copy; the shared original is left to its other holders.
        EXPECT_EQ(o.m_pFill != fill, c.stamped);
        EXPECT_EQ(static_cast<CCopyFill*>(o.m_pFill)->m_nTransforms, c.stamped ? 1 : 0);
        EXPECT_EQ(o.m_pFill->m_nRefCount, 1);
    }
}

TEST(SignObjTest, AFillThatCannotBeCopiedStaysAsItIs) {
    // The base fill answers Clone with null: the transform keeps the fill and the stamp.
    CSignObj o;
    auto* fill = new CFillObj;
    o.SetFill(fill);
    o.SetTransparencyFill(fill);
    o.Transform(floatTMatrix(2, 0, 0, 2, 1, 1));
    EXPECT_EQ(o.m_pFill, fill);
    EXPECT_EQ(o.m_pTransparencyFill, fill);
    EXPECT_EQ(fill->m_nRefCount, 2);
    EXPECT_EQ(o.m_nStamp, 0u);
}

TEST(SignObjTest, FillReferencesAreCounted) {
    auto* fill = new CFillObj;
    {
        CSignObj a;
        a.SetFill(fill);
        a.SetFill(fill); // the same pointer again changes nothing
        EXPECT_EQ(fill->m_nRefCount, 1);
        EXPECT_EQ(fill->GetMemSize(), 4u);
        CSignObj b;
        b.CopyAttributes(&a);
        EXPECT_EQ(b.m_pFill, fill);
        EXPECT_EQ(fill->m_nRefCount, 2);
        EXPECT_EQ(fill->GetMemSize(), 0u);
        b.SetFill(nullptr);
        EXPECT_EQ(fill->m_nRefCount, 1);
    }
    // The last holder deleted the fill (the sanitizer build sees a leak or a double free).
}

TEST(SignObjTest, CopyAttributesCopiesStyleButNotIdentity) {
    CSignObj a, b;
    a.m_fOutlineWidth = 1.5f;
    a.m_clrOutline = 0x112233;
    a.m_bFixedOutlineWidth = 1;
    a.m_bFlag1 = 1;
    a.m_bFlag2 = 0;
    a.m_fTransparency = 0.3f;
    a.m_bSelected = 1;
    a.m_bLocked = 1;
    a.m_nStamp = 9;
    auto* tfill = new CFillObj;
    a.SetTransparencyFill(tfill);
    b.CopyAttributes(&a);
    EXPECT_EQ(b.m_fOutlineWidth, 1.5f);
    EXPECT_EQ(b.m_clrOutline, 0x112233u);
    EXPECT_EQ(b.m_bFixedOutlineWidth, 1);
    EXPECT_EQ(b.m_bFlag1, 1);
    EXPECT_EQ(b.m_bFlag2, 0);
    EXPECT_EQ(b.m_fTransparency, 0.3f);
    EXPECT_EQ(b.m_pTransparencyFill, tfill);
    EXPECT_EQ(tfill->m_nRefCount, 2);
    EXPECT_NE(b.m_nSerial, a.m_nSerial);
    EXPECT_EQ(b.m_bSelected, 0);
    EXPECT_EQ(b.m_bLocked, 0);
    EXPECT_EQ(b.m_nStamp, 0u);
}

TEST(SignObjTest, CanExportTo) {
    struct Case {
        const char* format;
        float width;
        float transparency;
        bool fill;
        BOOL expected;
    } cases[] = {
        {"png", 1, 1, true, 1},     {"EPS", 1, 1, true, 1},    {"wmf", 1, 1, true, 1},
        {"wpf", 0.5f, 0, false, 0}, {"WPF", 0, 0, false, 1},   {"Wpf", 0, 0.2f, false, 0},
        {"wpf", 0, 0, true, 0},     {"ai", 0.5f, 0, false, 1}, {"AI", 0, 0.1f, false, 0},
        {"ai", 0, 0, true, 0},      {"dxf", 1, 1, true, 1},
    };
    for (const Case& c : cases) {
        CSignObj o;
        o.m_fOutlineWidth = c.width;
        o.m_fTransparency = c.transparency;
        if (c.fill) o.SetFill(new CFillObj);
        EXPECT_EQ(o.CanExportTo(c.format), c.expected) << c.format;
    }
    CSignObj o;
    o.SetTransparencyFill(new CFillObj);
    EXPECT_EQ(o.CanExportTo("ai"), 0);
    EXPECT_EQ(o.CanExportTo("bmp"), 1);

    // A group answers for itself and every child.
    CGroupObj g;
    g.m_children.Add(new CSignObj);
    EXPECT_EQ(g.CanExportTo("wpf"), 1);
    static_cast<CSignObj*>(g.m_children.GetAt(0))->m_fOutlineWidth = 1;
    EXPECT_EQ(g.CanExportTo("wpf"), 0);
    EXPECT_EQ(g.CanExportTo("ai"), 1);
}

TEST(SignObjTest, BaseAnswersNeutrallyAndEditBeeps) {
    CSignObj o;
    floatPoint p(0, 0);
    EXPECT_EQ(o.GetBBox(), nullptr);
    EXPECT_EQ(o.HitTest(p, 0, 1, 0, 0), nullptr);
    EXPECT_EQ(o.GetPath(), nullptr);
    EXPECT_EQ(o.SetLayer(3, 1), 0);
    EXPECT_EQ(o.SetOutlineColor(0xABCDEF), 1);
    EXPECT_EQ(o.m_clrOutline, 0xABCDEFu);
    EXPECT_EQ(o.ToggleSelect(), 1);
    EXPECT_EQ(o.ToggleSelect(), 0);
    o.m_nStamp = 5;
    EXPECT_EQ(o.StoreStamp(), 5u);
    EXPECT_EQ(o.m_nSavedStamp, 5u);
    CSignObj* copy = o.Duplicate();
    EXPECT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CSignObj));
    delete copy;
    SdResetBeeps();
    o.Edit(nullptr);
    EXPECT_EQ(SdBeepCount(), 1);
}

namespace {

void Square(Path& p, float x, float y, float size) {
    p.MoveTo(floatPoint(x, y));
    p.LineTo(floatPoint(x + size, y));
    p.LineTo(floatPoint(x + size, y + size));
    p.LineTo(floatPoint(x, y + size));
    p.LineTo(floatPoint(x, y));
    p.ClosePath();
    p.Prepare();
}

} // namespace

TEST(SignObjTest, MergePathsUnitesMeetingBoxesAndAppendsDisjointOnes) {
    {
        // Two squares sharing an edge become one rectangle.
        Path src, dst;
        Square(dst, 0, 0, 10);
        Square(src, 10, 0, 10);
        EXPECT_EQ(MergePaths(src, dst), 1);
        EXPECT_EQ(dst.subPaths.Filled(), 1);
        EXPECT_FLOAT_EQ(dst.ctrlBox.left, 0);
        EXPECT_FLOAT_EQ(dst.ctrlBox.right, 20);
        EXPECT_EQ(src.subPaths.Filled(), 1); // the source is copied, not taken
    }
    {
        Path src, dst;
        Square(dst, 0, 0, 10);
        Square(src, 30, 40, 5);
        EXPECT_EQ(MergePaths(src, dst), 0);
        EXPECT_EQ(dst.subPaths.Filled(), 2);
        EXPECT_FLOAT_EQ(dst.ctrlBox.right, 35);
        EXPECT_FLOAT_EQ(dst.ctrlBox.top, 45);
        EXPECT_FLOAT_EQ(dst.ctrlBox.left, 0);
    }
    {
        Path src, dst;
        Square(dst, 0, 0, 10);
        EXPECT_EQ(MergePaths(src, dst), 1); // nothing to add
        EXPECT_EQ(dst.subPaths.Filled(), 1);
    }
    {
        // AddToPath through an object's path; a group forwards to its children.
        Path a, b, target;
        Square(a, 0, 0, 10);
        Square(b, 50, 0, 10);
        CGroupObj g;
        auto* ta = new CTestObj(0, 0, 10, 10);
        ta->m_pPath = &a;
        auto* tb = new CTestObj(50, 0, 60, 10);
        tb->m_pPath = &b;
        g.m_children.Add(ta);
        g.m_children.Add(tb);
        g.AddToPath(target);
        EXPECT_EQ(target.subPaths.Filled(), 2);
        EXPECT_FLOAT_EQ(target.ctrlBox.right, 60);
    }
}

TEST(SignObjTest, ApplyBooleanOpReplacesThePathAndStamps) {
    Path own, other;
    Square(own, 0, 0, 10);
    Square(other, 5, 0, 10);
    CTestObj o(0, 0, 10, 10);
    o.m_pPath = &own;
    o.ApplyBooleanOp(1, other);
    EXPECT_EQ(o.m_nStamp, 1u);
    EXPECT_EQ(own.subPaths.Filled(), 1);
    EXPECT_FLOAT_EQ(own.ctrlBox.right, 15);
    CSignObj plain;
    plain.ApplyBooleanOp(1, other); // no path: nothing
    EXPECT_EQ(plain.m_nStamp, 0u);
}
