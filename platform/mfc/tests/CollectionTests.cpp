// Arrays of object pointers, untyped pointers and strings.

#include <gtest/gtest.h>

#include <functional>

#include "TestClasses.h"
#include "TestSupport.h"

TEST(Collections, SizeInsertRemoveAndGrow) {
    CPtrArray a;
    int x = 0, y = 0, z = 0;
    EXPECT_EQ(a.Add(&x), 0);
    EXPECT_EQ(a.Add(&y), 1);
    a.InsertAt(1, &z, 2); // x z z y
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[1], &z);
    EXPECT_EQ(a[3], &y);
    a.InsertAt(6, &x); // past the end: grows with nulls first
    ASSERT_EQ(a.GetSize(), 7);
    EXPECT_EQ(a[4], nullptr);
    EXPECT_EQ(a[6], &x);
    a.RemoveAt(1, 3); // x null null x
    EXPECT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.GetUpperBound(), 3);
    a.SetAtGrow(5, &y);
    EXPECT_EQ(a.GetSize(), 6);
    a.ElementAt(1) = &z;
    EXPECT_EQ(a.GetAt(1), &z);
    a.SetSize(2);
    EXPECT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a.Append(a), 2); // appending itself doubles it
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[3], &z);
    CPtrArray b;
    b.Copy(a);
    b.InsertAt(0, &a);
    EXPECT_EQ(b.GetSize(), 8);
    b.RemoveAll();
    EXPECT_TRUE(b.IsEmpty());
}

TEST(Collections, BadIndexesAndCountsThrow) {
    CObArray a;
    a.SetSize(2);
    using Fn = std::function<void()>;
    const Fn bad[] = {
        [&] { a.GetAt(2); },          [&] { a.GetAt(-1); },
        [&] { a.SetAt(2, nullptr); }, [&] { a.ElementAt(-1); },
        [&] { a.RemoveAt(1, 2); },    [&] { a.RemoveAt(-1); },
        [&] { a.RemoveAt(0, -1); },   [&] { a.InsertAt(-1, static_cast<CObject*>(nullptr)); },
        [&] { a.SetSize(-1); },       [&] { a.SetAtGrow(-1, nullptr); },
    };
    for (const Fn& fn : bad)
        EXPECT_TRUE(throwsFramework<CInvalidArgException>(fn));
    EXPECT_EQ(a.GetSize(), 2);
}

TEST(Collections, StringArray) {
    CStringArray a;
    a.Add("one");
    a.Add(CString("two"));
    a.SetAtGrow(3, "four");
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_TRUE(a[2].IsEmpty());
    a.SetAtGrow(4, a[0]); // an element of the array itself
    EXPECT_EQ(a[4], CString("one"));
    a.InsertAt(0, a[1], 2);
    EXPECT_EQ(a[0], CString("two"));
    EXPECT_EQ(a[2], CString("one"));
    a[2] = "uno";
    EXPECT_EQ(a.GetAt(2), CString("uno"));
    EXPECT_TRUE(throwsFramework<CInvalidArgException>([&] { a.GetAt(7); }));
}

TEST(Collections, ObjectArraySerializesAsCountAndRecords) {
    CTestPoint p(1, 2);
    CObArray a;
    a.Add(&p);
    a.Add(nullptr);
    a.Add(&p);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        a.Serialize(ar);
        ar.Close();
    }
    const Bytes expected = Bytes{0x03, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00} +
                           bytesOf("CTestPoint") +
                           Bytes{1, 0, 0, 0, 2, 0, 0, 0, 0x00, 0x00, 0x02, 0x00};
    EXPECT_EQ(contentsOf(file), expected);

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CObArray back;
    back.Add(&p); // replaced by what is read
    back.Serialize(ar);
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back[1], nullptr);
    EXPECT_EQ(back[0], back[2]);
    EXPECT_EQ(static_cast<CTestPoint*>(back[0])->m_y, 2);
    delete back[0];
}

TEST(Collections, StringArraySerializes) {
    CStringArray a;
    a.Add("ab");
    a.Add("");
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        a.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(contentsOf(file), (Bytes{0x02, 0x00, 0x02, 'a', 'b', 0x00}));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CStringArray back;
    back.Serialize(ar);
    ASSERT_EQ(back.GetSize(), 2);
    EXPECT_EQ(back[0], CString("ab"));
    EXPECT_TRUE(back[1].IsEmpty());
}
