#pragma once
// A 24-bit bottom-up bitmap held as a drawing-layer DIB section, which a memory context can
// draw into. Its 40-byte header is its own; its bits belong to the section. When the section
// cannot be made, the object stays empty and says so.

#include <memory>

#include <mfc/CGdiObject.h>

#include "rasterkit/DIBInterface.h"

class CDC;

class RASTERKIT_API CDIBSection : public DIBInterface {
public:
    CDIBSection() = default;
    CDIBSection(const CDIBSection&) = delete;
    CDIBSection& operator=(const CDIBSection&) = delete;
    CDIBSection(CDIBSection&& other) noexcept;
    CDIBSection& operator=(CDIBSection&& other) noexcept;
    ~CDIBSection() override;

    void Destroy() override;

    // 1 with every byte 0xFF; 0 for w or h below 1 or when the section cannot be made.
    int Create(int w, int h);
    // dc becomes a memory context compatible with ref (the screen when null) with the
    // section selected. FALSE when there is no section or the context cannot be made.
    BOOL AttachMemDC(CDC& dc, CDC* ref);
    void DetachMemDC();
    // Consumes the packed bitmap on every path; 0 when it is refused or no section can be made.
    int CreateFromDIB(void* packed);
    // A new movable block with the 40-byte header and the bits; null when empty or out of
    // memory. The section stays.
    void* ConvertToDIB();
    void* ChangeToDIB();
    // The section's bitmap handle for the caller; the object becomes empty.
    HBITMAP ChangeToDDB();

private:
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CDC* m_pMemDC = nullptr;
    std::unique_ptr<BITMAPINFOHEADER> m_header;
};
