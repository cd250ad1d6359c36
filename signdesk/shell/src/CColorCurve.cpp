#include "shell/CColorCurve.h"

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>

namespace {

double Interpolate(const floatDynArr& from, const floatDynArr& to, float x) {
    const std::uint16_t n = from.Filled() < to.Filled() ? from.Filled() : to.Filled();
    if (n == 0) return 0.0;
    if (x < from[0]) return to[0];
    for (std::uint16_t i = 1; i < n; ++i) {
        const float a = from[std::uint16_t(i - 1)], b = from[i];
        if (a != b && a <= x && x <= b)
            return to[std::uint16_t(i - 1)] +
                   double(x - a) / double(b - a) * double(to[i] - to[std::uint16_t(i - 1)]);
    }
    return to[std::uint16_t(n - 1)];
}

} // namespace

CColorCurve& CColorCurve::operator=(const CColorCurve& other) {
    if (&other == this) return *this;
    input.Destroy();
    output.Destroy();
    for (std::uint16_t i = 0; i < other.input.Filled() && i < other.output.Filled(); ++i) {
        input.Append(other.input[i]);
        output.Append(other.output[i]);
    }
    return *this;
}

double CColorCurve::Evaluate(float x) const { return Interpolate(input, output, x); }

double CColorCurve::EvaluateInverse(float y) const { return Interpolate(output, input, y); }

CArchive& operator<<(CArchive& ar, const CColorCurve& curve) {
    const std::uint16_t n =
        curve.input.Filled() < curve.output.Filled() ? curve.input.Filled() : curve.output.Filled();
    ar << DWORD(1) << DWORD(n);
    for (std::uint16_t i = 0; i < n; ++i) ar << curve.input[i] << curve.output[i];
    return ar;
}

CArchive& operator>>(CArchive& ar, CColorCurve& curve) {
    curve.input.Destroy();
    curve.output.Destroy();
    DWORD version = 0, n = 0;
    ar >> version;
    if (version > 1) AfxThrowArchiveException(CArchiveException::badIndex);
    ar >> n;
    // A stored count past the arrays' limit is damage, not a curve to allocate for.
    if (n > floatDynArr::DefaultLimit) AfxThrowArchiveException(CArchiveException::badIndex);
    // Read whole before it is taken: a file ending early leaves the curve empty.
    CColorCurve read;
    for (DWORD i = 0; i < n; ++i) {
        float in = 0, out = 0;
        ar >> in >> out;
        read.input.Append(in);
        read.output.Append(out);
    }
    curve.input = read.input;
    curve.output = read.output;
    return ar;
}
