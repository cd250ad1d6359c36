#include "mfc/CArchive.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "mfc/CArchiveException.h"
#include "mfc/CFile.h"

namespace {

// Typed reads need up to 8 bytes in the buffer at once.
constexpr int kMinBufSize = 128;
// Object records nest through the objects' Serialize (an array holding arrays ...); each
// level takes stack, so crafted nesting is refused well before the stack runs out.
constexpr unsigned kMaxObjectNesting = 1000;

// Entry of the table of classes and objects read so far; index 0 is the null object.
struct LoadEntry {
    bool isClass;
    CRuntimeClass* pClass;
    CObject* pObject;
    UINT schema;
};

} // namespace

// Classes and objects share one running index, from 1 on, in the order the archive first
// names them.
struct CArchive::Maps {
    std::unordered_map<const void*, DWORD> store;
    std::vector<LoadEntry> load{LoadEntry{false, nullptr, nullptr, 0}};
    DWORD nextIndex = 1;
    unsigned loadDepth = 0; // object records being read, one inside the other
};

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile), m_nMode(nMode) {
    if (pFile == nullptr) AfxThrowInvalidArgException();
    m_strFileName = pFile->GetFilePath();
    m_bUserBuf = lpBuf != nullptr && nBufSize >= kMinBufSize;
    m_nBufSize = std::max(nBufSize, kMinBufSize);
    m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(lpBuf) : new BYTE[std::size_t(m_nBufSize)];
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive() {
    if (m_pFile != nullptr && (m_nMode & bNoFlushOnDelete) == 0) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
    }
    if (!m_bUserBuf) delete[] m_lpBufStart;
}

void CArchive::Throw(int cause) const {
    AfxThrowArchiveException(cause, m_strFileName);
}

void CArchive::CheckStoring() const {
    if (!IsStoring()) Throw(CArchiveException::readOnly);
    if (m_pFile == nullptr) Throw(CArchiveException::genericException);
}

void CArchive::CheckLoading() const {
    if (!IsLoading()) Throw(CArchiveException::writeOnly);
    if (m_pFile == nullptr) Throw(CArchiveException::genericException);
}

CArchive::Maps& CArchive::GetMaps() {
    if (!m_pMaps) m_pMaps = std::make_unique<Maps>();
    return *m_pMaps;
}

BOOL CArchive::IsBufferEmpty() const {
    return IsLoading() && m_lpBufCur == m_lpBufMax;
}

void CArchive::Flush() {
    if (m_pFile == nullptr) return;
    if (IsLoading()) {
        const std::int64_t unread = m_lpBufMax - m_lpBufCur;
        if (unread != 0) m_pFile->Seek(-unread, CFile::current);
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    } else if (m_lpBufCur != m_lpBufStart) {
        const UINT n = UINT(m_lpBufCur - m_lpBufStart);
        m_lpBufCur = m_lpBufStart;
        m_pFile->Write(m_lpBufStart, n);
    }
}

void CArchive::Close() {
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() {
    m_pFile = nullptr;
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

void CArchive::FillBuffer(UINT nBytesNeeded) {
    const std::size_t have = std::size_t(m_lpBufMax - m_lpBufCur);
    if (have != 0 && m_lpBufCur != m_lpBufStart) std::memmove(m_lpBufStart, m_lpBufCur, have);
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + have;
    BYTE* const end = m_lpBufStart + m_nBufSize;
    while (UINT(m_lpBufMax - m_lpBufCur) < nBytesNeeded && m_lpBufMax < end) {
        const UINT got = m_pFile->Read(m_lpBufMax, UINT(end - m_lpBufMax));
        if (got == 0) break;
        m_lpBufMax += got;
    }
}

void CArchive::ReadBytes(void* p, UINT n) {
    CheckLoading();
    if (UINT(m_lpBufMax - m_lpBufCur) < n) {
        FillBuffer(n);
        if (UINT(m_lpBufMax - m_lpBufCur) < n) Throw(CArchiveException::endOfFile);
    }
    std::memcpy(p, m_lpBufCur, n);
    m_lpBufCur += n;
}

void CArchive::WriteBytes(const void* p, UINT n) {
    CheckStoring();
    if (UINT(m_lpBufMax - m_lpBufCur) < n) Flush();
    std::memcpy(m_lpBufCur, p, n);
    m_lpBufCur += n;
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    CheckLoading();
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = std::min(nMax, UINT(m_lpBufMax - m_lpBufCur));
    if (done != 0) std::memcpy(out, m_lpBufCur, done);
    m_lpBufCur += done;
    while (done < nMax) {
        const UINT left = nMax - done;
        if (left >= UINT(m_nBufSize)) {
            const UINT got = m_pFile->Read(out + done, left);
            if (got == 0) break;
            done += got;
        } else {
            FillBuffer(left);
            const UINT got = std::min(left, UINT(m_lpBufMax - m_lpBufCur));
            if (got == 0) break;
            std::memcpy(out + done, m_lpBufCur, got);
            m_lpBufCur += got;
            done += got;
        }
    }
    return done;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    CheckStoring();
    if (nMax == 0) return;
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    if (nMax >= UINT(m_nBufSize)) {
        Flush();
        m_pFile->Write(in, nMax);
        return;
    }
    WriteBytes(in, nMax);
}

std::uint64_t CArchive::BytesLeft() {
    const std::uint64_t length = m_pFile->GetLength();
    const std::uint64_t position = m_pFile->GetPosition();
    return std::uint64_t(m_lpBufMax - m_lpBufCur) + (length > position ? length - position : 0);
}

void CArchive::RequireBytes(std::uint64_t nBytes) {
    CheckLoading();
    if (nBytes <= std::uint64_t(m_lpBufMax - m_lpBufCur)) return;
    if (BytesLeft() < nBytes) Throw(CArchiveException::endOfFile);
}

// ---- numbers, little-endian ----

namespace {

template <class T> void toLittleEndian(T value, BYTE* out) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[i] = BYTE(std::uint64_t(value) >> (8 * i));
}

template <class T> T fromLittleEndian(const BYTE* in) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= std::uint64_t(in[i]) << (8 * i);
    return T(v);
}

} // namespace

