#pragma once
// The outline manager's computation on paths: the contours of an area at a distance.

class Path;

struct OutlineSettings {
    // Millimetres; positive grows the area, negative shrinks it.
    double distance = 0;
    // OUTLINE_ROUND, OUTLINE_MITRE or OUTLINE_BEVEL (others are taken as round).
    int mode = 0;
    // Degrees, for mitres; 60 when not within (0, 180).
    double limitAngle = 60;
    // Millimetres: the largest deviation of a result from the exact offset (crossings and
    // offset members are each found within half of it).
    float accuracy = 0.01f;
};

class OutlineEngine {
public:
    // Distances beyond this (millimetres), like those that are not numbers, give nothing.
    static constexpr double MaxDistance = 100000;

    explicit OutlineEngine(const OutlineSettings& settings);

    // Appends to out (prepared) the contours at the distance from the area of source: its
    // closed contours (start and end within the accuracy) taken by the even-odd rule after
    // Path::Normalize, its open ones as strokes. source is used up. The accuracy is coarsened
    // where the geometry spans more than the crossing searches resolve at it. The abort handler
    // is polled between contours.
    void Run(Path& source, Path& out) const;

private:
    // The accuracy for a geometry of this extent (the diagonal of its box, millimetres).
    float WorkingAccuracy(double extent) const;

    OutlineSettings settings_;
};
