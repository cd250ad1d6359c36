// The weld's work without a view: the kinds and switches, fusing a group, the counters kept,
// and a design left byte for byte as it was when the work fails or is stopped.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "ObjectArchive.h"
#include "PathArea.h"
#include "SquarePath.h"
#include "StandInDoc.h"
#include "model/CGroupObj.h"
#include "model/CPathObj.h"
#include "model/CUndoStep.h"
#include "model/Weld.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Exceptions.h"
#include "win32/KernelTesting.h"
#include "win32/UserTesting.h"
#include "win32/user.h"

namespace {

// A clockwise square: a hole when it lies inside another contour.
void AddHole(Path& p, float x0, float y0, float s) {
    p.MoveTo({x0, y0});
    p.LineTo({x0, y0 + s});
    p.LineTo({x0 + s, y0 + s});
    p.LineTo({x0 + s, y0});
    p.LineTo({x0, y0});
    p.ClosePath();
}

CPathObj* NewPath(COLORREF color = 0x0000FF) {
    auto* o = new CPathObj;
    o->SetColor(color);
    return o;
}

CPathObj* Finished(CPathObj* o) {
    o->m_path.Invalidate(SP_ALL_INVALID);
    o->m_path.Prepare();
    o->RefreshBBox();
    o->UpdateStamp();
    return o;
}

// A square ring of side s at (x, y) with a hole of side s - 2w: an "o".
CPathObj* Ring(float x, float y, float s, float w) {
    CPathObj* o = NewPath();
    AddSquare(o->m_path, x, y, s);
    AddHole(o->m_path, x + w, y + w, s - 2 * w);
    return Finished(o);
}

CPathObj* Square(float x, float y, float s) {
    CPathObj* o = NewPath(0x00FF00);
    AddSquare(o->m_path, x, y, s);
    return Finished(o);
}

int Holes(const Path& p) {
    int n = 0;
    for (const SubPath& sp : p.subPaths)
        n += sp.IsHole();
    return n;
}

double AreaOf(CSignObj* o) {
    return SignedArea(*o->GetPath());
}

// Counts the polls and stops the work at the k-th.
struct StopAt : AbortHandler {
    int polls = 0, at = 0;
    void CheckAbort() override {
        if (++polls == at) throw AbortedError();
    }
};

class WeldTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = DefAbortHandler; }
    void TearDown() override { EXPECT_EQ(previous_, DefAbortHandler); }

    CSign& Sign() { return doc_.m_sign; }
    // The design as it stands becomes the undo baseline.
    void Open() { doc_.Opened(); }
    std::unique_ptr<Weld> NewWeld(int kind) {
        auto w = std::make_unique<Weld>(Sign(), kind);
        w->m_pUndo = &doc_;
        return w;
    }
    const char* LastStep() {
        int n = doc_.GetStepCount();
        return n ? static_cast<const char*>(doc_.GetStep(n - 1)->m_strName) : "";
    }

    StandInDoc doc_;
    AbortHandler* previous_ = nullptr;
};

} // namespace

