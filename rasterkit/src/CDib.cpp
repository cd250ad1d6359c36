#include "rasterkit/CDib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <guardalloc/Guardalloc.h>
#include <mfc/CException.h>
#include <mfc/CFile.h>
#include <mfc/COleDataObject.h>
#include <win32/clipboard.h>
#include <win32/kernel.h>

#include "BmpIntake.h"
#include "HalfToneTable.h"

namespace {

void PutU16(BYTE* p, unsigned v) {
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}
void PutU32(BYTE* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(v >> (8 * i));
}

} // namespace

const char* CDib::LoadErrorText(LoadError e) {
    switch (e) {
    case LoadOk:
        return "no error";
    case NotBMP:
        return "not a BMP file";
    case Truncated:
        return "the file ends too early";
    case HeaderSize:
        return "unknown bitmap header size";
    case Dimensions:
        return "bad picture dimensions";
    case ColorCount:
        return "bad colour depth or colour count";
    case Compression:
        return "unsupported or damaged compression";
    case BitsPastEnd:
        return "the pixels lie outside the file";
    case NoMemory:
        return "not enough memory";
    case ReadError:
        return "the file could not be read";
    }
    return "unknown error";
}

CDib::CDib(CDib&& other) noexcept : DIBInterface(std::move(other)) {
    m_hDib = std::exchange(other.m_hDib, nullptr);
    m_pPacked = std::exchange(other.m_pPacked, nullptr);
    m_bGray = std::exchange(other.m_bGray, false);
    m_loadError = other.m_loadError;
}

CDib& CDib::operator=(CDib&& other) noexcept {
    if (this != &other) {
        Destroy();
        MoveFrom(other);
        m_hDib = std::exchange(other.m_hDib, nullptr);
        m_pPacked = std::exchange(other.m_pPacked, nullptr);
        m_bGray = std::exchange(other.m_bGray, false);
        m_loadError = other.m_loadError;
    }
    return *this;
}

CDib::~CDib() {
    CDib::Destroy();
}

void CDib::Destroy() {
    if (m_hDib) {
        GlobalUnlock(m_hDib);
        GlobalFree(m_hDib);
    }
    m_hDib = nullptr;
    m_pPacked = nullptr;
    m_bGray = false;
    DIBInterface::Destroy();
}

void CDib::Empty() {
    m_hDib = nullptr;
    m_pPacked = nullptr;
    m_bGray = false;
    DIBInterface::Destroy();
}

void CDib::Attach(HGLOBAL block) {
    m_hDib = block;
    m_pPacked = GlobalLock(block);
    BITMAPINFO* info = static_cast<BITMAPINFO*>(m_pPacked);
    BYTE* bits =
        static_cast<BYTE*>(m_pPacked) + 40 + GetNoPaletteEntries(info->bmiHeader.biBitCount) * 4;
    Init(info, bits);
    m_bGray = false;
}

int CDib::Create(int w, int h, int bits) {
    Destroy();
    if (w < 1 || h < 1 || (GetNoPaletteEntries(bits) == 0 && bits != 24)) return 0;
    const std::uint64_t entries = std::uint64_t(GetNoPaletteEntries(bits));
    const std::uint64_t stride = ((std::uint64_t(w) * unsigned(bits) + 31) >> 3) & ~3ull;
    if (stride > kMaxDibBlock / std::uint64_t(h)) return 0;
    const std::uint64_t size = 40 + entries * 4 + stride * std::uint64_t(h);
    if (size > kMaxDibBlock) return 0;
    HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE, unsigned(size));
    if (!block) return 0;
    BYTE* p = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER info{};
    info.biSize = 40;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = WORD(bits);
    info.biCompression = BI_RGB;
    info.biXPelsPerMeter = 12000;
    info.biYPelsPerMeter = 12000;
    std::memcpy(p, &info, 40);
    std::memcpy(p + 40, kHalfToneTable, std::size_t(entries * 4));
    std::memset(p + 40 + entries * 4, 0xFF, std::size_t(stride * std::uint64_t(h)));
    GlobalUnlock(block);
    Attach(block);
    return 1;
}

