#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "ModelTestSupport.h"
#include "TestObj.h"
#include "model/CFillObj.h"
#include "model/CGroupObj.h"

namespace {

struct Record {
    float width = 0;
    DWORD outline = 0;
    BYTE fixed = 0, flag1 = 0, flag2 = 1, locked = 0;
};

// The object record of schema 6 with a fill reference given as raw bytes and no
// transparency fill.
void AppendRecord(ByteWriter& w, const Record& r, const Bytes& fillRef, DWORD serial) {
    w.u16(6).f32(r.width).u32(r.outline).u8(r.fixed).u8(r.flag1).u8(r.flag2).u8(r.locked);
    w.append(fillRef);
    w.f32(0).u32(0xFFFFFFFF).u16(0); // transparency, no transparency fill
    w.u32(serial);
}

Bytes NullRef() {
    return ByteWriter().u32(0xFFFFFFFF).u16(0).bytes;
}

// A: fill F (outline 0.5, colour 0x0000FF, flag 1 set); group of B (sharing F) and C;
// D locked.
struct Design {
    CSign sign;
    CSignObj *a, *b, *c, *d;
    CGroupObj* group;
    CFillObj* fill;

    Design() {
        fill = new CFillObj;
        a = new CSignObj;
        a->m_fOutlineWidth = 0.5f;
        a->m_clrOutline = 0x0000FF;
        a->m_bFlag1 = 1;
        a->SetFill(fill);
        group = new CGroupObj;
        b = new CSignObj;
        b->SetFill(fill);
        c = new CSignObj;
        c->m_bFixedOutlineWidth = 1;
        c->m_bFlag2 = 0;
        group->m_children.Add(b);
        group->m_children.Add(c);
        d = new CSignObj;
        d->m_bLocked = 1;
        sign.Add(a);
        sign.Add(group);
        sign.Add(d);
    }

    Bytes Expected() const {
        ByteWriter w;
        w.u16(3);
        // A: the first record names both classes.
        w.newClass("CSignObj", 6);
        Record ra;
        ra.width = 0.5f;
        ra.outline = 0x0000FF;
        ra.flag1 = 1;
        AppendRecord(w, ra, ByteWriter().u32(0xFFFFFFFF).newClass("CFillObj", 0).bytes,
                     a->m_nSerial);
        // The group: children first, then its version and its record.
        w.newClass("CGroupObj", 0);
        w.u16(2);
        w.u16(0x8001);                                                      // class 1: CSignObj
        AppendRecord(w, Record{}, ByteWriter().u32(0).bytes, b->m_nSerial); // F is entry 0
        w.u16(0x8001);
        Record rc;
        rc.fixed = 1;
        rc.flag2 = 0;
        AppendRecord(w, rc, NullRef(), c->m_nSerial);
        w.u16(2);
        AppendRecord(w, Record{}, NullRef(), group->m_nSerial);
        w.u16(0x8001);
        Record rd;
        rd.locked = 1;
        AppendRecord(w, rd, NullRef(), d->m_nSerial);
        return w.bytes;
    }
};

} // namespace

TEST(SignArchiveTest, StoresTheNativeRecordLayoutAndReadsItBackShared) {
    Design design;
    const Bytes stored = StoreSign(design.sign);
    EXPECT_EQ(stored, design.Expected());
    EXPECT_EQ(GetSharedObjTable().GetSize(), 0); // the scope emptied the table

    CSign loaded;
    {
        KeepSerials keep;
        LoadSign(loaded, stored);
    }
    ASSERT_EQ(loaded.GetSize(), 3);
    CSignObj* a = loaded.GetObj(0);
    ASSERT_TRUE(loaded.GetObj(1)->IsGroup());
    auto* group = static_cast<CGroupObj*>(loaded.GetObj(1));
    ASSERT_EQ(group->m_children.GetSize(), 2);
    CSignObj* b = group->GetChild(0);
    ASSERT_NE(a->m_pFill, nullptr);
    EXPECT_EQ(a->m_pFill, b->m_pFill);
    EXPECT_EQ(a->m_pFill->m_nRefCount, 2);
    EXPECT_EQ(group->GetChild(1)->m_pFill, nullptr);
    EXPECT_EQ(a->m_fOutlineWidth, 0.5f);
    EXPECT_EQ(a->m_nSerial, design.a->m_nSerial);
    EXPECT_EQ(loaded.GetObj(2)->m_bLocked, 1);
    EXPECT_EQ(StoreSign(loaded), stored);
}

