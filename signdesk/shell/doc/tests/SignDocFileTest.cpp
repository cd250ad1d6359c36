#include <cstdlib>
#include <cstring>
#include <functional>

#include <doc/CPaletteColors.h>
#include <doc/DocumentPreview.h>
#include <doc/HtmlHelpCall.h>
#include <doc/WmpContents.h>
#include <imaging/ImagingToolkit.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CFile.h>
#include <mfc/CFileException.h>
#include <mfc/CMemFile.h>
#include <rasterkit/CDIBSection.h>
#include <win32/ModuleTesting.h>
#include <win32/module.h>
#include <win32/wingdi.h>

#include "SignDocTestSupport.h"

namespace {

class SignDocFileTest : public SignDocTest {};

// The archive cause fn raises, -1 for none.
int ArchiveCauseOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST_F(SignDocFileTest, WtpRoundTripIsByteIdentical) {
    const fs::path first = dir / "plan.wtp", second = dir / "again.wtp";
    DWORD serialB = 0;
    {
        CSignDoc doc;
        BuildDesign(doc);
        serialB = doc.m_sheet.GetObj(1)->m_nSerial;
        ASSERT_TRUE(doc.OnSaveDocument(first.c_str()));
    }
    const Bytes bytes = ReadAll(first);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0x02);
    EXPECT_EQ(bytes[1], 0x00);

    CSignDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(first.c_str()));
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 400);
    EXPECT_FLOAT_EQ(SheetSettings::DocHeight, 300);
    ASSERT_EQ(doc.m_sheet.GetSize(), 3);
    auto* a = static_cast<CPathObj*>(doc.m_sheet.GetObj(0));
    auto* b = static_cast<CPathObj*>(doc.m_sheet.GetObj(1));
    EXPECT_NE(a->m_pFill, nullptr);
    EXPECT_EQ(a->m_pFill, b->m_pFill); // still shared
    EXPECT_EQ(b->m_nSerial, serialB);
    EXPECT_EQ(doc.m_guideLines.Filled(), 3);
    EXPECT_DOUBLE_EQ(doc.m_guideLines[2].angle, 1.0);
    EXPECT_EQ(doc.m_bFontEditing, 1u);
    EXPECT_STREQ(LPCSTR(doc.m_strFontName), "Block.wft");
    EXPECT_EQ(doc.m_glyphObjA[0], serialB);
    EXPECT_EQ(doc.m_glyphObjB[0], 0u);
    EXPECT_EQ(doc.m_bHasPlotLayout, 1u);
    EXPECT_EQ(doc.m_plotLayout[6], 9u);
    EXPECT_EQ(CSignDoc::Palette().GetColors().size(), 2u);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.OnSaveDocument(second.c_str()));
    EXPECT_EQ(ReadAll(second), bytes);
}

