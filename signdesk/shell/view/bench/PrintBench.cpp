// One A4 page of 200 lines of DejaVu Sans outlines printed by the sign view at 300 dpi: on
// the fake raster printer (the view's banded raster printing), and on the fake PostScript
// printer, whose capture ghostscript then renders (ppmraw, 300 dpi). Prints the time per page
// of both and how many pixels differ by more than one level in any channel.
//
//   view_print_bench [pages] [folder for the capture, the PPM and the raster page]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <app/AppIds.h>
#include <app/AppSettings.h>
#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CDC.h>
#include <mfc/CDocTemplate.h>
#include <mfc/CPrintInfo.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <shell/ProfileSettings.h>
#include <text/FontRegistry.h>
#include <text/GeneralFont.h>
#include <text/TrueTypeFont.h>
#include <win32/GdiTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/module.h>

#include "view/CSignView.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("View Print Bench") {}
};

const char* const kLines[] = {
    "The quick brown fox jumps over the lazy dog. 0123456789",
    "Signs, banners and lettering cut from vinyl: ABCDEFGHIJKLM",
    "NOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz (!?&%$#@)",
    "Pack my box with five dozen liquor jugs; sphinx of black quartz.",
};

// The line's glyph outlines, baseline at y, em size `size` (mm), from x = 10.
void AddLine(CSignDoc& doc, GeneralFont& font, const char* text, float y, float size) {
    auto* obj = new CPathObj;
    float x = 10;
    for (const char* c = text; *c; ++c) {
        const auto code = std::uint16_t(static_cast<unsigned char>(*c));
        Path glyph;
        if (font.GetCharPath(code, glyph) == 1) {
            floatTMatrix place = font.glyphMatrix;
            floatTMatrix scale;
            scale.Scale(size, size);
            floatTMatrix move;
            move.Translate(x, y);
            glyph.Transform(place * scale * move);
            glyph.Prepare();
            for (SubPath& sp : glyph.subPaths)
                obj->m_path.AddSubPath(sp);
        }
        x += font.GetCharWidth(code) * size;
    }
    obj->m_path.Prepare();
    obj->SetColor(RGB(0, 0, 0));
    obj->RefreshBBox();
    doc.AddObject(obj, FALSE, -1);
}

