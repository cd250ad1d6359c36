#include "text/TarvelFont.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/Charstring.h"
#include "text/FontRegistry.h"
#include "text/WftFormat.h"
#include "win32/findfile.h"
#include "win32/nls.h"

IMPLEMENT_SERIAL(TarvelFont, GeneralFont, 1)

namespace {

std::uint16_t get16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void appendBox(Path& path, float s) {
    path.Append(PC_MOVETO, 0, 0);
    path.Append(PC_LINETO, s, 0);
    path.Append(PC_LINETO, s, s);
    path.Append(PC_LINETO, 0, s);
    path.Close();
    path.ClosePath();
}

// The em of a header: its unitsPerEm, or 1000 when that is not positive.
float emOf(const std::uint8_t* image) {
    std::int16_t upm = std::int16_t(get16(image + 96));
    return upm > 0 ? float(upm) : 1000.0f;
}

} // namespace

TarvelFont::~TarvelFont() {
    TarvelFont::Unload();
}

std::uint16_t TarvelFont::MapToOemCode(std::uint16_t code) {
    // Windows-1250 letters and their OEM codes.
    static const std::uint8_t ansi[20] = {0xC1, 0xE1, 0xC9, 0xE9, 0xCD, 0xED, 0xD3,
                                          0xF3, 0xD6, 0xF6, 0xD5, 0xF5, 0xDA, 0xFA,
                                          0xDC, 0xFC, 0xDB, 0xFB, 0xF1, 0xD1};
    static const std::uint8_t oem[20] = {0x8F, 0xA0, 0x90, 0x82, 0x8C, 0xA1, 0x95,
                                         0xA2, 0x99, 0x94, 0xA7, 0x93, 0x97, 0xA3,
                                         0x9A, 0x81, 0x98, 0x96, 0xE4, 0xE3};
    std::uint8_t low = std::uint8_t(code & 0xFF);
    if (low == 0) return 0;
    for (int i = 0; i < 20; ++i)
        if (ansi[i] == low) return oem[i];
    char bytes[4] = {char(low), char(code >> 8), 0, 0};
    CharToOemA(bytes, bytes);
    return std::uint16_t(std::uint8_t(bytes[0]) | (std::uint8_t(bytes[1]) << 8));
}

int TarvelFont::Load() {
    if (fileImage != nullptr) return 1;
    ReadKerningFile();
    ReadBaselineShiftFile();
    int index = FindFontName(NativeFontNames, fontName);
    if (index < 0 || index >= NativeFontPaths.GetSize()) return 0;
    std::string path = SdAnsiPathToNative(NativeFontPaths[index]);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return 0;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    // A file too short for its header holds no font.
    if (size < long(WftHeaderSize) || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return 0;
    }
    auto* image = new (std::nothrow) std::uint8_t[std::size_t(size)];
    bool ok = image != nullptr && std::fread(image, 1, std::size_t(size), f) == std::size_t(size);
    std::fclose(f);
    if (!ok) {
        delete[] image;
        return 0;
    }
    fileImage = image;
    imageSize = std::size_t(size);
    NormaliseToGlyphTop('M', emOf(fileImage));
    return 1;
}

void TarvelFont::Unload() {
    kerningPairs.Reset();
    delete[] fileImage;
    fileImage = nullptr;
    imageSize = 0;
}

int TarvelFont::GetCharPath(std::uint16_t code, Path& path) {
    // Without a file image there is no size to take: the box is one em after the (identity)
    // glyph matrix.
    if (fileImage == nullptr) {
        appendBox(path, 1.0f);
        return 0;
    }
    if (get32(fileImage) == WftMagicOem) code = MapToOemCode(code);
    if (code > 255) {
        appendBox(path, emOf(fileImage));
        return 0;
    }
    const std::uint8_t* entry = fileImage + WftSlotTable + 6 * code;
    std::uint32_t length = get16(entry);
    std::uint32_t offset = get32(entry + 2);
    if (length == 0) {
        appendBox(path, emOf(fileImage));
        return 0;
    }
    if (offset == 0) return -1;
    if (offset >= imageSize || length > imageSize - offset) {
        appendBox(path, emOf(fileImage));
        return 0;
    }
    InterpretCharstring(fileImage + offset, fileImage + offset + length, path);
    return 1;
}

CString ReadFontFileName(const char* path, long offset, int length) {
    if (path == nullptr || length <= 0 || offset < 0) return CString();
    std::FILE* f = std::fopen(SdAnsiPathToNative(path).c_str(), "rb");
    if (f == nullptr) return CString();
    std::vector<char> buffer(std::size_t(length) + 1, 0);
    bool ok = std::fseek(f, offset, SEEK_SET) == 0 &&
              std::fread(buffer.data(), 1, std::size_t(length), f) == std::size_t(length);
    std::fclose(f);
    if (!ok) return CString();
    std::string name(buffer.data());
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return CString(name.c_str());
}

void EnumWftFonts(const char* directory) {
    std::string dir = directory != nullptr ? directory : "";
    std::vector<std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*.wft").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            files.push_back(data.cFileName);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    // The file system's order varies between machines; name order makes "first wins" stable.
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::string path = dir + "\\" + file;
        CString name = ReadFontFileName(path.c_str(), 4, 64);
        if (name.IsEmpty() || FindFontName(NativeFontNames, name) >= 0) continue;
        NativeFontPaths.Add(path.c_str());
        NativeFontNames.Add(name);
    }
}
