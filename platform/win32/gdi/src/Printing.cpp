// Printers, documents, pages and escapes. A PostScript printer hands POSTSCRIPT_PASSTHROUGH
// data to the spooled job byte for byte and logs its GDI calls while rendering them; a raster
// printer renders each page into a 24-bit image kept for the tests and written as PNG.
// Screen and memory contexts answer 0 to every escape.

#include "Printing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include <png.h>

#include "GdiSettings.h"
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
    // System queues get contexts with the print engine; until then only fake printers.
    if (!SdFakeSpoolerInstalled()) return false;
    HANDLE h = nullptr;
    if (!OpenPrinterA(name.c_str(), &h, nullptr)) return false;
    ClosePrinter(h);
    canonical = name;
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

HDC createPrinterDc(LPCSTR device, LPCSTR, const DEVMODEA* init, bool infoOnly) {
    PrinterDescription desc;
    std::string name;
    if (!device || !describePrinter(device, desc, name)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    if (injectedFailure("CreateDCA")) return nullptr;
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
    if (!StartPagePrinter(d->spoolPrinter)) return SP_ERROR;
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
    EndPagePrinter(d->spoolPrinter);
    d->inPage = false;
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
