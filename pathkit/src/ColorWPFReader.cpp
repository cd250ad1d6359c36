#include "pathkit/ColorWPFReader.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "ClassicNumbers.h"
#include "pathkit/ColorPath.h"

namespace {

constexpr int TokenLength = 40; // tokens of at most 39 characters

// The text after the first "key" of line, null when there is none. "Color=" inside
// "FrameColor=" does not count as "Color=".
const char* After(const char* line, const char* key) {
    std::size_t n = std::strlen(key);
    for (const char* p = std::strstr(line, key); p; p = std::strstr(p + 1, key)) {
        bool insideFrameColor = std::strcmp(key, "Color=") == 0 && p - line >= 5 &&
                                std::strncmp(p - 5, "Frame", 5) == 0;
        if (!insideFrameColor) return p + n;
    }
    return nullptr;
}

// The token at text, up to a blank, at most TokenLength - 1 characters.
void Token(const char* text, char (&token)[TokenLength]) {
    int n = 0;
    while (n < TokenLength - 1 && text[n] && !std::strchr(" \t\r\n", text[n])) {
        token[n] = text[n];
        ++n;
    }
    token[n] = 0;
}

// The decimal number at text as the C atoi reads it, saturated instead of overflowing.
long long Atoi(const char* text) {
    while (*text == ' ' || *text == '\t') // the token holds no other blanks
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    long long v = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (v < LLONG_MAX / 100) v = v * 10 + (*text - '0');
    return negative ? -v : v;
}

// The low byte of the number after letter in token; 0 when the letter is missing.
unsigned ColourByte(const char* token, char letter) {
    const char* p = std::strchr(token, letter);
    if (!p) return 0;
    const char* digits = p + 1;
    bool negative = *digits == '-';
    if (*digits == '-' || *digits == '+') ++digits;
    // The low byte of any decimal number, however long: modulo 256 digit by digit.
    unsigned v = 0;
    for (; *digits >= '0' && *digits <= '9'; ++digits)
        v = (v * 10 + unsigned(*digits - '0')) & 0xFF;
    return negative ? (256 - v) & 0xFF : v;
}

// "RrGgBb" in any case after the key: true with the colour when the token is longer than 5.
bool DecodeRGB(const char* text, unsigned& colour) {
    char token[TokenLength];
    Token(text, token);
    if (std::strlen(token) <= 5) return false;
    for (char* p = token; *p; ++p)
        *p = char(std::toupper(static_cast<unsigned char>(*p)));
    colour = ColourByte(token, 'R') | ColourByte(token, 'G') << 8 | ColourByte(token, 'B') << 16;
    return true;
}

} // namespace

ColorWPFReader::ColorWPFReader(InStream& in, float grid) : WPFReader(in, grid) {}

void ColorWPFReader::ReadPHeader() {
    const char* line = Line();
    std::memcpy(attr_, line, std::size_t(LineLength()) + 1);

    unsigned colour = 0;
    if (const char* p = After(line, "Color=")) DecodeRGB(p, colour);

    int layer = 1;
    if (const char* p = After(line, "Layer=")) {
        char token[TokenLength];
        Token(p, token);
        if (token[0]) {
            long long v = Atoi(token);
            layer = v > SHRT_MAX ? SHRT_MAX : v < SHRT_MIN ? SHRT_MIN : int(v);
        }
    }

    frameColor = -1;
    if (const char* p = After(line, "FrameColor=")) {
        unsigned frame;
        if (DecodeRGB(p, frame)) frameColor = int(frame);
    }
    frameWidth = 0;
    if (const char* p = After(line, "FrameWidth=")) {
        double w = ClassicStrToD(p);
        if (std::isfinite(w))
            frameWidth = w > FLT_MAX ? FLT_MAX : w < -FLT_MAX ? -FLT_MAX : float(w);
    }

    ColorPath* target = ColorTarget();
    if (!target) return;
    target->colour = colour;
    target->layer = std::int16_t(layer);
    std::uint16_t flags = target->pathFlags & ~(CP_LINES_ONLY | CP_SHEET_BORDER);
    if (std::strstr(line, "LinesOnly")) flags |= CP_LINES_ONLY;
    if (std::strstr(line, "SheetBorder")) flags |= CP_SHEET_BORDER;
    target->pathFlags = flags;
}
