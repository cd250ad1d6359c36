#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "SquarePath.h"
#include "StandInDoc.h"
#include "TestObj.h"
#include "mfc/CArchive.h"
#include "mfc/CWaitCursor.h"
#include "model/CBackup.h"
#include "model/CFillObj.h"
#include "model/CGroupObj.h"
#include "model/CObjTreeIterator.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "model/CUndoStep.h"
#include "model/HashBytes.h"
#include "model/UndoList.h"

namespace {

struct UndoSettings {
    DWORD maxMem = UndoList::MaxUndoMem;
    int minSteps = UndoList::MinUndoSteps;
    ~UndoSettings() {
        UndoList::MaxUndoMem = maxMem;
        UndoList::MinUndoSteps = minSteps;
    }
};

CTestObj* Add(StandInDoc& doc, float x, signed char layer = 0) {
    auto* o = new CTestObj(x, 0, x + 1, 1, layer);
    doc.m_sign.Add(o);
    return o;
}

std::vector<DWORD> Serials(CObArray& array) {
    std::vector<DWORD> out;
    for (int i = 0; i < array.GetSize(); ++i)
        out.push_back(static_cast<CSignObj*>(array.GetAt(i))->m_nSerial);
    return out;
}

} // namespace

TEST(HashBytesTest, RunningValueOverFields) {
    DWORD h = 0;
    const BYTE zero = 0;
    HashBytes(&zero, 1, &h);
    EXPECT_EQ(h, 51u); // 17, then (17 << 1) ^ 17
    // Positions restart with each call.
    DWORD twice = 0, once = 0;
    HashBytes(&zero, 1, &twice);
    HashBytes(&zero, 1, &twice);
    const BYTE two[2] = {0, 0};
    HashBytes(two, 2, &once);
    EXPECT_EQ(twice, (51u + 17u) ^ (17u << 1));
    EXPECT_EQ(once, (51u + 17u) ^ (17u << 2));
}

TEST(UndoTest, RecordingTwiceWithoutAChangeGivesZero) {
    StandInDoc doc;
    Add(doc, 0);
    Add(doc, 2);
    const int base = SdWaitCursorCount();
    EXPECT_EQ(doc.RecordStep("Create"), 1);
    EXPECT_EQ(SdWaitCursorCount(), base);
    EXPECT_TRUE(doc.m_bModified);
    ASSERT_EQ(doc.GetStepCount(), 1);
    CUndoStep* step = doc.GetStep(0);
    ASSERT_EQ(step->m_records.GetSize(), 2);
    EXPECT_EQ(step->GetRecord(0)->m_nKind, CBackup::added);
    EXPECT_EQ(step->GetRecord(0)->m_nSize, 0u); // markers carry no snapshot
    EXPECT_EQ(doc.m_baseline.GetSize(), 3);     // two objects and the document record
    EXPECT_EQ(doc.RecordStep("Nothing"), 0);
    EXPECT_EQ(doc.GetStepCount(), 1);
    EXPECT_EQ(doc.m_baseline.GetSize(), 3);
}

TEST(UndoTest, ReorderIsAnAttributeRecordAndUndoPutsItBack) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    CTestObj* b = Add(doc, 2);
    CTestObj* c = Add(doc, 4);
    doc.RecordStep("Create");
    doc.m_sign.RemoveAt(0);
    doc.m_sign.Add(a); // to the front of the stack
    ASSERT_EQ(doc.RecordStep("To front"), 1);
    CUndoStep* step = doc.GetStep(1);
    ASSERT_EQ(step->m_records.GetSize(), 2); // a and b changed their previous sibling
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(step->GetRecord(i)->m_nKind, CBackup::changed);
        EXPECT_EQ(step->GetRecord(i)->m_pData, nullptr);
    }
    doc.Undo();
    EXPECT_EQ(Serials(doc.m_sign), (std::vector<DWORD>{a->m_nSerial, b->m_nSerial, c->m_nSerial}));
    EXPECT_TRUE(doc.CanRedo());
    doc.Redo();
    EXPECT_EQ(Serials(doc.m_sign), (std::vector<DWORD>{b->m_nSerial, c->m_nSerial, a->m_nSerial}));
    doc.Undo();
    EXPECT_EQ(Serials(doc.m_sign), (std::vector<DWORD>{a->m_nSerial, b->m_nSerial, c->m_nSerial}));
}

