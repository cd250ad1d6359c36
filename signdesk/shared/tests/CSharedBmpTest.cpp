// Shared pictures: loading BMP and PNG files, the list of keys, grey keys, sizes and records.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "imaging/ImagingToolkit.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CFile.h"
#include "mfc/CMemFile.h"
#include "shared/CSharedBmp.h"
#include "testing/PlatformTest.h"
#include "win32/UserTesting.h"

namespace {

using Bytes = std::vector<BYTE>;

class SharedBmpTest : public PlatformTest {
protected:
    // A 4 x 3 picture of the given depth with a recognisable pixel at (1, 2).
    static void MakePicture(CDib& dib, int bits) {
        ASSERT_TRUE(dib.Create(4, 3, bits));
        unsigned v = bits == 24 ? 0x123456u : 1u;
        dib.SetPixel(1, 2, v);
        if (bits <= 8) dib.GetColorTab()[1] = RGBQUAD{10, 200, 30, 0};
    }
    std::string WriteBmp(const char* name, int bits) {
        CDib dib;
        MakePicture(dib, bits);
        const std::string path = (DataFolder() / name).string();
        CFile file;
        EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_GT(dib.Save(file), 0);
        file.Close();
        return path;
    }
    std::string WritePng(const char* name, int bits) {
        CDib dib;
        MakePicture(dib, bits);
        HGLOBAL block = nullptr;
        DWORD size = 0;
        EXPECT_EQ(ImgEncode(dib.GetInfo(), 40 + dib.GetPaletteSize() + dib.GetTotalBytes(), 75,
                            &block, &size),
                  0);
        const std::string path = (DataFolder() / name).string();
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(GlobalLock(block), 1, size, f);
        std::fclose(f);
        GlobalUnlock(block);
        GlobalFree(block);
        return path;
    }
    static Bytes Store(CSharedBmp& bmp) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            bmp.Serialize(ar);
            ar.Close();
        }
        Bytes out(size_t(file.GetLength()));
        file.SeekToBegin();
        file.Read(out.data(), UINT(out.size()));
        return out;
    }
    static void Load(CSharedBmp& bmp, Bytes bytes) {
        CMemFile file(bytes.data(), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        bmp.Serialize(ar);
        ar.Close();
    }
    static int Cause(CSharedBmp& bmp, const Bytes& bytes) {
        try {
            Load(bmp, bytes);
        } catch (CArchiveException* e) {
            const int cause = e->m_cause;
            e->Delete();
            return cause;
        }
        return -1;
    }
};

} // namespace

TEST_F(SharedBmpTest, LoadsFilesAndListsTheirKeys) {
    const std::string bmpPath = WriteBmp("a.bmp", 8), pngPath = WritePng("b.png", 4);
    {
        CSharedBmp fromBmp(bmpPath.c_str()), fromPng(pngPath.c_str());
        EXPECT_EQ(fromBmp.image.GetBitsPerPixel(), 8);
        EXPECT_EQ(fromPng.image.GetBitsPerPixel(), 4);
        EXPECT_EQ(fromPng.image.GetWidth(), 4);
        EXPECT_TRUE(fromPng.HasColorTable());
        EXPECT_EQ(fromPng.image.GetColorTab()[1].rgbGreen, 200);
        EXPECT_EQ(CSharedBmp::FindByName(bmpPath.c_str()), 0);
        EXPECT_EQ(CSharedBmp::FindByName(pngPath.c_str()), 1);
        EXPECT_EQ(CSharedBmp::FindByName(""), -1);
        EXPECT_EQ(CSharedBmp::FindByName("A.BMP"), -1);

        // The same key again copies the first picture; the grey key is a picture of its own.
        CSharedBmp again(bmpPath.c_str()), grey((bmpPath + "[*]").c_str());
        EXPECT_EQ(SharedBitmapList().GetSize(), 4);
        EXPECT_EQ(CSharedBmp::FindByName(bmpPath.c_str()), 0);
        EXPECT_EQ(again.image.GetBitsPerPixel(), 8);
        EXPECT_FALSE(again.image.IsGrayScale());
        EXPECT_TRUE(grey.image.IsGrayScale());
        EXPECT_EQ(CSharedBmp::FindByName((bmpPath + "[*]").c_str()), 3);

        // A missing file leaves the picture empty.
        CSharedBmp missing((DataFolder() / "none.bmp").string().c_str());
        EXPECT_TRUE(missing.image.IsEmpty());
        EXPECT_FALSE(missing.HasColorTable());
    }
    EXPECT_EQ(SharedBitmapList().GetSize(), 0);
}

