// The file library's host of the raster filter modules.
#include "FilterHost.h"

#include <win32/module.h>
#include <win32/resource.h>

#include <cstring>
#include <string>

#include "Bitmap.h"
#include "Limits.h"

namespace imaging {
namespace {

struct ModuleName {
    const char* name;
    const char* extension; // the files that need it
};
// Recognition order.
constexpr ModuleName kModules[] = {{"lma", "cmp"}, {"wpg", "wpg"}, {"cals", "cal"},
                                   {"ras", "ras"}, {"wfx", "fxs"}, {"avi", "avi"}};

std::string g_cause;
std::string g_folder; // empty: the program folder

class Module {
public:
    explicit Module(const char* name) : m_name(std::string("imgflt-") + name) {
        const std::string file = g_folder.empty() ? m_name : g_folder + "/" + m_name;
        m_handle = LoadLibraryA(file.c_str());
    }
    ~Module() {
        if (m_handle != nullptr) FreeLibrary(m_handle);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    bool Loaded() const { return m_handle != nullptr; }
    FARPROC Entry(int ordinal) const {
        return m_handle == nullptr ? nullptr
                                   : GetProcAddress(m_handle, MAKEINTRESOURCEA(WORD(ordinal)));
    }
    std::string Missing() const { return m_name + ".so is missing"; }

private:
    std::string m_name;
    HMODULE m_handle = nullptr;
};

std::string Extension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '/');
    if (dot == nullptr || (slash != nullptr && dot < slash)) return {};
    std::string e(dot + 1);
    for (char& c : e)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return e;
}

// Finds the module that answers for the file: its index, or -1 with the cause and *code set
// (the refusal of the module of the file's extension, else IMG_ERR_FORMAT).
int Recognise(const char* path, KOVAFLTINFO& info, int* code) {
    *code = IMG_ERR_FORMAT;
    const int file = KovaFltOpen(path, 0, 0);
    if (file < 0) {
        g_cause = "cannot open the file";
        *code = IMG_ERR_OPEN;
        return -1;
    }
    const std::string ext = Extension(path);
    std::string missing;
    int found = -1;
    for (int i = 0; i < int(std::size(kModules)) && found < 0; ++i) {
        Module module(kModules[i].name);
        if (!module.Loaded()) {
            if (ext == kModules[i].extension) missing = module.Missing();
            continue;
        }
        auto fltInfo =
            reinterpret_cast<KovaFltInfo>(reinterpret_cast<void (*)()>(module.Entry(100)));
        if (fltInfo == nullptr) continue;
        std::memset(&info, 0, sizeof info);
        KOVAFLTINFOREQUEST request{file, &info};
        if (KovaFltSeek(file, 0, 0) != 0) break;
        const int r = fltInfo(&request);
        if (r == IMG_SUCCESS) {
            found = i;
        } else if (r < 0 && *code == IMG_ERR_FORMAT && ext == kModules[i].extension) {
            *code = r;
            missing = std::string("imgflt-") + kModules[i].name + ".so refused the file (" +
                      std::to_string(r) + ")";
        }
    }
    KovaFltClose(file);
    if (found < 0) g_cause = missing.empty() ? "no filter module reads the file" : missing;
    return found;
}

// Collects the module's rows into a picture.
struct Collector {
    Picture picture;
    bool created = false;
    int xDpi = 0, yDpi = 0;
};

int TakeRows(void* user, KOVAFLTBITMAP* b, const BYTE* rows, int flags, int first, int count, int) {
    auto* c = static_cast<Collector*>(user);
    if (b == nullptr || !b->allocated || rows == nullptr || (flags & 3) != 3) return IMG_ERR_PARAM;
    if (!c->created) {
        if (const int r = c->picture.Create(b->width, b->height, b->bitsPerPixel); r != IMG_SUCCESS)
            return r;
        const int entries = TableEntries(b->bitsPerPixel);
        RGBQUAD* table = c->picture.Table();
        for (int i = 0; i < entries; ++i) {
            if (i < b->colorsUsed) {
                table[i] = b->palette[i];
            } else if (b->colorsUsed == 0) {
                const BYTE v = BYTE(i * 255 / (entries - 1));
                table[i] = RGBQUAD{v, v, v, 0};
            }
        }
        c->picture.SetResolution(c->xDpi, c->yDpi);
        c->created = true;
    }
    if (b->width != c->picture.Width() || b->height != c->picture.Height() ||
        b->bitsPerPixel != c->picture.Bits())
        return IMG_ERR_PARAM;
    if (first < 0 || count < 0 || first > b->height - count) return IMG_ERR_PARAM;
    const SIZE_T stride = c->picture.StrideBytes();
    for (int i = 0; i < count; ++i) {
        const int y = first + i;
        BYTE* row = c->picture.Row(b->perspective == 2 ? y : b->height - 1 - y);
        std::memcpy(row, rows + stride * SIZE_T(i), stride);
        if (b->bitsPerPixel == 24 && b->colorOrder == 1)
            for (int x = 0; x < b->width; ++x)
                std::swap(row[3 * x], row[3 * x + 2]);
    }
    return 1;
}

} // namespace