TEST(UndoTest, UndoingAGroupPutsTheChildrenBackInPlace) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    CTestObj* b = Add(doc, 2);
    CTestObj* c = Add(doc, 4);
    CTestObj* d = Add(doc, 6);
    doc.RecordStep("Create");
    b->Select();
    c->Select();
    doc.m_sign.GroupSelection();
    ASSERT_EQ(doc.RecordStep("Group"), 1);
    doc.Undo();
    EXPECT_EQ(Serials(doc.m_sign),
              (std::vector<DWORD>{a->m_nSerial, b->m_nSerial, c->m_nSerial, d->m_nSerial}));
    EXPECT_EQ(b->m_bSelected, 0); // the selection of the recorded state
    doc.Redo();
    ASSERT_EQ(doc.m_sign.GetSize(), 3);
    ASSERT_TRUE(doc.m_sign.GetObj(2)->IsGroup());
    auto* g = static_cast<CGroupObj*>(doc.m_sign.GetObj(2));
    EXPECT_EQ(Serials(g->m_children), (std::vector<DWORD>{b->m_nSerial, c->m_nSerial}));
}

TEST(UndoTest, DeleteAndUndoRecreatesTheSameObject) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0, 4);
    CTestObj* b = Add(doc, 2, 7);
    Add(doc, 4);
    auto* fill = new CFillObj;
    b->SetFill(fill);
    b->m_fOutlineWidth = 0.7f;
    b->m_clrColor = 0x00FF00;
    b->SetContent(42);
    const DWORD serial = b->m_nSerial;
    doc.RecordStep("Create");
    b->Select();
    doc.m_sign.DeleteSelected();
    EXPECT_EQ(fill->m_nRefCount, 2); // the baseline record and the "Create" marker hold it
    ASSERT_EQ(doc.RecordStep("Delete"), 1);
    doc.m_invalidated.clear();
    doc.Undo();
    ASSERT_EQ(doc.m_sign.GetSize(), 3);
    auto* back = static_cast<CTestObj*>(doc.m_sign.GetObj(1));
    EXPECT_EQ(back->m_nSerial, serial);
    EXPECT_EQ(back->GetRuntimeClass(), RUNTIME_CLASS(CTestObj));
    EXPECT_EQ(back->m_pFill, fill);
    EXPECT_EQ(back->m_fOutlineWidth, 0.7f);
    EXPECT_EQ(back->m_clrColor, 0x00FF00u);
    EXPECT_EQ(back->m_nLayer, 7);
    EXPECT_EQ(back->m_nContent, 42u);
    EXPECT_FLOAT_EQ(back->m_box.left, 2);
    EXPECT_EQ(doc.m_sign.GetObj(0), a);
    EXPECT_EQ(doc.m_sign.GetLayerCount(7), 1u);
    EXPECT_FLOAT_EQ(doc.m_sign.m_bbExtent.right, 5);
    // Its area was redrawn (then the object after it, whose previous sibling changed back),
    // with the wait cursor showing.
    ASSERT_EQ(doc.m_invalidated.size(), 3u);
    EXPECT_FLOAT_EQ(doc.m_invalidated[0].left, 2);
    EXPECT_GT(doc.m_waitDuringApply, 0);
}

TEST(UndoTest, ContentAndSettingsChangesComeBack) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    a->SetContent(1);
    doc.RecordStep("Create");
    a->SetContent(2);
    a->MoveBy(10, 0);
    doc.m_fPageWidth = 297;
    ASSERT_EQ(doc.RecordStep("Edit"), 1);
    CUndoStep* step = doc.GetStep(1);
    ASSERT_EQ(step->m_records.GetSize(), 2); // the object's old snapshot, the settings
    EXPECT_NE(step->GetRecord(0)->m_pData, nullptr);
    EXPECT_TRUE(step->GetRecord(1)->IsKindOf(RUNTIME_CLASS(CDocumentBackup)));
    doc.m_invalidated.clear();
    doc.Undo();
    EXPECT_EQ(a->m_nContent, 1u);
    EXPECT_FLOAT_EQ(a->m_box.left, 0);
    EXPECT_EQ(doc.m_fPageWidth, 210);
    ASSERT_EQ(doc.m_invalidated.size(), 2u); // the old and the new area
    EXPECT_FLOAT_EQ(doc.m_invalidated[0].left, 10);
    EXPECT_FLOAT_EQ(doc.m_invalidated[1].left, 0);
    doc.Redo();
    EXPECT_EQ(a->m_nContent, 2u);
    EXPECT_EQ(doc.m_fPageWidth, 297);
}

