// Bitmap objects: their records in every schema, shared pictures stored once, damaged
// records, and the transforms that change pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include <compressor/ArchiveCompressor.h>
#include <content/CBitmapObj.h>
#include <imaging/ImagingToolkit.h>
#include <imaging/KovaKern.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>
#include <pathkit/NonLinearTrans.h>
#include <shared/SharedObjRef.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>

namespace {

using Bytes = std::vector<BYTE>;

// A packed w x h picture at `bits` with a distinct value in every pixel.
HGLOBAL MakeDib(int w, int h, int bits) {
    CDib dib;
    EXPECT_TRUE(dib.Create(w, h, bits));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = bits == 24 ? unsigned(x * 0x0A0B0C + y * 0x302010)
                                    : unsigned(x * 3 + y * 7) % (1u << bits);
            dib.SetPixel(x, y, v);
        }
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            dib.GetColorTab()[i] = RGBQUAD{BYTE(i * 5), BYTE(255 - i), BYTE(i * 3), 0};
    return static_cast<HGLOBAL>(dib.ChangeToDIB());
}

std::vector<COLORREF> Pixels(CDib& dib) {
    std::vector<COLORREF> out;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x) {
            BYTE c[3];
            dib.GetRGB(x, y, c);
            out.push_back(RGB(c[0], c[1], c[2]));
        }
    return out;
}

Bytes Store(const std::function<void(CArchive&)>& fn) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    Bytes out(size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

// Loads through fn; the archive exception's cause, or -1 when none was raised.
int Load(const Bytes& bytes, const std::function<void(CArchive&)>& fn) {
    CSharedObjTableScope scope;
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    try {
        fn(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        ar.Abort();
        file.Detach();
        return cause;
    }
    ar.Close();
    file.Detach();
    return -1;
}

class BitmapObjTest : public PlatformTest {
protected:
    // The part every bitmap record starts with: the clipped object's.
    static Bytes ClippedPart(CBitmapObj& obj) {
        return Store([&](CArchive& ar) { obj.CClippedObj::Serialize(ar); });
    }
    static Bytes Png(HGLOBAL dib) {
        HGLOBAL out = nullptr;
        DWORD size = 0;
        EXPECT_EQ(ImgEncode(GlobalLock(dib), GlobalSize(dib), IMG_FORMAT_PNG, &out, &size), 0);
        GlobalUnlock(dib);
        Bytes b(static_cast<BYTE*>(GlobalLock(out)), static_cast<BYTE*>(GlobalLock(out)) + size);
        GlobalUnlock(out);
        GlobalUnlock(out);
        GlobalFree(out);
        return b;
    }
    static void Put(Bytes& b, const void* p, size_t n) {
        b.insert(b.end(), static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + n);
    }
    static void Put32(Bytes& b, DWORD v) { Put(b, &v, 4); }
    static void Put16(Bytes& b, WORD v) { Put(b, &v, 2); }
};

floatTMatrix Rotation(double degrees, double scale = 1) {
    const double a = degrees * 3.14159265358979323846 / 180;
    return floatTMatrix(float(scale * std::cos(a)), float(scale * std::sin(a)),
                        float(-scale * std::sin(a)), float(scale * std::cos(a)), 0, 0);
}

} // namespace

TEST_F(BitmapObjTest, NewObjectFromPictures) {
    CBitmapObj obj(MakeDib(150, 30, 24), MakeDib(150, 30, 1));
    EXPECT_EQ(obj.bitmap->m_nRefCount, 1);
    EXPECT_NEAR(obj.m_bbClip.right, 25.4f, 1e-4);
    EXPECT_NEAR(obj.m_bbClip.top, 5.08f, 1e-4);
    EXPECT_EQ(obj.m_bbClip.left, 0);
    EXPECT_TRUE(obj.HasContent());
    EXPECT_TRUE(obj.HasContentData());
    const RGBQUAD* t = obj.bitmap->mask.GetColorTab();
    EXPECT_EQ(t[0].rgbRed + t[0].rgbGreen + t[0].rgbBlue, 3 * 255);
    EXPECT_EQ(t[1].rgbRed + t[1].rgbGreen + t[1].rgbBlue, 0);
}

// Two objects sharing a picture and one with a mask, at 1, 8 and 24 bits: the picture is
// stored once, and a loaded design stores the same bytes without encoding again.
TEST_F(BitmapObjTest, RecordsRoundTripByteForByte) {
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(bits);
        CBitmapObj a(MakeDib(9, 6, bits), nullptr), masked(MakeDib(5, 4, bits), MakeDib(5, 4, 1));
        std::unique_ptr<CSignObj> b(a.Duplicate());
        EXPECT_EQ(a.bitmap->m_nRefCount, 2);
        const Bytes first = Store([&](CArchive& ar) {
            a.Serialize(ar);
            b->Serialize(ar);
            masked.Serialize(ar);
        });
        // Encoded pictures: the shared one, the masked object's picture and its mask.
        const BYTE signature[4] = {0x89, 'P', 'N', 'G'};
        int pictures = 0;
        for (size_t i = 0; i + 4 <= first.size(); ++i)
            pictures += std::memcmp(first.data() + i, signature, 4) == 0;
        EXPECT_EQ(pictures, 3);

        CBitmapObj la, lb, lm;
        CSignObj::SetKeepSerials(TRUE);
        ASSERT_EQ(Load(first,
                       [&](CArchive& ar) {
                           la.Serialize(ar);
                           lb.Serialize(ar);
                           lm.Serialize(ar);
                       }),
                  -1);
        CSignObj::SetKeepSerials(FALSE);
        EXPECT_EQ(la.bitmap, lb.bitmap);
        EXPECT_EQ(la.bitmap->m_nRefCount, 2);
        EXPECT_EQ(la.bitmap->image.GetBitsPerPixel(), bits);
        EXPECT_EQ(Pixels(la.bitmap->image), Pixels(a.bitmap->image));
        EXPECT_EQ(Pixels(lm.bitmap->mask), Pixels(masked.bitmap->mask));
        const DWORD encoded = la.bitmap->encodedImageSize;
        const Bytes second = Store([&](CArchive& ar) {
            la.Serialize(ar);
            lb.Serialize(ar);
            lm.Serialize(ar);
        });
        EXPECT_EQ(second, first);
        EXPECT_EQ(la.bitmap->encodedImageSize, encoded);
    }
}

