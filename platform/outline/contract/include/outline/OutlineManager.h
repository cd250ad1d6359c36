#pragma once
// The outline manager "Outline.dll" (the module Outline.so in the program folder): builds the
// contours at a distance from the contours of a Bezier record file. Callers load the module by
// name and bind GetOutlineManager and the constructor of TBaseOutlineParams.
//
// The contours of the input are taken as areas: closed contours (start and end within the
// accuracy) bound the filled area by the even-odd rule, open contours are strokes of no width.
// The result is the boundary of the filled area grown (side 0, "outline") or shrunk (side 1,
// "inline") by the distance: holes shrink as the area grows, loops and overlaps are resolved,
// and what shrinks to nothing is dropped. Open contours grow into strokes of twice the distance
// and give nothing inwards. Members are offset as curves; circular arcs stay exact.

#include <cstdint>

#define OUTLINE_API __attribute__((visibility("default")))

// Corner treatment (TBaseOutlineParams::mode), where the grown contour turns around a corner.
// Corners on the other side need none: the offset contours are cut where they cross.
enum : std::int32_t {
    // A circular arc of radius distance about the corner (also for unknown modes).
    OUTLINE_ROUND = 0,
    // The offset members extended until they meet. Corners sharper than limitAngle (the angle
    // between the two members, in degrees) are cut off square, across the bisector, at the
    // distance from the corner the mitre reaches at limitAngle (distance / sin(limitAngle / 2)),
    // so that the contour does not jump as a corner passes the limit.
    OUTLINE_MITRE = 1,
    // A straight line across the corner.
    OUTLINE_BEVEL = 2,
};

// Allocated by the caller, set up by the module's constructor, then filled in. Only the first
// five members are filled in by callers; members are only ever added at the end.
struct OUTLINE_API TBaseOutlineParams {
    TBaseOutlineParams();

    std::int32_t reserved; // 0
    std::int32_t mode;     // corner treatment, OUTLINE_ROUND ...
    std::int32_t side;     // 0 outside (grow), 1 inside (shrink)
    float distance;        // millimetres, not negative
    float limitAngle;      // degrees, for OUTLINE_MITRE; 60 when not within (0, 180)
    // Set by the constructor: the largest deviation of a result from the exact offset
    // (millimetres, 0.01); coarsened where the geometry is too large for it.
    float accuracy;
};

class TAbsOutlineManager {
public:
    // The interface version, 0x100.
    virtual int GetVersion() = 0;
    // Reads the contours of inputFile, writes the contours at the distance on the requested side
    // to outputFile (created or truncated; no records when nothing remains or the input cannot
    // be read) and returns 0. Non-zero: nothing was written (1: the parameters or the input
    // cannot be used, 2: the computation ran out of memory or array room, 3: the output cannot
    // be written). An exception thrown by the path library's abort handler, which is polled
    // while the contours are built, passes to the caller with the output file left empty.
    // `reserved` must be null.
    virtual int Outline(const char* inputFile, const char* outputFile, TBaseOutlineParams* params,
                        void* reserved) = 0;

protected:
    ~TAbsOutlineManager() = default;
};

constexpr int OutlineInterfaceVersion = 0x100;

extern "C" {
// The manager of the module; it lives as long as the module is loaded.
OUTLINE_API TAbsOutlineManager* GetOutlineManager();
using GetOutlineManagerProc = TAbsOutlineManager* (*)();
}

// The exported name of TBaseOutlineParams::TBaseOutlineParams(), for binding by name; it takes
// the object's address as its only argument.
constexpr const char* TBaseOutlineParamsConstructorName = "_ZN18TBaseOutlineParamsC1Ev";
using TBaseOutlineParamsConstructorProc = void (*)(TBaseOutlineParams*);
