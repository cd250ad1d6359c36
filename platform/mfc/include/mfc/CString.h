#pragma once
// Byte string of the framework (ANSI: bytes are kept as they are, above 127 included).
// Positions and lengths are int, as in the framework; an index outside the string throws
// CInvalidArgException.

#include <cstdarg>
#include <string>

#include "mfc/export.h"
#include "win32/base.h"

class MFC_API CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCSTR lpsz);              // null gives an empty string
    CString(LPCSTR lpch, int nLength); // nLength bytes, NULs included
    CString(const unsigned char* lpsz);
    explicit CString(char ch, int nRepeat = 1); // nRepeat below 1 gives an empty string
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR lpsz);
    CString& operator=(const unsigned char* lpsz);
    CString& operator=(char ch);

    int GetLength() const { return int(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator+=(const CString& str);
    CString& operator+=(LPCSTR lpsz);
    CString& operator+=(char ch);

    // strcmp order over unsigned bytes; CompareNoCase folds ASCII letters to lower case.
    // A CString operand is compared over its whole length, embedded NULs included.
    int Compare(LPCSTR lpsz) const;
    int Compare(const CString& str) const;
    int CompareNoCase(LPCSTR lpsz) const;
    int Collate(LPCSTR lpsz) const { return Compare(lpsz); }
    int CollateNoCase(LPCSTR lpsz) const { return CompareNoCase(lpsz); }

    // Out-of-range positions and counts are clipped to the string.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCSTR lpszCharSet) const;
    CString SpanExcluding(LPCSTR lpszCharSet) const;

    // ASCII letters only; other bytes are left alone.
    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    // Whitespace is ASCII space, tab, CR, LF, VT and FF.
    void TrimLeft();
    void TrimLeft(char chTarget);
    void TrimLeft(LPCSTR lpszTargets);
    void TrimRight();
    void TrimRight(char chTarget);
    void TrimRight(LPCSTR lpszTargets);
    void Trim();

    // -1 when not found; a start outside the string finds nothing (a negative one starts at 0).
    int Find(char ch) const { return Find(ch, 0); }
    int Find(char ch, int nStart) const;
    int Find(LPCSTR lpszSub) const { return Find(lpszSub, 0); }
    int Find(LPCSTR lpszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR lpszCharSet) const;

    // Return the number of replacements / removals, or the new length.
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR lpszOld, LPCSTR lpszNew);
    int Remove(char chRemove);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // printf formatting; numbers use '.' for decimals in the "C" numeric locale the
    // program runs in.
    void Format(LPCSTR lpszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCSTR lpszFormat, va_list argList) __attribute__((format(printf, 2, 0)));
    // The format is the string resource nFormatID of the current resource module.
    void Format(UINT nFormatID, ...);

    // The writable buffer holds at least nMinBufLength bytes plus a terminating NUL.
    // ReleaseBuffer(-1) takes the length up to the first NUL.
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPSTR GetBufferSetLength(int nNewLength);
    void FreeExtra() { m_str.shrink_to_fit(); }
    LPSTR LockBuffer() { return m_str.data(); }
    void UnlockBuffer() {}

    // String resource nID of the current resource module; FALSE (and empty) when missing.
    BOOL LoadString(UINT nID);

    // The bytes, for code on the Linux side.
    const std::string& str() const { return m_str; }

private:
    std::string m_str;
};

MFC_API CString operator+(const CString& a, const CString& b);
MFC_API CString operator+(const CString& a, LPCSTR b);
MFC_API CString operator+(LPCSTR a, const CString& b);
MFC_API CString operator+(const CString& a, char b);
MFC_API CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, LPCSTR b) {
    return a.Compare(b) == 0;
}
inline bool operator==(LPCSTR a, const CString& b) {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) {
    return a.Compare(b) != 0;
}
inline bool operator!=(const CString& a, LPCSTR b) {
    return a.Compare(b) != 0;
}
inline bool operator!=(LPCSTR a, const CString& b) {
    return b.Compare(a) != 0;
}
inline bool operator<(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}
inline bool operator<(const CString& a, LPCSTR b) {
    return a.Compare(b) < 0;
}
inline bool operator<(LPCSTR a, const CString& b) {
    return b.Compare(a) > 0;
}
inline bool operator>(const CString& a, const CString& b) {
    return a.Compare(b) > 0;
}
inline bool operator>(const CString& a, LPCSTR b) {
    return a.Compare(b) > 0;
}
inline bool operator>(LPCSTR a, const CString& b) {
    return b.Compare(a) < 0;
}
inline bool operator<=(const CString& a, const CString& b) {
    return a.Compare(b) <= 0;
}
inline bool operator<=(const CString& a, LPCSTR b) {
    return a.Compare(b) <= 0;
}
inline bool operator<=(LPCSTR a, const CString& b) {
    return b.Compare(a) >= 0;
}
inline bool operator>=(const CString& a, const CString& b) {
    return a.Compare(b) >= 0;
}
inline bool operator>=(const CString& a, LPCSTR b) {
    return a.Compare(b) >= 0;
}
inline bool operator>=(LPCSTR a, const CString& b) {
    return b.Compare(a) <= 0;
}
