#pragma once
// DXF text read as group code / value line pairs. Lines are trimmed of blanks and CR; a line
// keeps at most MaxValue characters, and a longer one is marked over-long and taken neither as
// a number nor as a name, however it starts.

#include <string>

class InStream;

namespace dxf {

struct Pair {
    static constexpr int InvalidCode = -1; // a code line that is not a whole number

    int code = InvalidCode;
    std::string value;
    bool overlong = false;

    // The value as a number; false when it is not one number from end to end (empty,
    // over-long, other characters after it) or is not finite.
    bool Number(double& v) const;
    bool Is(const char* name) const { return !overlong && value == name; }
};

class PairReader {
public:
    static constexpr std::size_t MaxValue = 255;

    explicit PairReader(InStream& in) : in_(in) {}
    // The next pair; false at the end of the input (a code without its value line is dropped).
    bool Next(Pair& pair);

private:
    bool Line(std::string& text, bool& overlong);

    InStream& in_;
};

} // namespace dxf