CArchive& CArchive::operator<<(BYTE by) {
    WriteBytes(&by, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD w) {
    BYTE b[2];
    toLittleEndian(w, b);
    WriteBytes(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD dw) {
    BYTE b[4];
    toLittleEndian(dw, b);
    WriteBytes(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(unsigned long long ull) {
    BYTE b[8];
    toLittleEndian(ull, b);
    WriteBytes(b, 8);
    return *this;
}

CArchive& CArchive::operator<<(long long ll) {
    return *this << static_cast<unsigned long long>(ll);
}

CArchive& CArchive::operator<<(float f) {
    DWORD bits;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    return *this << bits;
}

CArchive& CArchive::operator<<(double d) {
    unsigned long long bits;
    static_assert(sizeof bits == sizeof d);
    std::memcpy(&bits, &d, sizeof bits);
    return *this << bits;
}

CArchive& CArchive::operator<<(LPCSTR lpsz) {
    return *this << CString(lpsz);
}

CArchive& CArchive::operator>>(BYTE& by) {
    ReadBytes(&by, 1);
    return *this;
}

CArchive& CArchive::operator>>(bool& b) {
    BYTE by;
    *this >> by;
    b = by != 0;
    return *this;
}

CArchive& CArchive::operator>>(WORD& w) {
    BYTE b[2];
    ReadBytes(b, 2);
    w = fromLittleEndian<WORD>(b);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& dw) {
    BYTE b[4];
    ReadBytes(b, 4);
    dw = fromLittleEndian<DWORD>(b);
    return *this;
}

CArchive& CArchive::operator>>(unsigned long long& ull) {
    BYTE b[8];
    ReadBytes(b, 8);
    ull = fromLittleEndian<unsigned long long>(b);
    return *this;
}

CArchive& CArchive::operator>>(long long& ll) {
    unsigned long long v;
    *this >> v;
    ll = static_cast<long long>(v);
    return *this;
}

CArchive& CArchive::operator>>(float& f) {
    DWORD bits;
    *this >> bits;
    std::memcpy(&f, &bits, sizeof f);
    return *this;
}

CArchive& CArchive::operator>>(double& d) {
    unsigned long long bits;
    *this >> bits;
    std::memcpy(&d, &bits, sizeof d);
    return *this;
}

// ---- counts and strings ----

DWORD CArchive::ReadCount() {
    WORD w;
    *this >> w;
    if (w != 0xFFFF) return w;
    DWORD dw;
    *this >> dw;
    return dw;
}

void CArchive::WriteCount(DWORD dwCount) {
    if (dwCount < 0xFFFF) {
        *this << WORD(dwCount);
    } else {
        *this << WORD(0xFFFF) << dwCount;
    }
}

CArchive& operator<<(CArchive& ar, const CString& str) {
    const DWORD length = DWORD(str.GetLength());
    if (length < 0xFF) {
        ar << BYTE(length);
    } else if (length < 0xFFFE) {
        ar << BYTE(0xFF) << WORD(length);
    } else {
        ar << BYTE(0xFF) << WORD(0xFFFF) << length;
    }
    ar.Write(static_cast<LPCSTR>(str), length);
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& str) {
    DWORD length;
    BYTE b;
    ar >> b;
    if (b < 0xFF) {
        length = b;
    } else {
        WORD w;
        ar >> w;
        if (w == 0xFFFE) {
            // Wide-character string of the Unicode form of the format: not read here.
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        }
        if (w < 0xFFFF) {
            length = w;
        } else {
            ar >> length;
        }
    }
    // Check before allocating: the length comes from the file.
    if (length > DWORD(std::numeric_limits<int>::max())) {
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
    ar.RequireBytes(length);
    CString result;
    char* p = result.GetBufferSetLength(int(length));
    if (ar.Read(p, length) != length) {
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
    str = std::move(result);
    return ar;
}

// ---- object records ----

void CArchive::MapObject(const CObject* pOb) {
    Maps& maps = GetMaps();
    if (IsStoring()) {
        if (pOb != nullptr && maps.store.find(pOb) == maps.store.end()) {
            maps.store.emplace(pOb, maps.nextIndex++);
        }
    } else {
        maps.load.push_back(LoadEntry{false, nullptr, const_cast<CObject*>(pOb), 0});
        ++maps.nextIndex;
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
    CheckStoring();
    // A class without a schema cannot be created when the archive is read back.
    if (pClassRef == nullptr || pClassRef->m_wSchema == 0xFFFF) Throw(CArchiveException::badClass);
    Maps& maps = GetMaps();
    const auto found = maps.store.find(pClassRef);
    if (found != maps.store.end()) {
        const DWORD index = found->second;
        if (index < wBigObjectTag) {
            *this << WORD(wClassTag | index);
        } else {
            *this << wBigObjectTag << DWORD(dwBigClassTag | index);
        }
        return;
    }
    *this << wNewClassTag;
    pClassRef->Store(*this);
    maps.store.emplace(pClassRef, maps.nextIndex++);
}

void CArchive::WriteObject(const CObject* pOb) {
    CheckStoring();
    if (pOb == nullptr) {
        *this << wNullTag;
        return;
    }
    Maps& maps = GetMaps();
    const auto found = maps.store.find(pOb);
    if (found != maps.store.end()) {
        const DWORD index = found->second;
        if (index < wBigObjectTag) {
            *this << WORD(index);
        } else {
            *this << wBigObjectTag << index;
        }
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    maps.store.emplace(pOb, maps.nextIndex++);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema,
                                   DWORD* pObTag) {
    CheckLoading();
    Maps& maps = GetMaps();
    WORD wTag;
    *this >> wTag;

    CRuntimeClass* pClass;
    UINT schema;
    if (wTag == wNewClassTag) {
        pClass = CRuntimeClass::Load(*this, &schema);
        if (pClass == nullptr) Throw(CArchiveException::badClass);
        // The stored schema must be the one this program registers for the class; a class
        // registered with VERSIONABLE_SCHEMA takes any and reads it with GetObjectSchema.
        if ((pClass->m_wSchema & VERSIONABLE_SCHEMA) == 0 && schema != pClass->m_wSchema) {
            Throw(CArchiveException::badSchema);
        }
        maps.load.push_back(LoadEntry{true, pClass, nullptr, schema});
        ++maps.nextIndex;
    } else {
        DWORD obTag;
        if (wTag == wBigObjectTag) {
            *this >> obTag;
        } else {
            obTag = (DWORD(wTag & wClassTag) << 16) | DWORD(wTag & ~wClassTag);
        }
        if ((obTag & dwBigClassTag) == 0) {
            if (pObTag == nullptr) Throw(CArchiveException::badIndex);
            *pObTag = obTag;
            return nullptr;
        }
        const DWORD index = obTag & ~dwBigClassTag;
        if (index == 0 || index >= maps.load.size() || !maps.load[index].isClass) {
            Throw(CArchiveException::badIndex);
        }
        pClass = maps.load[index].pClass;
        schema = maps.load[index].schema;
    }
    if (pClassRefRequested != nullptr && !pClass->IsDerivedFrom(pClassRefRequested)) {
        Throw(CArchiveException::badClass);
    }
    if (pSchema != nullptr) *pSchema = schema;
    return pClass;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef) {
    if (IsStoring()) {
        WriteClass(pClassRef);
    } else {
        ReadClass(pClassRef);
    }
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
    CheckLoading();
    UINT schema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClass = ReadClass(pClassRefRequested, &schema, &obTag);
    Maps& maps = GetMaps();
    if (pClass == nullptr) {
        if (obTag >= maps.load.size() || maps.load[obTag].isClass) {
            Throw(CArchiveException::badIndex);
        }
        CObject* pOb = maps.load[obTag].pObject;
        if (pOb != nullptr && pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested)) {
            Throw(CArchiveException::badClass);
        }
        return pOb;
    }

    if (maps.loadDepth >= kMaxObjectNesting) Throw(CArchiveException::genericException);
    CObject* pOb = pClass->CreateObject();
    if (pOb == nullptr) Throw(CArchiveException::badClass);
    // Entered before its data is read, so that the data may refer back to the object.
    const std::size_t slot = maps.load.size();
    maps.load.push_back(LoadEntry{false, nullptr, pOb, 0});
    ++maps.nextIndex;
    const UINT savedSchema = m_nObjectSchema;
    m_nObjectSchema = schema;
    ++maps.loadDepth;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        --m_pMaps->loadDepth;
        m_nObjectSchema = savedSchema;
        m_pMaps->load[slot].pObject = nullptr;
        delete pOb;
        throw;
    }
    --m_pMaps->loadDepth;
    m_nObjectSchema = savedSchema;
    return pOb;
}

UINT CArchive::GetObjectSchema() {
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = UINT(-1);
    return schema;
}

CArchive& operator<<(CArchive& ar, const CObject* pOb) {
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb) {
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& pOb) {
    pOb = ar.ReadObject(nullptr);
    return ar;
}
