#include "pathkit/AIParser.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ClassicNumbers.h"
#include "pathkit/Exceptions.h"
#include "pathkit/InStream.h"

namespace {

constexpr int CR = '\r';
constexpr int LF = '\n';

// Separates tokens; CR and LF also end comments.
bool IsSpace(int c) {
    return (c >= 0 && c <= ' ') || c == 127;
}

// Ends a name or number and starts a token of its own.
bool IsDelimiter(int c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsNumberText(const char* text, int length) {
    if (length == 0 || !std::strchr("0123456789+-.", text[0])) return false;
    for (int i = 0; i < length; ++i)
        if (!text[i] || !std::strchr("0123456789+-.eE", text[i])) return false;
    return true;
}

bool TokenIs(const char* text, int length, const char* word) {
    int n = int(std::strlen(word));
    return length == n && std::memcmp(text, word, std::size_t(n)) == 0;
}

bool TokenBegins(const char* text, int length, const char* word) {
    int n = int(std::strlen(word));
    return length >= n && std::memcmp(text, word, std::size_t(n)) == 0;
}

// A colour component: NaN gives 0, the rest is clamped to 0..1.
float Unit(double v) {
    if (!(v > 0)) return 0;
    return v < 1 ? float(v) : 1.0f;
}

// 1 - min(1, c + k), the additive component of a CMYK pair.
float FromCMYK(double c, double k) {
    return Unit(1 - std::min(1.0, c + k));
}

float ToFloat(double v) {
    if (std::isnan(v)) return 0;
    return float(std::clamp(v, double(-FLT_MAX), double(FLT_MAX)));
}

// Reads a signed integer after leading blanks; false when there is none.
bool ParseLong(const char*& p, long& value) {
    char* end = nullptr;
    value = std::strtol(p, &end, 10);
    if (end == p) return false;
    p = end;
    return true;
}

} // namespace

AIParser::AIParser(InStream* in)
    : in(in), token{}, tokenLength(0), tokenKind(TK_END), operands{}, operandCount(0), compound(0),
      lastPaint(0), lastChar(-1) {}

AIParser::~AIParser() = default;

InStream* AIParser::SetStream(InStream* stream) {
    InStream* previous = in;
    in = stream;
    return previous;
}

int AIParser::Get() {
    return in ? in->Get() : -1;
}

int AIParser::UnGet() {
    return in ? in->UnGet() : -1;
}

int AIParser::GetNext() {
    int c = Get();
    if (c < 0) throw Eof();
    return c;
}

void AIParser::GetToken(char*& text, int& length) {
    text = token;
    length = tokenLength;
}

void AIParser::ResetToken() {
    tokenLength = 0;
    token[0] = 0;
}

void AIParser::Emit(int c) {
    if (tokenLength >= MaxToken) return;
    token[tokenLength++] = char(c);
    token[tokenLength] = 0;
}

floatPoint AIParser::mm(double x, double y) {
    return floatPoint(ToFloat(x * MMPerPoint), ToFloat(y * MMPerPoint));
}

// ---- tokens

void AIParser::SkipLineEnd(int c) {
    if (c != CR) return;
    int d = Get();
    if (d >= 0 && d != LF) UnGet();
}

void AIParser::ReadComment() {
    for (;;) {
        int c = Get();
        if (c < 0 || c == LF) return;
        if (c == CR) {
            SkipLineEnd(c);
            return;
        }
        Emit(c);
    }
}

void AIParser::ReadWord(int c) {
    Emit(c);
    for (;;) {
        c = Get();
        if (c < 0 || IsSpace(c)) return;
        if (IsDelimiter(c) || c > 127) {
            UnGet();
            return;
        }
        Emit(c);
    }
}

void AIParser::ReadString() {
    int depth = 1;
    for (;;) {
        int c = GetNext();
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) return;
        } else if (c == '\\') {
            c = GetNext();
            switch (c) {
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            case 't':
                c = '\t';
                break;
            case 'b':
                c = '\b';
                break;
            case 'f':
                c = '\f';
                break;
            case CR:
            case LF:
                SkipLineEnd(c);
                continue; // a continued line
            default:
                if (c >= '0' && c <= '7') {
                    int value = c - '0';
                    for (int i = 0; i < 2; ++i) {
                        int d = Get();
                        if (d < '0' || d > '7') {
                            if (d >= 0) UnGet();
                            break;
                        }
                        value = value * 8 + d - '0';
                    }
                    c = value & 0xFF;
                }
                break; // any other byte stands for itself
            }
        }
        Emit(c);
    }
}