TEST_F(SharedBmpTest, MemorySize) {
    CSharedBmp empty;
    empty.m_nRefCount = 1;
    EXPECT_EQ(empty.GetMemSize(), 4u);
    empty.m_nRefCount = 2;
    EXPECT_EQ(empty.GetMemSize(), 0u);
    CSharedBmp bmp;
    MakePicture(bmp.image, 24);
    bmp.m_nRefCount = 1;
    EXPECT_EQ(bmp.GetMemSize(), 40u + 3 * 12 + 4);
    empty.m_nRefCount = bmp.m_nRefCount = 0;
}

TEST_F(SharedBmpTest, RecordKeepsPictureDepthAndKey) {
    for (int bits : {1, 4, 8, 24}) {
        CSharedBmp bmp;
        MakePicture(bmp.image, bits);
        bmp.fileName = "c:\\textures\\wood.bmp";
        const Bytes bytes = Store(bmp);
        ASSERT_GT(bmp.encodedImageSize, 0u);
        // u16 schema 2, the two sizes, the PNG, the key.
        ASSERT_EQ(bytes.size(), 2 + 8 + bmp.encodedImageSize + 1 + 20);
        EXPECT_EQ(bytes[0], 2);
        EXPECT_EQ(bytes[10], 0x89);
        EXPECT_EQ(bytes[11], 'P');
        // A second save writes the kept encoding.
        EXPECT_EQ(Store(bmp), bytes);

        CSharedBmp loaded;
        Load(loaded, bytes);
        EXPECT_EQ(loaded.image.GetBitsPerPixel(), bits);
        unsigned a = 0, b = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                bmp.image.GetPixel(x, y, a);
                loaded.image.GetPixel(x, y, b);
                EXPECT_EQ(a, b) << bits << " " << x << "," << y;
            }
        EXPECT_EQ(std::string(LPCSTR(loaded.fileName)), "c:\\textures\\wood.bmp");
        EXPECT_EQ(CSharedBmp::FindByName("c:\\textures\\wood.bmp"), 0);
        EXPECT_EQ(SharedBitmapList().GetSize(), 1); // the loaded one; bmp was never listed
    }
}

TEST_F(SharedBmpTest, BadRecords) {
    CSharedBmp bmp;
    MakePicture(bmp.image, 8);
    Bytes bytes = Store(bmp);

    Bytes newer = bytes;
    newer[0] = 3;
    CSharedBmp a;
    EXPECT_EQ(Cause(a, newer), CArchiveException::badSchema);
    // A size beyond the bytes left raises before anything is allocated.
    Bytes huge = bytes;
    huge[5] = 0x7F;
    CSharedBmp b;
    EXPECT_EQ(Cause(b, huge), CArchiveException::endOfFile);

    // An encoding that cannot be decoded: the message, a 1 x 1 picture, no mask.
    Bytes damaged = bytes;
    for (size_t i = 20; i < 40; ++i)
        damaged[i] ^= 0x5A;
    PushMessageBoxAnswer(IDOK);
    CSharedBmp c;
    EXPECT_EQ(Cause(c, damaged), -1);
    EXPECT_EQ(c.image.GetWidth(), 1);
    EXPECT_EQ(c.image.GetBitsPerPixel(), 24);
    EXPECT_TRUE(c.mask.IsEmpty());
    ASSERT_FALSE(SdMessageBoxLog().empty());
    EXPECT_EQ(SdMessageBoxLog().back().text, "Unable to load bitmap");
}
