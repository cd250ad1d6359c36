#pragma once
// Byte building, archive round trips and exception capture for the model's tests.

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CMemFile.h"
#include "model/CSign.h"
#include "shared/SharedObjRef.h"

using Bytes = std::vector<std::uint8_t>;

// Little-endian record builder.
struct ByteWriter {
    Bytes bytes;
    ByteWriter& u8(unsigned v) {
        bytes.push_back(std::uint8_t(v));
        return *this;
    }
    ByteWriter& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    ByteWriter& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    ByteWriter& f32(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    ByteWriter& text(const char* s) {
        for (; *s; ++s)
            u8(std::uint8_t(*s));
        return *this;
    }
    // A new class description: tag, schema, name.
    ByteWriter& newClass(const char* name, unsigned schema) {
        return u16(0xFFFF).u16(schema).u16(unsigned(std::strlen(name))).text(name);
    }
    ByteWriter& append(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
};

// The archive's cause, or -1 when fn throws none.
inline int ArchiveCause(const std::function<void()>& fn, std::string* pFileName = nullptr) {
    try {
        fn();
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        if (pFileName) *pFileName = std::string(LPCSTR(e->m_strFileName));
        e->Delete();
        return cause;
    }
    return -1;
}

// Stores the sign inside a table scope.
inline Bytes StoreSign(CSign& sign) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        sign.Serialize(ar);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

// Loads bytes into the sign inside a table scope, as a file named "design.wtp".
inline void LoadSign(CSign& sign, const Bytes& bytes) {
    CSharedObjTableScope scope;
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    file.SetFilePath("design.wtp");
    CArchive ar(&file, CArchive::load);
    sign.Serialize(ar);
    ar.Close();
}

// Keeps stored serial numbers for its lifetime.
struct KeepSerials {
    KeepSerials() { CSignObj::SetKeepSerials(TRUE); }
    ~KeepSerials() { CSignObj::SetKeepSerials(FALSE); }
};
