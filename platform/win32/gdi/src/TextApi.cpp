// Text calls: recorded with their arguments and drawn by filling the glyph outlines of the
// selected font (TextDrawing.h).

#include <string>

#include "GdiSettings.h"
#include "MetaRecorder.h"
#include "TextDrawing.h"

using namespace sdgdi;

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (length < 0 || (length > 0 && !text)) return failWith(ERROR_INVALID_PARAMETER);
    if (d->logging)
        d->record(callLine("TextOutA", x, y,
                           '"' + std::string(text ? text : "", std::size_t(length)) + '"'));
    if (d->meta && !metaText(*d, x, y, 0, nullptr, text, UINT(length), nullptr)) return FALSE;
    return drawText(*d, x, y, d->st.textAlign, 0, nullptr, text, length, nullptr,
                    d->st.bkMode == OPAQUE);
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                 const INT* dx) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (length > 0x7FFFFFFF || (length > 0 && !text)) return failWith(ERROR_INVALID_PARAMETER);
    if (d->logging)
        d->record(callLine("ExtTextOutA", x, y, options,
                           rect ? std::to_string(rect->left) + ' ' + std::to_string(rect->top) +
                                      ' ' + std::to_string(rect->right) + ' ' +
                                      std::to_string(rect->bottom)
                                : std::string("-"),
                           '"' + std::string(text ? text : "", length) + '"'));
    if (d->meta && !metaText(*d, x, y, options, rect, text, length, dx)) return FALSE;
    return drawText(*d, x, y, d->st.textAlign, options, rect, text ? text : "", int(length), dx,
                    false);
}

UINT SetTextAlign(HDC dc, UINT align) {
    auto d = dcOf(dc);
    if (!d) return GDI_ERROR;
    if (d->logging) d->record(callLine("SetTextAlign", align));
    if (d->meta && !metaInts(*d, EMR_SETTEXTALIGN, {LONG(align)})) return GDI_ERROR;
    UINT old = d->st.textAlign;
    d->st.textAlign = align;
    return old;
}

UINT GetTextAlign(HDC dc) {
    auto d = dcOf(dc);
    return d ? d->st.textAlign : GDI_ERROR;
}