TEST_F(BitmapObjTest, OlderSchemasLoad) {
    CBitmapObj source(MakeDib(7, 5, 8), MakeDib(7, 5, 1));
    const Bytes clipped = ClippedPart(source);
    HGLOBAL image = MakeDib(7, 5, 8), mask = MakeDib(7, 5, 1);
    const Bytes png = Png(image), maskPng = Png(mask);
    CDib expectImage(image), expectMask(mask);

    // Schema 2: the encoded blocks themselves.
    Bytes two = clipped;
    Put16(two, 2);
    Put32(two, DWORD(png.size()));
    Put32(two, DWORD(maskPng.size()));
    Put(two, png.data(), png.size());
    Put(two, maskPng.data(), maskPng.size());

    // Schema 1: LZSS-compressed.
    auto packed = [](const Bytes& b) {
        return Store([&](CArchive& ar) {
            ArchiveCompressor::Compress(b.data(), (unsigned long)b.size(), ar);
        });
    };
    const Bytes lz = packed(png), lzMask = packed(maskPng);
    Bytes one = clipped;
    Put16(one, 1);
    Put32(one, DWORD(png.size()));
    Put32(one, DWORD(lz.size()));
    Put32(one, DWORD(maskPng.size()));
    Put32(one, DWORD(lzMask.size()));
    Put(one, lz.data(), lz.size());
    Put(one, lzMask.data(), lzMask.size());

    for (const Bytes* record : {&two, &one}) {
        CBitmapObj obj;
        ASSERT_EQ(Load(*record, [&](CArchive& ar) { obj.Serialize(ar); }), -1);
        EXPECT_EQ(obj.bitmap->m_nRefCount, 1);
        EXPECT_EQ(Pixels(obj.bitmap->image), Pixels(expectImage));
        EXPECT_EQ(Pixels(obj.bitmap->mask), Pixels(expectMask));
        EXPECT_EQ(obj.m_bbClip.right, source.m_bbClip.right);
    }
}

