#include "geomkit/FClipBox.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr double kEps = 0.00001;

bool InCodeRange(int v) {
    return v >= 1 && v <= 10;
}

bool IsCorner(int code) {
    return code == 5 || code == 6 || code == 9 || code == 10;
}

// Place of a region or side code anticlockwise from the right, or −1.
int Place(int code) {
    switch (code) {
    case 2:
        return 0;
    case 6:
        return 1;
    case 4:
        return 2;
    case 5:
        return 3;
    case 1:
        return 4;
    case 9:
        return 5;
    case 8:
        return 6;
    case 10:
        return 7;
    default:
        return -1;
    }
}

bool Within(double v, double low, double high) {
    return v >= low - kEps && v <= high + kEps; // false for NaN
}

} // namespace

FClipBox::FClipBox() : FClipBox(0, 0, 0, 0) {}

FClipBox::FClipBox(double x1, double y1, double x2, double y2)
    : m_centerX(0), m_centerY(0), m_slope(0), m_sideIndicator(0) {
    SetClipBox(x1, y1, x2, y2);
}

FClipBox::FClipBox(const WPont<double>& p1, const WPont<double>& p2)
    : FClipBox(p1.x, p1.y, p2.x, p2.y) {}

FClipBox::FClipBox(const FClipBox& other)
    : FClipBox(other.m_xMin, other.m_yMin, other.m_xMax, other.m_yMax) {
    m_slope = other.m_slope;
}

FClipBox& FClipBox::operator=(const FClipBox& other) {
    SetClipBox(other.m_xMin, other.m_yMin, other.m_xMax, other.m_yMax);
    m_slope = other.m_slope;
    return *this;
}

void FClipBox::SetClipBox(double x1, double y1, double x2, double y2) {
    m_xMin = std::min(x1, x2);
    m_xMax = std::max(x1, x2);
    m_yMax = std::max(y1, y2);
    m_yMin = std::min(y1, y2);
    m_centerX = (m_xMin + m_xMax) / 2;
    m_centerY = (m_yMin + m_yMax) / 2;
}

void FClipBox::SetClipBox(const WPont<double>& p1, const WPont<double>& p2) {
    SetClipBox(p1.x, p1.y, p2.x, p2.y);
}

int FClipBox::Turn(int a, int b) {
    const int from = Place(a), to = Place(b);
    if (from < 0 || to < 0) return 0;
    int t = to - from;
    if (t > 4)
        t -= 8;
    else if (t < -3)
        t += 8;
    return t;
}

void FClipBox::CalcPointPosition(DOUBLEPOINT& p) const {
    p.code = (p.x < m_xMin ? 1 : 0) | (p.x > m_xMax ? 2 : 0) | (p.y > m_yMax ? 4 : 0) |
             (p.y < m_yMin ? 8 : 0);
    p.side = 0;
}

void FClipBox::CheckVerticalPos(DOUBLEPOINT& p) const {
    if (p.code & 4) {
        p.y = m_yMax;
        p.side = 4;
    } else if (p.code & 8) {
        p.y = m_yMin;
        p.side = 8;
    }
}

void FClipBox::CheckHorizontalPos(DOUBLEPOINT& p) const {
    if (p.code & 1) {
        p.x = m_xMin;
        p.side = 1;
    } else if (p.code & 2) {
        p.x = m_xMax;
        p.side = 2;
    }
}

int FClipBox::CutRightSide(DOUBLEPOINT& p) {
    const double y = p.y + (m_xMax - p.x) / m_slope;
    if (y > m_yMax + kEps) {
        m_sideIndicator = 1;
        return 0;
    }
    if (y >= m_yMin - kEps) {
        p.x = m_xMax;
        p.y = y;
        p.side = 2;
        return 1;
    }
    m_sideIndicator = -1;
    return 0;
}

int FClipBox::CutLeftSide(DOUBLEPOINT& p) {
    const double y = p.y + (m_xMin - p.x) / m_slope;
    if (y > m_yMax + kEps) {
        m_sideIndicator = -1;
        return 0;
    }
    if (y < m_yMin - kEps) {
        m_sideIndicator = 1;
        return 0;
    }
    if (std::isnan(y)) return 0;
    p.x = m_xMin;
    p.y = y;
    p.side = 1;
    return 1;
}

int FClipBox::CalcCutting(DOUBLEPOINT& p) {
    if (p.code == 0) return 1;
    if (p.code & (4 | 8)) {
        const bool above = (p.code & 4) != 0;
        const double side = above ? m_yMax : m_yMin;
        const double x = p.x + m_slope * (side - p.y);
        if (Within(x, m_xMin, m_xMax)) {
            p.x = x;
            p.y = side;
            p.side = above ? 4 : 8;
            return 1;
        }
        if (p.code & 2) return CutRightSide(p);
        if (p.code & 1) return CutLeftSide(p);
        return 0;
    }
    if (p.code == 1) {
        const double y = p.y + (m_xMin - p.x) / m_slope;
        if (y > m_yMax + kEps || !(y >= m_yMin - kEps)) return 0;
        p.x = m_xMin;
        p.y = y;
        p.side = 1;
        return 1;
    }
    if (p.code == 2) {
        const double y = p.y + (m_xMax - p.x) / m_slope;
        if (!Within(y, m_yMin, m_yMax)) return 0;
        p.x = m_xMax;
        p.y = y;
        p.side = 2;
        return 1;
    }
    return 0;
}

int FClipBox::UnclippedTurn(const DOUBLELINE& line) const {
    int turn = Turn(line.start.code, line.end.code);
    if (turn == 4 && IsCorner(line.start.code) && m_sideIndicator < 0) turn = -4;
    return turn;
}

