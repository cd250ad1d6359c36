#pragma once
// An axis-parallel rectangle in doubles (y up) that clips straight lines by region codes and
// reports how far round the box the clipped ends turn.
//
// Region codes: 0 inside, +1 left of x min, +2 right of x max, +4 above y max, +8 below y min;
// a coordinate equal to a bound is inside. Sides reached: 1 left, 2 right, 4 top, 8 bottom.
// Turns count eighth turns anticlockwise round the box, in −3..4.

#include "geomkit/WBoundingBox.h"
#include "geomkit/WPont.h"
#include "geomkit/export.h"

struct DOUBLEPOINT {
    double x;
    double y;
    int code; // region code
    int side; // side reached when clipped, 0 for none
};

struct DOUBLELINE {
    DOUBLEPOINT start;
    DOUBLEPOINT end;
};

struct CLIPINFO {
    int startClipped;
    int startTurn;
    int endClipped;
    int endTurn;
};

class GEOMKIT_API FClipBox {
public:
    FClipBox();
    FClipBox(double x1, double y1, double x2, double y2);
    FClipBox(const WPont<double>& p1, const WPont<double>& p2);
    FClipBox(const FClipBox& other);
    // The other box's bounds and line slope.
    FClipBox& operator=(const FClipBox& other);

    // The corners in any order.
    void SetClipBox(double x1, double y1, double x2, double y2);
    void SetClipBox(const WPont<double>& p1, const WPont<double>& p2);

    // Clips line in place; 1 when a visible part remains. info may be null.
    int ClipLine(DOUBLELINE& line, CLIPINFO* info);
    // The chord of the box on the infinite line through p at angle (radians); 1 when found.
    int ClipLine(const WPont<double>& p, double angle, DOUBLELINE& out);

    // This becomes the intersection; the empty box and 0 when they do not meet. Boxes that
    // only touch give a box of zero width or height and 1.
    int IntersectBox(const WBoundingBox& box);
    int IntersectBox(const FClipBox& other);
    int IntersectBox(const FClipBox& a, const FClipBox& b);

    void SetRectEmpty();
    bool IsRectEmpty() const;
    const WBoundingBox& GetBBox();
    // Both bounds of each axis shifted down by 0.00001: the lower side admits points just
    // outside, the upper side rejects points just inside.
    int PtInRect(const WPont<double>& p) const;

    double GetMinX() const { return m_xMin; }
    double GetMaxX() const { return m_xMax; }
    double GetMinY() const { return m_yMin; }
    double GetMaxY() const { return m_yMax; }
    WPont<double> GetCenter() const { return WPont<double>(m_centerX, m_centerY); }

    // Eighth turns anticlockwise from code a's place round the box to code b's, in −3..4;
    // 0 for a code that names no place.
    static int Turn(int a, int b);

protected:
    void CalcPointPosition(DOUBLEPOINT& p) const;
    // Snap a point of a vertical line to the top or bottom side, of a horizontal line to the
    // left or right side.
    void CheckVerticalPos(DOUBLEPOINT& p) const;
    void CheckHorizontalPos(DOUBLEPOINT& p) const;
    // Moves an outside point along the line onto the box; 0 when the line misses it.
    int CalcCutting(DOUBLEPOINT& p);
    void SetClippedInfo(const DOUBLELINE& line, CLIPINFO* info) const;

private:
    int CutRightSide(DOUBLEPOINT& p);
    int CutLeftSide(DOUBLEPOINT& p);
    // End turn for a line whose ends were not clipped.
    int UnclippedTurn(const DOUBLELINE& line) const;

    double m_xMin;
    double m_yMax;
    double m_xMax;
    double m_yMin;
    double m_centerX;
    double m_centerY;
    double m_slope;
    int m_sideIndicator;
    WBoundingBox m_bbox;
};
