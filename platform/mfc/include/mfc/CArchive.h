#pragma once
// Binary archive on a file, in the framework's byte format: every number little-endian,
// strings with a length prefix, objects as tagged records that name their class once and
// refer back to classes and objects already written.

#include <memory>

#include "mfc/CObject.h"
#include "mfc/CString.h"

class CFile;
class CDocument;

class MFC_API CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // Object record tags.
    static constexpr WORD wNullTag = 0;
    static constexpr WORD wNewClassTag = 0xFFFF;
    static constexpr WORD wClassTag = 0x8000;
    static constexpr WORD wBigObjectTag = 0x7FFF;
    static constexpr DWORD dwBigClassTag = 0x80000000u;

    // The archive does not own pFile. lpBuf, when given, is used as the buffer of nBufSize
    // bytes and stays the caller's.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Flushes a storing archive that was not closed; errors of that flush are lost, so close
    // archives explicitly.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // TRUE when a loading archive has no bytes left in its buffer.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const { return m_pFile; }

    // Storing: writes the buffer to the file. Loading: discards the buffered bytes and moves
    // the file back to the archive's read position, so that the file can be used directly.
    void Flush();
    // Flushes and detaches from the file (which stays open).
    void Close();
    // Detaches without flushing; never throws.
    void Abort();

    // Raw bytes. Read returns the number of bytes read, fewer at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);

    // Throws CArchiveException(endOfFile) unless at least nBytes remain to be read (the
    // buffer plus the file's GetLength - GetPosition). Readers call it before they allocate
    // for a count taken from the stream.
    void RequireBytes(std::uint64_t nBytes);

    // Element counts: WORD below 0xFFFF, else 0xFFFF followed by a DWORD.
    DWORD ReadCount();
    void WriteCount(DWORD dwCount);

    // Object records.
    void WriteObject(const CObject* pOb);
    // The object of the next record: null for the null tag, the earlier object for a back
    // reference, else a new object of the stored class. The stored class schema must equal
    // the registered one unless that has VERSIONABLE_SCHEMA, else badSchema. An object
    // that is not of pClassRefRequested (when given) throws badClass. A record nested more
    // than 1000 deep inside other records being read throws genericException.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    // Reads a class tag or description. An object tag is returned through pObTag (and the
    // result is null); without pObTag it throws badIndex.
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr,
                             UINT* pSchema = nullptr, DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Enters an object in the table of written or read objects without a record of its own.
    void MapObject(const CObject* pOb);

    // Stored schema of the object being read; reading it resets it to (UINT)-1.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch) { return *this << BYTE(ch); }
    CArchive& operator<<(signed char ch) { return *this << BYTE(ch); }
    CArchive& operator<<(bool b) { return *this << BYTE(b ? 1 : 0); }
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short n) { return *this << WORD(n); }
    CArchive& operator<<(DWORD dw);                            // also UINT and unsigned
    CArchive& operator<<(LONG l) { return *this << DWORD(l); } // also int
    CArchive& operator<<(long long ll);
    CArchive& operator<<(unsigned long long ull);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    // long is 32 bits in the stored formats but 64 here: say which one is meant.
    CArchive& operator<<(long) = delete;
    CArchive& operator<<(unsigned long) = delete;
    // A C string is written as a CString (a pointer would otherwise become a bool byte).
    CArchive& operator<<(LPCSTR lpsz);
    CArchive& operator<<(const void*) = delete;

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch) { return *this >> reinterpret_cast<BYTE&>(ch); }
    CArchive& operator>>(signed char& ch) { return *this >> reinterpret_cast<BYTE&>(ch); }
    CArchive& operator>>(bool& b);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& n) { return *this >> reinterpret_cast<WORD&>(n); }
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(LONG& l) { return *this >> reinterpret_cast<DWORD&>(l); }
    CArchive& operator>>(long long& ll);
    CArchive& operator>>(unsigned long long& ull);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(long&) = delete;
    CArchive& operator>>(unsigned long&) = delete;

    CFile* m_pFile;
    CString m_strFileName; // the file's path, named in exceptions
    CDocument* m_pDocument = nullptr;

private:
    struct Maps;

    void FillBuffer(UINT nBytesNeeded);
    void ReadBytes(void* p, UINT n);
    void WriteBytes(const void* p, UINT n);
    std::uint64_t BytesLeft();
    [[noreturn]] void Throw(int cause) const;
    void CheckStoring() const;
    void CheckLoading() const;
    Maps& GetMaps();

    UINT m_nMode;
    int m_nBufSize;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax; // loading: end of the bytes read; storing: end of the buffer
    bool m_bUserBuf;
    UINT m_nObjectSchema = UINT(-1);
    std::unique_ptr<Maps> m_pMaps;
};

MFC_API CArchive& operator<<(CArchive& ar, const CObject* pOb);
MFC_API CArchive& operator>>(CArchive& ar, CObject*& pOb);
MFC_API CArchive& operator>>(CArchive& ar, const CObject*& pOb);

// Length prefix: BYTE below 255; else 0xFF and a WORD below 0xFFFE; else 0xFF, 0xFFFF and
// a DWORD. The prefix 0xFF 0xFFFE marks a wide-character string, which is not supported
// and throws genericException.
MFC_API CArchive& operator<<(CArchive& ar, const CString& str);
MFC_API CArchive& operator>>(CArchive& ar, CString& str);

template <class T> CArchive& SdReadTypedObject(CArchive& ar, T*& pOb, CRuntimeClass* pClass) {
    pOb = static_cast<T*>(ar.ReadObject(pClass));
    return ar;
}
