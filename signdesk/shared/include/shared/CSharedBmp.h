#pragma once
// A picture shared by bitmap objects and texture fills, counted like every shared attribute.
// Pictures loaded from a file are listed by their key, so that a second user of the same
// file shares or copies the first one instead of reading the file again. A key ending in
// "[*]" names the file before it, loaded grey.

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

// The pictures that came from files or were read with a key, in the order they were added.
CObArray& SharedBitmapList();
