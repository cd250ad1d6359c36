// Printers, documents, pages and escapes. A PostScript printer hands POSTSCRIPT_PASSTHROUGH
// data to the spooled job byte for byte and logs its GDI calls while rendering them; a raster
// printer renders each page into a 24-bit image kept for the tests and written as PNG. A
// queue of the system's print service is a raster printer whose pages become one PDF,
// queued at EndDoc. Screen and memory contexts answer 0 to every escape.

#include "Printing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include <png.h>

#include "GdiSettings.h"
#include "QueueDocument.h"
#include "win32/PrintQueues.h"
#include "win32/SpoolerTesting.h"
#include "win32/winspool.h"

namespace sdgdi {

namespace {

struct PrinterSettings {
    std::mutex lock;
    std::map<std::string, PrinterDescription> described; // by upper-case name
    bool noPrinter = false;
    std::vector<SdPrintedPage> pages;
    std::string folder;
};

PrinterSettings& settings() {
    static auto* s = new PrinterSettings;
    return *s;
}

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool writePng(const std::string& file, const Surface& s) {
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(s.width()), png_uint_32(s.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t(s.width()) * 3);
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            COLORREF c = s.colorFromRaw(s.get(x, y));
            row[std::size_t(x) * 3] = GetRValue(c);
            row[std::size_t(x) * 3 + 1] = GetGValue(c);
            row[std::size_t(x) * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

} // namespace

bool describePrinter(const std::string& name, PrinterDescription& out, std::string& canonical) {
    PrinterSettings& s = settings();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.noPrinter) return false;
    }
    const bool fake = SdFakeSpoolerInstalled();
    HANDLE h = nullptr;
    if (!OpenPrinterA(name.c_str(), &h, nullptr)) return false;
    ClosePrinter(h);
    canonical = name;
    if (!fake) {
        out = PrinterDescription{};
        out.systemQueue = true;
        return true;
    }
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.described.find(upper(name));
    out = it != s.described.end() ? it->second : PrinterDescription{};
    return true;
}

void resetPrinterSettings() {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.described.clear();
    s.noPrinter = false;
    s.pages.clear();
    s.folder.clear();
}

namespace {

constexpr std::int64_t maxPagePixels = 64ll * 1024 * 1024;

// Hundredths of a millimetre to pixels, rounded.
int pixels(int hundredths, int dpi) {
    return int((std::int64_t(hundredths) * dpi + 1270) / 2540);
}

// What a system queue's context measures: the sheet, its printable area and offsets.
struct QueueSheet {
    int width, height;         // the sheet in pixels
    int offsetX, offsetY;      // the printable area's top left corner on it
    int areaWidth, areaHeight; // the printable area
    int dpiX, dpiY;
    double widthPt, heightPt; // the sheet in PDF points
};

// The sheet of a queue for the dialog's set-up: its paper (else the queue's default
// media), the queue's margins for that paper and the resolution asked (else the queue's,
// else 300 dpi), lowered until the sheet holds at most 64 M pixels.
bool measureQueue(const std::string& queue, const DEVMODEA* init, QueueSheet& sheet) {
    int wantW = 0, wantL = 0; // hundredths of a millimetre
    bool landscape = false;
    int dpiX = 0, dpiY = 0;
    if (init) {
        if (init->dmFields & DM_ORIENTATION) landscape = init->dmOrientation == DMORIENT_LANDSCAPE;
        if (init->dmFields & DM_PAPERSIZE) {
            if (init->dmPaperSize == DMPAPER_LETTER) wantW = 21590, wantL = 27940;
            if (init->dmPaperSize == DMPAPER_A3) wantW = 29700, wantL = 42000;
            if (init->dmPaperSize == DMPAPER_A4) wantW = 21000, wantL = 29700;
        }
        if ((init->dmFields & DM_PAPERWIDTH) && init->dmPaperWidth > 0)
            wantW = init->dmPaperWidth * 10;
        if ((init->dmFields & DM_PAPERLENGTH) && init->dmPaperLength > 0)
            wantL = init->dmPaperLength * 10;
        if ((init->dmFields & DM_PRINTQUALITY) && init->dmPrintQuality > 0)
            dpiX = dpiY = init->dmPrintQuality;
        if ((init->dmFields & DM_YRESOLUTION) && init->dmYResolution > 0 && dpiX > 0)
            dpiY = init->dmYResolution;
    }
    if (wantW <= 0 || wantL <= 0) wantW = wantL = 0;
    SdQueueMedia media;
    if (!SdDescribeQueue(queue.c_str(), wantW, wantL, &media)) return false;
    int w = media.width, l = media.length;
    if (wantW > 0) w = wantW, l = wantL; // the dialog's paper, with the queue's margins
    int left = media.left, right = media.right, top = media.top, bottom = media.bottom;
    if (landscape) {
        // The sheet turned a quarter counter-clockwise: its right edge becomes the top.
        std::swap(w, l);
        const int oldLeft = left, oldRight = right, oldTop = top, oldBottom = bottom;
        top = oldRight, left = oldTop, bottom = oldLeft, right = oldBottom;
    }
    if (dpiX <= 0) dpiX = media.dpiX > 0 ? media.dpiX : 300;
    if (dpiY <= 0) dpiY = media.dpiY > 0 ? media.dpiY : dpiX;
    dpiX = std::clamp(dpiX, 10, 2400);
    dpiY = std::clamp(dpiY, 10, 2400);
    while (std::int64_t(pixels(w, dpiX)) * pixels(l, dpiY) > maxPagePixels) {
        const double f =
            std::sqrt(double(maxPagePixels) / (double(pixels(w, dpiX)) * double(pixels(l, dpiY))));
        const int nx = std::max(10, std::min(dpiX - 1, int(dpiX * f)));
        const int ny = std::max(10, std::min(dpiY - 1, int(dpiY * f)));
        if (nx == dpiX && ny == dpiY) break;
        dpiX = nx, dpiY = ny;
    }
    sheet.dpiX = dpiX;
    sheet.dpiY = dpiY;
    sheet.width = pixels(w, dpiX);
    sheet.height = pixels(l, dpiY);
    sheet.offsetX = pixels(left, dpiX);
    sheet.offsetY = pixels(top, dpiY);
    sheet.areaWidth = sheet.width - sheet.offsetX - pixels(right, dpiX);
    sheet.areaHeight = sheet.height - sheet.offsetY - pixels(bottom, dpiY);
    // The PDF sheet is whole device pixels, so that its pixels fall on a renderer's grid.
    sheet.widthPt = sheet.width * 72.0 / dpiX;
    sheet.heightPt = sheet.height * 72.0 / dpiY;
    if (sheet.areaWidth <= 0 || sheet.areaHeight <= 0) {
        SdSetLastErrorText(ERROR_INVALID_PARAMETER,
                           ("queue " + queue + ": its margins leave no printable area").c_str());
        return false;
    }
    return true;
}

} // namespace

HDC createPrinterDc(LPCSTR device, LPCSTR, const DEVMODEA* init, bool infoOnly) {
    PrinterDescription desc;
    std::string name;
    if (!device || !describePrinter(device, desc, name)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    if (injectedFailure("CreateDCA")) return nullptr;
    if (desc.systemQueue) {
        QueueSheet sheet;
        if (!measureQueue(name, init, sheet)) return nullptr;
        auto dc = newDc(infoOnly ? DcKind::Info : DcKind::Printer);
        dc->kind = DcKind::Printer;
        dc->printer = PrinterKind::Raster;
        dc->systemQueue = true;
        dc->printerName = name;
        dc->dpiX = sheet.dpiX;
        dc->dpiY = sheet.dpiY;
        dc->depth = 24;
        dc->width = sheet.areaWidth;
        dc->height = sheet.areaHeight;
        dc->physicalWidth = sheet.width;
        dc->physicalHeight = sheet.height;
        dc->physicalOffsetX = sheet.offsetX;
        dc->physicalOffsetY = sheet.offsetY;
        dc->queueSheetWidthPt = sheet.widthPt;
        dc->queueSheetHeightPt = sheet.heightPt;
        if (!infoOnly) {
            dc->ownSurface = Surface::create(sheet.areaWidth, sheet.areaHeight, 24, true);
            if (!dc->ownSurface) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            dc->ownSurface->fill(0xFFFFFF);
        }
        return static_cast<HDC>(registerDc(dc));
    }
    SdPrinterPage page = desc.page;
    if (init) {
        if (init->dmFields & DM_ORIENTATION) page.landscape = init->dmOrientation == DMORIENT_LANDSCAPE;
        if ((init->dmFields & DM_PAPERSIZE) && init->dmPaperSize == DMPAPER_LETTER)
            page.widthTenthsMm = 2159, page.heightTenthsMm = 2794;
        if ((init->dmFields & DM_PAPERSIZE) && init->dmPaperSize == DMPAPER_A3)
            page.widthTenthsMm = 2970, page.heightTenthsMm = 4200;
        if ((init->dmFields & DM_PAPERSIZE) && init->dmPaperSize == DMPAPER_A4)
            page.widthTenthsMm = 2100, page.heightTenthsMm = 2970;
        if ((init->dmFields & DM_PAPERWIDTH) && init->dmPaperWidth > 0) page.widthTenthsMm = init->dmPaperWidth;
        if ((init->dmFields & DM_PAPERLENGTH) && init->dmPaperLength > 0) page.heightTenthsMm = init->dmPaperLength;
        if ((init->dmFields & DM_PRINTQUALITY) && init->dmPrintQuality > 0) page.dpi = init->dmPrintQuality;
    }
    page.dpi = std::clamp(page.dpi, 10, 2400);
    // Pixels of the page, rounded: A4 at 300 dpi is 2480 × 3508.
    int w = int((std::int64_t(page.widthTenthsMm) * page.dpi + 127) / 254);
    int h = int((std::int64_t(page.heightTenthsMm) * page.dpi + 127) / 254);
    if (page.landscape) std::swap(w, h);
    if (w <= 0 || h <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto dc = newDc(infoOnly ? DcKind::Info : DcKind::Printer);
    dc->kind = DcKind::Printer;
    dc->printer = desc.kind == SdPrinterKind::PostScript ? PrinterKind::PostScript : PrinterKind::Raster;
    dc->printerName = name;
    dc->dpiX = dc->dpiY = page.dpi;
    dc->depth = 24;
    dc->width = w;
    dc->height = h;
    dc->logging = dc->printer == PrinterKind::PostScript;
    if (!infoOnly) {
        dc->ownSurface = Surface::create(w, h, 24, true);
        if (!dc->ownSurface) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        dc->ownSurface->fill(0xFFFFFF);
    }
    return static_cast<HDC>(registerDc(dc));
}

void addPrintedPage(SdPrintedPage page) {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.pages.push_back(std::move(page));
}

std::string pageFolder() {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.folder;
}

} // namespace sdgdi

using namespace sdgdi;

namespace {

std::shared_ptr<DeviceContext> printerOf(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return nullptr;
    if (d->kind != DcKind::Printer || !d->ownSurface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return d;
}

bool supports(const DeviceContext& d, int escape) {
    if (d.kind != DcKind::Printer) return false;
    if (escape == QUERYESCSUPPORT) return true;
    if (d.printer == PrinterKind::PostScript)
        return escape == POSTSCRIPT_PASSTHROUGH || escape == FLUSHOUTPUT || escape == SETLINECAP ||
               escape == SETLINEJOIN;
    return false;
}

} // namespace

int Escape(HDC dc, int escape, int inSize, LPCSTR in, LPVOID) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (d->logging) d->record(callLine("Escape", escape, inSize));
    if (injectedFailure("Escape")) return SP_ERROR;
    if (escape == QUERYESCSUPPORT) {
        if (d->kind != DcKind::Printer) return 0;
        if (!in || inSize < 2) return 0;
        int asked = 0;
        if (inSize >= 4)
            std::memcpy(&asked, in, 4);
        else {
            WORD w;
            std::memcpy(&w, in, 2);
            asked = w;
        }
        return supports(*d, asked) ? 1 : 0;
    }
    if (!supports(*d, escape)) return 0;
    switch (escape) {
    case FLUSHOUTPUT:
    case SETLINECAP:
    case SETLINEJOIN: return 1;
    case POSTSCRIPT_PASSTHROUGH: {
        // A count word, then that many bytes.
        if (!in || inSize < 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return SP_ERROR;
        }
        WORD count;
        std::memcpy(&count, in, 2);
        if (int(count) > inSize - 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return SP_ERROR;
        }
        if (!d->inDocument) {
            SetLastError(ERROR_CAN_NOT_COMPLETE);
            return SP_ERROR;
        }
        DWORD written = 0;
        if (count && !WritePrinter(d->spoolPrinter, const_cast<char*>(in + 2), count, &written))
            return SP_ERROR;
        // Success is positive even for an empty block.
        return count ? int(count) : 1;
    }
    default: return 0;
    }
}

int ExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int, LPSTR out) {
    return Escape(dc, escape, inSize, in, out);
}

int StartDocA(HDC dc, const DOCINFOA* info) {
    auto d = printerOf(dc);
    if (!d) return SP_ERROR;
    if (d->logging) d->record(callLine("StartDocA", info && info->lpszDocName ? info->lpszDocName : ""));
    if (d->inDocument) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return SP_ERROR;
    }
    if (injectedFailure("StartDocA")) return SP_ERROR;
    if (d->systemQueue) {
        // The pages are collected here and queued at EndDoc.
        static std::atomic<DWORD> queueJobs{0};
        auto document = std::make_shared<QueueDocument>();
        if (!document->open(d->queueSheetWidthPt, d->queueSheetHeightPt)) return SP_ERROR;
        d->queueDocument = document;
        d->jobId = ++queueJobs;
        d->inDocument = true;
        d->pageNumber = 0;
        d->documentName = info && info->lpszDocName ? info->lpszDocName : "";
        return int(d->jobId & 0x7FFFFFFF);
    }
    HANDLE h = nullptr;
    if (!OpenPrinterA(d->printerName.c_str(), &h, nullptr)) return SP_ERROR;
    std::string name = info && info->lpszDocName ? info->lpszDocName : "";
    DOC_INFO_1A di{const_cast<char*>(name.c_str()), nullptr, const_cast<char*>("RAW")};
    DWORD job = StartDocPrinterA(h, 1, reinterpret_cast<LPBYTE>(&di));
    if (!job) {
        ClosePrinter(h);
        return SP_ERROR;
    }
    d->spoolPrinter = h;
    d->jobId = job;
    d->inDocument = true;
    d->pageNumber = 0;
    d->documentName = name;
    return int(job);
}