// Target: a ring 10 mm square with a 4 mm hole (84 mm²); source: a 10 mm square overlapping
// its right 2 mm (20 mm² in common), clear of the hole.
TEST_F(WeldTest, KindsAndSwitches) {
    struct Case {
        int kind;
        BOOL keepSources, keepTarget;
        int objects;      // after the click
        double area;      // of the result
        int holes;        // of the result
        bool targetStays; // the clicked object is still there, unchanged
        bool sourceStays; // the source is still there, selected
        const char* step;
    } cases[] = {
        {1, 0, 0, 1, 164, 1, false, false, "Weld"},
        {1, 1, 0, 2, 164, 1, false, true, "Weld"},
        {1, 0, 1, 2, 164, 1, true, false, "Weld"},
        {1, 1, 1, 3, 164, 1, true, true, "Weld"},
        {2, 0, 0, 1, 20, 0, false, false, "Intersect"},
        {3, 0, 0, 1, 64, 1, false, false, "Subtract"},
        {3, 0, 1, 2, 64, 1, true, false, "Subtract"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " keep sources " << c.keepSources
                                        << " keep target " << c.keepTarget);
        StandInDoc& doc = doc_;
        doc.Clear();
        Sign().DeleteAll();
        CPathObj* target = Ring(0, 0, 10, 3);
        CPathObj* source = Square(8, 0, 10);
        const DWORD targetSerial = target->m_nSerial;
        Sign().Add(target);
        Sign().Add(source);
        source->Select();
        Open();
        const Bytes before = StoreSign(Sign());
        const Bytes targetBefore = StoreState(*target);

        auto wp = NewWeld(c.kind);
        Weld& w = *wp;
        w.m_bKeepSources = c.keepSources;
        w.m_bKeepTarget = c.keepTarget;
        ASSERT_EQ(Weld::Done, w.Click(target));
        ASSERT_EQ(c.objects, Sign().GetSize());
        EXPECT_STREQ(c.step, LastStep());
        EXPECT_EQ(2, doc.GetStepCount());

        // The result: directly above the target when that stays, else in its place.
        const int at = c.targetStays ? 1 : 0;
        CSignObj* result = Sign().GetObj(at);
        EXPECT_NEAR(c.area, AreaOf(result), 1e-3);
        EXPECT_EQ(c.holes, Holes(*result->GetPath()));
        EXPECT_EQ(!c.keepSources, result->m_bSelected != 0);
        if (c.targetStays) {
            EXPECT_EQ(target, Sign().GetObj(0));
            EXPECT_EQ(targetBefore, StoreState(*target));
            EXPECT_FALSE(target->m_bSelected);
        } else {
            // Changed in place, the target keeps its identity.
            EXPECT_EQ(targetSerial, result->m_nSerial);
        }
        EXPECT_EQ(c.sourceStays, Sign().GetObj(Sign().GetSize() - 1) == source);
        if (c.sourceStays) {
            EXPECT_TRUE(source->m_bSelected);
        }

        doc.Undo();
        EXPECT_EQ(before, StoreSign(Sign()));
    }
}

TEST_F(WeldTest, SubtractingAllOfTheTargetRemovesIt) {
    CPathObj* target = Ring(0, 0, 10, 3);
    CPathObj* cover = Square(-1, -1, 12);
    Sign().Add(target);
    Sign().Add(cover);
    cover->Select();
    Open();
    auto wp = NewWeld(Weld::Subtract);
    Weld& w = *wp;
    ASSERT_EQ(Weld::Done, w.Click(target));
    EXPECT_EQ(0, Sign().GetSize());
    EXPECT_STREQ("Subtract", LastStep());
}

// Overlapping rings ("o o o") welded into one: one outline, every counter still a hole.
TEST_F(WeldTest, WeldKeepsTheCounters) {
    CPathObj* target = Ring(0, 0, 10, 3);
    Sign().Add(target);
    for (float x : {8.0f, 16.0f, 24.0f}) {
        CPathObj* o = Ring(x, x == 16 ? 1.0f : 0.0f, 10, 3);
        o->Select();
        Sign().Add(o);
    }
    Open();
    auto wp = NewWeld(Weld::Union);
    Weld& w = *wp;
    ASSERT_EQ(Weld::Done, w.Click(target));
    ASSERT_EQ(1, Sign().GetSize());
    const Path& p = *Sign().GetObj(0)->GetPath();
    EXPECT_EQ(5, int(p.subPaths.Filled()));
    EXPECT_EQ(4, Holes(p));
}

TEST_F(WeldTest, OpenContoursTakeNoPartAndTheirObjectStays) {
    CPathObj* target = Ring(0, 0, 10, 3);
    CPathObj* line = NewPath();
    line->m_path.MoveTo({5, -5});
    line->m_path.LineTo({5, 20});
    line->m_path.ClosePath();
    Finished(line);
    CPathObj* square = Square(8, 0, 10);
    Sign().Add(target);
    Sign().Add(line);
    Sign().Add(square);
    line->Select();
    square->Select();
    Open();
    auto wp = NewWeld(Weld::Union);
    Weld& w = *wp;
    ASSERT_EQ(Weld::Done, w.Click(target));
    ASSERT_EQ(2, Sign().GetSize());
    EXPECT_NEAR(164, AreaOf(Sign().GetObj(0)), 1e-3);
    EXPECT_EQ(line, Sign().GetObj(1));

    // A selection of open contours alone has nothing to weld with.
    const Bytes before = StoreSign(Sign());
    line->Select();
    auto againp = NewWeld(Weld::Union);
    Weld& again = *againp;
    EXPECT_EQ(Weld::Refused, again.Click(Sign().GetObj(0)));
    EXPECT_EQ(before, StoreSign(Sign()));
}

