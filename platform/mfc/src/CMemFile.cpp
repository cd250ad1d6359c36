#include "mfc/CMemFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "mfc/CFileException.h"

IMPLEMENT_DYNAMIC(CMemFile, CFile)

namespace {
constexpr LONG kErrorNegativeSeek = 131;
constexpr LONG kErrorInvalidParameter = 87;
constexpr SIZE_T kMaxLength = std::numeric_limits<UINT>::max();
} // namespace

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(nullptr), m_bAutoDelete(TRUE) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes) {
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() {
    Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
    Close();
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nBufferSize = lpBuffer != nullptr ? nBufferSize : 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_lpBuffer = lpBuffer;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach() {
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return buffer;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes) {
    return static_cast<BYTE*>(std::malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes) {
    return static_cast<BYTE*>(std::realloc(lpMem, nBytes));
}

void CMemFile::Free(BYTE* lpMem) {
    std::free(lpMem);
}

void CMemFile::GrowFile(SIZE_T dwNewLen) {
    if (dwNewLen <= m_nBufferSize) return;
    if (m_nGrowBytes == 0 || dwNewLen > kMaxLength) AfxThrowMemoryException();
    // Whole grow steps, and at least half as much again, so that many small writes do not
    // copy the content over and over.
    auto roundUp = [this](SIZE_T n) {
        return (n + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    };
    const SIZE_T newSize = std::min(
        std::max(roundUp(dwNewLen), roundUp(m_nBufferSize + m_nBufferSize / 2)), kMaxLength);
    BYTE* grown;
    if (m_lpBuffer != nullptr && m_bAutoDelete) {
        grown = Realloc(m_lpBuffer, newSize);
    } else {
        // An attached buffer stays the caller's: the content moves to a block of our own.
        grown = Alloc(newSize);
        if (grown != nullptr && m_lpBuffer != nullptr) std::memcpy(grown, m_lpBuffer, m_nFileSize);
    }
    if (grown == nullptr) AfxThrowMemoryException();
    m_lpBuffer = grown;
    m_nBufferSize = newSize;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
    if (m_nPosition >= m_nFileSize || nCount == 0) return 0;
    const SIZE_T n = std::min<SIZE_T>(nCount, m_nFileSize - m_nPosition);
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return UINT(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return;
    const SIZE_T end = m_nPosition + nCount;
    GrowFile(end);
    if (m_nPosition > m_nFileSize) {
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    }
    std::memmove(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    if (end > m_nFileSize) m_nFileSize = end;
}

std::uint64_t CMemFile::Seek(std::int64_t lOff, UINT nFrom) {
    std::int64_t base;
    switch (nFrom) {
    case begin:
        base = 0;
        break;
    case current:
        base = std::int64_t(m_nPosition);
        break;
    case end:
        base = std::int64_t(m_nFileSize);
        break;
    default:
        AfxThrowFileException(CFileException::badSeek, kErrorInvalidParameter);
    }
    std::int64_t at;
    if (__builtin_add_overflow(base, lOff, &at) || at < 0 || std::uint64_t(at) > kMaxLength) {
        AfxThrowFileException(CFileException::badSeek, kErrorNegativeSeek);
    }
    m_nPosition = SIZE_T(at);
    return std::uint64_t(at);
}

void CMemFile::SetLength(std::uint64_t dwNewLen) {
    if (dwNewLen > kMaxLength) AfxThrowMemoryException();
    const SIZE_T length = SIZE_T(dwNewLen);
    GrowFile(length);
    if (length > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, length - m_nFileSize);
    m_nFileSize = length;
    if (m_nPosition > length) m_nPosition = length;
}

void CMemFile::Close() {
    if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
}

void CMemFile::Abort() {
    Close();
}
