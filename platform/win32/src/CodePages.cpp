#include <iconv.h>

#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "win32/CodePageTesting.h"
#include "WindowTable.h"
#include "win32/nls.h"

// Every code page is held as tables built once from the C library's converters: a byte (or
// lead × 256 + trail) to UTF-16 and back. Bytes a single-byte code page leaves undefined map
// to the code point of the same value, as the original platform's 1252 table does.

namespace {

constexpr char16_t Undefined = 0xFFFF;
constexpr char16_t Replacement = 0xFFFD;

struct CodePageTable {
    bool doubleByte = false;
    std::array<bool, 256> lead{};
    std::vector<char16_t> toWide;                // 256 entries, or 65536 for double-byte pages
    std::unordered_map<char16_t, WORD> fromWide; // code: a byte, or lead << 8 | trail
};

char16_t convertOne(iconv_t cd, const char* bytes, size_t n) {
    char in[2];
    std::memcpy(in, bytes, n);
    char* inPtr = in;
    size_t inLeft = n;
    unsigned char out[8];
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return Undefined;
    if (sizeof out - outLeft != 2) return Undefined; // outside the basic plane
    return char16_t(out[0] | (out[1] << 8));
}

void buildSingleByte(CodePageTable& t, const char* iconvName) {
    t.toWide.assign(256, Undefined);
    iconv_t cd = iconv_open("UTF-16LE", iconvName);
    for (int b = 0; b < 256; ++b) {
        char c = char(b);
        char16_t w = b < 0x80 ? char16_t(b) : Undefined;
        if (b >= 0x80 && cd != iconv_t(-1)) w = convertOne(cd, &c, 1);
        if (w == Undefined) w = char16_t(b);
        t.toWide[b] = w;
        t.fromWide.emplace(w, WORD(b));
    }
    if (cd != iconv_t(-1)) iconv_close(cd);
}

void buildShiftJis(CodePageTable& t) {
    t.doubleByte = true;
    t.toWide.assign(65536, Undefined);
    for (int b = 0; b < 256; ++b)
        t.lead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == iconv_t(-1)) return;
    for (int b = 0; b < 256; ++b) {
        if (t.lead[b]) continue;
        char c = char(b);
        char16_t w = b < 0x80 ? char16_t(b) : convertOne(cd, &c, 1);
        t.toWide[b] = w;
        if (w != Undefined) t.fromWide.emplace(w, WORD(b));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!t.lead[lead]) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            char pair[2] = {char(lead), char(trail)};
            char16_t w = convertOne(cd, pair, 2);
            t.toWide[(lead << 8) | trail] = w;
            if (w != Undefined) t.fromWide.emplace(w, WORD((lead << 8) | trail));
        }
    }
    iconv_close(cd);
}

const CodePageTable* tableFor(UINT cp) {
    static std::once_flag once1252, once850, once932;
    static CodePageTable t1252, t850, t932;
    switch (cp) {
    case 1252:
        std::call_once(once1252, [] { buildSingleByte(t1252, "CP1252"); });
        return &t1252;
    case 850:
        std::call_once(once850, [] { buildSingleByte(t850, "CP850"); });
        return &t850;
    case 932:
        std::call_once(once932, [] { buildShiftJis(t932); });
        return &t932;
    default:
        return nullptr;
    }
}

UINT g_ansi = 1252;
UINT g_oem = 850;

// CP_ACP and CP_OEMCP resolved; 0 for an unknown code page.
UINT resolve(UINT cp) {
    if (cp == CP_ACP) return g_ansi;
    if (cp == CP_OEMCP) return g_oem;
    if (cp == 1252 || cp == 850 || cp == 932 || cp == CP_UTF8) return cp;
    return 0;
}

