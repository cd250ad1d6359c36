// LZSS through an archive: byte-exact on a hand-checked stream, round trips, and damaged or
// short input that never writes past the destination.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include <compressor/ArchiveCompressor.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>

namespace {

std::vector<BYTE> Compressed(const std::vector<BYTE>& data, unsigned long* reported = nullptr) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        const unsigned long n =
            ArchiveCompressor::Compress(data.data(), (unsigned long)data.size(), ar);
        if (reported) *reported = n;
        ar.Close();
    }
    const auto size = size_t(file.GetLength());
    std::vector<BYTE> out(size);
    file.SeekToBegin();
    file.Read(out.data(), UINT(size));
    return out;
}

// Expands `stored` (of which `take` bytes count) into a buffer of destSize bytes guarded on
// both sides; returns the bytes written and what the archive still holds after.
unsigned long Expand(std::vector<BYTE> stored, unsigned long take, std::vector<BYTE>& dest,
                     unsigned long destSize, size_t* leftInArchive = nullptr) {
    stored.push_back(0x5A); // a byte after the block, which must stay unread
    CMemFile file(stored.data(), UINT(stored.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<BYTE> guarded(destSize + 32, 0xCC);
    const unsigned long n = ArchiveCompressor::Decompress(ar, take, guarded.data() + 16, destSize);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(guarded[i], 0xCC);
        EXPECT_EQ(guarded[16 + destSize + i], 0xCC);
    }
    dest.assign(guarded.begin() + 16, guarded.begin() + 16 + long(destSize));
    if (leftInArchive) {
        BYTE rest[4];
        *leftInArchive = ar.Read(rest, 4);
        if (*leftInArchive == 1) {
            EXPECT_EQ(rest[0], 0x5A);
        }
    }
    ar.Close();
    file.Detach();
    return n;
}

} // namespace

TEST(ArchiveCompressorTest, HandCheckedStream) {
    // A literal 'a', then a match of 9 from window position 4078 (0xFEE): flags 0x01.
    const std::vector<BYTE> data(10, 'a');
    unsigned long n = 0;
    EXPECT_EQ(Compressed(data, &n), (std::vector<BYTE>{0x01, 'a', 0xEE, 0xF6}));
    EXPECT_EQ(n, 4u);
    // Another writer's match into the window's first spaces reads spaces.
    std::vector<BYTE> out;
    EXPECT_EQ(Expand({0x00, 0x00, 0x00}, 3, out, 3), 3u);
    EXPECT_EQ(out, (std::vector<BYTE>{' ', ' ', ' '}));
}

TEST(ArchiveCompressorTest, RoundTrips) {
    std::mt19937 random(7);
    std::vector<std::vector<BYTE>> inputs = {{}, {42}, std::vector<BYTE>(100000, 0)};
    std::vector<BYTE> noise(70000), text;
    for (BYTE& b : noise)
        b = BYTE(random());
    inputs.push_back(noise);
    for (int i = 0; i < 5000; ++i) // repeats near and far in the window, and past it
        for (char c : std::string("row ") + std::to_string(i % 97) +
                          (i % 500 == 0 ? std::string(5000, 'x') : ""))
            text.push_back(BYTE(c));
    inputs.push_back(text);
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.size());
        unsigned long n = 0;
        const std::vector<BYTE> stored = Compressed(input, &n);
        EXPECT_EQ(n, stored.size());
        EXPECT_LE(input.size(), ArchiveCompressor::MaxExpandedSize((unsigned long)stored.size()));
        if (input.size() == 100000) {
            EXPECT_LT(stored.size(), 12000u);
        }
        std::vector<BYTE> out;
        size_t left = 0;
        EXPECT_EQ(
            Expand(stored, (unsigned long)stored.size(), out, (unsigned long)input.size(), &left),
            input.size());
        EXPECT_EQ(out, input);
        EXPECT_EQ(left, 1u); // exactly the block was read
    }
}

TEST(ArchiveCompressorTest, DamagedInputStaysInItsDestination) {
    std::vector<BYTE> input(5000);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = BYTE(i % 13);
    const std::vector<BYTE> stored = Compressed(input);
    std::vector<BYTE> out;
    size_t left = 0;
    // A destination smaller than the data: filled, not passed; the block still read whole.
    EXPECT_EQ(Expand(stored, (unsigned long)stored.size(), out, 100, &left), 100u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin()));
    EXPECT_EQ(left, 1u);
    // A block cut inside a match: what was there.
    EXPECT_LT(Expand(stored, 5, out, 5000), 5000u);
    // Garbage of matches everywhere.
    std::vector<BYTE> junk(3000, 0x00);
    EXPECT_EQ(Expand(junk, 3000, out, 64), 64u);
    // An archive shorter than the size stored: its end-of-file exception.
    std::vector<BYTE> shortData(stored.begin(), stored.begin() + 10);
    CMemFile file(shortData.data(), UINT(shortData.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<BYTE> dest(5000);
    try {
        ArchiveCompressor::Decompress(ar, (unsigned long)stored.size(), dest.data(), 5000);
        ADD_FAILURE() << "no exception";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
        e->Delete();
    }
    ar.Abort();
    file.Detach();
}
