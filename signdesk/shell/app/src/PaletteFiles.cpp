#include "app/PaletteFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <strings.h>

int ColorDisplayMode = 0;

namespace {
constexpr size_t kMaxLine = 255;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ledBySixHexDigits(const std::string& line) {
    if (line.size() < 6) return false;
    for (int i = 0; i < 6; ++i)
        if (hexDigit(line[size_t(i)]) < 0) return false;
    return true;
}

COLORREF colourOfEntry(const char* text) {
    auto pair = [&](int i) { return hexDigit(text[i]) * 16 + hexDigit(text[i + 1]); };
    return RGB(BYTE(pair(0)), BYTE(pair(2)), BYTE(pair(4)));
}

// Lines of at most kMaxLine characters without their line end (LF or CR LF); a longer line
// is cut and its rest skipped. The last line counts without a final line end.
template <class Fn> void readLines(std::ifstream& in, Fn&& onLine) {
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kMaxLine) line.resize(kMaxLine);
        onLine(line);
    }
}
} // namespace

CStringArray& PaletteEntries() {
    static CStringArray entries;
    return entries;
}

CString FormatColorHex(COLORREF colour) {
    CString s;
    s.Format("%2.2X%2.2X%2.2X ", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return s;
}

int FindPaletteEntry(COLORREF colour) {
    const CString hex = FormatColorHex(colour);
    CStringArray& entries = PaletteEntries();
    for (int i = 0; i < entries.GetSize(); ++i) {
        const CString& e = entries[i];
        if (e.GetLength() >= 6 && strncasecmp(LPCSTR(e), LPCSTR(hex), 6) == 0) return i;
    }
    return -1;
}

std::vector<COLORREF> ParsePaletteEntries() {
    std::vector<COLORREF> colours;
    CStringArray& entries = PaletteEntries();
    for (int i = 0; i < entries.GetSize(); ++i)
        if (ledBySixHexDigits(std::string(LPCSTR(entries[i]))))
            colours.push_back(colourOfEntry(entries[i]));
    return colours;
}

CString GetColorName(COLORREF colour) {
    CString text;
    const int index = FindPaletteEntry(colour);
    if (index >= 0) {
        const CString& e = PaletteEntries()[index];
        if (e.GetLength() > 7) text = e.Right(e.GetLength() - 7);
    }
    if (!text.IsEmpty()) return text;
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    if (ColorDisplayMode == 0) {
        text.Format("RGB(%3d,%3d,%3d)", r, g, b);
    } else if (ColorDisplayMode == 1) {
        const int c = 255 - r, m = 255 - g, y = 255 - b;
        const int k = std::min({c, m, y});
        text.Format("CMYK(%3d,%3d,%3d,%3d)", std::max(c - k, 0), std::max(m - k, 0),
                    std::max(y - k, 0), k);
    }
    return text;
}

BOOL LoadPaletteFile(LPCSTR path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return FALSE;
    CStringArray& entries = PaletteEntries();
    entries.RemoveAll();
    readLines(in, [&](const std::string& line) {
        if (ledBySixHexDigits(line)) entries.Add(CString(line.c_str()));
    });
    return TRUE;
}

BOOL ImportCmykPalette(LPCSTR path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return FALSE;
    CStringArray& entries = PaletteEntries();
    entries.RemoveAll();
    readLines(in, [&](const std::string& line) {
        if (line.size() < 2) return;
        const size_t close = line.find('"', 1);
        if (close == std::string::npos) return;
        const std::string name = line.substr(1, close - 1);
        const char* p = line.c_str() + close + 1;
        int v[4] = {0, 0, 0, 0};
        for (int& value : v) {
            char* end = nullptr;
            double d = std::strtod(p, &end);
            if (end == p) return; // fewer than four numbers
            p = end;
            d = std::clamp(d, 0.0, 100.0);
            value = int(float(d * 2.55));
        }
        const int r = 255 - std::min(255, v[0] + v[3]);
        const int g = 255 - std::min(255, v[1] + v[3]);
        const int b = 255 - std::min(255, v[2] + v[3]);
        CString entry;
        entry.Format("%2.2X%2.2X%2.2X %s", r, g, b, name.c_str());
        entries.Add(entry);
    });
    return TRUE;
}

BOOL SavePaletteFile(const std::vector<COLORREF>& colours, LPCSTR path) {
    const std::string target(path);
    const std::string temp = target + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return FALSE;
    bool ok = true;
    for (COLORREF c : colours) {
        CString line = FormatColorHex(c);
        if (FindPaletteEntry(c) >= 0) line += GetColorName(c);
        line += "\r\n";
        ok = ok &&
             std::fwrite(LPCSTR(line), 1, size_t(line.GetLength()), f) == size_t(line.GetLength());
    }
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temp.c_str(), target.c_str()) == 0) return TRUE;
    std::remove(temp.c_str());
    return FALSE;
}