TEST_F(BitmapObjTest, DamagedRecords) {
    CBitmapObj source(MakeDib(4, 3, 24), nullptr);
    const Bytes clipped = ClippedPart(source);
    const Bytes good = Store([&](CArchive& ar) { source.Serialize(ar); });

    // A newer schema.
    Bytes newer = clipped;
    Put16(newer, 4);
    CBitmapObj obj;
    EXPECT_EQ(Load(newer, [&](CArchive& ar) { obj.Serialize(ar); }), CArchiveException::badSchema);

    // Every cut of the record ends the file.
    for (size_t n = 0; n < good.size(); ++n) {
        CBitmapObj cut;
        Bytes shorter(good.begin(), good.begin() + long(n));
        EXPECT_EQ(Load(shorter, [&](CArchive& ar) { cut.Serialize(ar); }),
                  CArchiveException::endOfFile)
            << n;
        EXPECT_NE(cut.bitmap, nullptr);
    }

    // Sizes past the end raise before any memory is asked for them.
    for (WORD schema : {WORD(1), WORD(2)}) {
        Bytes huge = clipped;
        Put16(huge, schema);
        Put32(huge, 0x7FFFFFF0u);
        if (schema == 1) Put32(huge, 0x7FFFFFF0u);
        Put32(huge, 0);
        if (schema == 1) Put32(huge, 0);
        Put32(huge, 0x12345678);
        SdResetMemoryTesting();
        CBitmapObj big;
        EXPECT_EQ(Load(huge, [&](CArchive& ar) { big.Serialize(ar); }),
                  CArchiveException::endOfFile);
        EXPECT_EQ(SdGlobalRequestCount(), 0);
    }

    // Schema 1 recording more bytes than its compressed block can expand to (a fuzz finding):
    // nothing of that size is asked for, the picture is missing.
    Bytes lzss = clipped;
    Put16(lzss, 1);
    Put32(lzss, 0xA52C0000u);
    Put32(lzss, 10);
    Put32(lzss, 0);
    Put32(lzss, 0);
    for (int i = 0; i < 10; ++i)
        lzss.push_back(0);
    SdResetMemoryTesting();
    PushMessageBoxAnswer(IDOK);
    CBitmapObj lz;
    EXPECT_EQ(Load(lzss, [&](CArchive& ar) { lz.Serialize(ar); }), -1);
    EXPECT_EQ(SdGlobalRequestCount() < 4, true);
    EXPECT_EQ(lz.bitmap->image.GetWidth(), 1);

    // A block that does not decode: the message, a 1 x 1 picture, the design still loads.
    Bytes junk = clipped;
    Put16(junk, 2);
    Put32(junk, 16);
    Put32(junk, 0);
    for (int i = 0; i < 16; ++i)
        junk.push_back(BYTE(i));
    PushMessageBoxAnswer(IDOK);
    CBitmapObj broken;
    EXPECT_EQ(Load(junk, [&](CArchive& ar) { broken.Serialize(ar); }), -1);
    ASSERT_FALSE(SdMessageBoxLog().empty());
    EXPECT_EQ(SdMessageBoxLog().back().text, "Unable to load bitmap");
    EXPECT_EQ(broken.bitmap->image.GetWidth(), 1);
    EXPECT_EQ(broken.bitmap->image.GetHeight(), 1);
}

