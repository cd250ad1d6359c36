#include "text/CharCodes.h"

#include "win32/nls.h"

void AppendCharCode(CString& s, std::uint16_t code) {
    if (code == 0) return;
    if (GetSystemMetrics(SM_DBCSENABLED) && (code >> 8) != 0) s += char(code >> 8);
    s += char(code & 0xFF);
}

std::uint16_t GetNextCharCode(const CString& s, int& pos) {
    const int length = s.GetLength();
    if (pos < 0 || pos >= length) return 0;
    const auto first = static_cast<unsigned char>(s[pos++]);
    if (pos < length && GetSystemMetrics(SM_DBCSENABLED) && IsDBCSLeadByte(first))
        return std::uint16_t(first << 8 | static_cast<unsigned char>(s[pos++]));
    return first;
}