void AIParser::ReadHexString() {
    int high = -1;
    for (;;) {
        int c = GetNext();
        if (c == '>') break;
        int v = HexValue(c);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            Emit(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0) Emit(high * 16);
}

int AIParser::NextTok() {
    ResetToken();
    int c;
    do {
        c = Get();
        if (c < 0) return tokenKind = TK_END;
    } while (IsSpace(c));
    lastChar = c;

    if (c > 127) {
        Emit(c);
        return tokenKind = TK_HIGHBYTE;
    }
    switch (c) {
    case '%':
        ReadComment();
        return tokenKind = TK_COMMENT;
    case '(':
        ReadString();
        return tokenKind = TK_STRING;
    case '<': {
        int d = Get();
        if (d == '<') {
            Emit('<');
            Emit('<');
            return tokenKind = TK_NAME;
        }
        if (d == '~') {
            // Skipped undecoded, with the byte after the closing tilde.
            while (GetNext() != '~') {
            }
            Get();
            return tokenKind = TK_STRING;
        }
        if (d >= 0) UnGet();
        ReadHexString();
        return tokenKind = TK_STRING;
    }
    case '>': {
        Emit('>');
        int d = Get();
        if (d == '>')
            Emit('>');
        else if (d >= 0)
            UnGet();
        return tokenKind = TK_NAME;
    }
    case '[':
    case ']':
    case '{':
    case '}':
    case ')':
        Emit(c);
        return tokenKind = TK_NAME;
    case '/': {
        Emit('/');
        int d = Get();
        if (d < 0 || IsSpace(d)) return tokenKind = TK_NAME;
        if (IsDelimiter(d) || d > 127) {
            UnGet();
            return tokenKind = TK_NAME;
        }
        ReadWord(d);
        return tokenKind = TK_NAME;
    }
    default:
        ReadWord(c);
        return tokenKind = IsNumberText(token, tokenLength) ? TK_NUMBER : TK_NAME;
    }
}

// ---- header

void AIParser::SkipBinaryHeader() {
    static const int magic[4] = {0xC5, 0xD0, 0xD3, 0xC6};
    long begin = in->TellG();
    int c = Get();
    if (c < 0) return;
    if (c != magic[0]) {
        UnGet();
        return;
    }
    unsigned long offset = 0;
    for (int i = 1; i < 8; ++i) {
        c = Get();
        if (c < 0 || (i < 4 && c != magic[i])) {
            in->SeekG(begin, 0);
            return;
        }
        if (i >= 4) offset |= (unsigned long)c << (8 * (i - 4));
    }
    // Bytes 4..7: where the PostScript section begins, from the header's start (little-endian).
    if (offset > 0x7FFFFFFF || in->SeekG(begin + long(offset), 0) != 0) in->SeekG(begin + 30, 0);
}

int AIParser::ProcessHeader() {
    const char* marker = nullptr; // no comment matches until a version is read
    if (in) SkipBinaryHeader();
    long resume = in ? in->TellG() : -1;
    for (;;) {
        int kind = NextTok();
        if (kind == TK_END) break;
        if (kind != TK_COMMENT) continue;

        if (TokenBegins(token, tokenLength, "!PS-Adobe")) {
            double version = tokenLength > 10 ? ClassicStrToD(token + 10) : 0;
            marker = version >= 3 ? "%EndSetup" : "%EndProlog";
        }
        if (marker && TokenIs(token, tokenLength, marker)) return 0;
        if (TokenIs(token, tokenLength, "%EndSetup") || TokenIs(token, tokenLength, "%EndProlog"))
            resume = in->TellG();

        if (TokenBegins(token, tokenLength, "%BoundingBox:")) {
            const char* p = token + 13;
            long v[4];
            bool complete = true;
            for (long& value : v)
                complete = complete && ParseLong(p, value);
            if (complete) {
                auto toMM = [](long points) {
                    return float(double(std::clamp(points, -1000000000L, 1000000000L)) *
                                 MMPerPoint);
                };
                floatBBox box(toMM(v[0]), toMM(v[1]), toMM(v[2]), toMM(v[3]));
                if (!BoundingBox(box)) return -1;
            }
        } else if (TokenBegins(token, tokenLength, "%Creator")) {
            if (!Creator()) return -1;
        }
    }
    // No end of header: the body would be lost, so read it from the last header end seen.
    if (resume >= 0) in->SeekG(resume, 0);
    return -1;
}

// ---- script

bool AIParser::OperandPoint(int i, floatPoint& p) const {
    double x = operands[i] * MMPerPoint;
    double y = operands[i + 1] * MMPerPoint;
    if (!(std::fabs(x) <= MaxCoord && std::fabs(y) <= MaxCoord)) return false;
    p = floatPoint(float(x), float(y));
    return true;
}

int AIParser::OperandInt(int i) const {
    double v = operands[i];
    if (std::isnan(v)) return 0;
    return int(std::clamp(v, double(INT_MIN), double(INT_MAX)));
}

int AIParser::Operator(char op) {
    if (std::strchr("fFbBsSW", op)) lastPaint = op;
    floatPoint p1, p2, p3;
    switch (op) {
    case 'm':
        if (!OperandPoint(0, p1)) return 1;
        start = current = p1;
        return MoveTo(p1);
    case 'l':
    case 'L': {
        if (!OperandPoint(0, p1)) return 1;
        int result = LineTo(p1, op == 'l');
        current = lastEnd = p1;
        return result;
    }
    case 'c':
    case 'C':
    case 'v':
    case 'V':
    case 'y':
    case 'Y': {
        char lower = char(op | 0x20);
        if (lower == 'c') {
            if (!OperandPoint(0, p1) || !OperandPoint(2, p2) || !OperandPoint(4, p3)) return 1;
        } else if (lower == 'v') {
            if (!OperandPoint(0, p2) || !OperandPoint(2, p3)) return 1;
            p1 = current;
        } else {
            if (!OperandPoint(0, p1) || !OperandPoint(2, p3)) return 1;
            p2 = p3;
        }
        int result = CurveTo(p1, p2, p3, op == lower);
        current = lastEnd = p3;
        return result;
    }
    case 'h':
    case 'f':
    case 'F':
    case 'b':
    case 'B':
    case 's': {
        int result = 1;
        if (current != start) {
            result = LineTo(start, 0);
            current = lastEnd = start;
        }
        if (op == 'h') return result;
        if (op == 'f' || op == 'F') return Fill(1);
        if (op == 's') return Stroke(1);
        return FillAndStroke(1);
    }
    case 'S':
        return Stroke(1);
    case 'W':
        return SectionWithClipPath();
    case 'u':
    case 'q':
        return BeginGroup(op == 'q');
    case 'U':
    case 'Q':
        return EndGroup(op == 'Q');
    case 'g': {
        float v = Unit(operands[0]);
        return SetFillColor(v, v, v);
    }
    case 'G': {
        float v = Unit(operands[0]);
        return SetStrokeColor(v, v, v);
    }
    case 'k':
    case 'x':
    case 'K':
    case 'X': {
        const double* o = operands;
        float r = FromCMYK(o[0], o[3]), g = FromCMYK(o[1], o[3]), b = FromCMYK(o[2], o[3]);
        return op == 'k' || op == 'x' ? SetFillColor(r, g, b) : SetStrokeColor(r, g, b);
    }
    case 'i':
        return SetFlatness(OperandInt(0));
    case 'j':
        return SetLineJoin(OperandInt(0));
    case 'J':
        return SetLineCap(OperandInt(0));
    case 'M':
        return SetMiterLimit(OperandInt(0));
    case 'w': {
        double width = std::fabs(operands[0]) * MMPerPoint;
        if (std::isnan(width)) width = 0;
        return SetLineWidth(float(std::min(width, MaxCoord)));
    }
    case 'n':
    case 'N':
    case 'I':
    case 'O':
    case 'P':
    case 'R':
    case 'T':
    case 'a':
    case 'd':
    case 'o':
    case 'p':
    case 'r':
    case 't':
    case 'z':
        return UnImplemented();
    default:
        return 1;
    }
}

int AIParser::ProcessScript() {
    for (;;) {
        switch (NextTok()) {
        case TK_END:
            return 0;
        case TK_COMMENT:
            if (TokenIs(token, tokenLength, "%Trailer")) return 0;
            break;
        case TK_NUMBER:
            if (operandCount < MaxOperands) operands[operandCount++] = ClassicStrToD(token);
            break;
        case TK_NAME: {
            char op = 0;
            if (tokenLength == 2 && token[0] == '*') {
                compound = '*';
                op = token[1];
            } else {
                compound = 0;
                if (tokenLength == 1) op = token[0];
            }
            int result = op ? Operator(op) : 1;
            operandCount = 0;
            if (!result) return 1;
            break;
        }
        default:
            break;
        }
    }
}

// ---- operations

int AIParser::UnImplemented() {
    return 1;
}

int AIParser::Creator() {
    return UnImplemented();
}

int AIParser::BoundingBox(const floatBBox&) {
    return UnImplemented();
}

int AIParser::BeginGroup(int) {
    return UnImplemented();
}

int AIParser::EndGroup(int) {
    return UnImplemented();
}

int AIParser::SetFillColor(float, float, float) {
    return UnImplemented();
}

int AIParser::SetStrokeColor(float, float, float) {
    return UnImplemented();
}

int AIParser::SetFlatness(int) {
    return UnImplemented();
}

int AIParser::SetLineJoin(int) {
    return UnImplemented();
}

int AIParser::SetLineCap(int) {
    return UnImplemented();
}

int AIParser::SetMiterLimit(int) {
    return UnImplemented();
}

int AIParser::SetLineWidth(float) {
    return UnImplemented();
}

int AIParser::MoveTo(const floatPoint&) {
    return UnImplemented();
}

int AIParser::LineTo(const floatPoint&, int) {
    return UnImplemented();
}

int AIParser::CurveTo(const floatPoint&, const floatPoint&, const floatPoint&, int) {
    return UnImplemented();
}

int AIParser::Fill(int) {
    return UnImplemented();
}

int AIParser::Stroke(int) {
    return UnImplemented();
}

int AIParser::FillAndStroke(int) {
    Fill(0);
    return Stroke(1);
}

int AIParser::SectionWithClipPath() {
    return UnImplemented();
}
