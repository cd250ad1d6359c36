#include "mfc/CString.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "mfc/CException.h"

namespace {

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

const char* orEmpty(LPCSTR p) {
    return p != nullptr ? p : "";
}

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int compareBytes(const char* a, std::size_t na, const char* b, std::size_t nb, bool foldCase) {
    const std::size_t n = std::min(na, nb);
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(foldCase ? asciiLower(a[i]) : a[i]);
        unsigned char cb = static_cast<unsigned char>(foldCase ? asciiLower(b[i]) : b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

// Clips [first, first + count) to a string of length len.
void clip(int len, int& first, int& count) {
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first > len) first = len;
    if (count > len - first) count = len - first;
}

} // namespace

CString::CString(LPCSTR lpsz) : m_str(orEmpty(lpsz)) {}

CString::CString(LPCSTR lpch, int nLength) {
    if (lpch != nullptr && nLength > 0) m_str.assign(lpch, std::size_t(nLength));
}

CString::CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCSTR>(lpsz)) {}

CString::CString(char ch, int nRepeat) {
    if (nRepeat > 0) m_str.assign(std::size_t(nRepeat), ch);
}

CString& CString::operator=(LPCSTR lpsz) {
    m_str = orEmpty(lpsz); // safe when lpsz points into this string
    return *this;
}

CString& CString::operator=(const unsigned char* lpsz) {
    return *this = reinterpret_cast<LPCSTR>(lpsz);
}

CString& CString::operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetLength()) AfxThrowInvalidArgException();
    return m_str[std::size_t(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
    if (nIndex < 0 || nIndex >= GetLength()) AfxThrowInvalidArgException();
    m_str[std::size_t(nIndex)] = ch;
}

CString& CString::operator+=(const CString& str) {
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR lpsz) {
    m_str += orEmpty(lpsz);
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

int CString::Compare(LPCSTR lpsz) const {
    const char* other = orEmpty(lpsz);
    return sign(
        compareBytes(m_str.c_str(), std::strlen(m_str.c_str()), other, std::strlen(other), false));
}

int CString::Compare(const CString& str) const {
    return compareBytes(m_str.data(), m_str.size(), str.m_str.data(), str.m_str.size(), false);
}

int CString::CompareNoCase(LPCSTR lpsz) const {
    const char* other = orEmpty(lpsz);
    return compareBytes(m_str.c_str(), std::strlen(m_str.c_str()), other, std::strlen(other), true);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    clip(GetLength(), nFirst, nCount);
    return CString(m_str.data() + nFirst, nCount);
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    int first = 0;
    clip(GetLength(), first, nCount);
    return CString(m_str.data() + (GetLength() - nCount), nCount);
}

CString CString::SpanIncluding(LPCSTR lpszCharSet) const {
    const std::size_t n = m_str.find_first_not_of(orEmpty(lpszCharSet));
    return Left(n == std::string::npos ? GetLength() : int(n));
}

CString CString::SpanExcluding(LPCSTR lpszCharSet) const {
    const std::size_t n = m_str.find_first_of(orEmpty(lpszCharSet));
    return Left(n == std::string::npos ? GetLength() : int(n));
}

void CString::MakeUpper() {
    for (char& c : m_str)
        c = asciiUpper(c);
}

void CString::MakeLower() {
    for (char& c : m_str)
        c = asciiLower(c);
}

void CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
}

void CString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_str.size() && isAsciiSpace(m_str[i]))
        ++i;
    m_str.erase(0, i);
}

void CString::TrimLeft(char chTarget) {
    std::size_t i = 0;
    while (i < m_str.size() && m_str[i] == chTarget)
        ++i;
    m_str.erase(0, i);
}

void CString::TrimLeft(LPCSTR lpszTargets) {
    const std::size_t i = m_str.find_first_not_of(orEmpty(lpszTargets));
    m_str.erase(0, i == std::string::npos ? m_str.size() : i);
}

