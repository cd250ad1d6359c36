#include "doc/DocumentPreview.h"

#include <cmath>
#include <cstring>
#include <map>

#include <imaging/ImagingToolkit.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CFile.h>
#include <model/CSign.h>
#include <rasterkit/CDIBSection.h>
#include <rasterkit/CDibDC.h>

const std::uint8_t PreviewIdentifier[16] = {0x31, 0x3D, 0x69, 0x84, 0x26, 0xDA, 0x11, 0xD2,
                                            0x83, 0x5F, 0xC4, 0x14, 0x06, 0xC1, 0x00, 0xFE};

namespace {

// The picture's colours as an 8-bit palette bitmap: exact when it has at most 256 colours,
// else by 3-3-2 levels.
std::vector<std::uint8_t> PackTo8Bits(DIBInterface& dib) {
    const int w = dib.GetWidth(), h = dib.GetHeight();
    std::map<std::uint32_t, int> index;
    bool exact = true;
    for (int y = 0; y < h && exact; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE rgb[3];
            dib.GetRGB(x, y, rgb);
            const std::uint32_t key = rgb[0] | (rgb[1] << 8) | (std::uint32_t(rgb[2]) << 16);
            if (index.count(key)) continue;
            if (index.size() == 256) {
                exact = false;
                break;
            }
            index.emplace(key, 0);
        }
    const int stride = (w + 3) & ~3;
    std::vector<std::uint8_t> packed(40 + 1024 + std::size_t(stride) * h, 0);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 256;
    std::memcpy(packed.data(), &header, 40);
    std::uint8_t* table = packed.data() + 40;
    if (exact) {
        int i = 0;
        for (auto& [key, slot] : index) {
            slot = i;
            table[i * 4 + 0] = std::uint8_t(key >> 16); // blue
            table[i * 4 + 1] = std::uint8_t(key >> 8);
            table[i * 4 + 2] = std::uint8_t(key);
            ++i;
        }
    } else {
        for (int i = 0; i < 256; ++i) {
            table[i * 4 + 2] = std::uint8_t(((i >> 5) & 7) * 255 / 7);
            table[i * 4 + 1] = std::uint8_t(((i >> 2) & 7) * 255 / 7);
            table[i * 4 + 0] = std::uint8_t((i & 3) * 255 / 3);
        }
    }
    std::uint8_t* bits = table + 1024;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE rgb[3];
            dib.GetRGB(x, y, rgb);
            int v;
            if (exact)
                v = index[rgb[0] | (rgb[1] << 8) | (std::uint32_t(rgb[2]) << 16)];
            else
                v = ((rgb[0] >> 5) << 5) | ((rgb[1] >> 5) << 2) | (rgb[2] >> 6);
            // Packed rows run bottom-up; GetRGB counts y from the top.
            bits[std::size_t(h - 1 - y) * stride + x] = std::uint8_t(v);
        }
    return packed;
}

} // namespace

std::vector<std::uint8_t> MakePreviewPng(CSign& sheet, const floatBBox& box, bool whiteFill) {
    const double bw = double(box.right) - box.left, bh = double(box.top) - box.bottom;
    if (!(bw > 0) || !(bh > 0) || !std::isfinite(bw) || !std::isfinite(bh)) return {};
    const double scale = PreviewSide / std::max(bw, bh);
    const int w = std::max(1, int(std::lround(bw * scale)));
    const int h = std::max(1, int(std::lround(bh * scale)));
    CDibDC dc(w, h);
    if (!dc.IsValid()) return {};
    if (whiteFill)
        dc.m_DIB.Fill(255, 255, 255, w, h, 0, 0);
    else
        dc.m_DIB.Clear(0xFF);
    // The box's corner of least x and greatest y at the origin, y growing downwards.
    floatTMatrix m(float(scale), 0, 0, float(-scale), float(-box.left * scale),
                   float(box.top * scale));
    sheet.Draw(&dc, m, 0);
    ::GdiFlush();
    std::vector<std::uint8_t> packed = PackTo8Bits(dc.m_DIB);
    HGLOBAL out = nullptr;
    DWORD size = 0;
    if (ImgEncode(packed.data(), packed.size(), IMG_FORMAT_PNG, &out, &size) != 0) return {};
    std::vector<std::uint8_t> png(size);
    if (void* p = ::GlobalLock(out)) {
        std::memcpy(png.data(), p, size);
        ::GlobalUnlock(out);
    } else {
        png.clear();
    }
    ::GlobalFree(out);
    return png;
}

std::vector<std::uint8_t> ReadPreviewBlock(CArchive& ar) {
    std::uint8_t id[16];
    if (ar.Read(id, 16) != 16)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    if (std::memcmp(id, PreviewIdentifier, 16) != 0)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD length = 0;
    ar >> length;
    ar.RequireBytes(length);
    std::vector<std::uint8_t> png(length);
    if (length != 0 && ar.Read(png.data(), length) != length)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    return png;
}

long long FindMarker(CFile& file) {
    constexpr std::size_t Block = 8192;
    std::vector<std::uint8_t> block(Block + 15);
    std::uint64_t base = file.GetPosition();
    std::size_t carried = 0;
    for (;;) {
        const UINT got = file.Read(block.data() + carried, UINT(Block));
        const std::size_t have = carried + got;
        for (std::size_t i = 0; i + 16 <= have; ++i) {
            if (block[i] != PreviewIdentifier[0]) continue;
            if (std::memcmp(block.data() + i, PreviewIdentifier, 16) == 0) {
                file.Seek(std::int64_t(base + i + 16), CFile::begin);
                return (long long)(base + i);
            }
        }
        if (got == 0) return -1;
        // A marker split across blocks: keep the last 15 bytes.
        carried = std::min<std::size_t>(15, have);
        std::memmove(block.data(), block.data() + have - carried, carried);
        base += have - carried;
    }
}

bool ReadDocumentPreview(CFile& file, CDIBSection& picture) {
    picture.Destroy();
    if (FindMarker(file) < 0) return false;
    std::uint8_t lengthBytes[4];
    if (file.Read(lengthBytes, 4) != 4)
        AfxThrowArchiveException(CArchiveException::endOfFile, file.GetFilePath());
    const std::uint32_t length = lengthBytes[0] | (lengthBytes[1] << 8) | (lengthBytes[2] << 16) |
                                 (std::uint32_t(lengthBytes[3]) << 24);
    if (length > file.GetLength() - file.GetPosition())
        AfxThrowArchiveException(CArchiveException::badSchema, file.GetFilePath());
    std::vector<std::uint8_t> png(length);
    if (length != 0 && file.Read(png.data(), length) != length)
        AfxThrowArchiveException(CArchiveException::endOfFile, file.GetFilePath());
    // The PNG header's size, checked before anything is decoded.
    if (length >= 24 && ImgIsPNG(png.data(), length)) {
        auto be32 = [&](std::size_t at) {
            return (std::uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) |
                   png[at + 3];
        };
        if (be32(16) > PreviewMaxSide || be32(20) > PreviewMaxSide)
            AfxThrowArchiveException(CArchiveException::badSchema, file.GetFilePath());
    }
    // The section takes the decoded block over.
    if (HGLOBAL dib = ImgDecode(png.data(), png.size())) picture.CreateFromDIB(dib);
    return true;
}