double PrintPage(CSignView* view, const char* printer) {
    CDC dc;
    if (!dc.CreateDC(nullptr, printer, nullptr, nullptr)) return -1;
    dc.m_bPrinting = TRUE;
    CPrintInfo info;
    const auto start = Clock::now();
    view->OnBeginPrinting(&dc, &info);
    dc.StartDoc("bench");
    dc.StartPage();
    view->OnPrepareDC(&dc, &info);
    view->OnPrint(&dc, &info);
    dc.EndPage();
    dc.EndDoc();
    view->OnEndPrinting(&dc, &info);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Ppm {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Ppm ReadPpm(const fs::path& file) {
    Ppm ppm;
    std::ifstream in(file, std::ios::binary);
    // The header's fields, each perhaps after comment lines.
    auto field = [&in]() {
        std::string word;
        while (in >> word && word[0] == '#') {
            std::string rest;
            std::getline(in, rest);
        }
        return word;
    };
    const std::string magic = field();
    ppm.width = std::atoi(field().c_str());
    ppm.height = std::atoi(field().c_str());
    const int maxValue = std::atoi(field().c_str());
    in.get();
    if (magic != "P6" || maxValue != 255 || ppm.width <= 0 || ppm.height <= 0) return {};
    ppm.rgb.resize(std::size_t(ppm.width) * std::size_t(ppm.height) * 3);
    in.read(reinterpret_cast<char*>(ppm.rgb.data()), std::streamsize(ppm.rgb.size()));
    return ppm;
}

void WritePpm(const fs::path& file, const SdGdiImage& img) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << img.width << " " << img.height << "\n255\n";
    for (COLORREF c : img.pixels) {
        const char px[3] = {char(GetRValue(c)), char(GetGValue(c)), char(GetBValue(c))};
        out.write(px, 3);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "view_print_bench";
    fs::create_directories(folder);
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);

    HMODULE resources = ::LoadLibraryA(SIGNDESK_RES);
    if (resources == nullptr) {
        std::fprintf(stderr, "no resource module\n");
        return 1;
    }
    AfxSetResourceHandle(resources);
    auto app = std::make_unique<BenchApp>();
    app->m_pszProfileName = strdup((folder / "Application.ini").c_str());
    WriteProfileFloat("Settings", "DocWidth", 210);
    WriteProfileFloat("Settings", "DocHeight", 297);
    app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CSignDoc),
                                               RUNTIME_CLASS(CSignFrame),
                                               RUNTIME_CLASS(CSignView)));
    app->OnFileNew();
    auto* frame = DYNAMIC_DOWNCAST(CSignFrame, app->m_pMainWnd);
    auto* view = frame ? DYNAMIC_DOWNCAST(CSignView, frame->GetActiveView()) : nullptr;
    CSignDoc* doc = view ? view->GetSignDoc() : nullptr;
    if (doc == nullptr) {
        std::fprintf(stderr, "no view\n");
        return 1;
    }

    EnumTrueTypeFonts();
    std::unique_ptr<GeneralFont> font(CreateFontByName("DejaVu Sans Book"));
    if (!font || !font->Load()) {
        std::fprintf(stderr, "DejaVu Sans is not installed\n");
        return 1;
    }
    // 200 lines from the top of the page down, 1.4 mm apart.
    for (int i = 0; i < 200; ++i)
        AddLine(*doc, *font, kLines[i % 4], 295.0f - 1.4f * float(i + 1), 1.2f);

    SdInstallFakeSpooler();
    SdAddFakePrinter("Raster");
    SdGdiDescribePrinter("Raster", SdPrinterKind::Raster);
    SdAddFakePrinter("PS");
    SdGdiDescribePrinter("PS", SdPrinterKind::PostScript);

    double raster = 0;
    for (int i = 0; i < pages; ++i)
        raster += PrintPage(view, "Raster");
    const SdGdiImage page = SdGdiPrintedPages().back().image;
    WritePpm(folder / "raster.ppm", page);

    PrintPage(view, "PS");
    const std::string capture = SdSpooledJobs().back().bytes;
    // The capture draws in printer pixels, y down: the prologue maps them onto the A4 page,
    // and has ghostscript fill the pixels whose centres are inside, as the raster printer
    // does (by default it fills every pixel a shape touches).
    const fs::path ps = folder / "capture.ps";
    {
        std::ofstream out(ps, std::ios::binary);
        out << "%!PS-Adobe-3.0\n<< /PageSize [595.2756 841.8898] >> setpagedevice\n"
            << "0 841.8898 translate 72 300 div dup neg scale\n"
            << "{ 0 0 .setfilladjust2 } stopped pop\n"
            << capture << "\nshowpage\n";
    }
    const fs::path ppm = folder / "ghostscript.ppm";
    const std::string command =
        "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r300 -sOutputFile=" + ppm.string() + " " +
        ps.string();
    double ghostscript = 0;
    for (int i = 0; i < pages; ++i) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "ghostscript failed (apt-get install ghostscript)\n");
            return 1;
        }
        ghostscript += std::chrono::duration<double>(Clock::now() - start).count();
    }

    const Ppm gs = ReadPpm(ppm);
    const int w = std::min(gs.width, page.width), h = std::min(gs.height, page.height);
    long differing = 0, inked = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF ours = page.at(x, y);
            const unsigned char* theirs =
                &gs.rgb[(std::size_t(y) * std::size_t(gs.width) + std::size_t(x)) * 3];
            const int d = std::max({std::abs(int(GetRValue(ours)) - theirs[0]),
                                    std::abs(int(GetGValue(ours)) - theirs[1]),
                                    std::abs(int(GetBValue(ours)) - theirs[2])});
            differing += d > 1;
            inked += ours != RGB(255, 255, 255) || theirs[0] != 255;
        }
    }
    std::printf("page %d x %d (ghostscript %d x %d), %zu bytes of PostScript\n", page.width,
                page.height, gs.width, gs.height, capture.size());
    std::printf("raster print: %.3f s per page\n", raster / pages);
    std::printf("ghostscript:  %.3f s per page\n", ghostscript / pages);
    std::printf("pixels differing by more than one level: %ld of %ld (%.3f %% of inked %ld)\n",
                differing, long(w) * h, inked ? 100.0 * double(differing) / double(inked) : 0.0,
                inked);

    frame->DestroyWindow();
    app.reset();
    SdRemoveFakeSpooler();
    return 0;
}