TEST(UndoTest, ANewActionDropsTheRedoStep) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    doc.RecordStep("Create");
    a->SetContent(5);
    doc.RecordStep("Edit");
    doc.Undo();
    EXPECT_TRUE(doc.CanRedo());
    a->MoveBy(1, 1);
    doc.RecordStep("Move");
    EXPECT_FALSE(doc.CanRedo());
    doc.Redo(); // nothing
    EXPECT_EQ(a->m_nContent, 0u);
}

TEST(UndoTest, TrimKeepsTheMinimumAndTheRedoStep) {
    UndoSettings restore;
    UndoList::MaxUndoMem = 0;
    UndoList::MinUndoSteps = 3;
    {
        StandInDoc doc;
        CTestObj* a = Add(doc, 0);
        for (int i = 1; i <= 6; ++i) {
            a->SetContent(DWORD(i));
            ASSERT_EQ(doc.RecordStep("Edit"), 1);
            EXPECT_EQ(doc.GetStepCount(), std::min(i, 3));
        }
        // The budget counts every record: a changed object with its snapshot.
        CUndoStep* step = doc.GetStep(2);
        EXPECT_EQ(step->m_nMemSize, 4u + 32u + step->GetRecord(0)->GetMemSize());
        EXPECT_EQ(step->GetRecord(0)->GetMemSize(), step->GetRecord(0)->m_nSize + 88u);
    }
    // With no minimum the step just recorded still stays, so undo and redo still work.
    UndoList::MinUndoSteps = 0;
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    doc.RecordStep("Create");
    a->SetContent(9);
    doc.RecordStep("Edit");
    EXPECT_EQ(doc.GetStepCount(), 1);
    doc.Undo();
    EXPECT_EQ(a->m_nContent, 0u);
    ASSERT_TRUE(doc.CanRedo());
    doc.Redo();
    EXPECT_EQ(a->m_nContent, 9u);
}

TEST(UndoTest, RecordsWhoseObjectsOrSiblingsAreGone) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    CTestObj* b = Add(doc, 2);
    doc.RecordStep("Create");
    CObjTreeIterator it(&doc.m_sign);
    it.First();
    it.Next(); // on b
    CSignObjBackup record(b, it, &doc, nullptr);
    EXPECT_EQ(record.m_nPrevSerial, a->m_nSerial);
    // The previous sibling is gone: the object goes to the end of its recorded array.
    doc.m_sign.RemoveAt(0);
    doc.m_sign.InsertAt(1, a);
    // Now b is first and a after it; delete a so b's recorded sibling is missing.
    doc.m_sign.RemoveAt(1);
    const DWORD aSerial = a->m_nSerial;
    delete a;
    auto* c = Add(doc, 4);
    it.First();
    record.m_nPrevSerial = aSerial;
    record.Restore(b, it, &doc);
    EXPECT_EQ(Serials(doc.m_sign), (std::vector<DWORD>{c->m_nSerial, b->m_nSerial}));

    // A changed-record for an object no longer in the design is passed over.
    auto* step = new CUndoStep("Stale");
    CTestObj gone(0, 0, 1, 1);
    CObjTreeIterator it2(&doc.m_sign);
    it2.First();
    auto* stale = new CSignObjBackup(c, it2, &doc, nullptr);
    stale->m_nSerial = gone.m_nSerial;
    step->AddRecord(stale);
    doc.m_steps.Add(step);
    doc.ApplyStep();
    EXPECT_EQ(doc.m_sign.GetSize(), 2);
}

TEST(UndoTest, FindBackupWithAndWithoutHint) {
    StandInDoc doc;
    Add(doc, 0);
    Add(doc, 2);
    Add(doc, 4);
    doc.RecordStep("Create");
    const DWORD s1 = doc.m_sign.GetObj(1)->m_nSerial;
    EXPECT_EQ(FindBackup(doc.m_baseline, s1, -1), 1);
    EXPECT_EQ(FindBackup(doc.m_baseline, s1, 2), 1);  // wraps round to the start
    EXPECT_EQ(FindBackup(doc.m_baseline, 0, -1), -1); // the document record is not searched
    CObArray single;
    EXPECT_EQ(FindBackup(single, s1, -1), -1);
}