void CString::TrimRight() {
    std::size_t n = m_str.size();
    while (n > 0 && isAsciiSpace(m_str[n - 1]))
        --n;
    m_str.resize(n);
}

void CString::TrimRight(char chTarget) {
    std::size_t n = m_str.size();
    while (n > 0 && m_str[n - 1] == chTarget)
        --n;
    m_str.resize(n);
}

void CString::TrimRight(LPCSTR lpszTargets) {
    const std::size_t i = m_str.find_last_not_of(orEmpty(lpszTargets));
    m_str.resize(i == std::string::npos ? 0 : i + 1);
}

void CString::Trim() {
    TrimRight();
    TrimLeft();
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0) nStart = 0;
    if (nStart >= GetLength()) return -1;
    const std::size_t at = m_str.find(ch, std::size_t(nStart));
    return at == std::string::npos ? -1 : int(at);
}

int CString::Find(LPCSTR lpszSub, int nStart) const {
    if (nStart < 0) nStart = 0;
    if (nStart > GetLength()) return -1;
    const std::size_t at = m_str.find(orEmpty(lpszSub), std::size_t(nStart));
    return at == std::string::npos ? -1 : int(at);
}

int CString::ReverseFind(char ch) const {
    const std::size_t at = m_str.rfind(ch);
    return at == std::string::npos ? -1 : int(at);
}

int CString::FindOneOf(LPCSTR lpszCharSet) const {
    const char* set = orEmpty(lpszCharSet);
    if (*set == '\0') return -1;
    const std::size_t at = m_str.find_first_of(set);
    return at == std::string::npos ? -1 : int(at);
}

int CString::Replace(char chOld, char chNew) {
    int count = 0;
    for (char& c : m_str) {
        if (c == chOld) {
            c = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCSTR lpszOld, LPCSTR lpszNew) {
    const std::string from = orEmpty(lpszOld);
    const std::string to = orEmpty(lpszNew);
    if (from.empty()) return 0;
    std::string result;
    int count = 0;
    std::size_t pos = 0;
    for (std::size_t at; (at = m_str.find(from, pos)) != std::string::npos;
         pos = at + from.size()) {
        result.append(m_str, pos, at - pos).append(to);
        ++count;
    }
    if (count > 0) {
        result.append(m_str, pos, std::string::npos);
        m_str.swap(result);
    }
    return count;
}

int CString::Remove(char chRemove) {
    const std::size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
    return int(before - m_str.size());
}

int CString::Insert(int nIndex, char ch) {
    nIndex = std::clamp(nIndex, 0, GetLength());
    m_str.insert(std::size_t(nIndex), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCSTR psz) {
    nIndex = std::clamp(nIndex, 0, GetLength());
    const std::string text = orEmpty(psz); // psz may point into this string
    m_str.insert(std::size_t(nIndex), text);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex >= 0 && nIndex < GetLength()) {
        clip(GetLength(), nIndex, nCount);
        m_str.erase(std::size_t(nIndex), std::size_t(nCount));
    }
    return GetLength();
}

void CString::Format(LPCSTR lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR lpszFormat, va_list argList) {
    if (lpszFormat == nullptr) {
        m_str.clear();
        return;
    }
    va_list sizing;
    va_copy(sizing, argList);
    const int needed = std::vsnprintf(nullptr, 0, lpszFormat, sizing);
    va_end(sizing);
    if (needed < 0) {
        m_str.clear();
        return;
    }
    std::string result(std::size_t(needed), '\0');
    std::vsnprintf(result.data(), result.size() + 1, lpszFormat, argList);
    m_str.swap(result);
}

void CString::Format(UINT nFormatID, ...) {
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

LPSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength()) m_str.resize(std::size_t(nMinBufLength));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        nNewLength = int(strnlen(m_str.data(), m_str.size()));
    }
    m_str.resize(std::size_t(std::min(nNewLength, GetLength())));
}

LPSTR CString::GetBufferSetLength(int nNewLength) {
    m_str.resize(std::size_t(std::max(nNewLength, 0)));
    return m_str.data();
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
