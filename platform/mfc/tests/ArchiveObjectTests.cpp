// Object records of archives: the byte format, back references, big indexes and bad input.

#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"
#include "TestSupport.h"

namespace {

// A small object graph as the framework stores it. Classes and objects share one running
// index from 1; 0 is the null object.
const Bytes kGraph = {
    // null object: WORD 0
    0x00, 0x00,
    // a = CTestPoint(1, -2), first of its class: new-class tag 0xFFFF, WORD schema 1,
    // WORD name length 10, "CTestPoint". The class becomes index 1, the object index 2.
    0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00, 'C', 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't', 0x01,
    0x00, 0x00, 0x00,       // x = 1
    0xFE, 0xFF, 0xFF, 0xFF, // y = -2
    // b = CTestPoint(0x12345678, 0): class reference 0x8000 | 1; object index 3
    0x01, 0x80, 0x78, 0x56, 0x34, 0x12, // x
    0x00, 0x00, 0x00, 0x00,             // y
    // a again: reference to object index 2
    0x02, 0x00,
    // n = CTestNode: new class, schema 2, name length 9, "CTestNode"; class index 4, object 5
    0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00, 'C', 'T', 'e', 's', 't', 'N', 'o', 'd', 'e', 0x02, 'n',
    0xE9,       // name: one-byte length 2, bytes kept as they are
    0x03, 0x00, // child: b
    // m = CTestNode referring to itself: class reference 0x8000 | 4; object index 6
    0x04, 0x80,
    0x00,       // empty name
    0x06, 0x00, // child: m itself, entered before its data was read
};

struct Graph {
    CObject* objects[6] = {};
    ~Graph() {
        // objects[3] is objects[1] again.
        for (int i : {1, 2, 4, 5})
            delete objects[i];
    }
};

void readGraph(const Bytes& bytes, Graph& graph) {
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    for (CObject*& p : graph.objects)
        ar >> p;
    EXPECT_TRUE(ar.IsBufferEmpty());
    EXPECT_EQ(file.GetPosition(), bytes.size());
}

} // namespace

TEST(ArchiveObjects, ReadsHandBuiltGraphAndWritesItBackByteIdentical) {
    Graph graph;
    readGraph(kGraph, graph);
    CObject** o = graph.objects;

    EXPECT_EQ(o[0], nullptr);
    ASSERT_NE(o[1], nullptr);
    ASSERT_EQ(o[1]->GetRuntimeClass(), RUNTIME_CLASS(CTestPoint));
    auto* a = static_cast<CTestPoint*>(o[1]);
    EXPECT_EQ(a->m_x, 1);
    EXPECT_EQ(a->m_y, -2);
    EXPECT_EQ(a->m_schemaRead, 1u);
    auto* b = static_cast<CTestPoint*>(o[2]);
    ASSERT_EQ(b->GetRuntimeClass(), RUNTIME_CLASS(CTestPoint));
    EXPECT_EQ(b->m_x, 0x12345678);
    EXPECT_EQ(b->m_y, 0);
    EXPECT_EQ(o[3], o[1]);
    ASSERT_EQ(o[4]->GetRuntimeClass(), RUNTIME_CLASS(CTestNode));
    auto* n = static_cast<CTestNode*>(o[4]);
    EXPECT_EQ(n->m_name, CString("n\xE9"));
    EXPECT_EQ(n->m_pChild, b);
    auto* m = static_cast<CTestNode*>(o[5]);
    ASSERT_EQ(m->GetRuntimeClass(), RUNTIME_CLASS(CTestNode));
    EXPECT_TRUE(m->m_name.IsEmpty());
    EXPECT_EQ(m->m_pChild, m);

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        for (CObject* p : graph.objects)
            ar << p;
        ar.Close();
    }
    EXPECT_EQ(contentsOf(out), kGraph);
}

