#include "text/Charstring.h"

#include "pathkit/Path.h"

void DecodeCharstringNumber(CharstringState& state, int v) {
    std::int32_t value;
    if (v >= 32 && v <= 246) {
        value = v - 139;
    } else if (v >= 247 && v <= 254) {
        if (state.pos >= state.end) {
            state.overrun = true;
            return;
        }
        int w = *state.pos++;
        value = v <= 250 ? (v - 247) * 256 + w + 108 : -(v - 251) * 256 - w - 108;
    } else if (v == 255) {
        if (state.end - state.pos < 4) {
            state.overrun = true;
            state.pos = state.end;
            return;
        }
        std::uint32_t u = (std::uint32_t(state.pos[0]) << 24) |
                          (std::uint32_t(state.pos[1]) << 16) | (std::uint32_t(state.pos[2]) << 8) |
                          std::uint32_t(state.pos[3]);
        state.pos += 4;
        value = std::int32_t(u);
    } else {
        return; // not a number byte
    }
    if (state.sp == state.stack) {
        state.overrun = true;
        return;
    }
    *--state.sp = value;
}

namespace {

// Operand i in program order; 0 when the program gave fewer.
float operand(const CharstringState& s, int i) {
    return i < s.Depth() ? float(s.stack[CharstringState::StackSize - 1 - i]) : 0.0f;
}

} // namespace

int InterpretCharstring(const std::uint8_t* begin, const std::uint8_t* end, Path& path) {
    CharstringState s(begin, end);
    float x = 0, y = 0;
    bool escape = false;
    while (s.pos < s.end) {
        int b = *s.pos++;
        if (escape) {
            escape = false;
            if (b == 0 || b == 16 || b == 17) return -1;
            s.Clear();
            continue;
        }
        if (b >= 32) {
            DecodeCharstringNumber(s, b);
            if (s.overrun) return -1;
            continue;
        }
        switch (b) {
        case 21: // rmoveto
            x += operand(s, 0);
            y += operand(s, 1);
            path.Append(PC_MOVETO, x, y);
            break;
        case 22: // hmoveto
            x += operand(s, 0);
            path.Append(PC_MOVETO, x, y);
            break;
        case 4: // vmoveto
            y += operand(s, 0);
            path.Append(PC_MOVETO, x, y);
            break;
        case 5: // rlineto
            x += operand(s, 0);
            y += operand(s, 1);
            path.Append(PC_LINETO, x, y);
            break;
        case 6: // hlineto
            x += operand(s, 0);
            path.Append(PC_LINETO, x, y);
            break;
        case 7: // vlineto
            y += operand(s, 0);
            path.Append(PC_LINETO, x, y);
            break;
        case 8:    // rrcurveto dx1 dy1 dx2 dy2 dx3 dy3
        case 30:   // vhcurveto dy1 dx2 dy2 dx3
        case 31: { // hvcurveto dx1 dx2 dy2 dy3
            float d[6];
            if (b == 8) {
                for (int i = 0; i < 6; ++i)
                    d[i] = operand(s, i);
            } else if (b == 30) {
                d[0] = 0, d[1] = operand(s, 0), d[2] = operand(s, 1), d[3] = operand(s, 2);
                d[4] = operand(s, 3), d[5] = 0;
            } else {
                d[0] = operand(s, 0), d[1] = 0, d[2] = operand(s, 1), d[3] = operand(s, 2);
                d[4] = 0, d[5] = operand(s, 3);
            }
            float x1 = x + d[0], y1 = y + d[1];
            float x2 = x1 + d[2], y2 = y1 + d[3];
            x = x2 + d[4];
            y = y2 + d[5];
            path.Append(PC_CURVETO, x1, y1);
            path.Append(PC_CURVEPOINT, x2, y2);
            path.Append(PC_CURVEPOINT, x, y);
            break;
        }
        case 9: // closepath
            path.Close();
            path.ClosePath();
            break;
        case 14: // endchar
            return 0;
        case 12:
            escape = true;
            break;
        default: // hsbw, hints, subroutines: ignored
            break;
        }
        s.Clear();
    }
    return -1;
}