// The pixels after a turn are the toolkit's turn of the picture: whole degrees with white
// around it, other angles in hundredths with black; the box takes any scale.
TEST_F(BitmapObjTest, TurnsByPixels) {
    struct Case {
        double degrees, scale;
        int hundredths; // the toolkit turn expected (clockwise as seen)
    } cases[] = {{30, 1, -3000}, {-30, 1, 3000}, {30.5, 1, -3050}, {30, 2, -3000}, {180, 1, 18000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        CBitmapObj obj(MakeDib(20, 10, 24), nullptr);
        KOVABITMAP expected;
        KovaInitBitmap(&expected, 1, 1, 1);
        ASSERT_EQ(KovaBitmapFromDib(&expected, obj.bitmap->image.Copy()), IMG_SUCCESS);
        if (c.hundredths % 100 == 0)
            KovaRotateBitmap(&expected, c.hundredths / 100, 1);
        else
            KovaRotateBitmapFine(&expected, c.hundredths, 1, 0);
        CDib want(KovaDibFromBitmap(&expected));
        ASSERT_TRUE(obj.AcceptsTransform(Rotation(c.degrees, c.scale)));
        const floatBBox before = obj.m_bbClip;
        obj.Transform(Rotation(c.degrees, c.scale));
        EXPECT_EQ(Pixels(obj.bitmap->image), Pixels(want));
        // The box holds the turned picture at the scale.
        const double w = (before.right - before.left) * c.scale,
                     h = (before.top - before.bottom) * c.scale;
        const double a = c.degrees * 3.14159265358979323846 / 180;
        EXPECT_NEAR(obj.m_bbClip.right - obj.m_bbClip.left,
                    std::fabs(w * std::cos(a)) + std::fabs(h * std::sin(a)), 1e-3);
    }
    // Four quarter turns give the picture back.
    CBitmapObj obj(MakeDib(20, 10, 8), MakeDib(20, 10, 1));
    const auto image = Pixels(obj.bitmap->image), mask = Pixels(obj.bitmap->mask);
    for (int i = 0; i < 4; ++i)
        obj.Transform(Rotation(90));
    EXPECT_EQ(Pixels(obj.bitmap->image), image);
    EXPECT_EQ(Pixels(obj.bitmap->mask), mask);
}

TEST_F(BitmapObjTest, MirrorsAndShearsChangeOnlyTheirOwnPicture) {
    CBitmapObj obj(MakeDib(6, 4, 24), nullptr);
    std::unique_ptr<CSignObj> dup(obj.Duplicate());
    auto* copy = static_cast<CBitmapObj*>(dup.get());
    const auto original = Pixels(obj.bitmap->image);
    copy->Transform(floatTMatrix(-1, 0, 0, 1, 0, 0));
    EXPECT_NE(copy->bitmap, obj.bitmap);
    EXPECT_EQ(Pixels(obj.bitmap->image), original);
    EXPECT_EQ(obj.bitmap->m_nRefCount, 1);
    CDib& mirrored = copy->bitmap->image;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            BYTE p[3], q[3];
            mirrored.GetRGB(x, y, p);
            obj.bitmap->image.GetRGB(5 - x, y, q);
            EXPECT_TRUE(std::memcmp(p, q, 3) == 0) << x << "," << y;
        }
    // A scale that keeps the picture upright moves only the box.
    CSharedBmp* kept = obj.bitmap;
    obj.Transform(floatTMatrix(2, 0, 0, 3, 0, 0));
    EXPECT_EQ(obj.bitmap, kept);
    // A shear of 20 degrees: the picture widens by its height times tan 20.
    const floatTMatrix shear(1, 0, float(std::tan(20 * 3.14159265358979323846 / 180)), 1, 0, 0);
    ASSERT_TRUE(obj.AcceptsTransform(shear));
    obj.Transform(shear);
    EXPECT_EQ(obj.bitmap->image.GetWidth(), 6 + 1);                        // 4 tan 20 = 1.46
    EXPECT_FALSE(obj.AcceptsTransform(floatTMatrix(1, 0, 1.5f, 1, 0, 0))); // past 45 degrees
}

namespace {

// A stretch to twice the width, as a point mapping.
class Stretch : public NonLinearTrans {
public:
    Stretch() : NonLinearTrans(0.01f, 4, 0, 0) {}
    void TransformPoint(floatPoint& p) override { p.x *= 2; }
};

} // namespace

TEST_F(BitmapObjTest, DistortionWarpsAPrivatePicture) {
    CBitmapObj obj(MakeDib(20, 10, 24), nullptr);
    std::unique_ptr<CSignObj> dup(obj.Duplicate());
    CSharedBmp* shared = obj.bitmap;
    const auto before = Pixels(shared->image);
    ASSERT_TRUE(obj.CanDistort());
    Stretch t;
    obj.Distort(t);
    EXPECT_NE(obj.bitmap, shared);
    EXPECT_EQ(static_cast<CBitmapObj*>(dup.get())->bitmap, shared);
    EXPECT_EQ(Pixels(shared->image), before);
    // The contour is twice as wide; the warped picture fills the new one at its old size (a
    // uniform stretch gives the same pixels back), nothing left white.
    EXPECT_NEAR(obj.GetBBox()->right - obj.GetBBox()->left,
                2 * (obj.m_bbClip.right - obj.m_bbClip.left), 0.05);
    const auto after = Pixels(obj.bitmap->image);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(std::count(after.begin(), after.end(), RGB(255, 255, 255)), 0);
    EXPECT_EQ(after, before);
}
