#include "settings/CIniFile.h"

#include "settings/NumericText.h"

#include <win32/kernel.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NativePath(const char* path) {
    std::string p = path ? path : "";
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

// Parses digits of the given base after optional blanks (and "0x" for base 16);
// returns the end of the digits, or null when there are none. Values wrap to
// 32 bits like the platform's unsigned conversion on a 32-bit long.
const char* ParseUnsigned(const char* s, int base, uint32_t& value) {
    while (std::isspace(static_cast<unsigned char>(*s)))
        ++s;
    bool negative = false;
    if (*s == '-' || *s == '+') negative = *s++ == '-';
    if (base == 16 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(s[2])))
        s += 2;
    uint64_t v = 0;
    bool overflow = false;
    const char* start = s;
    for (;; ++s) {
        int c = static_cast<unsigned char>(*s);
        int digit = std::isdigit(c)                  ? c - '0'
                    : base == 16 && std::isxdigit(c) ? std::tolower(c) - 'a' + 10
                                                     : -1;
        if (digit < 0) break;
        v = v * base + digit;
        if (v > 0xFFFFFFFFu) overflow = true, v = 0xFFFFFFFFu;
    }
    if (s == start) return nullptr;
    value = overflow ? 0xFFFFFFFFu : static_cast<uint32_t>(negative ? 0u - v : v);
    return s;
}

} // namespace

CIniFile::CIniFile(const char* p, unsigned char clearReadOnly) {
    std::string native = NativePath(p);
    path = new char[native.size() + 1];
    std::memcpy(path, native.c_str(), native.size() + 1);
    struct stat st;
    if (clearReadOnly && ::stat(path, &st) == 0 && !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        ::chmod(path, st.st_mode | S_IWUSR);
    Flush();
}

CIniFile::~CIniFile() {
    Flush();
    delete[] path;
}

int CIniFile::Flush() { return WritePrivateProfileStringA(nullptr, nullptr, nullptr, path); }

unsigned CIniFile::GetString(const char* section, const char* key, const char* def, char* buffer,
                             unsigned size) {
    return GetPrivateProfileStringA(section, key, def, buffer, size, path);
}

unsigned CIniFile::GetInt(const char* section, const char* key, unsigned def) {
    char text[80];
    GetPrivateProfileStringA(section, key, "", text, sizeof text, path);
    if (!text[0]) return def;
    uint32_t value = 0;
    const char* end = ParseUnsigned(text, 16, value);
    if (end && (*end == 'h' || *end == 'H')) return value;
    value = 0;
    ParseUnsigned(text, 10, value);
    return value;
}

int CIniFile::WriteString(const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, path);
}

int CIniFile::WriteInt(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WritePrivateProfileStringA(section, key, text, path);
}

CString CIniFile::GetCString(const char* section, const char* key, const char* def) {
    char text[512];
    GetPrivateProfileStringA(section, key, def, text, sizeof text, path);
    return CString(text);
}

double CIniFile::GetFloat(const char* section, const char* key, double def) {
    char text[20];
    GetPrivateProfileStringA(section, key, "", text, sizeof text, path);
    return text[0] ? ParseProfileDouble(text) : def;
}

void CIniFile::WriteFloat(const char* section, const char* key, double value) {
    WritePrivateProfileStringA(section, key, FormatProfileDouble(value).c_str(), path);
}

void CIniFile::GetSectionNames(CStringArray& names) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return;
    std::string line;
    auto take = [&] {
        if (line.size() > 1023) line.resize(1023);
        if (line.size() >= 3 && line[0] == '[') {
            std::string::size_type close = line.find(']', 1);
            names.Add(CString(line.substr(1, close == std::string::npos ? std::string::npos
                                                                          : close - 1)
                                  .c_str()));
        }
        line.clear();
    };
    // Lines end at LF, CR LF or a lone CR; a leading UTF-8 byte-order mark is no part of the
    // first line.
    char mark[3];
    if (std::fread(mark, 1, 3, file) != 3 || std::memcmp(mark, "\xEF\xBB\xBF", 3) != 0)
        std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n' || c == '\r')
            take();
        else
            line.push_back(static_cast<char>(c));
    }
    take();
    std::fclose(file);
}