int StartPage(HDC dc) {
    auto d = printerOf(dc);
    if (!d) return SP_ERROR;
    if (d->logging) d->record(callLine("StartPage"));
    if (!d->inDocument || d->inPage) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return SP_ERROR;
    }
    if (injectedFailure("StartPage")) return SP_ERROR;
    if (!d->systemQueue && !StartPagePrinter(d->spoolPrinter)) return SP_ERROR;
    d->inPage = true;
    ++d->pageNumber;
    d->ownSurface->fill(0xFFFFFF);
    // Each page starts with a fresh attribute state, as printer drivers reset it.
    return 1;
}

int EndPage(HDC dc) {
    auto d = printerOf(dc);
    if (!d) return SP_ERROR;
    if (d->logging) d->record(callLine("EndPage"));
    if (!d->inPage) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return SP_ERROR;
    }
    if (injectedFailure("EndPage")) return SP_ERROR;
    d->inPage = false;
    if (d->systemQueue) {
        if (!d->queueDocument->addPage(*d->ownSurface, d->physicalOffsetX, d->physicalOffsetY,
                                       d->dpiX, d->dpiY))
            return SP_ERROR;
        return 1;
    }
    EndPagePrinter(d->spoolPrinter);
    if (d->printer == PrinterKind::Raster) {
        SdPrintedPage page;
        page.printer = d->printerName;
        page.document = d->documentName;
        page.jobId = d->jobId;
        page.page = d->pageNumber;
        page.image = imageOf(d->ownSurface.get());
        std::string folder = pageFolder();
        if (!folder.empty()) {
            std::string file = folder + "/" + std::to_string(d->jobId) + "-" + std::to_string(d->pageNumber) + ".png";
            if (!writePng(file, *d->ownSurface)) {
                SetLastError(ERROR_WRITE_FAULT);
                return SP_ERROR;
            }
            page.file = file;
        }
        addPrintedPage(std::move(page));
    }
    return 1;
}

