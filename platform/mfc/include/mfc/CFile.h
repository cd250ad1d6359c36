#pragma once
// Binary file on a file descriptor. Paths may use '\' or '/'. Failures throw CFileException
// with the cause, the Win32 error code and the file's name; Open reports them instead.

#include <cstdint>

#include "mfc/CObject.h"
#include "mfc/CString.h"

class CFileException;

struct CFileStatus {
    std::int64_t m_ctime; // seconds since 1970 (UTC)
    std::int64_t m_mtime;
    std::int64_t m_atime;
    std::int64_t m_size;
    BYTE m_attribute; // CFile::Attribute bits
    char m_szFullName[MAX_PATH];
};

class MFC_API CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum Attribute {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile();
    // Takes over an open descriptor; it is not closed by the destructor.
    explicit CFile(int hFile);
    // Opens or throws.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    // Sharing flags are accepted and not enforced. A file without write permission counts as
    // read-only and is refused for writing (accessDenied), whoever the user is.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual std::uint64_t Seek(std::int64_t lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    std::uint64_t SeekToEnd() { return Seek(0, end); }
    virtual std::uint64_t GetLength() const;
    virtual void SetLength(std::uint64_t dwNewLen);
    virtual std::uint64_t GetPosition() const;
    // Writes go straight to the system; Flush only checks that the file is open.
    virtual void Flush();
    virtual void Close();
    // Closes without throwing.
    virtual void Abort();

    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(LPCSTR lpszNewName);
    // The part after the last '/' or '\', and that without its extension.
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;

    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
    static void Remove(LPCSTR lpszFileName);
    // FALSE when the file does not exist. Read-only means no write permission at all.
    static BOOL GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus);
    // Applies the read-only attribute (other attributes have no equivalent here) and, when
    // not 0, the access and modification times.
    static void SetStatus(LPCSTR lpszFileName, const CFileStatus& status);

    int m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

protected:
    [[noreturn]] void ThrowErrno(int nErrno) const;
};
