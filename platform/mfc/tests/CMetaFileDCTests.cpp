// Metafile recording contexts of the framework.

#include <gtest/gtest.h>

#include "mfc/CMetaFileDC.h"

TEST(CMetaFileDC, RecordsBothKinds) {
    CMetaFileDC wmf;
    ASSERT_TRUE(wmf.Create());
    EXPECT_FALSE(wmf.Create()); // already recording
    ::Rectangle(wmf.m_hDC, 0, 0, 10, 10);
    EXPECT_EQ(wmf.CloseEnhanced(), nullptr); // the wrong kind leaves it recording
    HMETAFILE w = wmf.Close();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wmf.m_hDC, nullptr);
    EXPECT_GT(GetMetaFileBitsEx(w, 0, nullptr), 18u);
    DeleteMetaFile(w);

    CDC ref;
    ref.CreateCompatibleDC(nullptr);
    CMetaFileDC emf;
    RECT frame{0, 0, 1000, 500};
    ASSERT_TRUE(emf.CreateEnhanced(&ref, nullptr, &frame, "a\0b\0\0"));
    EXPECT_EQ(emf.m_hAttribDC, ref.m_hDC);
    ::Ellipse(emf.m_hDC, 0, 0, 20, 10);
    HENHMETAFILE e = emf.CloseEnhanced();
    ASSERT_NE(e, nullptr);
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(e, sizeof h, &h);
    EXPECT_EQ(h.rclFrame.right, 1000);
    EXPECT_EQ(h.nRecords, 3u);
    DeleteEnhMetaFile(e);

    CMetaFileDC dropped; // closed and freed by the destructor
    ASSERT_TRUE(dropped.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
}
