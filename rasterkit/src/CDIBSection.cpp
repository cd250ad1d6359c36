#include "rasterkit/CDIBSection.h"

#include <cstring>
#include <utility>

#include <guardalloc/Guardalloc.h>
#include <mfc/CDC.h>
#include <win32/kernel.h>

#include "rasterkit/CDib.h"

CDIBSection::CDIBSection(CDIBSection&& other) noexcept : DIBInterface(std::move(other)) {
    m_bitmap.Attach(other.m_bitmap.Detach());
    m_hOldBitmap = std::exchange(other.m_hOldBitmap, nullptr);
    m_pMemDC = std::exchange(other.m_pMemDC, nullptr);
    m_header = std::move(other.m_header);
}

CDIBSection& CDIBSection::operator=(CDIBSection&& other) noexcept {
    if (this != &other) {
        Destroy();
        MoveFrom(other);
        m_bitmap.Attach(other.m_bitmap.Detach());
        m_hOldBitmap = std::exchange(other.m_hOldBitmap, nullptr);
        m_pMemDC = std::exchange(other.m_pMemDC, nullptr);
        m_header = std::move(other.m_header);
    }
    return *this;
}

CDIBSection::~CDIBSection() {
    CDIBSection::Destroy();
}

void CDIBSection::Destroy() {
    DetachMemDC();
    m_bitmap.DeleteObject();
    m_header.reset();
    DIBInterface::Destroy();
}

int CDIBSection::Create(int w, int h) {
    Destroy();
    if (w < 1 || h < 1) return 0;
    auto header = std::make_unique<BITMAPINFOHEADER>();
    header->biSize = 40;
    header->biWidth = w;
    header->biHeight = h;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biXPelsPerMeter = 12000;
    header->biYPelsPerMeter = 12000;
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(header.get());
    HDC screen = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section =
        screen ? ::CreateDIBSection(screen, info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (screen) ::DeleteDC(screen);
    if (!section || !bits) { // nothing is filled through a section that is not there
        if (section) ::DeleteObject(section);
        return 0;
    }
    m_bitmap.Attach(section);
    m_header = std::move(header);
    Init(info, bits);
    Clear(0xFF);
    return 1;
}

BOOL CDIBSection::AttachMemDC(CDC& dc, CDC* ref) {
    DetachMemDC();
    if (!m_bitmap.m_hObject) return FALSE;
    if (!dc.m_hDC && !dc.CreateCompatibleDC(ref)) return FALSE;
    m_hOldBitmap = ::SelectObject(dc.m_hDC, m_bitmap.m_hObject);
    if (!m_hOldBitmap) return FALSE;
    m_pMemDC = &dc;
    return TRUE;
}

void CDIBSection::DetachMemDC() {
    if (m_pMemDC && m_pMemDC->m_hDC && m_hOldBitmap) ::SelectObject(m_pMemDC->m_hDC, m_hOldBitmap);
    m_pMemDC = nullptr;
    m_hOldBitmap = nullptr;
}

int CDIBSection::CreateFromDIB(void* packed) {
    Destroy();
    CDib picture; // owns the packed bitmap from here on, so it is freed on every path
    if (!picture.ChangeFromDIB(packed)) return 0;
    if (!Create(picture.GetWidth(), picture.GetHeight())) return 0;
    CDC memory;
    if (!AttachMemDC(memory, nullptr)) {
        Destroy();
        return 0;
    }
    picture.Paint(&memory, 0, 0, m_width, m_height, 0, 0, m_width, m_height, 1);
    DetachMemDC();
    return 1;
}

void* CDIBSection::ConvertToDIB() {
    if (!m_pInfo || !m_pBits) return nullptr;
    const std::size_t bits = std::size_t(GetTotalBytes());
    HGLOBAL block = SafeGAlloc(GMEM_MOVEABLE, unsigned(40 + bits));
    if (!block) return nullptr;
    BYTE* p = static_cast<BYTE*>(GlobalLock(block));
    std::memcpy(p, m_pInfo, 40);
    std::memcpy(p + 40, m_pBits, bits);
    GlobalUnlock(block);
    return block;
}

void* CDIBSection::ChangeToDIB() {
    void* block = ConvertToDIB();
    Destroy();
    return block;
}

HBITMAP CDIBSection::ChangeToDDB() {
    DetachMemDC();
    HBITMAP h = static_cast<HBITMAP>(m_bitmap.Detach());
    Destroy();
    return h;
}
