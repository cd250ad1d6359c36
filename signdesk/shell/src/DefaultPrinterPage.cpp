#include "shell/DefaultPrinterPage.h"

#include <mfc/CPrintDialog.h>
#include <mfc/CWinApp.h>
#include <win32/kernel.h>
#include <win32/wingdi.h>

namespace {

struct PageMeasures {
    float printableWidth = 0, printableHeight = 0;
    float paperWidth = 0, paperHeight = 0;
    float offsetX = 0, offsetY = 0;
};

// Kept between calls: a printer that cannot make a context gives the last measures.
PageMeasures lastMeasures;

void Measure(HDC dc, PageMeasures& m) {
    const int horzSize = ::GetDeviceCaps(dc, HORZSIZE);
    const int vertSize = ::GetDeviceCaps(dc, VERTSIZE);
    const int horzRes = ::GetDeviceCaps(dc, HORZRES);
    const int vertRes = ::GetDeviceCaps(dc, VERTRES);
    if (horzRes <= 0 || vertRes <= 0) return;
    const float mmPerPixelX = float(horzSize) / float(horzRes);
    const float mmPerPixelY = float(vertSize) / float(vertRes);
    m.printableWidth = float(horzSize);
    m.printableHeight = float(vertSize);
    m.offsetX = float(::GetDeviceCaps(dc, PHYSICALOFFSETX)) * mmPerPixelX;
    m.offsetY = float(::GetDeviceCaps(dc, PHYSICALOFFSETY)) * mmPerPixelY;
    m.paperWidth = float(::GetDeviceCaps(dc, PHYSICALWIDTH)) * mmPerPixelX;
    m.paperHeight = float(::GetDeviceCaps(dc, PHYSICALHEIGHT)) * mmPerPixelY;
    if (m.offsetX + m.printableWidth > m.paperWidth) m.printableWidth = m.paperWidth - m.offsetX;
    if (m.offsetY + m.printableHeight > m.paperHeight)
        m.printableHeight = m.paperHeight - m.offsetY;
}

} // namespace

int GetDefaultPrinterPage(float& printableWidth, float& printableHeight, float& paperWidth,
                          float& paperHeight, float& offsetX, float& offsetY,
                          std::uint8_t& orientation, std::uint16_t& paperSize) {
    CPrintDialog setup(TRUE);
    // The application keeps its set-up; without an application the handles are ours.
    CWinApp* app = AfxGetApp();
    const bool own = app == nullptr;
    const BOOL found = app ? app->GetPrinterDeviceDefaults(&setup.m_pd) : setup.GetDefaults();
    auto release = [&] {
        if (setup.m_pd.hDC) ::DeleteDC(setup.m_pd.hDC);
        setup.m_pd.hDC = nullptr;
        if (!own) return;
        if (setup.m_pd.hDevMode) ::GlobalFree(setup.m_pd.hDevMode);
        if (setup.m_pd.hDevNames) ::GlobalFree(setup.m_pd.hDevNames);
    };
    const DEVMODEA* mode = found ? setup.GetDevMode() : nullptr;
    if (!mode) {
        release();
        return -1;
    }
    orientation = (mode->dmFields & DM_ORIENTATION) && mode->dmOrientation > 0
                      ? std::uint8_t(mode->dmOrientation)
                      : std::uint8_t(DMORIENT_PORTRAIT);
    paperSize = (mode->dmFields & DM_PAPERSIZE) && mode->dmPaperSize > 0
                    ? std::uint16_t(mode->dmPaperSize)
                    : std::uint16_t(DMPAPER_A4);
    ::GlobalUnlock(setup.m_pd.hDevMode);

    if (HDC dc = setup.CreatePrinterDC()) Measure(dc, lastMeasures);
    release();

    printableWidth = lastMeasures.printableWidth;
    printableHeight = lastMeasures.printableHeight;
    paperWidth = lastMeasures.paperWidth;
    paperHeight = lastMeasures.paperHeight;
    offsetX = lastMeasures.offsetX;
    offsetY = lastMeasures.offsetY;
    return 0;
}

int GetDefaultPaperSize(float& width, float& height) {
    float printableWidth, printableHeight, paperWidth, paperHeight, offsetX, offsetY;
    std::uint8_t orientation;
    std::uint16_t paperSize;
    if (GetDefaultPrinterPage(printableWidth, printableHeight, paperWidth, paperHeight, offsetX,
                              offsetY, orientation, paperSize) != 0) {
        width = 500.0f;
        height = 250.0f;
        return -1;
    }
    // Exchanged whatever the orientation: the default sheet has always been given so.
    width = paperHeight;
    height = paperWidth;
    return 0;
}
