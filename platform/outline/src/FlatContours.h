#pragma once
// The contours of a path flattened into chords, member by member, for winding numbers and
// distances. Each member's chords are kept apart, so that a point taken beside a member's
// chords lies on a known side of exactly what is counted.

#include <cstddef>
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

    std::vector<Pt> points_;
    std::vector<Span> spans_;               // one per member, in order
    std::vector<std::size_t> subPathFirst_; // index of each sub-path's first span
    double tolerance_;
};