TEST_F(WeldTest, AGroupSelectedAloneIsFusedWithTheDefaults) {
    auto* group = new CGroupObj;
    group->m_children.Add(Ring(0, 0, 10, 3));
    group->m_children.Add(Ring(8, 0, 10, 3));
    group->RefreshBBox();
    Sign().Add(group);
    group->Select();
    Open();
    auto wp = NewWeld(Weld::Union);
    Weld& w = *wp;
    w.m_defaults.fillColor = 0x123456;
    w.m_defaults.layer = 3;
    w.m_defaults.outlineColor = 0x654321;
    w.m_defaults.outlineWidth = 0.5f;
    ASSERT_EQ(Weld::Done, w.Click(group));
    ASSERT_EQ(1, Sign().GetSize());
    CSignObj* fused = Sign().GetObj(0);
    ASSERT_TRUE(fused->IsKindOf(RUNTIME_CLASS(CPathObj)));
    EXPECT_EQ(COLORREF(0x123456), fused->GetColor());
    EXPECT_EQ(3, fused->GetLayer());
    EXPECT_EQ(COLORREF(0x654321), fused->m_clrOutline);
    EXPECT_FLOAT_EQ(0.5f, fused->m_fOutlineWidth);
    EXPECT_TRUE(fused->m_bSelected);
    EXPECT_NEAR(148, AreaOf(fused), 1e-3);
    EXPECT_EQ(2, Holes(*fused->GetPath()));
    EXPECT_STREQ("Weld", LastStep());
}

// Clicks that change nothing: on nothing, on a locked object, on the only selected object
// when it is no group, on a group with another kind.
TEST_F(WeldTest, RefusedClicksChangeNothing) {
    CPathObj* a = Ring(0, 0, 10, 3);
    CPathObj* locked = Square(8, 0, 10);
    auto* group = new CGroupObj;
    group->m_children.Add(Ring(30, 0, 10, 3));
    group->RefreshBBox();
    locked->m_bLocked = 1;
    Sign().Add(a);
    Sign().Add(locked);
    Sign().Add(group);
    Open();
    const Bytes before = StoreSign(Sign());
    struct Case {
        int kind;
        CSignObj* clicked;
        Weld::Outcome outcome;
    } cases[] = {
        {1, nullptr, Weld::Missed}, {1, locked, Weld::Missed}, {1, a, Weld::Refused},
        {2, group, Weld::Refused},  {3, a, Weld::Refused},
    };
    for (const Case& c : cases) {
        auto wp = NewWeld(c.kind);
        Weld& w = *wp;
        EXPECT_EQ(c.outcome, w.Click(c.clicked));
        EXPECT_FALSE(a->m_bSelected);
        EXPECT_EQ(before, StoreSign(Sign()));
        EXPECT_EQ(1, doc_.GetStepCount());
    }
}

