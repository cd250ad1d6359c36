#pragma once
// A picture shared by bitmap objects and texture fills, counted like every shared attribute.
// Pictures loaded from a file are listed by their key, so that a second user of the same
// file shares or copies the first one instead of reading the file again. A key ending in
// "[*]" names the file before it, loaded grey.

#include <imaging/ToolkitTypes.h>
#include <mfc/CObArray.h>
#include <mfc/CString.h>
#include <rasterkit/CDib.h>
#include <shared/CSharedObj.h>
#include <win32/kernel.h>

class CSharedBmp : public CSharedObj {
    DECLARE_SERIAL(CSharedBmp)
public:
    static constexpr WORD Schema = 2;

    CSharedBmp();
    // Loads the file named by the key (BMP or PNG); a file that cannot be read leaves the
    // picture empty. The object is listed under its key either way.
    explicit CSharedBmp(const char* key);
    ~CSharedBmp() override;
    void Serialize(CArchive& ar) override;

    // With one holder: the picture's and mask's bytes (4 for the picture even without one) and
    // the encoded blocks; else 0.
    DWORD GetMemSize() override;

    // Index in SharedBitmapList of the first picture with exactly this key, or -1 (also for an
    // empty key).
    static int FindByName(const char* name);

    // A new picture (no holder, no key, not encoded) with copies of the picture and mask;
    // Clone24's picture is 24 bits.
    CSharedBmp* Clone();
    CSharedBmp* Clone24();

    // Nonzero when the picture has a colour table (1, 4 or 8 bits).
    BOOL HasColorTable() const;

    CDib image;
    CDib mask;
    CString fileName;
    HGLOBAL encodedImage = nullptr;
    HGLOBAL encodedMask = nullptr;
    DWORD encodedImageSize = 0;
    DWORD encodedMaskSize = 0;

private:
    void LoadFile(const char* path);
};

// The toolkit bitmap's picture into dib (the bitmap is emptied), through a temporary file
// when memory is short; 0, or -1 with dib empty and the user told.
int ConvertToolkitBitmapToDib(KOVABITMAP* bitmap, CDib* dib);
// The dib's picture into the toolkit bitmap (dib emptied), through a temporary file when the
// toolkit cannot take it; 0, or -1 with dib keeping its picture.
int ConvertDibToToolkitBitmap(CDib* dib, KOVABITMAP* bitmap);
// 0 when a movable block of that many bytes can be had (it is freed again), else -1.
int ProbeGlobalMemory(DWORD bytes);

// The pictures that came from files or were read with a key, in the order they were added.
CObArray& SharedBitmapList();
