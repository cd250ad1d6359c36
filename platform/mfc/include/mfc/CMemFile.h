#pragma once
// File in memory. It grows in steps of nGrowBytes; a file with a grow step of 0 cannot grow
// and throws CMemoryException when written past its buffer.

#include "mfc/CFile.h"

class MFC_API CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Same as Attach.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // Uses the caller's buffer, which stays the caller's until it has to grow (it is then
    // moved to a block of this file). With nGrowBytes 0 the file's length is the buffer's
    // size; otherwise the file starts empty.
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller (a block of this file is released with free()) and
    // leaves the file empty.
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    // A position past the end is allowed; writing there fills the gap with zeros.
    std::uint64_t Seek(std::int64_t lOff, UINT nFrom) override;
    std::uint64_t GetLength() const override { return m_nFileSize; }
    void SetLength(std::uint64_t dwNewLen) override;
    std::uint64_t GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    void Close() override;
    void Abort() override;

protected:
    // Memory of the file's own blocks; a derived class may take it from elsewhere.
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);
    void GrowFile(SIZE_T dwNewLen);

    UINT m_nGrowBytes;
    SIZE_T m_nPosition;
    SIZE_T m_nBufferSize;
    SIZE_T m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete; // the buffer is this file's own block
};