TEST(SignArchiveTest, SerialsAreDrawnAfreshUnlessKeptAndKeptOnesMoveTheCounter) {
    Design design;
    const Bytes stored = StoreSign(design.sign);
    CSign fresh;
    LoadSign(fresh, stored);
    EXPECT_GT(fresh.GetObj(0)->m_nSerial, design.d->m_nSerial);

    // A file from a longer session: serials far above the counter.
    CSign big;
    big.Add(new CSignObj);
    big.GetObj(0)->m_nSerial = CSignObj::GetSerialCounter() + 1000;
    const DWORD kept = big.GetObj(0)->m_nSerial;
    const Bytes bigBytes = StoreSign(big);
    CSign loaded;
    {
        KeepSerials keep;
        LoadSign(loaded, bigBytes);
    }
    EXPECT_EQ(loaded.GetObj(0)->m_nSerial, kept);
    CSignObj later;
    EXPECT_GT(later.m_nSerial, kept);

    // The largest serial a file can hold: the counter wraps, but never to 0.
    big.GetObj(0)->m_nSerial = 0xFFFFFFFFu;
    const Bytes top = StoreSign(big);
    CSign atTop;
    {
        KeepSerials keep;
        LoadSign(atTop, top);
    }
    EXPECT_EQ(atTop.GetObj(0)->m_nSerial, 0xFFFFFFFFu);
    CSignObj wrapped;
    EXPECT_EQ(wrapped.m_nSerial, 1u);
}

TEST(SignArchiveTest, OlderSchemasLoadWithTheDefaults) {
    // Fields of schema s: 1 width, colour, fixed; 2 the flags; 3 locked; 4 fill;
    // 5 transparency and its fill; 6 serial.
    for (unsigned schema = 1; schema <= 6; ++schema) {
        ByteWriter w;
        w.u16(1).newClass("CSignObj", 6);
        w.u16(schema).f32(2.0f).u32(0x123456).u8(1);
        if (schema >= 2) w.u8(1).u8(0);
        if (schema >= 3) w.u8(1);
        if (schema >= 4) w.u32(0xFFFFFFFF).newClass("CFillObj", 0);
        if (schema >= 5) w.f32(0.25f).u32(0xFFFFFFFF).u16(0);
        if (schema >= 6) w.u32(0xABCDEF01u);
        CSign sign;
        ASSERT_EQ(ArchiveCause([&] { LoadSign(sign, w.bytes); }), -1) << schema;
        ASSERT_EQ(sign.GetSize(), 1);
        CSignObj* o = sign.GetObj(0);
        EXPECT_EQ(o->m_fOutlineWidth, 2.0f);
        EXPECT_EQ(o->m_clrOutline, 0x123456u);
        EXPECT_EQ(o->m_bFixedOutlineWidth, 1);
        EXPECT_EQ(o->m_bFlag1, schema >= 2 ? 1 : 0) << schema;
        EXPECT_EQ(o->m_bFlag2, schema >= 2 ? 0 : 1) << schema;
        EXPECT_EQ(o->m_bLocked, schema >= 3 ? 1 : 0) << schema;
        EXPECT_EQ(o->m_pFill != nullptr, schema >= 4) << schema;
        if (o->m_pFill) {
            EXPECT_EQ(o->m_pFill->m_nRefCount, 1);
        }
        EXPECT_EQ(o->m_fTransparency, schema >= 5 ? 0.25f : 0.0f) << schema;
        EXPECT_NE(o->m_nSerial, 0xABCDEF01u); // not kept
    }
}