// Compound .wmp files written by another writer (libgsf's "gsf createole", when installed)
// open through their "Contents" stream; one without it raises the archive's missing-stream
// cause; a plain .wmp still reads as its own contents.
TEST_F(SignDocFileTest, CompoundWmpFilesOpenThroughTheirContents) {
    if (std::system("command -v gsf >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gsf";
    const fs::path streams = dir / "streams";
    fs::create_directories(streams);
    SignDocSettings::ShowFilePreview = TRUE;
    {
        CSignDoc doc;
        BuildDesign(doc);
        doc.m_strFilePath = (dir / "layout.wmp").c_str();
        CFile file;
        ASSERT_TRUE(
            file.Open((streams / "Contents").c_str(), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
        file.Close();
    }
    fs::copy_file(streams / "Contents", streams / "Other");
    fs::copy_file(streams / "Contents", dir / "plain.wmp");
    const std::string cd = "cd '" + streams.string() + "' && gsf createole ";
    ASSERT_EQ(
        std::system((cd + "'" + (dir / "plan.wmp").string() + "' Contents >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((cd + "'" + (dir / "other.wmp").string() + "' Other >/dev/null").c_str()),
              0);

    for (const char* name : {"plan.wmp", "plain.wmp"}) {
        SCOPED_TRACE(name);
        CSignDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument((dir / name).c_str()));
        ASSERT_EQ(doc.m_sheet.GetSize(), 3);
        EXPECT_EQ(doc.m_sheet.GetObj(2)->GetRuntimeClass(), RUNTIME_CLASS(CGroupObj));
        EXPECT_FALSE(doc.IsModified());
    }
    // The file dialog's preview lies in the stream.
    {
        std::unique_ptr<CFile> contents(OpenWmpContents((dir / "plan.wmp").c_str()));
        CDIBSection picture;
        ASSERT_TRUE(ReadDocumentPreview(*contents, picture));
        EXPECT_EQ(picture.GetWidth(), 150);
    }
    EXPECT_EQ(ArchiveCauseOf([&] { delete OpenWmpContents((dir / "other.wmp").c_str()); }),
              CArchiveException::missingStream);
    // One message each, with the file's name.
    CSignDoc doc;
    PushMessageBoxAnswer(IDOK);
    PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(doc.OnOpenDocument((dir / "other.wmp").c_str()));
    EXPECT_FALSE(doc.OnOpenDocument((dir / "none.wmp").c_str()));
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    int fileCause = -1;
    try {
        delete OpenWmpContents((dir / "none.wmp").c_str());
    } catch (CFileException* e) {
        fileCause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(fileCause, CFileException::fileNotFound);
}

TEST_F(SignDocFileTest, PreviewBlockHoldsAn8BitPngOf150Pixels) {
    SignDocSettings::ShowFilePreview = TRUE;
    const fs::path path = dir / "plan.wtp";
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    const Bytes bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 1002);
    EXPECT_EQ(std::memcmp(bytes.data() + 2, PreviewIdentifier, 16), 0);
    const std::uint32_t n =
        bytes[18] | (bytes[19] << 8) | (bytes[20] << 16) | (std::uint32_t(bytes[21]) << 24);
    ASSERT_LE(22 + n, bytes.size());
    ASSERT_TRUE(ImgIsPNG(bytes.data() + 22, n));
    HGLOBAL dib = ImgDecode(bytes.data() + 22, n);
    ASSERT_NE(dib, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(header->biBitCount, 8);
    // The design's box is 260 x 120 mm: the longer side gets 150 pixels.
    EXPECT_EQ(header->biWidth, 150);
    EXPECT_EQ(header->biHeight, 69);
    GlobalUnlock(dib);
    GlobalFree(dib);

    CSignDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
}

// The archive cause of opening bytes as plan.wtp; -1 when it opens.
int OpenCause(const fs::path& path, const Bytes& bytes, CSignDoc& doc) {
    WriteAll(path, bytes);
    struct Catch : CSignDoc {
        int cause = -1;
        void ReportSaveLoadException(LPCSTR, CException* e, BOOL, UINT) override {
            if (auto* ae = dynamic_cast<CArchiveException*>(e))
                cause = ae->m_cause;
            else if (dynamic_cast<CFileException*>(e))
                cause = 100;
            else
                cause = 200;
        }
    };
    (void)doc;
    Catch c;
    c.m_strFilePath = path.c_str();
    if (c.OnOpenDocument(path.c_str())) return -1;
    return c.cause;
}

TEST_F(SignDocFileTest, VersionWordsAndTruncations) {
    const fs::path path = dir / "plan.wtp";
    Bytes good;
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
        good = ReadAll(path);
    }
    CSignDoc dummy;
    // Version 1 has no stored plot layout: drop the last 32 bytes.
    Bytes v1(good.begin(), good.end() - 32);
    v1[0] = 1;
    EXPECT_EQ(OpenCause(path, v1, dummy), -1);
    // 1001: a preview of three bytes, then version 1.
    Bytes v1001 = {0xE9, 0x03};
    v1001.insert(v1001.end(), PreviewIdentifier, PreviewIdentifier + 16);
    v1001.insert(v1001.end(), {3, 0, 0, 0, 'a', 'b', 'c'});
    v1001.insert(v1001.end(), v1.begin() + 2, v1.end());
    EXPECT_EQ(OpenCause(path, v1001, dummy), -1);
    // Wrong identifier, 1000 and too new versions: badSchema.
    Bytes badId = v1001;
    badId[5] ^= 1;
    EXPECT_EQ(OpenCause(path, badId, dummy), CArchiveException::badSchema);
    for (unsigned v : {3u, 1000u, 1003u}) {
        Bytes b = good;
        b[0] = BYTE(v & 0xFF);
        b[1] = BYTE(v >> 8);
        if (v > 1000) {
            b.insert(b.begin() + 2, PreviewIdentifier, PreviewIdentifier + 16);
            b.insert(b.begin() + 18, {0, 0, 0, 0});
        }
        EXPECT_EQ(OpenCause(path, b, dummy), CArchiveException::badSchema) << v;
    }
    // A preview length past the end of the file.
    Bytes longPreview = {0xE9, 0x03};
    longPreview.insert(longPreview.end(), PreviewIdentifier, PreviewIdentifier + 16);
    longPreview.insert(longPreview.end(), {0xFF, 0xFF, 0xFF, 0x7F, 1, 2});
    EXPECT_EQ(OpenCause(path, longPreview, dummy), CArchiveException::endOfFile);
    // Every truncation ends in end of file.
    CSignDoc doc;
    doc.m_strFilePath = "cut.wtp";
    for (std::size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        CMemFile file(cut.empty() ? nullptr : cut.data(), UINT(cut.size()));
        doc.DeleteContents();
        const int cause = [&] {
            try {
                CArchive ar(&file, CArchive::load);
                doc.Serialize(ar);
            } catch (CArchiveException* e) {
                const int c = e->m_cause;
                e->Delete();
                return c;
            }
            return -1;
        }();
        ASSERT_EQ(cause, CArchiveException::endOfFile) << n;
    }
}

TEST(PaletteColors, CountsAndLock) {
    auto load = [](const Bytes& bytes, CPaletteColors& palette) {
        Bytes copy = bytes;
        CMemFile file(copy.data(), UINT(copy.size()));
        CArchive ar(&file, CArchive::load);
        palette.SerializeColors(ar);
    };
    CPaletteColors palette;
    palette.SetColors({RGB(1, 1, 1)});
    load({0xFF, 0xFF, 0xFF, 0xFF}, palette); // -1: empty
    EXPECT_TRUE(palette.GetColors().empty());
    load({2, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0}, palette);
    EXPECT_EQ(palette.GetColors(), (std::vector<COLORREF>{RGB(1, 2, 3), RGB(4, 5, 6)}));
    // A count past the bytes left is refused before anything is allocated.
    try {
        load({0xFF, 0xFF, 0xFF, 0x3F, 1, 2, 3, 0}, palette);
        ADD_FAILURE();
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
        e->Delete();
    }
    CPaletteColors::PaletteLock = TRUE;
    load({1, 0, 0, 0, 9, 9, 9, 0}, palette);
    CPaletteColors::PaletteLock = FALSE;
    EXPECT_EQ(palette.GetColors().size(), 2u);
}

} // namespace

namespace {

TEST(HtmlHelp, WithoutTheControlNothingHappensAndNothingIsTriedAgain) {
    SdSetModuleMissing("hhctrl.ocx", true);
    EXPECT_EQ(HtmlHelpCall(nullptr, "signdesk.chm", 0, 0), 0u);
    EXPECT_FALSE(SdLastLoadError().empty());
    // A later successful load clears the loader's error; a second attempt would set it again.
    HMODULE other = ::LoadLibraryA("libsdwin32.so");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(SdLastLoadError().empty());
    EXPECT_EQ(HtmlHelpCall(nullptr, "signdesk.chm", 0, 0), 0u);
    EXPECT_TRUE(SdLastLoadError().empty());
    ::FreeLibrary(other);
    SdSetModuleMissing("hhctrl.ocx", false);
}

} // namespace

namespace {

class DocumentPreviewTest : public SignDocTest {};

TEST_F(DocumentPreviewTest, ReadsThePictureAfterTheMarker) {
    SignDocSettings::ShowFilePreview = TRUE;
    const fs::path path = dir / "plan.wtp";
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    CFile file(path.c_str(), CFile::modeRead);
    CDIBSection picture;
    ASSERT_TRUE(ReadDocumentPreview(file, picture));
    EXPECT_EQ(picture.GetWidth(), 150);
    EXPECT_EQ(picture.GetHeight(), 69);
}

TEST_F(DocumentPreviewTest, MarkerSplitAcrossBlocksAndDamagedBlocks) {
    const fs::path path = dir / "raw.wtp";
    auto read = [&](const Bytes& bytes, CDIBSection& picture) {
        WriteAll(path, bytes);
        CFile file(path.c_str(), CFile::modeRead);
        return ReadDocumentPreview(file, picture);
    };
    CDIBSection picture;
    // No marker, and a file without a preview.
    EXPECT_FALSE(read(Bytes(20000, 0x31), picture));
    // The marker across the 8192-byte block edge, with an empty picture.
    Bytes split(8185, 0x31);
    split.insert(split.end(), PreviewIdentifier, PreviewIdentifier + 16);
    split.insert(split.end(), {0, 0, 0, 0});
    {
        WriteAll(path, split);
        CFile file(path.c_str(), CFile::modeRead);
        EXPECT_EQ(FindMarker(file), 8185);
    }
    EXPECT_TRUE(read(split, picture));
    EXPECT_EQ(picture.GetWidth(), 0);
    // A length past the end, and a picture announced larger than 4096 pixels.
    Bytes longer = split;
    longer[longer.size() - 1] = 0x7F;
    EXPECT_EQ(ArchiveCauseOf([&] { read(longer, picture); }), CArchiveException::badSchema);
    Bytes huge(PreviewIdentifier, PreviewIdentifier + 16);
    const std::uint8_t header[] = {24,   0,    0,    0,    0x89, 'P', 'N', 'G', '\r', '\n',
                                   0x1A, '\n', 0,    0,    0,    13,  'I', 'H', 'D',  'R',
                                   0,    0,    0x10, 0x01, 0,    0,   0,   1};
    huge.insert(huge.end(), std::begin(header), std::end(header));
    EXPECT_EQ(ArchiveCauseOf([&] { read(huge, picture); }), CArchiveException::badSchema);
}

} // namespace
