#include <cstring>
#include <string>

#include "data/test-ids.h"
#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"
#include "win32/kernel.h"
#include "win32/module.h"
#include "win32/resource.h"

namespace {

class ResourceModuleTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = LoadLibraryA("test-res.dll");
        ASSERT_NE(module, nullptr) << SdLastLoadError();
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
        PlatformTest::TearDown();
    }

    std::string Load(HINSTANCE instance, UINT id, int size = 256) {
        std::string buffer(size_t(size > 0 ? size : 1), '#');
        int n = LoadStringA(instance, id, buffer.data(), size);
        EXPECT_EQ(std::strlen(buffer.c_str()), size_t(n)) << "the result ends in a NUL";
        return buffer.substr(0, size_t(n));
    }

    HMODULE module = nullptr;
};

TEST_F(ResourceModuleTest, StringsKeepTheirBytes) {
    struct Case {
        UINT id;
        std::string text;
    };
    const Case cases[] = {
        {IDS_GREETING, "Hello"},
        {IDS_ESCAPES, "Two\nlines, \"quoted\", back\\slash\ttab"},
        {3, "defined here"},
        {IDS_LIST_CHARS, "a;b [c] $d {e} ?? #f"},
        {IDS_ANSI, "5\xB0"
                   "C \x96 10 \x80"}, // code page 1252 bytes
        {IDS_LAST, "last"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Load(module, c.id), c.text);
    }
}

TEST_F(ResourceModuleTest, MissingStringsAndSmallBuffers) {
    char buffer[8] = "junk";
    for (UINT id : {UINT(IDS_EMPTY), 4u, 0u, 65536u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(id);
        std::strcpy(buffer, "junk");
        EXPECT_EQ(LoadStringA(module, id, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
    }
    EXPECT_EQ(Load(module, IDS_GREETING, 3), "He");
    EXPECT_EQ(Load(module, IDS_GREETING, 1), "");
    EXPECT_EQ(Load(module, IDS_GREETING, 6), "Hello");
    std::strcpy(buffer, "junk");
    EXPECT_EQ(LoadStringA(module, IDS_GREETING, buffer, 0), 0);
    EXPECT_STREQ(buffer, "junk"); // a zero-sized buffer is not touched
    EXPECT_EQ(LoadStringA(module, IDS_GREETING, buffer, -5), 0);
    EXPECT_EQ(LoadStringA(module, IDS_GREETING, nullptr, 10), 0);
}

TEST_F(ResourceModuleTest, TheCurrentResourceModuleAnswersForNull) {
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(SdGetResourceModule(), program);
    EXPECT_EQ(Load(nullptr, IDS_GREETING), ""); // the test program has no resources

    SdSetResourceModule(module);
    EXPECT_EQ(SdGetResourceModule(), module);
    EXPECT_EQ(Load(nullptr, IDS_GREETING), "Hello");

    HMODULE other = LoadLibraryA("test-res-other.dll");
    ASSERT_NE(other, nullptr);
    SdSetResourceModule(other);
    EXPECT_EQ(Load(nullptr, IDS_GREETING), "Hallo");
    EXPECT_EQ(Load(module, IDS_GREETING), "Hello"); // an explicit module still wins

    // Unloading the current module makes the program current again.
    FreeLibrary(other);
    EXPECT_EQ(SdGetResourceModule(), program);
    EXPECT_EQ(Load(nullptr, IDS_GREETING), "");
    EXPECT_EQ(Load(other, IDS_GREETING), "");

    SdSetResourceModule(module);
    SdSetResourceModule(nullptr);
    EXPECT_EQ(SdGetResourceModule(), program);

    // A module without a table has no resources, and says so.
    HMODULE layer = GetModuleHandleA("libsdwin32.so");
    EXPECT_EQ(Load(layer, IDS_GREETING), "");
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST_F(ResourceModuleTest, AMissingResourceModuleLeavesNothingToLoad) {
    SdSetModuleMissing("test-res-other.dll", true);
    HMODULE other = LoadLibraryA("test-res-other.dll");
    EXPECT_EQ(other, nullptr);
    SdSetResourceModule(other);
    EXPECT_EQ(Load(nullptr, IDS_GREETING), "");
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_RAW), RT_RCDATA), nullptr);
}

TEST_F(ResourceModuleTest, GenericResources) {
    struct Case {
        const char* what;
        LPCSTR name;
        LPCSTR type;
        std::string bytes;
    };
    const Case cases[] = {
        {"text with a NUL and a high byte", MAKEINTRESOURCEA(IDR_RAW), RT_RCDATA,
         std::string("raw\0by\xFFtes", 10)},
        {"a file", MAKEINTRESOURCEA(IDR_BLOB), RT_RCDATA, std::string("AB\0\xFF\n", 5)},
        {"#number names", "#7", "#10", std::string("raw\0by\xFFtes", 10)},
        {"a named resource", "named", MAKEINTRESOURCEA(300), "by name"},
        {"a string by its id", MAKEINTRESOURCEA(IDS_GREETING), RT_STRING, "Hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HRSRC found = FindResourceA(module, c.name, c.type);
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(SizeofResource(module, found), c.bytes.size());
        HGLOBAL data = LoadResource(module, found);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::string(static_cast<const char*>(LockResource(data)), c.bytes.size()),
                  c.bytes);
    }

    struct Missing {
        LPCSTR name;
        LPCSTR type;
        DWORD error;
    };
    const Missing missing[] = {
        {MAKEINTRESOURCEA(99), RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
        {MAKEINTRESOURCEA(IDR_RAW), RT_BITMAP, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"other", MAKEINTRESOURCEA(300), ERROR_RESOURCE_NAME_NOT_FOUND},
        {MAKEINTRESOURCEA(IDR_RAW), "RCDATA", ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"#99999", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"#", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
    };
    for (const Missing& m : missing) {
        SetLastError(0);
        EXPECT_EQ(FindResourceA(module, m.name, m.type), nullptr);
        EXPECT_EQ(GetLastError(), m.error);
    }
    EXPECT_EQ(FindResourceA(module, nullptr, RT_RCDATA), nullptr);

    // Made-up and stale resource handles are refused.
    HRSRC stale = FindResourceA(module, MAKEINTRESOURCEA(IDR_RAW), RT_RCDATA);
    for (UINT_PTR bogus : {UINT_PTR(1), UINT_PTR(0xFFFF), reinterpret_cast<UINT_PTR>(stale) + 200,
                           reinterpret_cast<UINT_PTR>(module)}) {
        HRSRC r = reinterpret_cast<HRSRC>(bogus);
        EXPECT_EQ(LoadResource(module, r), nullptr);
        EXPECT_EQ(SizeofResource(module, r), 0u);
    }
    FreeLibrary(module);
    module = nullptr;
    EXPECT_EQ(LoadResource(nullptr, stale), nullptr);
}

} // namespace
