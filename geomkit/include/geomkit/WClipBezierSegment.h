#pragma once
// Clips one segment to the side of an axis-parallel line, or to an axis-parallel box, and
// reports the parts kept as parameter intervals together with the cut-out pieces.
//
// Side letters of the box: "B" left (x min), "L" bottom (y min), "J" right (x max), "F" top
// (y max). Position codes run anticlockwise from the right: 0 inside, 1 right, 2 upper right,
// 3 above, 4 upper left, 5 left, 6 lower left, 7 below, 8 lower right.

#include "geomkit/COXSPtr.h"
#include "geomkit/WInterval.h"
#include "geomkit/WKeyedList.h"
#include "geomkit/WObject.h"
#include "geomkit/WPont.h"
#include "mfc/CString.h"

class WSegment;

class GEOMKIT_API WClipBezierSegment : public WObject {
public:
    static constexpr int kMaxPieces = 6;
    static constexpr int kGapCount = kMaxPieces + 1;

    // How far round the box the outline turns in one gap between pieces, in eighth turns.
    struct GapTurn {
        int entryFlag = 0;
        int entryTurn = 0;
        int exitFlag = 0;
        int exitTurn = 0;
    };

    WClipBezierSegment();
    ~WClipBezierSegment() override;

    // Taken as given: x min = x1, y min = y1, x max = x2, y max = y2.
    void Initialize(double x1, double y1, double x2, double y2);
    void Initialize(const WPont<float>& p1, const WPont<float>& p2);
    // The square of side size centred on c.
    void Initialize(const WPont<float>& c, double size);
    // The w × h box centred on c.
    void Initialize(const WPont<float>& c, double w, double h);

    // The parts of s where the coordinate (0 x, 1 y) exceeds axis: −1 none, 0 the whole
    // segment, else 1 or 2 inside intervals written to first and second.
    int CutBezierAtAxis(const WSegment* s, WInterval& first, WInterval& second, double axis,
                        int coordinate);
    // Clips s to the box; the number of pieces inside (0 to 6). With trackSides also the side
    // strings, the end points' position codes and the gap turns.
    int CutBezier(const WSegment* s, int trackSides);

    int GetPieceCount() const { return m_count; }
    // Result interval i, in the order of the curve parameter.
    const WInterval& GetInterval(int i) const;
    // The piece of the segment on interval i, or an empty pointer.
    COXSPtr<WSegment> GetPiece(int i) const;
    // Sides crossed in gap k (before piece k; gap GetPieceCount() follows the last piece).
    const CString& GetSides(int k) const;
    const GapTurn& GetGapTurn(int k) const;
    int GetStartPosition() const { return m_startPosition; }
    int GetEndPosition() const { return m_endPosition; }

    double GetMinX() const { return m_xMin; }
    double GetMaxX() const { return m_xMax; }
    double GetMinY() const { return m_yMin; }
    double GetMaxY() const { return m_yMax; }

protected:
    int Position(const WPont<float>& p) const;
    // Sign of the turns between consecutive side letters: +1 anticlockwise (B, L, J, F).
    int DetermineDirection(const CString& sides) const;
    // rel, relative to outer, becomes relative to the whole segment.
    void TransformRelativeIntervalToAbsolute(const WInterval& outer, WInterval& rel) const;
    int BelowAxis(double a, double b, double c, double d, double axis) const;
    int AboveAxis(double a, double b, double c, double d, double axis) const;

private:
    void ComputeGapTurns();

    double m_xMin;
    double m_xMax;
    double m_yMin;
    double m_yMax;
    CString m_sides[kGapCount];
    int m_startPosition;
    int m_endPosition;
    int m_capacity;
    COXSPtr<WKeyedList<COXSPtr<WSegment>>> m_pieces;
    GapTurn m_turns[kGapCount];
    int m_count;
    WInterval m_intervals[kMaxPieces];
};
