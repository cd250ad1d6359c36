#include "content/PastedBitmap.h"

#include <imaging/KovaKern.h>
#include <mfc/CWinApp.h>
#include <win32/clipboard.h>
#include <win32/user.h>

#include "content/CBitmapObj.h"

namespace {

// A packed bitmap of the clipboard's bitmap handle, through the toolkit; null when none.
HGLOBAL FromBitmapHandle() {
    if (!OpenClipboard(nullptr)) return nullptr;
    HGLOBAL dib = nullptr;
    if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
        KOVABITMAP picture;
        KovaInitBitmap(&picture, 1, 1, 1);
        HDC screen = GetDC(nullptr);
        if (KovaBitmapFromDDB(screen, &picture, bitmap, nullptr) == IMG_SUCCESS)
            dib = KovaDibFromBitmap(&picture);
        ReleaseDC(nullptr, screen);
        KovaFreeBitmap(&picture);
    }
    CloseClipboard();
    return dib;
}

} // namespace

CBitmapObj* CreateBitmapFromClipboard(UINT format) {
    HGLOBAL dib = nullptr;
    if (format == CF_DIB) {
        CDib picture;
        if (picture.CreateFromClipboard()) dib = static_cast<HGLOBAL>(picture.ChangeToDIB());
    } else if (format == CF_BITMAP) {
        dib = FromBitmapHandle();
    }
    auto* obj = dib != nullptr ? new CBitmapObj(dib, nullptr) : nullptr;
    if (obj == nullptr || !obj->HasContent()) {
        delete obj;
        AfxMessageBox("Unable to load bitmap");
        return nullptr;
    }
    const float k = 25.4f / 150;
    obj->m_bbClip = floatBBox{};
    obj->m_bbClip.left = 0;
    obj->m_bbClip.bottom = 0;
    obj->m_bbClip.right = float(obj->bitmap->image.GetWidth()) * k;
    obj->m_bbClip.top = float(obj->bitmap->image.GetHeight()) * k;
    obj->ResetContour();
    obj->RefreshBBox();
    return obj;
}
