#pragma once
// The document tests' application, files and design: two path objects sharing a fountain
// fill, a group, three guide lines, a font-editing block and a plot layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CWinApp.h>
#include <model/CFountainFill.h>
#include <model/CGroupObj.h>
#include <model/CPathObj.h>
#include <sheet/SheetSettings.h>
#include <testing/PlatformTest.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class DocTestApp : public CWinApp {
public:
    DocTestApp() : CWinApp("Doc Test") {}
};

inline Bytes ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline CPathObj* Square(float x, float y, float s, COLORREF colour) {
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

class SignDocTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        app = std::make_unique<DocTestApp>();
        app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
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
