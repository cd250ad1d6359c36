#pragma once
// One object's record stored into bytes and loaded back, as a document archive does it.

#include <functional>

#include "ModelTestSupport.h"

inline Bytes StoreObj(const std::function<void(CArchive&)>& fn) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

// Loads from a file named "design.wtp".
inline void LoadObj(CObject& o, const Bytes& bytes) {
    CSharedObjTableScope scope;
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    file.SetFilePath("design.wtp");
    CArchive ar(&file, CArchive::load);
    o.Serialize(ar);
}

// The snapshot an undo record takes, and its restoration.
inline Bytes StoreState(CSignObj& o) {
    return StoreObj([&](CArchive& ar) { o.SerializeState(ar, nullptr); });
}

inline void LoadState(CSignObj& o, const Bytes& bytes) {
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    o.SerializeState(ar, nullptr);
}
