#include "geomkit/WArchiveOperators.h"

KArchive& operator<<(KArchive& ar, const WPont<float>& p) {
    return ar.StoreFloat(p.x).StoreFloat(p.y);
}

KArchive& operator>>(KArchive& ar, WPont<float>& p) {
    return ar.LoadFloat(p.x).LoadFloat(p.y);
}

KArchive& operator<<(KArchive& ar, const WVektor<float>& v) {
    return ar.StoreFloat(v.x).StoreFloat(v.y);
}

KArchive& operator>>(KArchive& ar, WVektor<float>& v) {
    return ar.LoadFloat(v.x).LoadFloat(v.y);
}

KArchive& operator<<(KArchive& ar, const WPont<double>& p) {
    return ar.StoreDouble(p.x).StoreDouble(p.y);
}

KArchive& operator>>(KArchive& ar, WPont<double>& p) {
    return ar.LoadDouble(p.x).LoadDouble(p.y);
}

KArchive& operator<<(KArchive& ar, const WVektor<double>& v) {
    return ar.StoreDouble(v.x).StoreDouble(v.y);
}

KArchive& operator>>(KArchive& ar, WVektor<double>& v) {
    return ar.LoadDouble(v.x).LoadDouble(v.y);
}

KArchive& operator<<(KArchive& ar, const WBoundingBox& b) {
    return ar.StoreDouble(b.left).StoreDouble(b.bottom).StoreDouble(b.right).StoreDouble(b.top);
}

KArchive& operator>>(KArchive& ar, WBoundingBox& b) {
    return ar.LoadDouble(b.left).LoadDouble(b.bottom).LoadDouble(b.right).LoadDouble(b.top);
}

KArchive& operator<<(KArchive& ar, const WTransMatrix& m) {
    return ar.StoreDouble(m.A())
        .StoreDouble(m.B())
        .StoreDouble(m.C())
        .StoreDouble(m.D())
        .StoreDouble(m.E())
        .StoreDouble(m.F());
}

KArchive& operator>>(KArchive& ar, WTransMatrix& m) {
    double a, b, c, d, e, f;
    ar.LoadDouble(a).LoadDouble(b).LoadDouble(c).LoadDouble(d).LoadDouble(e).LoadDouble(f);
    m.Init(a, b, c, d, e, f);
    return ar;
}
