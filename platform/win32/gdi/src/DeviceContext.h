#pragma once
// A device context: the attribute state (saved and restored as a whole), the surface it
// draws on, its clip region in device pixels, its GDI path, and for printers the document.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GdiObjects.h"
#include "Raster.h"
#include "win32/DeviceRange.h"

namespace sdgdi {

class MetaRecorder;
class QueueDocument;

enum class DcKind { Screen, Window, Memory, Printer, Recording, Info };
enum class PrinterKind { None, PostScript, Raster };

struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0; // x' = a x + c y + e, y' = b x + d y + f
    void apply(double x, double y, double& ox, double& oy) const {
        ox = a * x + c * y + e;
        oy = b * x + d * y + f;
    }
    Matrix then(const Matrix& m) const; // this first, then m
    bool invert(Matrix& out) const;
};

struct GdiPathPoint {
    double x; // device units
    double y;
    BYTE type;
};

struct DcState {
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<FontObject> font;
    std::shared_ptr<PaletteObject> palette;
    std::shared_ptr<BitmapObject> bitmap; // memory contexts
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int arcDirection = AD_COUNTERCLOCKWISE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int mapMode = MM_TEXT;
    int graphicsMode = GM_COMPATIBLE;
    POINT windowOrg{0, 0};
    SIZE windowExt{1, 1};
    POINT viewportOrg{0, 0};
    SIZE viewportExt{1, 1};
    XFORM world{1, 0, 0, 1, 0, 0};
    POINT brushOrg{0, 0};
    POINT position{0, 0};               // logical
    std::shared_ptr<RegionObject> clip; // device pixels; null: the whole surface
    // Open or closed GDI path, in device units.
    bool pathOpen = false;
    bool pathDone = false;
    std::vector<GdiPathPoint> path;
};

class DeviceContext {
public:
    DcKind kind = DcKind::Memory;
    HDC handle = nullptr;
    DcState st;
    std::vector<DcState> saved;
    std::shared_ptr<Surface> ownSurface; // screen, window, printer page
    HWND window = nullptr;
    int width = 0; // device size for caps and clip box when there is no surface
    int height = 0;
    int dpiX = 96;
    int dpiY = 96;
    int depth = 24; // BITSPIXEL of the device it was made for
    DcKind compatibleWith = DcKind::Screen;

    // Printers
    PrinterKind printer = PrinterKind::None;
    std::string printerName;
    HANDLE spoolPrinter = nullptr;
    DWORD jobId = 0;
    bool inDocument = false;
    bool inPage = false;
    int pageNumber = 0;
    std::string documentName;
    // The sheet around the printable area, in device pixels; 0 when they are the same.
    int physicalWidth = 0;
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    // A system queue's context: its document collects the pages until EndDoc.
    bool systemQueue = false;
    double queueSheetWidthPt = 0; // the sheet in PDF points
    double queueSheetHeightPt = 0;
    std::shared_ptr<QueueDocument> queueDocument;

    // Metafile contexts: the records being written (see MetaRecorder.h).
    std::shared_ptr<MetaRecorder> meta;

    // Call log: one line per call while logging.
    bool logging = false;
    std::vector<std::string> log;

    Surface* surface() {
        if (kind == DcKind::Memory) return st.bitmap ? st.bitmap->surface.get() : nullptr;
        return ownSurface.get();
    }
    // Recording contexts have no pixels.
    bool draws() { return surface() != nullptr; }

    // Logical → device.
    Matrix toDevice() const;
    void lpToDp(double x, double y, double& ox, double& oy) const {
        toDevice().apply(x, y, ox, oy);
    }
    POINT lpToDpPoint(int x, int y) const;
    // The same through a matrix toDevice() gave, for many points.
    static POINT lpToDpPoint(const Matrix& toDev, int x, int y);
    // Pixel-centre fixed point of a logical point.
    FixPoint lpToFixCentre(int x, int y) const;
    // Corner fixed point (for fills).
    FixPoint lpToFixCorner(int x, int y) const;
    // Scale of logical lengths to device (for pen widths): the mean of both axes.
    double lengthScale() const;

    // The device rectangle of the surface or device.
    RECT deviceBounds();
    // Rectangles drawing is allowed in: surface ∩ clip, in pixman's banded order.
    const std::vector<pixman_box32_t>& clipRects();
    void clipChanged() { clipValid_ = false; }

    void record(const std::string& line) {
        if (logging) log.push_back(line);
    }

private:
    std::vector<pixman_box32_t> clipRects_;
    bool clipValid_ = false;
};

// Common entry checks: a live context (else ERROR_INVALID_HANDLE).
std::shared_ptr<DeviceContext> dcOf(HDC dc);

// Isotropic adjustment and the fixed extents of the metric modes.
void applyMapModeExtents(DeviceContext& dc);

// Screen settings the tests can change.
int screenDepth();
int screenWidth();
int screenHeight();

// Failure injection: true when the named call is armed to fail now (consumes one failure).
bool injectedFailure(const char* function);

// Palette switch.
bool palettesFail();

std::shared_ptr<DeviceContext> newDc(DcKind kind);
void defaultState(DcState& st);

} // namespace sdgdi