TEST(UndoTest, DeletingAGroupAndUndoingRebuildsItWithItsChildren) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    auto* g = new CGroupObj;
    auto* c1 = new CTestObj(2, 0, 3, 1, 1);
    auto* inner = new CGroupObj;
    auto* c2 = new CTestObj(4, 0, 5, 1, 2);
    inner->m_children.Add(c2);
    g->m_children.Add(c1);
    g->m_children.Add(inner);
    doc.m_sign.Add(g);
    CTestObj* b = Add(doc, 8);
    const DWORD sg = g->m_nSerial, s1 = c1->m_nSerial, si = inner->m_nSerial, s2 = c2->m_nSerial;
    doc.RecordStep("Create");
    g->Select();
    doc.m_sign.DeleteSelected();
    ASSERT_EQ(doc.RecordStep("Delete"), 1);
    doc.Undo();
    ASSERT_EQ(doc.m_sign.GetSize(), 3);
    EXPECT_EQ(doc.m_sign.GetObj(0), a);
    EXPECT_EQ(doc.m_sign.GetObj(2), b);
    auto* back = static_cast<CGroupObj*>(doc.m_sign.GetObj(1));
    ASSERT_TRUE(back->IsGroup());
    EXPECT_EQ(back->m_nSerial, sg);
    ASSERT_EQ(Serials(back->m_children), (std::vector<DWORD>{s1, si}));
    auto* backInner = static_cast<CGroupObj*>(back->GetChild(1));
    EXPECT_EQ(Serials(backInner->m_children), (std::vector<DWORD>{s2}));
    EXPECT_FLOAT_EQ(static_cast<CTestObj*>(backInner->GetChild(0))->m_box.left, 4);
    EXPECT_FLOAT_EQ(back->m_bbox.right, 5); // boxes refreshed after the step
    EXPECT_EQ(doc.m_sign.GetLayerCount(2), 1u);
    doc.Redo();
    EXPECT_EQ(doc.m_sign.GetSize(), 2);
}

TEST(UndoTest, UndoingAnUngroupRegroups) {
    StandInDoc doc;
    CTestObj* a = Add(doc, 0);
    CTestObj* b = Add(doc, 2);
    CTestObj* c = Add(doc, 4);
    b->Select();
    c->Select();
    doc.m_sign.GroupSelection();
    const DWORD sg = doc.m_sign.GetObj(1)->m_nSerial;
    doc.m_sign.UnselectAll();
    doc.RecordStep("Create");
    doc.m_sign.GetObj(1)->Select();
    doc.m_sign.UngroupSelection();
    ASSERT_EQ(doc.RecordStep("Ungroup"), 1);
    doc.Undo();
    ASSERT_EQ(doc.m_sign.GetSize(), 2);
    EXPECT_EQ(doc.m_sign.GetObj(0), a);
    auto* g = static_cast<CGroupObj*>(doc.m_sign.GetObj(1));
    ASSERT_TRUE(g->IsGroup());
    EXPECT_EQ(g->m_nSerial, sg);
    EXPECT_EQ(Serials(g->m_children), (std::vector<DWORD>{b->m_nSerial, c->m_nSerial}));
}

namespace {

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const floatTMatrix kMoveAndScale(2, 0, 0, 3, 5, -7);

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

} // namespace

// Every stored sample that loads, damaged ones too, opened as the document opens it: moved
// and scaled, mirrored (which prepares the paths again) or turned, and undone, it stores its
// own bytes again, and redone the transformed ones.
TEST(UndoTest, StoredDesignsComeBackByteForByte) {
    KeepSerials keep;
    int designs = 0;
    for (const char* folder : {SD_TEST_DATA_DIR "/sign", SD_TEST_DATA_DIR "/damaged"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            for (const floatTMatrix& m : {kMoveAndScale, floatTMatrix(-1, 0, 0, 1, 10, 0),
                                          floatTMatrix(0, 1, -1, 0, 0, 0)}) {
                SCOPED_TRACE(entry.path().filename().string() + ", m11 " + std::to_string(m.m11));
                StandInDoc doc;
                if (ArchiveCause([&] { LoadSign(doc.m_sign, ReadFile(entry.path())); }) != -1)
                    continue;
                doc.Opened();
                const Bytes stored = StoreSign(doc.m_sign);
                doc.m_sign.TransformObjects(m, 0);
                if (doc.RecordStep("Transform") == 0) continue; // nothing that transforms
                ++designs;
                const Bytes transformed = StoreSign(doc.m_sign);
                doc.Undo();
                EXPECT_EQ(StoreSign(doc.m_sign), stored);
                doc.Redo();
                EXPECT_EQ(StoreSign(doc.m_sign), transformed);
            }
        }
    }
    EXPECT_GE(designs, 31) << designs;
}