// Decodes bytes into UTF-16; false when a sequence is undefined and strict is set.
bool decode(UINT cp, const unsigned char* s, size_t n, bool strict, std::u16string& out) {
    if (cp == CP_UTF8) {
        size_t i = 0;
        while (i < n) {
            unsigned c = s[i];
            unsigned need = c < 0x80             ? 0
                            : (c & 0xE0) == 0xC0 ? 1
                            : (c & 0xF0) == 0xE0 ? 2
                            : (c & 0xF8) == 0xF0 ? 3
                                                 : 9;
            unsigned v = need == 0   ? c
                         : need == 1 ? (c & 0x1F)
                         : need == 2 ? (c & 0x0F)
                                     : (c & 0x07);
            bool ok = need != 9;
            for (unsigned k = 1; ok && k <= need; ++k) {
                if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                    ok = false;
                else
                    v = (v << 6) | (s[i + k] & 0x3F);
            }
            if (ok &&
                ((need == 1 && v < 0x80) || (need == 2 && v < 0x800) ||
                 (need == 3 && (v < 0x10000 || v > 0x10FFFF)) || (v >= 0xD800 && v <= 0xDFFF)))
                ok = false;
            if (!ok) {
                if (strict) return false;
                out.push_back(Replacement);
                ++i;
                continue;
            }
            if (v >= 0x10000) {
                v -= 0x10000;
                out.push_back(char16_t(0xD800 + (v >> 10)));
                out.push_back(char16_t(0xDC00 + (v & 0x3FF)));
            } else {
                out.push_back(char16_t(v));
            }
            i += need + 1;
        }
        return true;
    }
    const CodePageTable* t = tableFor(cp);
    for (size_t i = 0; i < n; ++i) {
        unsigned code = s[i];
        if (t->doubleByte && t->lead[code]) {
            if (i + 1 < n && s[i + 1] != 0) code = (code << 8) | s[++i];
        }
        char16_t w = code < t->toWide.size() ? t->toWide[code] : Undefined;
        if (w == Undefined) {
            if (strict) return false;
            w = Replacement;
        }
        out.push_back(w);
    }
    return true;
}

void encode(UINT cp, const char16_t* w, size_t n, char defaultChar, std::string& out,
            bool& usedDefault) {
    if (cp == CP_UTF8) {
        for (size_t i = 0; i < n; ++i) {
            unsigned v = w[i];
            if (v >= 0xD800 && v <= 0xDBFF && i + 1 < n && w[i + 1] >= 0xDC00 &&
                w[i + 1] <= 0xDFFF) {
                v = 0x10000 + ((v - 0xD800) << 10) + (w[i + 1] - 0xDC00);
                ++i;
            } else if (v >= 0xD800 && v <= 0xDFFF) {
                v = Replacement;
            }
            if (v < 0x80) {
                out.push_back(char(v));
            } else if (v < 0x800) {
                out.push_back(char(0xC0 | (v >> 6)));
                out.push_back(char(0x80 | (v & 0x3F)));
            } else if (v < 0x10000) {
                out.push_back(char(0xE0 | (v >> 12)));
                out.push_back(char(0x80 | ((v >> 6) & 0x3F)));
                out.push_back(char(0x80 | (v & 0x3F)));
            } else {
                out.push_back(char(0xF0 | (v >> 18)));
                out.push_back(char(0x80 | ((v >> 12) & 0x3F)));
                out.push_back(char(0x80 | ((v >> 6) & 0x3F)));
                out.push_back(char(0x80 | (v & 0x3F)));
            }
        }
        return;
    }
    const CodePageTable* t = tableFor(cp);
    for (size_t i = 0; i < n; ++i) {
        auto it = t->fromWide.find(w[i]);
        if (it == t->fromWide.end()) {
            out.push_back(defaultChar);
            usedDefault = true;
            continue;
        }
        if (it->second > 0xFF) out.push_back(char(it->second >> 8));
        out.push_back(char(it->second & 0xFF));
    }
}

} // namespace

UINT SdSetCodePage(UINT ansiCodePage) {
    UINT before = g_ansi;
    if (ansiCodePage == 1252) {
        g_ansi = 1252;
        g_oem = 850;
    } else if (ansiCodePage == 932) {
        g_ansi = 932;
        g_oem = 932;
    } else {
        return 0;
    }
    return before;
}

namespace {
constexpr LANGID DefaultLanguage = 0x0409;
LANGID g_language = DefaultLanguage;
} // namespace

