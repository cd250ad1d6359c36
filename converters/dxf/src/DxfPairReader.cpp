#include "DxfPairReader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "pathkit/ClassicNumbers.h"
#include "pathkit/InStream.h"

namespace dxf {

namespace {

bool Blank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

bool Pair::Number(double& v) const {
    if (overlong || value.empty()) return false;
    char* end = nullptr;
    v = ClassicStrToD(value.c_str(), &end);
    return end == value.c_str() + value.size() && std::isfinite(v);
}

bool PairReader::Line(std::string& text, bool& overlong) {
    text.clear();
    overlong = false;
    int c = in_.Get();
    if (c < 0) return false;
    for (; c >= 0 && c != '\n'; c = in_.Get()) {
        if (text.size() < MaxValue)
            text.push_back(char(c));
        else if (!Blank(c))
            overlong = true; // trailing blanks past the limit do not make a line over-long
    }
    std::size_t first = 0, last = text.size();
    while (first < last && Blank(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && Blank(static_cast<unsigned char>(text[last - 1])))
        --last;
    text = text.substr(first, last - first);
    return true;
}

bool PairReader::Next(Pair& pair) {
    std::string code;
    bool overlong;
    if (!Line(code, overlong)) return false;
    pair.code = Pair::InvalidCode;
    if (!overlong && !code.empty() && code.size() < 10) {
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(code.c_str(), &end, 10);
        if (*end == 0 && errno == 0 && v >= 0 && v <= INT_MAX) pair.code = int(v);
    }
    return Line(pair.value, pair.overlong);
}

} // namespace dxf
