#pragma once
// A device context that records a metafile. Output goes to the metafile context; attribute
// queries go to the attribute DC: the reference context of CreateEnhanced when given, else the
// metafile context itself, or what SetAttribDC sets.

#include "mfc/CDC.h"
#include "win32/wingdi_meta.h"

class MFC_API CMetaFileDC : public CDC {
public:
    CMetaFileDC() = default;
    ~CMetaFileDC() override;

    // A Windows metafile, in memory (null file) or in a file.
    BOOL Create(LPCSTR file = nullptr);
    // An enhanced metafile; frame in 0.01 mm (null: computed from the drawing).
    BOOL CreateEnhanced(CDC* reference, LPCSTR file, const RECT* frame, LPCSTR description);
    // Finish recording; the context is then empty.
    HMETAFILE Close();
    HENHMETAFILE CloseEnhanced();
    void SetAttribDC(HDC dc) override;

private:
    HDC release();
};
