#include "shared/CSharedBmp.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <guardalloc/Guardalloc.h>
#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>
#include <mfc/CWinApp.h>

#include "shared/CTempFile.h"

IMPLEMENT_SERIAL(CSharedBmp, CSharedObj, VERSIONABLE_SCHEMA | 0)

namespace {

constexpr const char GreyMarker[] = "[*]";

bool EndsWithMarker(const char* name) {
    const size_t n = std::strlen(name), m = std::strlen(GreyMarker);
    return n >= m && std::strcmp(name + n - m, GreyMarker) == 0;
}

// Bytes of the packed picture: header, table and rows.
DWORD PackedSize(const CDib& dib) {
    if (dib.IsEmpty() || dib.GetInfo() == nullptr) return 0;
    return DWORD(dib.GetInfo()->bmiHeader.biSize + DWORD(dib.GetPaletteSize()) +
                 DWORD(dib.GetTotalBytes()));
}

void FreeBlock(HGLOBAL& block, DWORD& size) {
    if (block != nullptr) GlobalFree(block);
    block = nullptr;
    size = 0;
}

// Encodes the picture once in the toolkit's document encoding; the block is kept for later
// saves.
void Encode(CDib& dib, HGLOBAL& block, DWORD& size) {
    if (size != 0 || dib.IsEmpty()) return;
    const int bits = dib.GetBitsPerPixel() > 24 ? 24 : dib.GetBitsPerPixel();
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (ConvertDibToToolkitBitmap(&dib, &bitmap) != 0) return;
    HGLOBAL out = nullptr;
    DWORD outSize = 0;
    if (KovaSaveMemory(&out, &bitmap, IMG_PNG, bits, 0, &outSize) == IMG_SUCCESS) {
        block = out;
        size = outSize;
    }
    ConvertToolkitBitmapToDib(&bitmap, &dib);
}

void WriteBlock(CArchive& ar, HGLOBAL block, DWORD size) {
    if (size == 0) return;
    const void* p = GlobalLock(block);
    ar.Write(p, size);
    GlobalUnlock(block);
}

// Reads size bytes into a new block, kept as the encoded form, and decodes it into dib. The
// size is checked against the archive before anything is allocated.
void ReadBlock(CArchive& ar, DWORD size, HGLOBAL& block, DWORD& keptSize, CDib& dib) {
    if (size == 0) return;
    ar.RequireBytes(size);
    block = SafeGAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) AfxThrowMemoryException();
    keptSize = size;
    void* p = GlobalLock(block);
    const UINT got = ar.Read(p, size);
    GlobalUnlock(block);
    if (got != size) AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    if (KovaMemoryInfo(block, &info, size) != IMG_SUCCESS) return;
    ProbeGlobalMemory(DWORD(std::min<std::uint64_t>(
        0xFFFFFFFFu, std::uint64_t(info.sizeDisk) + 4ull * std::uint64_t(info.height) + 4096)));
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (KovaLoadMemory(block, &bitmap, 0, 1, 3, nullptr, nullptr, size) != IMG_SUCCESS) return;
    ConvertToolkitBitmapToDib(&bitmap, &dib);
}

CSharedBmp* CloneWith(const CSharedBmp& from, void* image) {
    auto* copy = new CSharedBmp;
    if (image != nullptr) copy->image.ChangeFromDIB(image);
    if (void* mask = from.mask.Copy()) copy->mask.ChangeFromDIB(mask);
    return copy;
}

} // namespace

CObArray& SharedBitmapList() {
    static CObArray list;
    return list;
}

CSharedBmp::CSharedBmp() = default;

CSharedBmp::CSharedBmp(const char* key) : fileName(key) {
    if (key == nullptr) key = "";
    const bool grey = EndsWithMarker(key);
    const int found = FindByName(key);
    if (found >= 0) {
        auto* pFirst = static_cast<CSharedBmp*>(SharedBitmapList().GetAt(found));
        if (void* copy = pFirst->image.Copy()) image.ChangeFromDIB(copy);
    } else {
        std::string path(key);
        if (grey) path.resize(path.size() - std::strlen(GreyMarker));
        LoadFile(path.c_str());
    }
    if (grey && !image.IsEmpty()) image.GrayScale();
    SharedBitmapList().Add(this);
}

CSharedBmp::~CSharedBmp() {
    CObArray& list = SharedBitmapList();
    for (int i = 0; i < list.GetSize(); ++i) {
        if (list.GetAt(i) == this) {
            list.RemoveAt(i);
            break;
        }
    }
    FreeBlock(encodedImage, encodedImageSize);
    FreeBlock(encodedMask, encodedMaskSize);
}

