#include "doc/ObjectsMetafile.h"

#include <cmath>

#include <mfc/CMetaFileDC.h>

namespace {

constexpr float MetafileSideLimit = 320;
// The description's two parts, each ended by a NUL, and the closing NUL.
constexpr char Description[] = "HasClippedContour\0";

} // namespace

float MetafileScaleFactor(const floatBBox* box) {
    if (box == nullptr) return 1.0f;
    const float w = box->right - box->left, h = box->top - box->bottom;
    const float m = w > h ? w : h;
    return m <= MetafileSideLimit ? 1.0f : MetafileSideLimit / m;
}

int CreateObjectsMetafile(CMetaFileDC* dc, CDC* reference, const char* file, const floatBBox* box,
                          float* scaleOut) {
    if (dc == nullptr || box == nullptr) return 0;
    const float s = MetafileScaleFactor(box);
    if (scaleOut) *scaleOut = s;
    const double w = double(box->right) - box->left, h = double(box->top) - box->bottom;
    // The box's corner (xmin, ymax) at the origin, y downwards.
    const RECT frame{0, 0, LONG(std::lround(w * s * 100)), LONG(std::lround(h * s * 100))};
    if (!dc->CreateEnhanced(reference, file, &frame, Description)) return 0;
    const int hPixels = dc->GetDeviceCaps(HORZRES), vPixels = dc->GetDeviceCaps(VERTRES);
    const int hMm = dc->GetDeviceCaps(HORZSIZE), vMm = dc->GetDeviceCaps(VERTSIZE);
    const int deviceX = hMm > 0 ? int(w * hPixels * s / hMm) : 0;
    const int deviceY = vMm > 0 ? int(h * vPixels * s / vMm) : 0;
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowOrg(0, 0);
    dc->SetWindowExt(frame.right - frame.left, frame.bottom - frame.top);
    dc->SetViewportOrg(0, 0);
    dc->SetViewportExt(deviceX, deviceY);
    return 1;
}
