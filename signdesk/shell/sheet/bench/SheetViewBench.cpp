// The sheet view's repaint and cross-hair: a 1920 x 1080 view of an A0 sheet (841 x 1189 mm)
// with a dotted 1 mm grid, fitted to the page and zoomed to 3 px/mm; a cross-hair move is
// one WM_MOUSEMOVE (erase, move, draw).
//   bin/sheet_view_bench

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include <mfc/afx.h>
#include <sheet/COleSheetDoc.h>
#include <sheet/COleSheetFrame.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <shell/ProfileSettings.h>
#include <win32/GdiTesting.h>
#include <win32/module.h>

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("Sheet Bench") {}
};

struct Program {
    Program() {
        folder =
            std::filesystem::temp_directory_path() / ("sheet-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        SdGdiSetScreenSize(2560, 1440);
        resources = ::LoadLibraryA(SIGNDESK_RES);
        AfxSetResourceHandle(resources);
        app = std::make_unique<BenchApp>();
        app->m_pszProfileName = strdup((folder / "Application.ini").c_str());
        WriteProfileFloat("Settings", "DocWidth", 841);
        WriteProfileFloat("Settings", "DocHeight", 1189);
        app->AddDocTemplate(new CSingleDocTemplate(IDR_SHEET_MENU, RUNTIME_CLASS(COleSheetDoc),
                                                   RUNTIME_CLASS(COleSheetFrame),
                                                   RUNTIME_CLASS(COleSheetView)));
        app->OnFileNew();
        frame = static_cast<CFrameWnd*>(app->m_pMainWnd);
        view = static_cast<COleSheetView*>(frame->GetActiveView());
        frame->MoveWindow(0, 0, 2000, 1200);
        CRect client;
        view->GetClientRect(&client);
        frame->MoveWindow(0, 0, 2000 + 1920 - client.Width(), 1200 + 1080 - client.Height());
        SheetSettings::Grid = TRUE;
        SheetSettings::GridDens = floatPoint(1, 1);
        view->UpdateWindow();
    }
    ~Program() {
        frame->DestroyWindow();
        app.reset();
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    HMODULE resources = nullptr;
    std::unique_ptr<BenchApp> app;
    CFrameWnd* frame = nullptr;
    COleSheetView* view = nullptr;
};

Program& TheProgram() {
    static Program program;
    return program;
}

void Repaint(benchmark::State& state, bool zoomed) {
    Program& p = TheProgram();
    p.view->SendMessage(WM_COMMAND, ID_FIT_PAGE);
    if (zoomed) {
        p.view->zoomKind = ZOOM_FREE;
        p.view->worldToDevice = floatTMatrix(3, 0, 0, -3, 0, 3 * 1189);
        p.view->UpdateScrollSizes();
    }
    for (auto _ : state) {
        p.view->Invalidate(TRUE);
        p.view->UpdateWindow();
    }
}

void BM_RepaintFitPage(benchmark::State& state) {
    Repaint(state, false);
}
BENCHMARK(BM_RepaintFitPage)->Unit(benchmark::kMillisecond);

void BM_RepaintThreePixelsPerMm(benchmark::State& state) {
    Repaint(state, true);
}
BENCHMARK(BM_RepaintThreePixelsPerMm)->Unit(benchmark::kMillisecond);

void BM_CrossHairMove(benchmark::State& state) {
    Program& p = TheProgram();
    p.view->crossHairOn = TRUE;
    int i = 0;
    for (auto _ : state) {
        const int x = 100 + (i * 37) % 1700, y = 100 + (i * 23) % 900;
        p.view->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ++i;
    }
    p.view->crossHairOn = FALSE;
}
BENCHMARK(BM_CrossHairMove)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
