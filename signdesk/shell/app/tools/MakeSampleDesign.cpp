// Writes the program folder's sample design: a panel on layer 1, lettering outlines in
// DejaVu Sans Bold and a star on layer 2, with the colours of the default palette, stored by
// the document as any design is.
//   make_sample_design OUT.wtp PALETTE.wpl
// Exit 0 when written; 1 with the reason on standard error.
#include <cmath>
#include <cstdio>
#include <cstring>

#include <app/PaletteFiles.h>
#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <pathkit/Path.h>
#include <sheet/SheetSettings.h>
#include <text/TrueTypeFont.h>

namespace {

constexpr float PageWidth = 700;
constexpr float PageHeight = 400;
constexpr char Lettering[] = "SIGNS";
constexpr float LetterHeight = 90; // capital height, mm
constexpr float LetterSpacing = 10;

class SampleApp : public CWinApp {
public:
    SampleApp() : CWinApp("make_sample_design") {}
};

CPathObj* NewPathObj(COLORREF fill, COLORREF outline, float outlineWidth, char layer) {
    auto* obj = new CPathObj;
    obj->SetColor(fill);
    obj->SetOutlineColor(outline);
    obj->m_fOutlineWidth = outlineWidth;
    obj->SetLayer(layer, 0);
    return obj;
}

void Finish(CPathObj* obj) {
    obj->m_path.Prepare();
    obj->RefreshBBox();
}

// The panel: the page less a margin, with rounded corners drawn as quarter arcs.
CPathObj* Panel() {
    CPathObj* obj = NewPathObj(RGB(16, 48, 112), RGB(0, 0, 0), 0.5f, 1);
    const float x0 = 20, y0 = 20, x1 = PageWidth - 20, y1 = PageHeight - 20, r = 25;
    const float k = r * 0.55228475f;
    Path& p = obj->m_path;
    p.MoveTo({x0 + r, y0});
    p.LineTo({x1 - r, y0});
    p.CurveTo({x1 - r + k, y0}, {x1, y0 + r - k}, {x1, y0 + r});
    p.LineTo({x1, y1 - r});
    p.CurveTo({x1, y1 - r + k}, {x1 - r + k, y1}, {x1 - r, y1});
    p.LineTo({x0 + r, y1});
    p.CurveTo({x0 + r - k, y1}, {x0, y1 - r + k}, {x0, y1 - r});
    p.LineTo({x0, y0 + r});
    p.CurveTo({x0, y0 + r - k}, {x0 + r - k, y0}, {x0 + r, y0});
    p.ClosePath();
    Finish(obj);
    return obj;
}

// A five-pointed star, one point up.
CPathObj* Star(float cx, float cy, float outer, float inner) {
    CPathObj* obj = NewPathObj(RGB(255, 204, 0), RGB(0, 0, 0), 0.5f, 2);
    Path& p = obj->m_path;
    for (int i = 0; i < 10; ++i) {
        const double a = M_PI / 2 + i * M_PI / 5;
        const float r = i % 2 == 0 ? outer : inner;
        const floatPoint q{cx + float(r * std::cos(a)), cy + float(r * std::sin(a))};
        if (i == 0)
            p.MoveTo(q);
        else
            p.LineTo(q);
    }
    p.LineTo({cx, cy + outer});
    p.ClosePath();
    Finish(obj);
    return obj;
}

// One path object per letter, set from x on the baseline y; false when the face is missing.
bool AddLettering(CSign& sheet, float x, float y) {
    TrueTypeFont font;
    font.fontName = "DejaVu Sans Bold";
    if (!font.Load()) return false;
    for (const char* c = Lettering; *c != 0; ++c) {
        CPathObj* obj = NewPathObj(RGB(255, 255, 255), RGB(0, 0, 0), 0.3f, 2);
        if (font.GetCharPath(std::uint16_t(*c), obj->m_path) != 1) {
            delete obj;
            return false;
        }
        floatTMatrix m = font.glyphMatrix;
        m.Scale(LetterHeight, LetterHeight);
        m.Translate(x, y);
        obj->m_path.Transform(m);
        Finish(obj);
        x += font.GetCharWidth(std::uint16_t(*c)) * LetterHeight + LetterSpacing;
        sheet.Add(obj);
    }
    font.Unload();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample_design OUT.wtp PALETTE.wpl\n");
        return 1;
    }
    SampleApp app;
    // Nothing of the user's: no profile, no preview picture.
    SignDocSettings::ShowFilePreview = FALSE;
    if (!LoadPaletteFile(argv[2])) {
        std::fprintf(stderr, "make_sample_design: %s cannot be read\n", argv[2]);
        return 1;
    }
    CSignDoc::Palette().SetColors(ParsePaletteEntries());

    auto* doc = new CSignDoc;
    doc->m_bAutoDelete = FALSE;
    // The document's construction takes the profile's page size.
    SheetSettings::DocWidth = PageWidth;
    SheetSettings::DocHeight = PageHeight;
    doc->m_sheet.Add(Panel());
    if (!AddLettering(doc->m_sheet, 55, 155)) {
        std::fprintf(stderr, "make_sample_design: the font DejaVu Sans Bold is missing\n");
        delete doc;
        return 1;
    }
    doc->m_sheet.Add(Star(PageWidth - 90, PageHeight - 195, 60, 24));
    doc->m_sheet.RefreshBounds(1);
    doc->m_sheet.CountLayerObjects();
    const BOOL ok = doc->OnSaveDocument(argv[1]);
    delete doc;
    if (!ok) {
        std::fprintf(stderr, "make_sample_design: %s not written\n", argv[1]);
        return 1;
    }
    return 0;
}
