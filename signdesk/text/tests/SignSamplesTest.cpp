// Designs holding texts and frames (the seeds of the archive fuzz target, and every input it
// reports): each either raises an archive error or stores, loads and stores again to the
// same bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LetteringTestSupport.h"
#include "model/CSign.h"

namespace {

class SignSamplesTest : public LetteringTest {};

TEST_F(SignSamplesTest, DesignsWithLetteringRoundTrip) {
    KeepSerials keep;
    int files = 0, lettering = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SD_TEST_DATA_DIR "/sign")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        CSign first;
        if (ArchiveCause([&] { LoadSign(first, bytes); }) != -1) continue;
        for (int i = 0; i < first.GetSize(); ++i) {
            const char* name = first.GetAt(i)->GetRuntimeClass()->m_lpszClassName;
            lettering += std::string(name) == "CTextObj" || std::string(name) == "CTextFrame";
        }
        const Bytes stored = StoreSign(first);
        EXPECT_EQ(bytes, stored) << entry.path(); // written back as they were read
        CSign second;
        ASSERT_EQ(-1, ArchiveCause([&] { LoadSign(second, stored); })) << entry.path();
        EXPECT_EQ(stored, StoreSign(second)) << entry.path();
    }
    EXPECT_GE(files, 3);
    EXPECT_GE(lettering, 5);
}

} // namespace
