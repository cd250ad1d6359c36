// Bitmap objects: construction, their records, shared pictures, transforms and distortion.
#include "content/CBitmapObj.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <compressor/ArchiveCompressor.h>
#include <guardalloc/Guardalloc.h>
#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CException.h>
#include <mfc/CWinApp.h>
#include <pathkit/NonLinearTrans.h>
#include <rasterkit/DibDistortionBase.h>
#include <settings/CUnit.h>
#include <shared/SharedObjRef.h>

IMPLEMENT_SERIAL(CBitmapObj, CClippedObj, VERSIONABLE_SCHEMA | 0)

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// A block of size bytes read from the archive into movable memory, its size checked against
// the archive first; null when memory could not be had.
HGLOBAL ReadEncoded(CArchive& ar, DWORD size) {
    ar.RequireBytes(size);
    HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) AfxThrowMemoryException();
    void* p = GlobalLock(block);
    const UINT got = ar.Read(p, size);
    GlobalUnlock(block);
    if (got != size) {
        GlobalFree(block);
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
    return block;
}

// Decodes an encoded block (freed here) into dib; a block that does not decode leaves dib
// empty.
void DecodeInto(HGLOBAL block, DWORD size, CDib& dib, bool prepared) {
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    int result;
    if (prepared) {
        KOVAFILEINFO info;
        KovaInitFileInfo(&info);
        result = KovaMemoryInfo(block, &info, size);
        if (result == IMG_SUCCESS) {
            KovaInitBitmap(&bitmap, info.width, info.height, info.bitsPerPixel);
            result = KovaLoadMemoryPrepared(block, &bitmap, 0, 1, size);
        }
    } else {
        result = KovaLoadMemory(block, &bitmap, 0, 1, 3, nullptr, nullptr, size);
    }
    GlobalFree(block);
    if (result == IMG_SUCCESS) ConvertToolkitBitmapToDib(&bitmap, &dib);
}

// Reads what older records hold in place of the shared reference: the encoded picture and
// mask, LZSS-compressed in schema 1.
CSharedBmp* ReadOldPicture(CArchive& ar, WORD schema) {
    DWORD imageSize = 0, packedImage = 0, maskSize = 0, packedMask = 0;
    if (schema == 1)
        ar >> imageSize >> packedImage >> maskSize >> packedMask;
    else
        ar >> imageSize >> maskSize;
    std::unique_ptr<CSharedBmp> shared(new CSharedBmp);
    auto one = [&](DWORD size, DWORD packed, CDib& dib) {
        if (size == 0) return;
        if (schema == 2) {
            DecodeInto(ReadEncoded(ar, size), size, dib, false);
            return;
        }
        // The compressed bytes must be there, and able to expand to the size recorded, before
        // the block is had; a size they cannot fill leaves the picture missing.
        ar.RequireBytes(packed);
        if (size > ArchiveCompressor::MaxExpandedSize(packed)) {
            BYTE skip[4096];
            for (DWORD left = packed; left > 0;) {
                const UINT n = UINT(left < sizeof skip ? left : sizeof skip);
                if (ar.Read(skip, n) != n)
                    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
                left -= n;
            }
            return;
        }
        HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE, size);
        if (block == nullptr) AfxThrowMemoryException();
        unsigned long got = 0;
        try {
            got = ArchiveCompressor::Decompress(ar, packed, GlobalLock(block), size);
        } catch (...) {
            GlobalUnlock(block);
            GlobalFree(block);
            throw;
        }
        GlobalUnlock(block);
        if (got != size) {
            GlobalFree(block);
            return;
        }
        DecodeInto(block, size, dib, true);
    };
    one(imageSize, packedImage, shared->image);
    one(maskSize, packedMask, shared->mask);
    if ((imageSize != 0 && shared->image.IsEmpty()) || (maskSize != 0 && shared->mask.IsEmpty())) {
        AfxMessageBox("Unable to load bitmap");
        if (shared->image.IsEmpty()) shared->image.Create(1, 1, 24);
        shared->mask.Destroy();
    }
    return shared.release();
}