// Undo tells objects apart by serial number: a number a damaged file repeats stays with its
// first object, the others draw new ones, and the design stores the same again.
TEST(UndoTest, SerialsRepeatedInAFileAreMadeUnique) {
    CSign made;
    for (float x : {0.0f, 2.0f, 4.0f})
        made.Add(new CTestObj(x, 0, x + 1, 1));
    auto* group = new CGroupObj;
    group->m_children.Add(new CTestObj(6, 0, 7, 1));
    made.Add(group);
    for (int i = 0; i < 3; ++i)
        made.GetObj(i)->m_nSerial = 77;
    group->GetChild(0)->m_nSerial = 77;
    const Bytes bytes = StoreSign(made);

    KeepSerials keep;
    CSign loaded;
    LoadSign(loaded, bytes);
    std::vector<DWORD> serials = Serials(loaded);
    serials.push_back(static_cast<CGroupObj*>(loaded.GetObj(3))->GetChild(0)->m_nSerial);
    EXPECT_EQ(serials[0], 77u);
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(std::adjacent_find(serials.begin(), serials.end()), serials.end());
    const Bytes stored = StoreSign(loaded);
    CSign again;
    LoadSign(again, stored);
    EXPECT_EQ(StoreSign(again), stored);
}

// A path object keeps its whole layer word, of which the design uses the low byte; every kind
// of step gives the word back.
TEST(UndoTest, TheWholeLayerWordComesBack) {
    KeepSerials keep;
    StandInDoc doc;
    LoadSign(doc.m_sign, ReadFile(SD_TEST_DATA_DIR "/sign/design-list-layer-high-byte.bin"));
    ASSERT_EQ(doc.m_sign.GetSize(), 1);
    auto* stored = static_cast<CPathObj*>(doc.m_sign.GetObj(0));
    ASSERT_EQ(stored->m_path.layer, 0x6a62);
    EXPECT_EQ(stored->GetLayer(), 0x62);

    struct Case {
        const char* name;
        void (*act)(CSign&);
        LayerWord after;
    };
    const Case cases[] = {
        {"content", [](CSign& s) { s.TransformObjects(kMoveAndScale, 0); }, 0x6a62},
        {"attributes", [](CSign& s) { s.GetObj(0)->SetLayer(-5, 1); }, -5},
        {"removal", [](CSign& s) { s.RemoveAt(0); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandInDoc doc;
        auto* obj = new CPathObj;
        AddSquare(obj->m_path, 0, 0, 1);
        obj->m_path.layer = 0x6a62;
        doc.m_sign.Add(obj);
        doc.RecordStep("Create");
        c.act(doc.m_sign);
        if (doc.m_sign.IsEmpty()) delete obj;
        ASSERT_EQ(doc.RecordStep("Change"), 1);
        doc.Undo();
        ASSERT_EQ(doc.m_sign.GetSize(), 1);
        auto* back = static_cast<CPathObj*>(doc.m_sign.GetObj(0));
        EXPECT_EQ(back->m_path.layer, 0x6a62);
        doc.Redo();
        if (!doc.m_sign.IsEmpty()) {
            EXPECT_EQ(static_cast<CPathObj*>(doc.m_sign.GetObj(0))->m_path.layer, c.after);
        }
    }
}

// The first step looks every object up in a baseline that grows with it: the time must grow
// with the object count, not with its square. The least of a few runs counts, in the thread's
// own processor time, so that a busy machine does not blur it.
TEST(UndoTest, FirstStepGrowsLinearly) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int Runs = 1;
#else
    constexpr int Runs = 3;
#endif
    auto firstStep = [](int count) {
        double best = 1e9;
        for (int run = 0; run < Runs; ++run) {
            StandInDoc doc;
            for (int i = 0; i < count; ++i) {
                auto* obj = new CPathObj;
                AddSquare(obj->m_path, float(i % 100), float(i / 100), 0.5f);
                doc.m_sign.Add(obj);
            }
            const double start = ThreadSeconds();
            doc.RecordStep("Open");
            best = std::min(best, ThreadSeconds() - start);
            EXPECT_EQ(doc.m_baseline.GetSize(), count + 1);
        }
        return best;
    };
#if defined(__SANITIZE_ADDRESS__)
    // Too slow under the sanitizers to judge the time: one design, the records alone.
    firstStep(6300);
#else
    const double small = firstStep(6300), middle = firstStep(12600), large = firstStep(25200);
    // Linear: about 2 and 4, a little more as the caches fill (quadratic: 4 and 16 and more).
    EXPECT_LT(middle / small, 3.5) << small << " s, " << middle << " s";
    EXPECT_LT(large / small, 10.0) << small << " s, " << large << " s";
#endif
}
