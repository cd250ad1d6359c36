#pragma once
// The contours of a path flattened into chords, member by member, for winding numbers and
// distances. Each member's chords are kept apart, so that a point taken beside a member's
// chords lies on a known side of exactly what is counted.

#include <cstddef>
#include <cstdint>
#include <vector>

class Path;

class FlatContours {
public:
    // Most chords per member.
    static constexpr int MaxChords = 512;

    // Flattens every member of every finished sub-path: the chords lie within tolerance
    // (millimetres) of the member.
    FlatContours(const Path& path, double tolerance);

    // The sum of the winding numbers of all contours about (x, y), counter-clockwise positive.
    int Winding(double x, double y) const;
    // Winding(x1, y1) and Winding(x2, y2), in one pass over the chords when both points fall
    // in one row of the index (as the two sides of a sample do).
    void Windings(double x1, double y1, double x2, double y2, int& w1, int& w2) const;

    // A point on the middle chord of member `member` of sub-path `subPath` (the nearest chord
    // with length), and two points close beside it, left and right of the direction of travel;
    // false for a member without length.
    bool Beside(std::size_t subPath, std::size_t member, double& mx, double& my, double& lx,
                double& ly, double& rx, double& ry) const;

    // Whether some chord passes closer than reach to (x, y).
    bool NearerThan(double x, double y, double reach) const;

private:
    struct Pt {
        double x, y;
    };
    struct Span {
        std::size_t first; // index of the first point
        std::size_t count; // points, at least 2
        double left, right, bottom, top;
    };

    // Appends the inner chord ends of a cubic (not its end points).
    void AppendCurve(const Pt& p0, const Pt& p1, const Pt& p2, const Pt& p3);

    // Chords are found through two indexes built once: rows of equal height for the winding
    // rays (every chord listed in each row its y range meets) and a grid of square cells for
    // the distance queries (every chord listed in each cell its box meets). The queries then
    // test the same chords by the same rules as a scan of all spans would, less the chords
    // that cannot matter, so their answers do not change.
    struct ChordRef {
        std::uint32_t point; // index of the chord's first point
        std::uint32_t span;
    };
    void BuildIndexes();
    int Row(double y) const;
    int Cell(double v, double origin) const;

    std::vector<Pt> points_;
    std::vector<Span> spans_;               // one per member, in order
    std::vector<std::size_t> subPathFirst_; // index of each sub-path's first span
    double tolerance_;

    double bottom_ = 0, rowHeight_ = 0;
    int rows_ = 0;
    std::vector<std::uint32_t> rowFirst_; // rows_ + 1 offsets into rowChords_
    std::vector<ChordRef> rowChords_;
    double left_ = 0, cellSize_ = 0;
    int columns_ = 0, cellRows_ = 0;
    std::vector<std::uint32_t> cellFirst_; // columns_ * cellRows_ + 1 offsets into cellChords_
    std::vector<ChordRef> cellChords_;
};