WORD SdSetUserDefaultLangID(WORD language) {
    const LANGID before = g_language;
    g_language = language != 0 ? language : DefaultLanguage;
    return before;
}

LANGID GetUserDefaultLangID() {
    return g_language;
}

UINT GetACP() {
    return g_ansi;
}

UINT GetOEMCP() {
    return g_oem;
}

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    UINT cp = resolve(codePage);
    if (cp == 0 || cp == CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const CodePageTable* t = tableFor(cp);
    return t->doubleByte && t->lead[testChar];
}

BOOL IsDBCSLeadByte(BYTE testChar) {
    return IsDBCSLeadByteEx(CP_ACP, testChar);
}

int GetSystemMetrics(int index) {
    if (index == SM_DBCSENABLED) return tableFor(g_ansi)->doubleByte ? 1 : 0;
    return sduser::systemMetric(index);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte,
                        LPWSTR wideChar, int cchWideChar) {
    UINT cp = resolve(codePage);
    if (cp == 0 || multiByte == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && wideChar == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = cbMultiByte == -1 ? std::strlen(multiByte) + 1 : size_t(cbMultiByte);
    std::u16string wide;
    if (!decode(cp, reinterpret_cast<const unsigned char*>(multiByte), n,
                (flags & MB_ERR_INVALID_CHARS) != 0, wide)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (cchWideChar == 0) return int(wide.size());
    if (wide.size() > size_t(cchWideChar)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(wideChar, wide.data(), wide.size() * sizeof(char16_t));
    return int(wide.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, BOOL* usedDefaultChar) {
    UINT cp = resolve(codePage);
    if (cp == 0 || wideChar == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && multiByte == nullptr) ||
        (cp == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = 0;
    if (cchWideChar == -1) {
        while (wideChar[n] != 0)
            ++n;
        ++n;
    } else {
        n = size_t(cchWideChar);
    }
    std::string bytes;
    bool used = false;
    encode(cp, wideChar, n, defaultChar != nullptr ? *defaultChar : '?', bytes, used);
    if (usedDefaultChar != nullptr) *usedDefaultChar = used ? TRUE : FALSE;
    if (cbMultiByte == 0) return int(bytes.size());
    if (bytes.size() > size_t(cbMultiByte)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(multiByte, bytes.data(), bytes.size());
    return int(bytes.size());
}

namespace {

BOOL convertNames(UINT from, UINT to, LPCSTR source, LPSTR destination) {
    if (source == nullptr || destination == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t n = std::strlen(source);
    if (from == to) {
        std::memmove(destination, source, n + 1);
        return TRUE;
    }
    std::u16string wide;
    decode(from, reinterpret_cast<const unsigned char*>(source), n, false, wide);
    std::string bytes;
    bool used = false;
    encode(to, wide.data(), wide.size(), '?', bytes, used);
    // Both pages are single-byte here, so the result has the length of the source.
    std::memcpy(destination, bytes.data(), bytes.size());
    destination[bytes.size()] = 0;
    return TRUE;
}

} // namespace

BOOL CharToOemA(LPCSTR source, LPSTR destination) {
    return convertNames(g_ansi, g_oem, source, destination);
}

BOOL OemToCharA(LPCSTR source, LPSTR destination) {
    return convertNames(g_oem, g_ansi, source, destination);
}

std::string SdAnsiPathToNative(const char* ansiPath) {
    std::string result;
    if (ansiPath == nullptr) return result;
    std::u16string wide;
    decode(g_ansi, reinterpret_cast<const unsigned char*>(ansiPath), std::strlen(ansiPath), false,
           wide);
    bool used = false;
    encode(CP_UTF8, wide.data(), wide.size(), '?', result, used);
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

bool SdNativeNameToAnsi(const std::string& native, std::string& ansi) {
    std::u16string wide;
    if (!decode(CP_UTF8, reinterpret_cast<const unsigned char*>(native.data()), native.size(), true,
                wide))
        return false;
    ansi.clear();
    bool used = false;
    encode(g_ansi, wide.data(), wide.size(), '?', ansi, used);
    return !used;
}
