// Drawing icons and loading images: an icon's picture is read from its module each time it is
// drawn (icons are small) and put pixel by pixel, so clipping and the device's own pixels
// decide what shows.

#include <algorithm>

#include "IconPicture.h"
#include "win32/controls.h"
#include "win32/icon.h"
#include "win32/kernel.h"
#include "win32/nls.h"
#include "win32/resource.h"
#include "win32/userdraw.h"

namespace {

using sdgdi::IconPicture;

LPCSTR resourceName(const SdIconSource& source) {
    return source.name ? source.name : MAKEINTRESOURCEA(WORD(source.id));
}

// The picture of a module's icon nearest cx x cy.
bool readModuleIcon(HMODULE module, LPCSTR name, int cx, int cy, IconPicture& out) {
    if (HRSRC group = FindResourceA(module, name, RT_GROUP_ICON)) {
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
        const std::size_t size = SizeofResource(module, group);
        sdgdi::IconDirectory kind;
        std::uint32_t entry = 0, bytes = 0;
        int w = 0, h = 0;
        if (!sdgdi::ChooseIconEntry(data, size, cx, cy, kind, entry, bytes, w, h)) return false;
        if (kind == sdgdi::IconDirectory::file)
            return sdgdi::ReadIconImage(data + entry, bytes, out);
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(WORD(entry)), RT_ICON);
        if (!image) return false;
        return sdgdi::ReadIconImage(
            static_cast<const BYTE*>(LockResource(LoadResource(module, image))),
            SizeofResource(module, image), out);
    }
    HRSRC image = FindResourceA(module, name, RT_ICON);
    if (!image) return false;
    return sdgdi::ReadIconImage(static_cast<const BYTE*>(LockResource(LoadResource(module, image))),
                                SizeofResource(module, image), out);
}

// The size of the first image of a module's icon, for LoadImage's "own size".
bool ownSize(HMODULE module, LPCSTR name, int& cx, int& cy) {
    IconPicture picture;
    if (!readModuleIcon(module, name, 0, 0, picture)) return false;
    cx = picture.width;
    cy = picture.height;
    return true;
}

COLORREF rgbOf(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH background,
                UINT flags) {
    SdIconSource source;
    if (!dc || !SdIconSourceOf(icon, &source)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int systemCx = GetSystemMetrics(SM_CXICON), systemCy = GetSystemMetrics(SM_CYICON);
    const int loadCx = source.cx ? source.cx : systemCx, loadCy = source.cy ? source.cy : systemCy;
    IconPicture picture;
    const bool read =
        source.module ? readModuleIcon(source.module, resourceName(source), loadCx, loadCy, picture)
                      : !(picture = sdgdi::SystemIconPicture(source.id)).colour.empty();
    if (!read) return FALSE;
    if (cx <= 0) cx = (flags & DI_DEFAULTSIZE) ? systemCx : loadCx;
    if (cy <= 0) cy = (flags & DI_DEFAULTSIZE) ? systemCy : loadCy;
    if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
    if (background) {
        RECT box{x, y, x + cx, y + cy};
        FillRect(dc, &box, background);
    }
    // Large stretches are drawn as far as a screen can show.
    cx = std::min(cx, 32767);
    cy = std::min(cy, 32767);
    const bool mask = flags & DI_MASK, image = flags & DI_IMAGE;
    for (int dy = 0; dy < cy; ++dy) {
        const int sy = int(long(dy) * picture.height / cy);
        for (int dx = 0; dx < cx; ++dx) {
            const int sx = int(long(dx) * picture.width / cx);
            const std::size_t at = std::size_t(sy) * std::size_t(picture.width) + std::size_t(sx);
            const std::uint32_t c = picture.colour[at];
            const bool clear = picture.mask[at];
            if (picture.alpha && image) {
                const unsigned a = c >> 24;
                if (a == 0) continue;
                if (a == 255) {
                    SetPixel(dc, x + dx, y + dy, rgbOf(c));
                    continue;
                }
                const COLORREF under = GetPixel(dc, x + dx, y + dy);
                if (under == CLR_INVALID) continue;
                auto mix = [a](unsigned top, unsigned below) {
                    return BYTE((top * a + below * (255 - a) + 127) / 255);
                };
                SetPixel(dc, x + dx, y + dy,
                         RGB(mix((c >> 16) & 0xFF, GetRValue(under)),
                             mix((c >> 8) & 0xFF, GetGValue(under)),
                             mix(c & 0xFF, GetBValue(under))));
                continue;
            }
            if (mask && image) { // (background AND mask) XOR colour
                if (!clear) {
                    SetPixel(dc, x + dx, y + dy, rgbOf(c));
                } else if (c & 0xFFFFFF) {
                    const COLORREF under = GetPixel(dc, x + dx, y + dy);
                    if (under != CLR_INVALID) SetPixel(dc, x + dx, y + dy, under ^ rgbOf(c));
                }
            } else if (mask) {
                if (!clear) SetPixel(dc, x + dx, y + dy, RGB(0, 0, 0));
            } else {
                SetPixel(dc, x + dx, y + dy, rgbOf(c));
            }
        }
    }
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (flags & LR_LOADFROMFILE) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    switch (type) {
    case IMAGE_BITMAP:
        return LoadBitmapA(instance, name);
    case IMAGE_CURSOR:
        return LoadCursorA(instance, name);
    case IMAGE_ICON:
        if (!instance) return LoadIconA(nullptr, name);
        if (cx == 0 || cy == 0) {
            int ownCx = 0, ownCy = 0;
            if (flags & LR_DEFAULTSIZE) {
                ownCx = GetSystemMetrics(SM_CXICON);
                ownCy = GetSystemMetrics(SM_CYICON);
            } else if (!ownSize(instance, name, ownCx, ownCy)) {
                SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
                return nullptr;
            }
            if (cx == 0) cx = ownCx;
            if (cy == 0) cy = ownCy;
        }
        return SdLoadIconImage(instance, name, cx, cy, (flags & LR_SHARED) != 0);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}
