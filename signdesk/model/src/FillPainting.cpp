#include "model/FillPainting.h"

#include <pathkit/PathDraw.h>

#include "model/CFountainFill.h"
#include "model/CTextureFill.h"

BOOL PaintFillClipped(CDC* pDC, const floatTMatrix& m, Path& path, CFillObj* pFill, int mode,
                      const floatBBox& area) {
    if (pDC == nullptr || pFill == nullptr) return 0;
    if (!::Clip(pDC, m, path)) return 0;
    pFill->PaintFill(pDC, m, mode, area);
    return 1;
}

BOOL IsFountainFill(const CFillObj* pFill) {
    return pFill != nullptr && pFill->IsKindOf(RUNTIME_CLASS(CFountainFill));
}

BOOL IsTextureFill(const CFillObj* pFill) {
    return pFill != nullptr && pFill->IsKindOf(RUNTIME_CLASS(CTextureFill));
}