TEST(ArchiveObjects, IndexesFrom0x7FFFUseTheLongForm) {
    // Class CTestPoint is index 1 and its objects take 2..0x7FFF.
    std::vector<std::unique_ptr<CTestPoint>> points;
    for (LONG i = 2; i <= 0x7FFF; ++i)
        points.push_back(std::make_unique<CTestPoint>(i, 0));
    CTestNode first;
    CTestNode second;
    CTestPoint late(7, 7);
    CMemFile file;
    std::uint64_t tailStart = 0;
    {
        CArchive ar(&file, CArchive::store);
        for (auto& p : points)
            ar << p.get();
        ar.Flush();
        tailStart = file.GetPosition();
        ar << points.back().get();  // object 0x7FFF again
        ar << &first;               // new class 0x8000, object 0x8001
        ar << &second;              // class reference to 0x8000, object 0x8002
        ar << points.front().get(); // object 2 again
        ar << &late;                // class 1 in the short form; object 0x8003
        ar << &second;              // object 0x8002 again
        ar.Close();
    }
    const Bytes all = contentsOf(file);
    const Bytes tail(all.begin() + std::ptrdiff_t(tailStart), all.end());
    const Bytes expected = Bytes{
        0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00, // big object tag, DWORD 0x7FFF
        0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00, 'C',  'T',  'e',
        's',  't',  'N',  'o',  'd',  'e',  0x00, 0x00, 0x00, // first: empty name, null child
        0xFF, 0x7F, 0x00, 0x80, 0x00, 0x80,                   // big tag, DWORD 0x80000000 | 0x8000
        0x00, 0x00, 0x00,                                     // second
        0x02, 0x00,                                           // object 2
        0x01, 0x80, 0x07, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00,
        0x00, 0xFF, 0x7F, 0x02, 0x80, 0x00, 0x00, // big tag, DWORD 0x8002
    };
    ASSERT_EQ(tail, expected);

    // And back.
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    std::vector<CObject*> read;
    for (std::size_t i = 0; i < points.size() + 6; ++i) {
        CObject* p = nullptr;
        ar >> p;
        read.push_back(p);
    }
    const std::size_t k = points.size();
    EXPECT_EQ(read[k], read[k - 1]);
    EXPECT_EQ(read[k + 1]->GetRuntimeClass(), RUNTIME_CLASS(CTestNode));
    EXPECT_EQ(read[k + 2]->GetRuntimeClass(), RUNTIME_CLASS(CTestNode));
    EXPECT_NE(read[k + 1], read[k + 2]);
    EXPECT_EQ(read[k + 3], read[0]);
    EXPECT_EQ(static_cast<CTestPoint*>(read[k + 4])->m_x, 7);
    EXPECT_EQ(read[k + 5], read[k + 2]);
    delete read[k + 4];
    for (std::size_t i = 0; i < k; ++i)
        delete read[i];
    delete read[k + 1];
    delete read[k + 2];
}

TEST(ArchiveObjects, ClassRecordsThroughSerializeClass) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.SerializeClass(RUNTIME_CLASS(CTestPoint));
        ar.SerializeClass(RUNTIME_CLASS(CTestPoint));
        ar.Close();
    }
    const Bytes expected =
        Bytes{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00} + bytesOf("CTestPoint") + Bytes{0x01, 0x80};
    EXPECT_EQ(contentsOf(file), expected);
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    UINT schema = 0;
    EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CObject), &schema), RUNTIME_CLASS(CTestPoint));
    EXPECT_EQ(schema, 1u);
    EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CTestPoint)), RUNTIME_CLASS(CTestPoint));
}

TEST(ArchiveObjects, TypedExtractionChecksTheClass) {
    CTestPoint3 p3;
    p3.m_z = 9;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << &p3 << &p3;
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CTestPoint* p = nullptr;
    ar >> p; // a CTestPoint3 is a CTestPoint
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<CTestPoint3*>(p)->m_z, 9);
    CTestNode* wrong = nullptr;
    // The back reference names an object that is not a CTestNode.
    EXPECT_EQ(archiveCause([&] { ar >> wrong; }), CArchiveException::badClass);
    EXPECT_EQ(wrong, nullptr);
    delete p;
}

TEST(ArchiveObjects, VersionableSchemaAcceptsAnyStoredSchema) {
    const Bytes bytes = Bytes{0xFF, 0xFF, 0x09, 0x00, 0x0E, 0x00} + bytesOf("CTestVersioned");
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CObject* p = ar.ReadObject(RUNTIME_CLASS(CTestVersioned));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<CTestVersioned*>(p)->m_schemaRead, 9u);
    delete p;
}

TEST(ArchiveObjects, NonSerializableObjectsAreRefused) {
    CTestDynamic dynamic;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    EXPECT_EQ(archiveCause([&] { ar << &dynamic; }), CArchiveException::badClass);
}

// ---- bad input ----

namespace {

const Bytes kPointHeader = Bytes{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00} + bytesOf("CTestPoint");
const Bytes kPointData = {1, 0, 0, 0, 2, 0, 0, 0};

struct BadRecord {
    const char* name;
    Bytes bytes;
    int reads; // objects read; the last one fails
    int cause;
};

} // namespace

class ArchiveBadRecords : public ::testing::TestWithParam<BadRecord> {};

