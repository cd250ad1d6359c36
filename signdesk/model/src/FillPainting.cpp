#include "model/FillPainting.h"

#include <cmath>

#include <pathkit/PathDraw.h>

#include "model/CFountainFill.h"
#include "model/CTextureFill.h"
#include "win32/DeviceRange.h"

BOOL PaintFillClipped(CDC* pDC, const floatTMatrix& m, Path& path, CFillObj* pFill, int mode,
                      const floatBBox& area) {
    if (pDC == nullptr || pFill == nullptr) return 0;
    if (!::Clip(pDC, m, path)) return 0;
    pFill->PaintFill(pDC, m, mode, area);
    return 1;
}

BYTE TransparencyLevel(float transparency) {
    return BYTE(SdDeviceCoord(std::trunc(double(transparency) * 255.0)) & 0xFF);
}

BOOL IsFountainFill(const CFillObj* pFill) {
    return pFill != nullptr && pFill->IsKindOf(RUNTIME_CLASS(CFountainFill));
}

BOOL IsTextureFill(const CFillObj* pFill) {
    return pFill != nullptr && pFill->IsKindOf(RUNTIME_CLASS(CTextureFill));
}
