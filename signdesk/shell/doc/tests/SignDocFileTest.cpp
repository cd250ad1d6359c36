#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <doc/CSignDoc.h>
#include <doc/DocumentPreview.h>
#include <doc/SignDocSettings.h>
#include <imaging/ImagingToolkit.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CFile.h>
#include <mfc/CFileException.h>
#include <mfc/CWinApp.h>
#include <model/CFountainFill.h>
#include <model/CGroupObj.h>
#include <model/CPathObj.h>
#include <sheet/SheetSettings.h>
#include <testing/PlatformTest.h>
#include <win32/wingdi.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

class DocTestApp : public CWinApp {
public:
    DocTestApp() : CWinApp("Doc Test") {}
};

Bytes ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

CPathObj* Square(float x, float y, float s, COLORREF colour) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x, y});
    obj->m_path.LineTo({x + s, y});
    obj->m_path.LineTo({x + s, y + s});
    obj->m_path.LineTo({x, y + s});
    obj->m_path.LineTo({x, y});
    obj->m_path.ClosePath();
    obj->SetColor(colour);
    obj->RefreshBBox();
    return obj;
}

class SignDocFileTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        app = std::make_unique<DocTestApp>();
        SignDocSettings::ShowFilePreview = FALSE;
        SignDocSettings::WMPPath.Empty();
        CSignDoc::Palette().SetColors({});
        dir = DataFolder() / "designs";
        fs::create_directories(dir);
    }
    void TearDown() override {
        SignDocSettings::ShowFilePreview = TRUE;
        app.reset();
        PlatformTest::TearDown();
    }

    // Two path objects sharing a fountain fill, a group, three guides, a font-editing block
    // and a plot layout.
    void BuildDesign(CSignDoc& doc) {
        SheetSettings::DocWidth = 400;
        SheetSettings::DocHeight = 300;
        CPathObj* a = Square(10, 10, 50, RGB(255, 0, 0));
        CPathObj* b = Square(100, 20, 40, RGB(0, 0, 255));
        auto* fill = new CFountainFill(floatBBox(10, 10, 60, 60), RGB(255, 0, 0), RGB(0, 0, 255));
        a->SetFill(fill);
        b->SetFill(fill);
        auto* group = new CGroupObj;
        group->m_children.Add(Square(200, 100, 30, RGB(0, 128, 0)));
        group->m_children.Add(Square(240, 100, 30, RGB(0, 0, 0)));
        doc.m_sheet.Add(a);
        doc.m_sheet.Add(b);
        doc.m_sheet.Add(group);
        doc.m_sheet.RefreshBounds(1);
        for (int i = 0; i < 3; ++i)
            *doc.m_guideLines.Append() = GuideLine{float(i * 10), 5.5f, i * 0.5};
        doc.m_bFontEditing = 1;
        doc.m_strFontName = "Block.wft";
        doc.m_glyphCodes[0] = 'A';
        doc.m_glyphObjA[0] = b->m_nSerial;
        doc.m_glyphObjB[0] = 0;
        doc.m_bHasPlotLayout = 1;
        doc.m_plotLayout[0] = 7;
        doc.m_plotLayout[6] = 9;
        CSignDoc::Palette().SetColors({RGB(1, 2, 3), RGB(250, 251, 252)});
    }

    std::unique_ptr<DocTestApp> app;
    fs::path dir;
};

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
    for (std::size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        ASSERT_EQ(OpenCause(path, cut, dummy), CArchiveException::endOfFile) << n;
    }
}

} // namespace
