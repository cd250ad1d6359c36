#include "imaging/ImagingToolkit.h"

#include <cstring>

#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>

#include "Codec.h"

using namespace imaging;

int ImgIsPNG(const void* data, SIZE_T size) {
    return data != nullptr && IsPng(static_cast<const BYTE*>(data), size) ? 1 : 0;
}

int ImgEncode(const void* packed, SIZE_T size, int format, HGLOBAL* out, DWORD* outSize) {
    if (packed == nullptr || out == nullptr || outSize == nullptr) return -1;
    if (format != IMG_FORMAT_PNG) return -1;
    PictureView view;
    if (!view.Open(packed, size)) return -1;
    std::vector<BYTE> bytes;
    if (EncodePng(view, bytes) != IMG_SUCCESS) return -1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block == nullptr) return -1;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    *out = block;
    *outSize = DWORD(bytes.size());
    return 0;
}

HGLOBAL ImgDecode(const void* data, SIZE_T size) {
    if (!ImgIsPNG(data, size)) return nullptr;
    Picture picture;
    if (DecodePng(static_cast<const BYTE*>(data), size, picture) != IMG_SUCCESS) return nullptr;
    return picture.Release();
}

HGLOBAL ImgLoadFile(const char* path) {
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (KovaLoadFile(path, &bitmap, 0, 1) != IMG_SUCCESS) return nullptr;
    return KovaDibFromBitmap(&bitmap);
}
