#pragma once
// Reading compound files: the storage and its streams. Compound files are never written.
// STGM_CONVERT presents a plain file as its "Contents" stream.

#include "win32/base.h"
#include "win32/export.h"
#include "win32/shlobj.h"

using OLECHAR = char16_t;
using LPCOLESTR = const OLECHAR*;

constexpr HRESULT S_FALSE = 1;
constexpr HRESULT STG_E_FILENOTFOUND = HRESULT(0x80030002u);
constexpr HRESULT STG_E_PATHNOTFOUND = HRESULT(0x80030003u);
constexpr HRESULT STG_E_ACCESSDENIED = HRESULT(0x80030005u);
constexpr HRESULT STG_E_INVALIDPOINTER = HRESULT(0x80030009u);
constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);
constexpr HRESULT STG_E_READFAULT = HRESULT(0x8003001Eu);
constexpr HRESULT STG_E_FILEALREADYEXISTS = HRESULT(0x80030050u);
constexpr HRESULT STG_E_DOCFILECORRUPT = HRESULT(0x80030109u);

constexpr DWORD STGM_READ = 0x0;
constexpr DWORD STGM_WRITE = 0x1;
constexpr DWORD STGM_READWRITE = 0x2;
constexpr DWORD STGM_SHARE_DENY_NONE = 0x40;
constexpr DWORD STGM_SHARE_DENY_WRITE = 0x20;
constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x10;
constexpr DWORD STGM_CONVERT = 0x20000;
constexpr DWORD STGM_TRANSACTED = 0x10000;

constexpr DWORD STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2;

class IStream {
public:
    // Up to count bytes; S_OK also at the end (fewer bytes read), an error code for a
    // damaged stream.
    virtual HRESULT Read(void* data, ULONG count, ULONG* read) = 0;
    virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) = 0;
    // The stream's length in bytes.
    virtual std::uint64_t Size() const = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IStream() = default;
};

class IStorage {
public:
    // A stream at the storage's top level; STG_E_FILENOTFOUND when there is none, the
    // archive's corruption code when its size passes the file's.
    virtual HRESULT OpenStream(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2,
                               IStream** stream) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IStorage() = default;
};

// S_OK for a compound file, S_FALSE for another file, STG_E_FILENOTFOUND for none.
WIN32_API HRESULT StgIsStorageFile(LPCOLESTR name);
// priority, exclude and reserved must be null or zero. Write modes are refused
// (STG_E_ACCESSDENIED). A plain file opens only with STGM_CONVERT, else
// STG_E_FILEALREADYEXISTS; a damaged compound file gives STG_E_DOCFILECORRUPT.
WIN32_API HRESULT StgOpenStorage(LPCOLESTR name, IStorage* priority, DWORD mode, void* exclude,
                                 DWORD reserved, IStorage** storage);