void SetFilterCause(const char* text) {
    g_cause = text;
}

int FilterInfo(const char* path, KOVAFLTINFO& info) {
    g_cause.clear();
    int code;
    return Recognise(path, info, &code) < 0 ? code : IMG_SUCCESS;
}

int FilterLoad(const char* path, KOVABITMAP* bitmap, int page) {
    g_cause.clear();
    KOVAFLTINFO info;
    int code;
    const int index = Recognise(path, info, &code);
    if (index < 0) return code;
    Module module(kModules[index].name);
    auto fltLoad = reinterpret_cast<KovaFltLoad>(reinterpret_cast<void (*)()>(module.Entry(101)));
    if (fltLoad == nullptr) {
        g_cause = "the module has no load entry";
        return IMG_ERR_FORMAT;
    }
    Collector collector;
    collector.xDpi = info.xResolution;
    collector.yDpi = info.yResolution;
    KOVAFLTBITMAP target{};
    KOVAFLTLOADREQUEST request{path, &target, 65536, TakeRows, &collector, page};
    const int r = fltLoad(&request);
    if (r != IMG_SUCCESS) {
        if (g_cause.empty()) g_cause = "the module refused the file";
        return r == 0 ? IMG_ERR_DAMAGED : r;
    }
    if (!collector.created) {
        g_cause = "the module delivered no rows";
        return IMG_ERR_DAMAGED;
    }
    return Install(bitmap, collector.picture);
}

bool FilterSaves(int format) {
    return format == IMG_CALS || format == IMG_WPG || format == IMG_SUN || format == IMG_WFX_G3 ||
           format == IMG_WFX_G4;
}

int FilterSave(const char* path, KOVABITMAP* bitmap, int format, int bits, int quality) {
    g_cause.clear();
    const char* name = format == IMG_CALS  ? "cals"
                       : format == IMG_WPG ? "wpg"
                       : format == IMG_SUN ? "ras"
                                           : "wfx";
    Module module(name);
    if (!module.Loaded()) {
        g_cause = module.Missing();
        return IMG_ERR_UNSUPPORTED;
    }
    auto fltSave = reinterpret_cast<KovaFltSave>(reinterpret_cast<void (*)()>(module.Entry(102)));
    if (fltSave == nullptr) {
        g_cause = "the module does not save";
        return IMG_ERR_UNSUPPORTED;
    }
    // The module writes the picture's own depth; other depths are made here. The fax module
    // reduces to 1 bit itself.
    if (bits == 16) bits = 24;
    if (format == IMG_WFX_G3 || format == IMG_WFX_G4) bits = 0;
    if (bits != 0 && bits != bitmap->bitsPerPixel &&
        (bits == 1 || bits == 4 || bits == 8 || bits == 24)) {
        Picture converted;
        int r;
        {
            PictureView view(bitmap->dib);
            if (!view.Valid()) return IMG_ERR_PARAM;
            r = ConvertDepth(view, bits, converted);
        }
        if (r != IMG_SUCCESS) return r;
        KOVABITMAP copy{};
        KovaInitBitmap(&copy, 1, 1, 1);
        if ((r = Install(&copy, converted)) != IMG_SUCCESS) return r;
        KOVAFLTSAVEREQUEST request{path, &copy, format, bits, quality};
        r = fltSave(&request);
        KovaFreeBitmap(&copy);
        return r;
    }
    KOVAFLTSAVEREQUEST request{path, bitmap, format, bitmap->bitsPerPixel, quality};
    return fltSave(&request);
}

} // namespace imaging

void KovaFltSetCause(const char* text) {
    imaging::g_cause = text != nullptr ? text : "";
}

const char* KovaFilterCause() {
    return imaging::g_cause.c_str();
}

void KovaTestingFilterFolder(const char* folder) {
    imaging::g_folder = folder != nullptr ? folder : "";
}