int EndDoc(HDC dc) {
    auto d = printerOf(dc);
    if (!d) return SP_ERROR;
    if (d->logging) d->record(callLine("EndDoc"));
    if (!d->inDocument) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return SP_ERROR;
    }
    if (d->systemQueue) {
        // A page that cannot be added, or a queue that does not take the file, fails the
        // whole document; the temporary file is gone either way.
        bool ok = !d->inPage || EndPage(dc) > 0;
        std::shared_ptr<QueueDocument> document = std::move(d->queueDocument);
        d->inDocument = false;
        d->inPage = false;
        if (!ok) {
            const DWORD code = GetLastError();
            const std::string reason = SdGetLastErrorText();
            document->discard();
            SdSetLastErrorText(code, reason.c_str());
            return SP_ERROR;
        }
        return document->submit(d->printerName, d->documentName) ? 1 : SP_ERROR;
    }
    if (d->inPage) EndPage(dc);
    BOOL ok = EndDocPrinter(d->spoolPrinter);
    ClosePrinter(d->spoolPrinter);
    d->spoolPrinter = nullptr;
    d->inDocument = false;
    return ok ? 1 : SP_ERROR;
}

int AbortDoc(HDC dc) {
    auto d = printerOf(dc);
    if (!d) return SP_ERROR;
    if (d->logging) d->record(callLine("AbortDoc"));
    if (!d->inDocument) return SP_ERROR;
    if (d->systemQueue) {
        if (d->queueDocument) d->queueDocument->discard();
        d->queueDocument.reset();
        d->inDocument = false;
        d->inPage = false;
        return 1;
    }
    // Closing without EndDocPrinter cancels the job.
    ClosePrinter(d->spoolPrinter);
    d->spoolPrinter = nullptr;
    d->inDocument = false;
    d->inPage = false;
    return 1;
}

void SdGdiDescribePrinter(const char* name, SdPrinterKind kind, const SdPrinterPage& page) {
    if (!name) return;
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.described[upper(name)] = PrinterDescription{kind, page};
}

void SdGdiSetNoPrinter(bool on) {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.noPrinter = on;
}

std::vector<SdPrintedPage> SdGdiPrintedPages() {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.pages;
}

void SdGdiClearPrintedPages() {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.pages.clear();
}

void SdGdiSetPageFolder(const char* folder) {
    PrinterSettings& s = settings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.folder = folder ? folder : "";
}
