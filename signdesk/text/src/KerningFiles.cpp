// The ".wkp" and ".wbs" files of a font: plain text in the system's code page, CR LF lines,
// a header line, an empty line and one record per line:
//   kerning:         <code>,<code> : <value>             A,V : -0.08
//   baseline shift:  <code>-<H|V> : <shift x 100>        x-H : -25
// A code is its raw bytes: one byte, or on a double-byte system two (high byte first) when
// the high byte is set. Lines are parsed whole: a record line must hold its codes, the
// separator and " : "; anything else is skipped. A value that is no finite number reads 0.

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "text/FontRegistry.h"
#include "text/GeneralFont.h"
#include "win32/nls.h"

namespace {

const char* const KerningHeader = "Kerning information for : ";
const char* const ShiftHeader = "Auto Baseline Shift information for : ";

bool dbcs() {
    return GetSystemMetrics(SM_DBCSENABLED) != 0;
}

// The file of a font: the kerning folder, the font name in the OEM code page with the
// characters file names cannot hold made '_', and the extension. The OEM bytes are taken as
// the ANSI file functions take any name, and become UTF-8 only here at the Linux boundary.
// Empty when no kerning folder is set.
std::string fontFilePath(const CString& fontName, const char* extension) {
    if (KerningDirectory.IsEmpty()) return std::string();
    std::string oem(std::size_t(fontName.GetLength()) + 1, '\0');
    CharToOemA(fontName, oem.data());
    oem.resize(std::strlen(oem.c_str()));
    for (std::size_t i = 0; i < oem.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(oem[i]);
        if (dbcs() && IsDBCSLeadByte(b) && i + 1 < oem.size()) {
            ++i; // a trail byte may be any value, '\' among them
            continue;
        }
        if (b < 32 || std::strchr("<>:\"/\\|?*", b) != nullptr) oem[i] = '_';
    }
    std::string ansi =
        std::string(static_cast<const char*>(KerningDirectory)) + "\\" + oem + extension;
    return SdAnsiPathToNative(ansi.c_str());
}

void appendCode(std::string& out, std::uint16_t code) {
    if (code == 0) return;
    if (dbcs() && (code >> 8) != 0) out += char(code >> 8);
    out += char(code & 0xFF);
}

// One code at i; false at the end of the text.
bool readCode(const std::string& s, std::size_t& i, std::uint16_t& code) {
    if (i >= s.size()) return false;
    unsigned char b = static_cast<unsigned char>(s[i++]);
    code = b;
    if (dbcs() && IsDBCSLeadByte(b) && i < s.size())
        code = std::uint16_t((b << 8) | static_cast<unsigned char>(s[i++]));
    return true;
}

std::string formatNumber(double v) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

// The leading number of the text as "%g" reads it; 0 when there is none or it is not finite.
float parseNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+') ++i;
    float v = 0;
    auto result =
        std::from_chars(text.data() + i, text.data() + text.size(), v, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(v)) return 0.0f;
    return v;
}

// Splits a record line at its last " : " (or a final " :" with the number left out).
bool splitRecord(const std::string& line, std::string& head, std::string& number) {
    std::size_t colon = line.rfind(" : ");
    if (colon != std::string::npos) {
        number = line.substr(colon + 3);
    } else if (line.size() >= 2 && line.compare(line.size() - 2, 2, " :") == 0) {
        colon = line.size() - 2;
        number.clear();
    } else {
        return false;
    }
    head = line.substr(0, colon);
    return true;
}

bool readLines(const std::string& path, std::string& bytes) {
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    std::fclose(f);
    return true;
}

// Calls take(line) for every line after the first, CR LF or LF ended.
template <class F> void forEachRecordLine(const std::string& bytes, F take) {
    std::size_t start = bytes.find('\n');
    if (start == std::string::npos) return;
    ++start;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && !take(line)) return;
        start = end + 1;
    }
}

void writeOrRemove(const std::string& path, bool empty, const std::string& content) {
    if (path.empty()) return;
    if (empty && ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) == 0) {
        ::unlink(path.c_str());
        return;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return; // not reported; the arrays keep their content
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

} // namespace

void GeneralFont::WriteKerningFile() {
    std::string text = std::string(KerningHeader) + static_cast<const char*>(fontName) + "\r\n\r\n";
    for (const KerningPair& p : kerningPairs) {
        appendCode(text, p.first);
        text += ',';
        appendCode(text, p.second);
        text += " : " + formatNumber(double(p.value)) + "\r\n";
    }
    writeOrRemove(fontFilePath(fontName, ".wkp"), kerningPairs.Filled() == 0, text);
}

void GeneralFont::WriteBaselineShiftFile() {
    std::string text = std::string(ShiftHeader) + static_cast<const char*>(fontName) + "\r\n\r\n";
    for (const CustomBLShift& s : baselineShifts) {
        appendCode(text, s.code);
        text += '-';
        text += s.direction > 0 ? 'V' : 'H';
        text += " : " + formatNumber(double(s.shift) * 100.0) + "\r\n";
    }
    writeOrRemove(fontFilePath(fontName, ".wbs"), baselineShifts.Filled() == 0, text);
}

void GeneralFont::ReadKerningFile() {
    kerningPairs.Reset();
    std::string bytes;
    if (!readLines(fontFilePath(fontName, ".wkp"), bytes)) return;
    forEachRecordLine(bytes, [this](const std::string& line) {
        std::string codes, number;
        if (!splitRecord(line, codes, number)) return true;
        std::size_t i = 0;
        std::uint16_t first = 0, second = 0;
        if (!readCode(codes, i, first) || i >= codes.size() || codes[i++] != ',' ||
            !readCode(codes, i, second) || i != codes.size() || first == 0 || second == 0)
            return true;
        if (kerningPairs.IsFull()) return false;
        KerningPair* p = kerningPairs.Append();
        p->first = first;
        p->second = second;
        p->value = parseNumber(number);
        return true;
    });
}

void GeneralFont::ReadBaselineShiftFile() {
    baselineShifts.Reset();
    std::string bytes;
    if (!readLines(fontFilePath(fontName, ".wbs"), bytes)) return;
    forEachRecordLine(bytes, [this](const std::string& line) {
        std::string head, number;
        if (!splitRecord(line, head, number)) return true;
        std::size_t i = 0;
        std::uint16_t code = 0;
        if (!readCode(head, i, code) || i + 2 != head.size() || head[i] != '-' || code == 0)
            return true;
        if (baselineShifts.IsFull()) return false;
        CustomBLShift* s = baselineShifts.Append();
        s->code = code;
        s->direction = head[i + 1] == 'V' ? 1 : 0;
        s->shift = parseNumber(number) * 0.01f;
        return true;
    });
}
