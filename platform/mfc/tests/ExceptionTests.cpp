// Exception classes: cause numbers, messages and their release.

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

TEST(Exceptions, ArchiveCauseNumbersAreTheStoredDocumentsOnes) {
    static_assert(CArchiveException::none == 0);
    static_assert(CArchiveException::genericException == 1);
    static_assert(CArchiveException::readOnly == 2);
    static_assert(CArchiveException::endOfFile == 3);
    static_assert(CArchiveException::writeOnly == 4);
    static_assert(CArchiveException::badSchema == 5);
    static_assert(CArchiveException::badIndex == 5);
    static_assert(CArchiveException::badClass == 6);
    static_assert(CArchiveException::missingStream == 7);
    static_assert(CFileException::fileNotFound == 2 && CFileException::accessDenied == 5 &&
                  CFileException::badSeek == 9 && CFileException::endOfFile == 14);
}

TEST(Exceptions, ThrownAsPointersAndCaughtThroughTheBase) {
    bool caught = false;
    try {
        AfxThrowArchiveException(CArchiveException::badSchema, "doc.wtp");
    } catch (CException* e) {
        caught = true;
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CArchiveException)));
        auto* ae = static_cast<CArchiveException*>(e);
        EXPECT_EQ(ae->m_cause, 5);
        EXPECT_EQ(ae->m_strFileName, CString("doc.wtp"));
        char text[200];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        EXPECT_NE(std::strstr(text, "doc.wtp"), nullptr) << text;
        e->Delete();
    }
    EXPECT_TRUE(caught);
    EXPECT_TRUE(throwsFramework<CMemoryException>([] { AfxThrowMemoryException(); }));
    EXPECT_EQ(fileCause([] { AfxThrowFileException(CFileException::diskFull, 112, "x"); }),
              CFileException::diskFull);
}

TEST(Exceptions, MessagesFitTheBuffer) {
    CFileException e(CFileException::fileNotFound, 2, "a-rather-long-file-name.wtp");
    char text[8];
    std::memset(text, 'z', sizeof text);
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_EQ(std::strlen(text), 7u);
    char one[1] = {'z'};
    e.GetErrorMessage(one, 1);
    EXPECT_EQ(one[0], '\0');
    CException plain(FALSE);
    EXPECT_FALSE(plain.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "");
}

TEST(Exceptions, OsErrorsMapToCauses) {
    struct Case {
        LONG osError;
        int cause;
    } cases[] = {{2, CFileException::fileNotFound},       {3, CFileException::badPath},
                 {5, CFileException::accessDenied},       {32, CFileException::sharingViolation},
                 {112, CFileException::diskFull},         {131, CFileException::badSeek},
                 {9999, CFileException::genericException}};
    for (const Case& c : cases)
        EXPECT_EQ(CFileException::OsErrorToException(c.osError), c.cause);
    EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::ErrnoToException(ENOSPC), CFileException::diskFull);
}

TEST(Exceptions, DeleteLeavesExceptionsThatAreNotOnTheHeap) {
    CArchiveException onStack(CArchiveException::endOfFile);
    onStack.m_bAutoDelete = FALSE;
    onStack.Delete(); // no effect; the leak and address checkers watch the heap case
    EXPECT_EQ(onStack.m_cause, CArchiveException::endOfFile);
}