// The toolkit delivers the picture upright: no row reversal after the load.
void CSharedBmp::LoadFile(const char* path) {
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (KovaLoadFile(path, &bitmap, 0, 1) != IMG_SUCCESS) return;
    ConvertToolkitBitmapToDib(&bitmap, &image);
}

void CSharedBmp::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Encode(image, encodedImage, encodedImageSize);
        Encode(mask, encodedMask, encodedMaskSize);
        ar << Schema << encodedImageSize << encodedMaskSize;
        WriteBlock(ar, encodedImage, encodedImageSize);
        WriteBlock(ar, encodedMask, encodedMaskSize);
        ar << fileName;
        return;
    }
    WORD schema = 0;
    DWORD imageSize = 0, maskSize = 0;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> imageSize >> maskSize;
    image.Destroy();
    mask.Destroy();
    FreeBlock(encodedImage, encodedImageSize);
    FreeBlock(encodedMask, encodedMaskSize);
    ReadBlock(ar, imageSize, encodedImage, encodedImageSize, image);
    ReadBlock(ar, maskSize, encodedMask, encodedMaskSize, mask);
    if (schema >= 2) ar >> fileName;
    if (!fileName.IsEmpty() && FindByName(fileName) < 0) SharedBitmapList().Add(this);
    if ((imageSize != 0 && image.IsEmpty()) || (maskSize != 0 && mask.IsEmpty())) {
        AfxMessageBox("Unable to load bitmap");
        if (image.IsEmpty()) image.Create(1, 1, 24);
        mask.Destroy();
    }
}

DWORD CSharedBmp::GetMemSize() {
    if (m_nRefCount != 1) return 0;
    return PackedSize(image) + 4 + PackedSize(mask) + encodedImageSize + encodedMaskSize;
}

CSharedBmp* CSharedBmp::Clone() {
    return CloneWith(*this, image.Copy());
}

CSharedBmp* CSharedBmp::Clone24() {
    return CloneWith(*this, image.Copy24());
}

int ConvertToolkitBitmapToDib(KOVABITMAP* bitmap, CDib* dib) {
    if (HGLOBAL packed = KovaDibFromBitmap(bitmap)) {
        dib->ChangeFromDIB(packed);
        return 0;
    }
    // Not enough memory to hand the picture over: through a bitmap file.
    CTempFile file;
    DWORD written = 0;
    if (file.IsOpen() && KovaSaveFileOffset(file.Handle(), 0, &written, bitmap, IMG_BMP,
                                            bitmap->bitsPerPixel, 0, 2, nullptr, nullptr) >= 1) {
        KovaFreeBitmap(bitmap);
        file.SeekToBegin();
        dib->Load(file);
        return dib->IsEmpty() ? -1 : 0;
    }
    AfxMessageBox("No memory and no hard disk space in the Temp directory", MB_OK);
    KovaFreeBitmap(bitmap);
    dib->Destroy();
    return -1;
}

int ConvertDibToToolkitBitmap(CDib* dib, KOVABITMAP* bitmap) {
    HGLOBAL packed = static_cast<HGLOBAL>(dib->ChangeToDIB());
    if (packed == nullptr) return -1;
    if (KovaBitmapFromDib(bitmap, packed) >= 0) return 0;
    // The toolkit did not take it: the picture goes back, and over through a bitmap file.
    dib->ChangeFromDIB(packed);
    CTempFile file;
    const int saved = file.IsOpen() ? dib->Save(file) : -1;
    if (saved <= 0) return -1;
    CDib keep(std::move(*dib));
    if (KovaLoadFileOffset(file.Handle(), 0, DWORD(saved), bitmap, 0, 1, 3, nullptr, nullptr) >= 1)
        return 0;
    *dib = std::move(keep);
    return -1;
}

int ProbeGlobalMemory(DWORD bytes) {
    HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr) return -1;
    if (void* p = GlobalLock(block)) {
        std::memset(p, 0, bytes);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return 0;
}

int CSharedBmp::FindByName(const char* name) {
    if (name == nullptr || *name == '\0') return -1;
    CObArray& list = SharedBitmapList();
    for (int i = 0; i < list.GetSize(); ++i) {
        if (static_cast<CSharedBmp*>(list.GetAt(i))->fileName == name) return i;
    }
    return -1;
}

BOOL CSharedBmp::HasColorTable() const {
    return !image.IsEmpty() && image.GetBitsPerPixel() <= 8 ? 1 : 0;
}
