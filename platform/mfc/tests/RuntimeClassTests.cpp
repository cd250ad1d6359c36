// Run-time classes: kind and exact-class tests, dynamic creation, the registry by name, and
// classes of a module loaded at run time.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include "TestClasses.h"
#include "TestSupport.h"

TEST(RuntimeClass, KindAndExactClassTests) {
    CTestPoint3 p3;
    const CObject& o = p3;
    EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CTestPoint3)));
    EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CTestPoint)));
    EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(o.IsKindOf(RUNTIME_CLASS(CTestNode)));
    EXPECT_FALSE(o.IsKindOf(nullptr));
    EXPECT_TRUE(o.GetRuntimeClass() == RUNTIME_CLASS(CTestPoint3));
    EXPECT_FALSE(o.GetRuntimeClass() == RUNTIME_CLASS(CTestPoint));

    const CRuntimeClass* c = RUNTIME_CLASS(CTestPoint3);
    EXPECT_STREQ(c->m_lpszClassName, "CTestPoint3");
    EXPECT_EQ(c->m_nObjectSize, int(sizeof(CTestPoint3)));
    EXPECT_EQ(c->m_pBaseClass, RUNTIME_CLASS(CTestPoint));
}

TEST(RuntimeClass, SerializableOnlyWithASchema) {
    CTestPoint point;
    CTestDynamic dynamic;
    CTestCreatable creatable;
    EXPECT_TRUE(point.IsSerializable());
    EXPECT_FALSE(dynamic.IsSerializable());
    EXPECT_FALSE(creatable.IsSerializable());
}

TEST(RuntimeClass, DynamicCreationAndCopiedRecords) {
    EXPECT_EQ(RUNTIME_CLASS(CTestDynamic)->CreateObject(), nullptr);
    CObject* created = RUNTIME_CLASS(CTestCreatable)->CreateObject();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetRuntimeClass(), RUNTIME_CLASS(CTestCreatable));
    delete created;
    // A copy of a record still creates objects of its class.
    const CRuntimeClass copy = *RUNTIME_CLASS(CTestPoint);
    CObject* point = copy.CreateObject();
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetRuntimeClass(), RUNTIME_CLASS(CTestPoint));
    delete point;
}

TEST(RuntimeClass, Downcasts) {
    CTestPoint3 p3;
    CObject* o = &p3;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestPoint, o), &p3);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestNode, o), nullptr);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestNode, static_cast<CObject*>(nullptr)), nullptr);
    EXPECT_EQ(STATIC_DOWNCAST(CTestPoint3, o), &p3);
}

TEST(RuntimeClass, RegistryFindsSerialClassesByExactName) {
    EXPECT_EQ(CRuntimeClass::FromName("CTestPoint"), RUNTIME_CLASS(CTestPoint));
    EXPECT_EQ(CRuntimeClass::FromName("CObArray"), RUNTIME_CLASS(CObArray));
    EXPECT_EQ(CRuntimeClass::FromName("ctestpoint"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CTestDynamic"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}

TEST(RuntimeClass, RegisteringAgainKeepsTheRegistryIntact) {
    AfxClassInit(RUNTIME_CLASS(CTestNode)); // already registered at load time
    EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), RUNTIME_CLASS(CTestNode));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr); // would loop on a cycle

    AfxClassTerm(RUNTIME_CLASS(CTestNode));
    EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CTestPoint"), RUNTIME_CLASS(CTestPoint));
    AfxClassInit(RUNTIME_CLASS(CTestNode));
    EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), RUNTIME_CLASS(CTestNode));
}

#ifdef MFC_TEST_PLUGIN
TEST(RuntimeClass, ClassesOfALoadedModuleRegisterAndLeaveWithIt) {
    EXPECT_EQ(CRuntimeClass::FromName("CPluginShape"), nullptr);
    void* module = dlopen(MFC_TEST_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    CRuntimeClass* shapeClass = CRuntimeClass::FromName("CPluginShape");
    ASSERT_NE(shapeClass, nullptr);
    EXPECT_EQ(shapeClass->m_wSchema, 3u);

    // An archive names the class; reading creates the module's object.
    const Bytes bytes = Bytes{0xFF, 0xFF, 0x03, 0x00, 0x0C, 0x00} + bytesOf("CPluginShape") +
                        Bytes{0x2A, 0x00, 0x00, 0x00};
    {
        CMemFile file(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        CObject* shape = ar.ReadObject(RUNTIME_CLASS(CObject));
        ASSERT_NE(shape, nullptr);
        EXPECT_EQ(shape->GetRuntimeClass(), shapeClass);
        CMemFile out;
        CArchive store(&out, CArchive::store);
        store << shape;
        store.Close();
        EXPECT_EQ(contentsOf(out), bytes);
        delete shape;
    }
    ASSERT_EQ(dlclose(module), 0);
    EXPECT_EQ(CRuntimeClass::FromName("CPluginShape"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CTestPoint"), RUNTIME_CLASS(CTestPoint));
}
#endif