// A distortion whose point mapping is the contour's.
class ContourDistortion : public DibDistortionBase {
public:
    explicit ContourDistortion(NonLinearTrans& t) : m_t(t) {}
    void TransformPoint(floatPoint& p) override { m_t.TransformPoint(p); }

private:
    NonLinearTrans& m_t;
};

void FillWhite(CDib& dib) {
    if (!dib.IsEmpty()) std::memset(dib.GetBits(), 0xFF, size_t(dib.GetTotalBytes()));
}

} // namespace

int DistortionRasterStep() {
    return 10;
}

CBitmapObj::CBitmapObj() {
    Hold(new CSharedBmp);
}

CBitmapObj::CBitmapObj(HGLOBAL image, HGLOBAL mask) {
    auto* shared = new CSharedBmp;
    if (image != nullptr) shared->image.ChangeFromDIB(image);
    if (mask != nullptr && shared->mask.ChangeFromDIB(mask) &&
        shared->mask.GetBitsPerPixel() == 1) {
        shared->mask.GetColorTab()[0] = RGBQUAD{255, 255, 255, 0};
        shared->mask.GetColorTab()[1] = RGBQUAD{0, 0, 0, 0};
    }
    Hold(shared);
    const float p = AppUnit.mmPerUnit;
    m_bbClip.left = 0;
    m_bbClip.bottom = 0;
    m_bbClip.right = float(shared->image.GetWidth()) * p;
    m_bbClip.top = float(shared->image.GetHeight()) * p;
    ResetContour();
    RefreshBBox();
}

CBitmapObj::~CBitmapObj() {
    Hold(nullptr);
}

void CBitmapObj::Hold(CSharedBmp* p) {
    ReplaceShared(bitmap, p);
}

void CBitmapObj::CloneForChange() {
    Hold(bitmap->Clone());
}

// Record: the clipped object's, u16 schema, then the shared picture's reference (schema 3),
// or the encoded picture itself (2), or LZSS-compressed (1).
void CBitmapObj::Serialize(CArchive& ar) {
    CClippedObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << Schema;
        WriteSharedObjRef(ar, bitmap);
        return;
    }
    WORD schema = 0;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    CSharedBmp* loaded = nullptr;
    if (schema == 1 || schema == 2) {
        loaded = ReadOldPicture(ar, schema);
    } else {
        loaded = dynamic_cast<CSharedBmp*>(ReadSharedObjRef(ar));
        if (loaded == nullptr)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    Hold(loaded);
}

CSharedObj* CBitmapObj::GetSharedContent() {
    return bitmap;
}

void CBitmapObj::SetSharedContent(CSharedObj* pContent) {
    if (auto* p = dynamic_cast<CSharedBmp*>(pContent)) Hold(p);
}

BOOL CBitmapObj::HasContentData() {
    return !bitmap->mask.IsEmpty() ? 1 : 0;
}

BOOL CBitmapObj::HasContent() {
    return !bitmap->image.IsEmpty() ? 1 : 0;
}

BOOL CBitmapObj::CanDistort() {
    return 1;
}

BOOL CBitmapObj::IsRaster() {
    return 1;
}

BOOL CBitmapObj::AcceptsTransform(const floatTMatrix& m) {
    if (CClippedObj::AcceptsTransform(m)) return 1;
    const float a = m.m11, b = m.m12, c = m.m21, d = m.m22;
    if ((a < 0 || d < 0) && b == 0 && c == 0) return 1; // mirrors
    if (a == 1.0f && d == 1.0f && ((b == 0) != (c == 0))) {
        const double t = std::fabs(std::atan(double(b != 0 ? b : c))) * kDegreesPerRadian;
        return t <= 45.0 ? 1 : 0;
    }
    return a == d && b == -c ? 1 : 0; // a turn with a uniform scale
}

