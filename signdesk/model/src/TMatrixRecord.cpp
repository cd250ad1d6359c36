#include "model/TMatrixRecord.h"

#include "mfc/CArchive.h"

void StoreTMatrix(CArchive& ar, const floatTMatrix& m) {
    ar << m.m11 << m.m12 << m.m21 << m.m22 << m.dx << m.dy;
}

void LoadTMatrix(CArchive& ar, floatTMatrix& m) {
    float v[6];
    for (float& f : v)
        ar >> f;
    m = floatTMatrix(v[0], v[1], v[2], v[3], v[4], v[5]);
}
