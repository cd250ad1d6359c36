#include "SpoolJobFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include <plotterdriver/PlotterDriver.h>
#include <settings/CIniFile.h>

namespace {

// Unicode of the code page 1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// One part of a file name: no folder separators, no characters that file names cannot hold.
std::string FileNamePart(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : ""); *p;
         ++p) {
        unsigned c = *p;
        if (c < 0x20 || c == 0x7F || std::string("/\\:*?\"<>|").find(char(c)) != std::string::npos)
            out += '_';
        else if (c >= 0x80 && c < 0xA0)
            kHighControls[c - 0x80] ? AppendUtf8(out, kHighControls[c - 0x80]) : void(out += '_');
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string HeaderValue(const char* text) {
    std::string out = text ? text : "";
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

} // namespace

DWORD SpoolJobFile::Checksum(const char* text, std::size_t length) {
    std::uint32_t d = 0;
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t b = static_cast<unsigned char>(text[i]);
        d = (b + d + 953u) ^ (b << (8 * (i % 4)));
    }
    return d;
}

CString SpoolJobFile::HeaderText(const char* name, const char* device, const char* media,
                                 const char* color, const char* sheetSize, const char* sheet,
                                 int copies) {
    std::string text = "Name=" + HeaderValue(name) + "\nDevice=" + HeaderValue(device) +
                       "\nMedia=" + HeaderValue(media) + "\nColor=" + HeaderValue(color) +
                       "\nSheetSize=" + HeaderValue(sheetSize) + "\nSheet=" + HeaderValue(sheet) +
                       "\nCopies=" + std::to_string(copies) + "\nTarvelSignature=";
    return CString(text.c_str(), int(text.size()));
}

CString SpoolJobFile::FileName(const char* folder, const char* jobName, const SYSTEMTIME& time,
                               const char* sheet) {
    std::string sheetText = sheet ? sheet : "";
    if (std::string::size_type slash = sheetText.find('/'); slash != std::string::npos)
        sheetText[slash] = '.';
    char clock[16];
    std::snprintf(clock, sizeof clock, "%2.2d%2.2d%2.2d", time.wHour % 100, time.wMinute % 100,
                  time.wSecond % 100);

    std::string path = folder ? folder : "";
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
    path += FileNamePart(jobName) + "-" + clock + "-" + FileNamePart(sheetText.c_str()) + ".wjob";
    return CString(path.c_str());
}

void SpoolJobFile::WriteHeader(PlotterDriver& driver, const CString& header) {
    std::uint32_t length = std::uint32_t(header.GetLength()) + 9;
    const char lengthWord[4] = {char(length & 0xFF), char((length >> 8) & 0xFF),
                                char((length >> 16) & 0xFF), char(length >> 24)};
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%8.8X\n",
                  unsigned(Checksum(header, std::size_t(header.GetLength()))));
    const char zeroWord[4] = {0, 0, 0, 0};

    driver.Write(lengthWord, 4);
    driver.Write(header, header.GetLength());
    driver.Write(checksum, 9);
    driver.Write(zeroWord, 4);
}

DeviceRedirect::DeviceRedirect(CIniFile& ini, const char* section, const char* saved,
                               const char* target)
    : ini_(ini), section_(section), saved_(saved) {
    ini_.WriteString(section_, "Device", target);
    ini_.Flush();
}

DeviceRedirect::~DeviceRedirect() {
    ini_.WriteString(section_, "Device", saved_);
    ini_.Flush();
}