void CBitmapObj::Transform(const floatTMatrix& m) {
    CClippedObj::Transform(m);
    const float a = m.m11, b = m.m12, c = m.m21, d = m.m22;
    // The base moves the box of axis-aligned scales; a half turn (both scales negative) turns
    // the pixels too.
    const bool halfTurn = a < 0 && d < 0 && b == 0 && c == 0;
    if (CClippedObj::AcceptsTransform(m) && !halfTurn) return;
    if (bitmap->image.IsEmpty()) return;
    CloneForChange();
    CSharedBmp* shared = bitmap;
    const bool hasMask = !shared->mask.IsEmpty();
    KOVABITMAP image, mask;
    KovaInitBitmap(&image, 1, 1, 1);
    KovaInitBitmap(&mask, 1, 1, 1);
    if (ConvertDibToToolkitBitmap(&shared->image, &image) != 0) return;
    if (hasMask && ConvertDibToToolkitBitmap(&shared->mask, &mask) != 0) {
        ConvertToolkitBitmapToDib(&image, &shared->image);
        return;
    }
    auto both = [&](auto op) {
        op(image, false);
        if (hasMask) op(mask, true);
    };
    if (b == 0 && c == 0) {
        // Both mirrors apply when both scales are negative.
        if (a < 0) both([](KOVABITMAP& k, bool) { KovaReverseBitmap(&k); });
        if (d < 0) both([](KOVABITMAP& k, bool) { KovaFlipBitmap(&k); });
    } else if (a == 1.0f && d == 1.0f && c == 0) {
        const int angle = -int(std::floor(std::atan(double(b)) * 100 * kDegreesPerRadian + 0.5));
        both([&](KOVABITMAP& k, bool) { KovaShearBitmap(&k, angle, 0, 0xFFFFFF); });
    } else if (a == 1.0f && d == 1.0f && b == 0) {
        const int angle = int(std::floor(std::atan(double(c)) * 100 * kDegreesPerRadian + 0.5));
        both([&](KOVABITMAP& k, bool) { KovaShearBitmap(&k, angle, 1, 0xFFFFFF); });
    } else if (a == d && b == -c) {
        // The turn of a scaled rotation: atan2 of its terms (the scale goes with the box).
        const double theta = std::atan2(double(b), double(a));
        const int angle = -int(std::floor(theta * 100 * kDegreesPerRadian + 0.5));
        if (angle % 100 == 0)
            KovaRotateBitmap(&image, angle / 100, 1);
        else
            KovaRotateBitmapFine(&image, angle, 1, 0);
        if (hasMask) KovaRotateBitmapFine(&mask, angle, 1, 0xFFFFFF);
    }
    ConvertToolkitBitmapToDib(&image, &shared->image);
    if (hasMask) ConvertToolkitBitmapToDib(&mask, &shared->mask);
}

void CBitmapObj::Distort(NonLinearTrans& t) {
    t.Transform(m_path);
    m_path.Prepare();
    UpdateStamp();
    CSharedBmp* old = bitmap;
    AcquireShared(old);
    CloneForChange();
    FillWhite(bitmap->image);
    const int step = DistortionRasterStep();
    floatBBox box = m_bbClip;
    if (!old->image.IsEmpty() && !bitmap->image.IsEmpty()) {
        ContourDistortion warp(t);
        warp.Transform(old->image, box, bitmap->image, step, step, 1);
    }
    if (!old->mask.IsEmpty() && !bitmap->mask.IsEmpty()) {
        FillWhite(bitmap->mask);
        ContourDistortion warp(t);
        warp.Transform(old->mask, box, bitmap->mask, step, step, 0);
    }
    ReleaseShared(old);
    RefreshBBox();
}

CSignObj* CBitmapObj::Duplicate() {
    auto* copy = new CBitmapObj;
    copy->Hold(bitmap);
    static_cast<Path&>(copy->m_path) = Path(m_path);
    copy->m_path.colour = m_path.colour;
    copy->m_path.layer = m_path.layer;
    copy->m_path.pathFlags = m_path.pathFlags;
    copy->m_bbClip = m_bbClip;
    copy->SetLayer(char(GetLayer()), 0);
    copy->RefreshBBox();
    copy->CopyAttributes(this);
    copy->UpdateStamp();
    return copy;
}

CSignObj* CBitmapObj::GetRasterCopy() {
    return Duplicate();
}