TEST(SignArchiveTest, VersionOneGroupHasOnlyItsChildren) {
    ByteWriter w;
    w.u16(1).newClass("CGroupObj", 0).u16(1).newClass("CSignObj", 6);
    AppendRecord(w, Record{}, NullRef(), 5);
    w.u16(1); // version 1: no record follows
    CSign sign;
    LoadSign(sign, w.bytes);
    ASSERT_EQ(sign.GetSize(), 1);
    auto* group = static_cast<CGroupObj*>(sign.GetObj(0));
    EXPECT_EQ(group->m_children.GetSize(), 1);
    EXPECT_EQ(group->m_bFlag2, 1);
    EXPECT_EQ(group->m_fOutlineWidth, 0.0f);
}

namespace {

// The fixture with one part replaced.
Bytes Patched(const Bytes& bytes, std::size_t at, const Bytes& replacement, std::size_t removed) {
    Bytes out(bytes.begin(), bytes.begin() + std::ptrdiff_t(at));
    out.insert(out.end(), replacement.begin(), replacement.end());
    out.insert(out.end(), bytes.begin() + std::ptrdiff_t(at + removed), bytes.end());
    return out;
}

Bytes NestedGroups(int groups) {
    CSign sign;
    CObArray* pArray = &sign;
    for (int i = 0; i < groups; ++i) {
        auto* g = new CGroupObj;
        pArray->Add(g);
        pArray = &g->m_children;
    }
    pArray->Add(new CSignObj);
    return StoreSign(sign);
}

} // namespace

TEST(SignArchiveTest, BadRecordsRaiseTheirCauseAndLeakNothing) {
    Design design;
    const Bytes good = StoreSign(design.sign);
    // Offsets in the fixture: the count (2), A's class (2 + 2 + 2 + 8), A's schema word.
    const std::size_t aSchema = 2 + 14;
    const std::size_t aFill = aSchema + 2 + 4 + 4 + 4;
    const std::size_t aRecordEnd = aFill + 4 + 14 + 4 + 6 + 4;
    const std::size_t groupClass = aRecordEnd;
    const std::size_t bFill = groupClass + 15 + 2 + 2 + 2 + 4 + 4 + 4;
    // The group's version word follows its children.
    const std::size_t cRecord = bFill + 4 + 4 + 6 + 4;
    const std::size_t groupVersion = cRecord + 2 + 2 + 4 + 4 + 4 + 6 + 4 + 6 + 4;
    ASSERT_EQ(good[groupVersion], 2);

    struct Case {
        const char* what;
        Bytes bytes;
        int cause;
    } cases[] = {
        {"schema 7", Patched(good, aSchema, ByteWriter().u16(7).bytes, 2), 5},
        {"class schema 7", Patched(good, 4, ByteWriter().u16(7).bytes, 2), 5},
        {"group version 3", Patched(good, groupVersion, ByteWriter().u16(3).bytes, 2), 5},
        {"index past the table", Patched(good, bFill, ByteWriter().u32(9).bytes, 4), 5},
        {"a fill slot holding a design object",
         Patched(good, bFill, ByteWriter().u32(0xFFFFFFFF).u16(0x8001).bytes, 4), 6},
        {"a fill slot referring to a design object",
         Patched(good, bFill, ByteWriter().u32(0xFFFFFFFF).u16(2).bytes, 4), 6},
        {"a shared object in a list", ByteWriter().u16(1).newClass("CFillObj", 0).bytes, 6},
        {"an unknown class", ByteWriter().u16(1).newClass("CNoSuchObj", 1).bytes, 6},
        {"one object twice",
         Patched(good, groupClass, ByteWriter().u16(2).bytes, good.size() - groupClass), 5},
        {"a group inside itself", ByteWriter().u16(1).newClass("CGroupObj", 0).u16(1).u16(2).bytes,
         5},
        {"a count beyond the bytes", ByteWriter().u16(0xFFFF).u32(0x7FFFFFFF).bytes, 3},
        {"65 levels", NestedGroups(64), 5},
    };
    for (const Case& c : cases) {
        CSign sign;
        sign.Add(new CSignObj);
        CSignObj* kept = sign.GetObj(0);
        std::string file;
        EXPECT_EQ(ArchiveCause([&] { LoadSign(sign, c.bytes); }, &file), c.cause) << c.what;
        EXPECT_EQ(file, "design.wtp") << c.what;
        // The list is left as it was.
        ASSERT_EQ(sign.GetSize(), 1) << c.what;
        EXPECT_EQ(sign.GetObj(0), kept) << c.what;
    }
    // 64 levels (63 groups) are the deepest the walkers follow.
    CSign deep;
    EXPECT_EQ(ArchiveCause([&] { LoadSign(deep, NestedGroups(63)); }), -1);
    EXPECT_EQ(TreeHeight(deep.GetObj(0)), 64);
}