TEST_P(ArchiveBadRecords, ThrowTheRightCause) {
    const BadRecord& record = GetParam();
    CMemFile file(const_cast<BYTE*>(record.bytes.data()), UINT(record.bytes.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<CObject*> read;
    const int cause = archiveCause([&] {
        for (int i = 0; i < record.reads; ++i)
            read.push_back(ar.ReadObject(nullptr));
    });
    EXPECT_EQ(cause, record.cause) << record.name;
    EXPECT_EQ(int(read.size()), record.reads - 1) << record.name;
    for (CObject* p : read)
        delete p;
}

INSTANTIATE_TEST_SUITE_P(
    Records, ArchiveBadRecords,
    ::testing::Values(
        BadRecord{"EmptyStream", {}, 1, CArchiveException::endOfFile},
        BadRecord{"UnknownClassName", Bytes{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00} + bytesOf("CNone"),
                  1, CArchiveException::badClass},
        BadRecord{"ClassNameTooLong", Bytes{0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00} + Bytes(64, 'A'), 1,
                  CArchiveException::badClass},
        BadRecord{"ClassNameWithNul",
                  Bytes{0xFF, 0xFF, 0x01, 0x00, 0x0B, 0x00} + bytesOf("CTestPoint") + Bytes{0}, 1,
                  CArchiveException::badClass},
        BadRecord{"ClassNameCutShort", Bytes{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00} + bytesOf("CTest"),
                  1, CArchiveException::endOfFile},
        BadRecord{"ObjectDataCutShort", kPointHeader + Bytes{1, 0, 0}, 1,
                  CArchiveException::endOfFile},
        BadRecord{"SchemaNewerThanClass",
                  Bytes{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00} + bytesOf("CTestPoint"), 1,
                  CArchiveException::badSchema},
        BadRecord{"SchemaOlderThanClass",
                  Bytes{0xFF, 0xFF, 0x00, 0x00, 0x0A, 0x00} + bytesOf("CTestPoint"), 1,
                  CArchiveException::badSchema},
        BadRecord{"ClassReferenceToNothing", {0x01, 0x80}, 1, CArchiveException::badIndex},
        BadRecord{"ClassReferenceZero", {0x00, 0x80}, 1, CArchiveException::badIndex},
        BadRecord{"ObjectReferenceToNothing", {0x05, 0x00}, 1, CArchiveException::badIndex},
        BadRecord{"LongClassReferenceToNothing",
                  {0xFF, 0x7F, 0x05, 0x00, 0x00, 0x80},
                  1,
                  CArchiveException::badIndex},
        BadRecord{"LongObjectReferenceToNothing",
                  {0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F},
                  1,
                  CArchiveException::badIndex},
        BadRecord{"ObjectReferenceToClass", kPointHeader + kPointData + Bytes{0x01, 0x00}, 2,
                  CArchiveException::badIndex},
        BadRecord{"ClassReferenceToObject", kPointHeader + kPointData + Bytes{0x02, 0x80}, 2,
                  CArchiveException::badIndex}),
    [](const ::testing::TestParamInfo<BadRecord>& info) { return std::string(info.param.name); });

TEST(ArchiveObjects, SchemaErrorIsCauseFive) {
    const Bytes bytes = Bytes{0xFF, 0xFF, 0x07, 0x00, 0x0A, 0x00} + bytesOf("CTestPoint");
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { ar.ReadObject(nullptr); }), 5);
}

TEST(ArchiveObjects, NewObjectOfUnexpectedClassIsRefusedBeforeCreation) {
    const Bytes bytes = kPointHeader + kPointData;
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { ar.ReadObject(RUNTIME_CLASS(CTestNode)); }),
              CArchiveException::badClass);
}

TEST(ArchiveObjects, ClassTagWhereOnlyAClassMayStandNeedsAClass) {
    const Bytes bytes = {0x00, 0x00};
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { ar.ReadClass(); }), CArchiveException::badIndex);
}

TEST(ArchiveObjects, FailureInsideAnObjectReleasesItAndLeavesNoDanglingReference) {
    // A node whose child record is cut short: the child and the node are deleted (the leak
    // checker watches), and the error reaches the caller.
    const Bytes bytes = Bytes{0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00} + bytesOf("CTestNode") +
                        Bytes{0x00} + kPointHeader + Bytes{1, 0};
    CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { ar.ReadObject(nullptr); }), CArchiveException::endOfFile);
}

namespace {

// Object arrays nested `levels` deep: each array holds the next, the innermost is empty.
Bytes nestedArrays(int levels) {
    Bytes bytes = Bytes{0xFF, 0xFF, 0x00, 0x00, 0x08, 0x00} + bytesOf("CObArray") + Bytes{1, 0};
    for (int i = 1; i < levels; ++i)
        bytes.insert(bytes.end(), {0x01, 0x80, 1, 0}); // class reference, count 1
    bytes[bytes.size() - 2] = 0;                       // the innermost count

    return bytes;
}

void deleteNested(CObject* ob) {
    while (auto* array = static_cast<CObArray*>(ob)) {
        ob = array->GetSize() > 0 ? array->GetAt(0) : nullptr;
        delete array;
    }
}

} // namespace

TEST(ArchiveObjects, NestingOfObjectRecordsIsBounded) {
    struct Case {
        int levels;
        int cause; // -1: reads
    };
    for (const Case& c :
         {Case{2, -1}, Case{1000, -1}, Case{1001, CArchiveException::genericException},
          Case{50000, CArchiveException::genericException}}) {
        const Bytes bytes = nestedArrays(c.levels);
        CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        CObject* ob = nullptr;
        EXPECT_EQ(archiveCause([&] { ob = ar.ReadObject(nullptr); }), c.cause) << c.levels;
        if (c.cause != -1) continue;
        int depth = 0;
        for (CObject* o = ob; o != nullptr; ++depth) {
            auto* array = static_cast<CObArray*>(o);
            o = array->GetSize() > 0 ? array->GetAt(0) : nullptr;
        }
        EXPECT_EQ(depth, c.levels);
        deleteNested(ob);
    }
}