void FClipBox::SetClippedInfo(const DOUBLELINE& line, CLIPINFO* info) const {
    if (!info) return;
    if (InCodeRange(line.start.code) && InCodeRange(line.start.side)) {
        info->startClipped = 1;
        info->startTurn = Turn(line.start.code, line.start.side);
    }
    if (InCodeRange(line.end.side) && InCodeRange(line.end.code)) {
        info->endClipped = 1;
        info->endTurn = Turn(line.end.side, line.end.code);
    }
    if (!info->startClipped && !info->endClipped) info->endTurn = UnclippedTurn(line);
}

int FClipBox::ClipLine(DOUBLELINE& line, CLIPINFO* info) {
    if (info) *info = CLIPINFO{0, 0, 0, 0};
    m_sideIndicator = 0;
    DOUBLEPOINT& s = line.start;
    DOUBLEPOINT& e = line.end;
    if (std::isnan(s.x) || std::isnan(s.y) || std::isnan(e.x) || std::isnan(e.y) ||
        std::isnan(m_xMin + m_xMax + m_yMin + m_yMax)) {
        s.code = e.code = s.side = e.side = 0;
        return 0; // nothing is visible of such a line, or in such a box
    }
    const double dy = s.y - e.y, dx = s.x - e.x;
    if (std::fabs(dy) >= kEps)
        m_slope = dx / dy;
    else
        m_slope = (dy < 0 && dx < 0) || (dy > 0 && dx > 0) ? DBL_MAX : -DBL_MAX;
    CalcPointPosition(s);
    CalcPointPosition(e);
    if (s.code == e.code && s.code == 0) return 1;
    if (s.code != e.code && (s.code & e.code) == 0) {
        if (s.x != e.x && s.y != e.y) {
            const int startDone = CalcCutting(s);
            const int endDone = startDone ? CalcCutting(e) : 0;
            SetClippedInfo(line, info);
            return startDone && endDone;
        }
        if (s.y == e.y) {
            CheckHorizontalPos(s);
            CheckHorizontalPos(e);
        } else {
            CheckVerticalPos(s);
            CheckVerticalPos(e);
        }
        SetClippedInfo(line, info);
        return 1;
    }
    // Both ends beyond the same side: nothing visible.
    SetClippedInfo(line, info);
    return 0;
}

int FClipBox::ClipLine(const WPont<double>& p, double angle, DOUBLELINE& out) {
    const double slope = std::tan(angle);
    DOUBLEPOINT hits[2];
    int count = 0;
    auto add = [&](double x, double y, int side) {
        // A line through a corner meets two sides there; that point counts once.
        if (count == 1 && std::fabs(x - hits[0].x) <= kEps && std::fabs(y - hits[0].y) <= kEps)
            return;
        if (count < 2) hits[count++] = DOUBLEPOINT{x, y, 0, side};
    };
    const bool nearLeft = std::fabs(p.x - m_xMin) <= kEps;
    const bool atBottomLeft = nearLeft && std::fabs(p.y - m_yMin) <= kEps;
    const bool atTopLeft = nearLeft && std::fabs(p.y - m_yMax) <= kEps;
    if (atBottomLeft) {
        add(m_xMin, m_yMin, 1);
    } else {
        if (std::fabs(slope) < 1000000) {
            const double y = p.y + slope * (m_xMin - p.x);
            if (Within(y, m_yMin, m_yMax)) add(m_xMin, y, 1);
        }
        const double x = p.x + (m_yMin - p.y) / slope;
        if (Within(x, m_xMin, m_xMax)) add(x, m_yMin, 8);
    }
    if (!atTopLeft) {
        const double x = p.x + (m_yMax - p.y) / slope;
        if (Within(x, m_xMin, m_xMax)) add(x, m_yMax, 4);
    }
    const double y = p.y + slope * (m_xMax - p.x);
    if (Within(y, m_yMin, m_yMax)) add(m_xMax, y, 2);
    if (count < 2) return 0;
    out.end = hits[1];
    out.start = hits[0];
    if (std::fabs(hits[0].x - hits[1].x) < kEps) out.start.x = hits[1].x;
    if (std::fabs(hits[0].y - hits[1].y) < kEps) out.start.y = hits[1].y;
    return 1;
}

int FClipBox::IntersectBox(const WBoundingBox& box) {
    if (!(m_xMax >= box.left && m_xMin <= box.right && m_yMax >= box.bottom && m_yMin <= box.top)) {
        SetRectEmpty();
        return 0;
    }
    SetClipBox(std::max(m_xMin, box.left), std::max(m_yMin, box.bottom),
               std::min(m_xMax, box.right), std::min(m_yMax, box.top));
    return 1;
}

int FClipBox::IntersectBox(const FClipBox& other) {
    return IntersectBox(*this, other);
}

int FClipBox::IntersectBox(const FClipBox& a, const FClipBox& b) {
    // Either box may be this one.
    const WBoundingBox boxB(b.m_xMin, b.m_xMax, b.m_yMin, b.m_yMax);
    SetClipBox(a.m_xMin, a.m_yMin, a.m_xMax, a.m_yMax);
    return IntersectBox(boxB);
}

void FClipBox::SetRectEmpty() {
    m_xMin = m_yMax = m_xMax = m_yMin = 0;
    m_centerX = m_centerY = 0;
}

bool FClipBox::IsRectEmpty() const {
    return !(m_xMax > m_xMin && m_yMin < m_yMax);
}

const WBoundingBox& FClipBox::GetBBox() {
    m_bbox = WBoundingBox(m_xMin, m_xMax, m_yMin, m_yMax);
    return m_bbox;
}

int FClipBox::PtInRect(const WPont<double>& p) const {
    return m_xMin - kEps < p.x && p.x < m_xMax - kEps && m_yMin - kEps < p.y && p.y < m_yMax - kEps;
}