// A width that is not finite is out of range; every finite one loads as it is.
TEST(SignArchiveTest, OutlineWidthsThatAreNotFiniteAreRefused) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float width;
        int cause;
    } cases[] = {{std::numeric_limits<float>::quiet_NaN(), 5},
                 {inf, 5},
                 {-inf, 5},
                 {std::numeric_limits<float>::max(), -1},
                 {-1.0f, -1},
                 {0.0f, -1}};
    for (const Case& c : cases) {
        ByteWriter w;
        w.u16(1).newClass("CSignObj", 6);
        Record r;
        r.width = c.width;
        AppendRecord(w, r, NullRef(), 7);
        CSign sign;
        std::string file;
        EXPECT_EQ(ArchiveCause([&] { LoadSign(sign, w.bytes); }, &file), c.cause) << c.width;
        if (c.cause != -1) {
            EXPECT_EQ(file, "design.wtp");
            EXPECT_EQ(sign.GetSize(), 0);
        } else {
            ASSERT_EQ(sign.GetSize(), 1);
            EXPECT_EQ(sign.GetObj(0)->m_fOutlineWidth, c.width);
        }
    }
}

TEST(SignArchiveTest, EveryTruncationRaisesEndOfFile) {
    Design design;
    const Bytes good = StoreSign(design.sign);
    for (std::size_t n = 0; n < good.size(); ++n) {
        CSign sign;
        const Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_EQ(ArchiveCause([&] { LoadSign(sign, cut); }), 3) << n;
        EXPECT_EQ(sign.GetSize(), 0);
    }
}

TEST(SharedObjRefTest, NullsAlwaysWrittenInFullAndCountsOnlyForHolders) {
    CSharedObjTableScope scope;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    WriteSharedObjRef(ar, nullptr);
    WriteSharedObjRef(ar, nullptr);
    ar.Close();
    const ByteWriter expected = ByteWriter().u32(0xFFFFFFFF).u16(0).u32(0xFFFFFFFF).u16(0);
    ASSERT_EQ(file.GetLength(), expected.bytes.size());
    Bytes got(expected.bytes.size());
    file.SeekToBegin();
    file.Read(got.data(), UINT(got.size()));
    EXPECT_EQ(got, expected.bytes);
    EXPECT_EQ(GetSharedObjTable().GetSize(), 2);
}

TEST(SharedObjRefTest, ObjectsReadButNotHeldAreDeletedWithTheScope) {
    // A fill record that nobody acquires: the scope deletes it (ASan sees any leak).
    const Bytes bytes = ByteWriter().u32(0xFFFFFFFF).newClass("CFillObj", 0).u32(0).bytes;
    Bytes copy = bytes;
    CSharedObjTableScope scope;
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    CFillObj* first = ReadFillObjRef(ar);
    CFillObj* second = ReadFillObjRef(ar);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->m_nRefCount, 0);
}

#include <filesystem>
#include <fstream>
#include <iterator>

// Every stored sample (and every input the fuzz target reported) either raises an archive
// error or stores, loads and stores again to the same bytes.
TEST(SignArchiveTest, SamplesRoundTrip) {
    KeepSerials keep;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SD_TEST_DATA_DIR "/sign")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        CSign first;
        if (ArchiveCause([&] { LoadSign(first, bytes); }) != -1) continue;
        const Bytes stored = StoreSign(first);
        CSign second;
        ASSERT_EQ(ArchiveCause([&] { LoadSign(second, stored); }), -1) << entry.path();
        EXPECT_EQ(StoreSign(second), stored) << entry.path();
    }
    EXPECT_GE(files, 4);
}