// Stopped at any poll, out of memory on the way, or past the array limit of a contour: the
// design stays as it was, byte for byte, no step is recorded and the handler is put back.
TEST_F(WeldTest, AFailureOnTheWayLeavesTheDesignAsItWas) {
    CPathObj* target = Ring(0, 0, 10, 3);
    Sign().Add(target);
    for (int i = 1; i < 6; ++i) {
        CPathObj* o = Ring(float(i) * 8, float(i % 2), 10, 3);
        o->Select();
        Sign().Add(o);
    }
    Open();
    const Bytes before = StoreSign(Sign());
    auto expectUnchanged = [&] {
        EXPECT_EQ(before, StoreSign(Sign()));
        EXPECT_EQ(1, doc_.GetStepCount());
        EXPECT_EQ(previous_, DefAbortHandler);
    };

    // A run on a copy of the design counts the polls.
    StopAt count;
    {
        CSign other;
        LoadSign(other, before);
        for (int i = 1; i < other.GetSize(); ++i)
            other.GetObj(i)->Select();
        Weld dry(other, Weld::Union);
        dry.m_pHandler = &count;
        ASSERT_EQ(Weld::Done, dry.Click(other.GetObj(0)));
    }
    ASSERT_GE(count.polls, 3);
    for (int k = 1; k <= count.polls; ++k) {
        SCOPED_TRACE(k);
        StopAt stop;
        stop.at = k;
        auto wp = NewWeld(Weld::Union);
        Weld& w = *wp;
        w.m_bKeepTarget = 1; // a copy that must never be inserted
        w.m_pHandler = &stop;
        EXPECT_EQ(Weld::Aborted, w.Click(target));
        expectUnchanged();
    }

    for (int after : {0, 50, 400}) {
        SCOPED_TRACE(after);
        SdResetMemoryTesting();
        SdClearMessageBoxes();
        SdFailHeapRequests(1000000, after);
        for (int i = 0; i < 4; ++i)
            SdPushMessageBoxAnswer(IDCANCEL);
        auto wp = NewWeld(Weld::Union);
        Weld& w = *wp;
        Weld::Outcome outcome = w.Click(target);
        SdResetMemoryTesting();
        SdClearMessageBoxes();
        EXPECT_EQ(Weld::Aborted, outcome);
        expectUnchanged();
    }
}

TEST_F(WeldTest, AUnionPastTheContourLimitLeavesTheDesignAsItWas) {
    // Two combs whose teeth point away from each other: each has 4 × 8200 + 4 members, their
    // union about 65,600 in its one outer contour, more than a contour can hold.
    auto comb = [](float y, float dir) {
        CPathObj* o = NewPath();
        Path& p = o->m_path;
        const int teeth = 8200;
        const float w = 1.0f;
        p.MoveTo({0, y});
        for (int i = 0; i < teeth; ++i) {
            float x = float(i) * 2 * w;
            p.LineTo({x, y + dir * 10});
            p.LineTo({x + w, y + dir * 10});
            p.LineTo({x + w, y});
            p.LineTo({x + 2 * w, y});
        }
        float end = float(teeth) * 2 * w;
        p.LineTo({end, y - dir * 2});
        p.LineTo({0, y - dir * 2});
        p.LineTo({0, y});
        p.ClosePath();
        return Finished(o);
    };
    CPathObj* up = comb(0, 1);
    CPathObj* down = comb(-1, -1);
    Sign().Add(up);
    Sign().Add(down);
    down->Select();
    Open();
    const Bytes before = StoreSign(Sign());
    auto wp = NewWeld(Weld::Union);
    Weld& w = *wp;
    EXPECT_EQ(Weld::Aborted, w.Click(up));
    EXPECT_EQ(before, StoreSign(Sign()));
    EXPECT_EQ(1, doc_.GetStepCount());
}

namespace {

// A path whose combination cannot be assembled, as one failing even at the finest accuracy:
// it reports the failure with its last attempt in place.
class UnweldablePath : public CPathObj {
public:
    int ApplyBooleanOp(int operation, Path& other) override {
        CPathObj::ApplyBooleanOp(operation, other);
        return -1;
    }
    CSignObj* Duplicate() override {
        auto* pCopy = new UnweldablePath;
        static_cast<Path&>(pCopy->m_path) = Path(m_path);
        pCopy->SetColor(GetColor());
        pCopy->RefreshBBox();
        return pCopy;
    }
};

} // namespace

TEST_F(WeldTest, ACombinationThatCannotBeAssembledChangesNothing) {
    auto* target = new UnweldablePath;
    AddSquare(target->m_path, 0, 0, 10);
    Finished(target);
    CPathObj* source = Square(8, 0, 10);
    Sign().Add(target);
    Sign().Add(source);
    source->Select();
    Open();
    const Bytes before = StoreSign(Sign());
    for (BOOL keepTarget : {FALSE, TRUE}) {
        auto wp = NewWeld(Weld::Union);
        wp->m_bKeepTarget = keepTarget;
        EXPECT_EQ(Weld::Failed, wp->Click(target));
        EXPECT_EQ(before, StoreSign(Sign()));
        EXPECT_EQ(1, doc_.GetStepCount());
        EXPECT_TRUE(source->m_bSelected);
    }
}
