#include "shared/CSharedBmp.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <imaging/ImagingToolkit.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>
#include <mfc/CWinApp.h>

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

// Encodes the picture once; the block is kept for later saves.
void Encode(CDib& dib, HGLOBAL& block, DWORD& size) {
    if (size != 0 || dib.IsEmpty()) return;
    const void* packed = dib.GetInfo();
    HGLOBAL out = nullptr;
    DWORD outSize = 0;
    if (ImgEncode(packed, PackedSize(dib), IMG_FORMAT_PNG, &out, &outSize) != 0) return;
    block = out;
    size = outSize;
}

void WriteBlock(CArchive& ar, HGLOBAL block, DWORD size) {
    if (size == 0) return;
    const void* p = GlobalLock(block);
    ar.Write(p, size);
    GlobalUnlock(block);
}

// Reads size bytes into a new block, kept as the encoded form, and decodes it into dib.
void ReadBlock(CArchive& ar, DWORD size, HGLOBAL& block, DWORD& keptSize, CDib& dib) {
    if (size == 0) return;
    ar.RequireBytes(size);
    block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) AfxThrowMemoryException();
    keptSize = size;
    void* p = GlobalLock(block);
    const UINT got = ar.Read(p, size);
    HGLOBAL packed = got == size ? ImgDecode(p, size) : nullptr;
    GlobalUnlock(block);
    if (got != size) AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    if (packed != nullptr) dib.ChangeFromDIB(packed);
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

void CSharedBmp::LoadFile(const char* path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return;
    std::vector<BYTE> bytes;
    BYTE chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (size_t(1) << 30)) return;
    }
    if (ImgIsPNG(bytes.data(), bytes.size())) {
        if (HGLOBAL packed = ImgDecode(bytes.data(), bytes.size())) image.ChangeFromDIB(packed);
        return;
    }
    CMemFile memory(bytes.data(), UINT(bytes.size()));
    image.Load(memory);
    memory.Detach();
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
