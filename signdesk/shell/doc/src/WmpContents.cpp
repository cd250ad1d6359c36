#include "doc/WmpContents.h"

#include <memory>
#include <string>

#include <mfc/CArchiveException.h>
#include <mfc/CFileException.h>
#include <mfc/CMemFile.h>
#include <win32/storage.h>

namespace {

// UTF-8 to UTF-16; a byte that starts no character stands for itself.
std::u16string Wide(const char* s) {
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        char32_t c = *p;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (more) c &= 0x3F >> more;
        const unsigned char* q = p + 1;
        for (int i = 0; i < more && (*q & 0xC0) == 0x80; ++i, ++q)
            c = (c << 6) | (*q & 0x3F);
        if (q - p != more + 1) c = *p, q = p + 1;
        p = q;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

[[noreturn]] void Fail(HRESULT hr, LPCSTR path) {
    switch (hr) {
    case STG_E_FILENOTFOUND:
    case STG_E_PATHNOTFOUND:
        AfxThrowFileException(CFileException::fileNotFound, -1, path);
    case STG_E_ACCESSDENIED:
        AfxThrowFileException(CFileException::accessDenied, -1, path);
    default:
        AfxThrowArchiveException(CArchiveException::genericException, path);
    }
}

struct Released {
    void operator()(IStorage* s) const { s->Release(); }
    void operator()(IStream* s) const { s->Release(); }
};

} // namespace

CFile* OpenWmpContents(LPCSTR path) {
    const std::u16string name = Wide(path ? path : "");
    IStorage* rawStorage = nullptr;
    // A plain file is presented as its contents stream; nothing is ever written.
    HRESULT hr = StgOpenStorage(name.c_str(), nullptr,
                                STGM_READ | STGM_CONVERT | STGM_TRANSACTED | STGM_SHARE_DENY_WRITE,
                                nullptr, 0, &rawStorage);
    if (hr != S_OK) Fail(hr, path);
    std::unique_ptr<IStorage, Released> storage(rawStorage);
    IStream* rawStream = nullptr;
    hr = storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &rawStream);
    if (hr == STG_E_FILENOTFOUND) AfxThrowArchiveException(CArchiveException::missingStream, path);
    if (hr != S_OK) Fail(hr, path);
    std::unique_ptr<IStream, Released> stream(rawStream);
    // The layer keeps the stream within the file's length.
    auto file = std::make_unique<CMemFile>(4096);
    BYTE buffer[65536];
    for (;;) {
        ULONG got = 0;
        hr = stream->Read(buffer, sizeof buffer, &got);
        if (hr != S_OK) AfxThrowArchiveException(CArchiveException::genericException, path);
        if (got == 0) break;
        file->Write(buffer, got);
    }
    file->SeekToBegin();
    return file.release();
}
