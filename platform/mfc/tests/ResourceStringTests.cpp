// Strings from the current resource module.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "win32/module.h"

#ifdef MFC_TEST_STRINGS
class ResourceStrings : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryA(MFC_TEST_STRINGS);
        ASSERT_NE(m_module, nullptr);
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_module);
    }
    void TearDown() override {
        AfxSetResourceHandle(m_previous);
        if (m_module != nullptr) FreeLibrary(m_module);
    }
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
};

TEST_F(ResourceStrings, LoadStringReadsTheCurrentModule) {
    EXPECT_EQ(AfxGetResourceHandle(), m_module);
    CString s;
    EXPECT_TRUE(s.LoadString(102));
    EXPECT_EQ(s, CString("Ende \xE4"));
    EXPECT_TRUE(s.LoadString(103)); // longer than the first attempt's room
    EXPECT_EQ(s, CString(std::string(1000, 'L').c_str()));
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_TRUE(s.IsEmpty());
}

TEST_F(ResourceStrings, FormatWithAStringResource) {
    CString s;
    s.Format(101U, "Ann", 3);
    EXPECT_EQ(s, CString("Hello Ann, 3 designs"));
}
#endif