int CDib::ChangeFromDIB(void* handle) {
    Destroy();
    m_loadError = LoadOk;
    if (!handle) return 0;
    const SIZE_T size = GlobalSize(handle);
    void* p = GlobalLock(handle);
    if (!p) {
        m_loadError = NotBMP;
        return 0;
    }
    if (IsCanonicalDib(p, size)) {
        BITMAPINFOHEADER& h = static_cast<BITMAPINFO*>(p)->bmiHeader;
        h.biPlanes = 1;
        h.biSizeImage = 0;
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        GlobalUnlock(handle);
        Attach(handle);
        // Reserved table bytes and row padding are zeroed, as the intake does, so the
        // picture saves the same bytes however it came.
        RGBQUAD* table = GetColorTab();
        for (int i = 0; i < GetNoPaletteEntries(GetBitsPerPixel()); ++i)
            table[i].rgbReserved = 0;
        const int used = int((std::int64_t(m_width) * GetBitsPerPixel() + 7) / 8);
        for (int y = 0; y < m_height; ++y)
            std::memset(m_rows[y] + used, 0, std::size_t(m_bytesPerRow - used));
        return 1;
    }
    MemorySource src(p, size);
    IntakeResult r = ReadDib(src, 0, -1);
    GlobalUnlock(handle);
    GlobalFree(handle);
    if (!r.block) {
        m_loadError = r.error;
        return 0;
    }
    Attach(r.block);
    return 1;
}

void* CDib::ChangeToDIB() {
    HGLOBAL h = m_hDib;
    if (h) GlobalUnlock(h);
    Empty();
    return h;
}

void* CDib::Copy() const {
    if (!m_hDib) return nullptr;
    const SIZE_T size = GlobalSize(m_hDib);
    if (size == 0 || size > kMaxDibBlock) return nullptr;
    HGLOBAL copy = SafeGAlloc(GMEM_MOVEABLE, unsigned(size));
    if (!copy) return nullptr;
    std::memcpy(GlobalLock(copy), m_pPacked, size);
    GlobalUnlock(copy);
    return copy;
}

void* CDib::Copy24() {
    if (IsEmpty()) return nullptr;
    CDib copy;
    if (!copy.Create(m_width, m_height, 24)) return nullptr;
    copy.CopyRect(*this, 0, 0, 0, 0, 0, 0);
    return copy.ChangeToDIB();
}

void CDib::CopyPaletteFrom(CDib& other) {
    const int bits = GetBitsPerPixel();
    if (bits == 0 || bits > 8 || other.GetBitsPerPixel() == 0 || other.GetBitsPerPixel() > 8)
        return;
    // Only the entries both tables have.
    const int n = std::min(GetNoPaletteEntries(bits), GetNoPaletteEntries(other.GetBitsPerPixel()));
    std::memcpy(GetColorTab(), other.GetColorTab(), std::size_t(n) * 4);
}

void CDib::GrayScale() {
    if (m_bGray || IsEmpty() || !m_pixel) return;
    CDib grey;
    if (!grey.Create(m_width, m_height, 8)) return;
    RGBQUAD* table = grey.GetColorTab();
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    // The rows are read directly by depth; a colour table's grey values are worked out once
    // per entry used.
    auto greyOf = [](unsigned b, unsigned g, unsigned r) {
        return BYTE((30 * r + 59 * g + 11 * b) / 100);
    };
    const int bits = GetBitsPerPixel();
    if (bits == 24) {
        // Each channel's weighted share from a table; the sum stays below 25,600, where
        // (v * 5243) >> 19 is v / 100.
        std::uint16_t weighted[3][256];
        for (unsigned i = 0; i < 256; ++i) {
            weighted[0][i] = std::uint16_t(11 * i);
            weighted[1][i] = std::uint16_t(59 * i);
            weighted[2][i] = std::uint16_t(30 * i);
        }
        for (int y = 0; y < m_height; ++y) {
            const BYTE* in = m_rows[y];
            BYTE* row = grey.m_rows[y];
            for (int x = 0; x < m_width; ++x, in += 3) {
                const std::uint32_t v =
                    std::uint32_t(weighted[0][in[0]]) + weighted[1][in[1]] + weighted[2][in[2]];
                row[x] = BYTE((v * 5243u) >> 19);
            }
        }
    } else if (bits == 1 || bits == 4 || bits == 8) {
        const RGBQUAD* colors = GetColorTab();
        BYTE entryGrey[256];
        bool known[256] = {};
        auto entry = [&](unsigned v) {
            if (!known[v]) {
                entryGrey[v] = greyOf(colors[v].rgbBlue, colors[v].rgbGreen, colors[v].rgbRed);
                known[v] = true;
            }
            return entryGrey[v];
        };
        for (int y = 0; y < m_height; ++y) {
            const BYTE* in = m_rows[y];
            BYTE* row = grey.m_rows[y];
            for (int x = 0; x < m_width; ++x) {
                unsigned v = bits == 8   ? in[x]
                             : bits == 4 ? ((x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4)
                                         : (in[x >> 3] >> (7 - (x & 7))) & 1u;
                row[x] = entry(v);
            }
        }
    } else {
        PixelInterface* in = m_pixel.get();
        for (int y = 0; y < m_height; ++y) {
            BYTE* row = grey.m_rows[y];
            for (int x = 0; x < m_width; ++x) {
                BYTE bgr[3];
                in->GetRGB(x, y, bgr);
                row[x] = greyOf(bgr[0], bgr[1], bgr[2]);
            }
        }
    }
    grey.m_pInfo->bmiHeader.biXPelsPerMeter = m_pInfo->bmiHeader.biXPelsPerMeter;
    grey.m_pInfo->bmiHeader.biYPelsPerMeter = m_pInfo->bmiHeader.biYPelsPerMeter;
    *this = std::move(grey);
    m_bGray = true;
}

void CDib::SetTransientPalette(COLORREF a, COLORREF b) {
    GrayScale();
    const int bits = GetBitsPerPixel();
    if (bits == 0 || bits > 8) return;
    const int n = 1 << bits;
    RGBQUAD* table = GetColorTab();
    const float from[3] = {float(GetRValue(a)), float(GetGValue(a)), float(GetBValue(a))};
    const float to[3] = {float(GetRValue(b)), float(GetGValue(b)), float(GetBValue(b))};
    float step[3];
    for (int c = 0; c < 3; ++c)
        step[c] = (to[c] - from[c]) / float(n - 1);
    for (int i = 0; i < n; ++i) {
        BYTE v[3];
        for (int c = 0; c < 3; ++c)
            v[c] = BYTE(std::floor(float(i) * step[c] + from[c] + 0.5f));
        table[i] = RGBQUAD{v[2], v[1], v[0], 0};
    }
}

unsigned CDib::GetBMPSize() const {
    if (IsEmpty()) return 0;
    return unsigned(GetTotalBytes()) + unsigned(GetPaletteSize()) + 58;
}

int CDib::Save(CFile& file) {
    if (IsEmpty()) return -1;
    const std::uint32_t table = std::uint32_t(GetPaletteSize());
    const std::uint32_t bits = std::uint32_t(GetTotalBytes());
    const std::uint32_t fileSize = 14 + 40 + table + bits;
    BYTE header[14] = {};
    PutU16(header, 19778); // "BM"
    PutU32(header + 2, fileSize);
    PutU32(header + 10, 54 + table);
    try {
        file.Write(header, 14);
        file.Write(m_pInfo, 40);
        file.Write(GetColorTab(), table);
        file.Write(m_pBits, bits);
    } catch (CException* e) {
        e->Delete();
        return -1;
    }
    return int(fileSize);
}

int CDib::Load(CFile& file) {
    Destroy();
    m_loadError = LoadOk;
    try {
        FileSource src(file);
        BYTE header[14];
        const std::uint64_t have = src.Size() < 14 ? src.Size() : 14;
        if (have < 2 || !src.Read(0, header, std::size_t(have)) || header[0] != 'B' ||
            header[1] != 'M') {
            m_loadError = NotBMP;
            return -1;
        }
        if (have < 14) {
            m_loadError = Truncated;
            return -1;
        }
        const std::uint32_t offBits = std::uint32_t(header[10]) | (std::uint32_t(header[11]) << 8) |
                                      (std::uint32_t(header[12]) << 16) |
                                      (std::uint32_t(header[13]) << 24);
        IntakeResult r = ReadDib(src, 14, std::int64_t(offBits));
        if (!r.block) {
            m_loadError = r.error;
            return -1;
        }
        Attach(r.block);
        file.Seek(std::int64_t(src.Base() + r.end), CFile::begin);
        return 0;
    } catch (CException* e) {
        e->Delete();
        Destroy();
        m_loadError = ReadError;
        return -1;
    }
}

int CDib::CreateFromClipboard() {
    COleDataObject data;
    data.AttachClipboard();
    if (!data.IsDataAvailable(CF_DIB)) return 0;
    CFile* file = data.GetFileData(CF_DIB);
    if (!file) return 0;
    const std::uint64_t length = file->GetLength();
    HGLOBAL block = nullptr;
    if (length > 0 && length <= kMaxDibBlock) block = SafeGAlloc(GMEM_MOVEABLE, unsigned(length));
    if (block) {
        try {
            const UINT got = file->Read(GlobalLock(block), UINT(length));
            GlobalUnlock(block);
            if (got != length) {
                GlobalFree(block);
                block = nullptr;
            }
        } catch (CException* e) {
            e->Delete();
            GlobalUnlock(block);
            GlobalFree(block);
            block = nullptr;
        }
    }
    delete file;
    if (!block) {
        Destroy();
        m_loadError = length == 0 ? Truncated : NoMemory;
        return 0;
    }
    return ChangeFromDIB(block) ? 1 : 0;
}
