#pragma once
// Finds where an axis-parallel line meets a sub-path. The points are collected in a sub-path
// handle as (segment index, segment reference at the parameter); a handle holds one point per
// segment, so every point, in the order found, is also kept in a list of its own.

#include <vector>

#include "geomkit/COXSPtr.h"
#include "geomkit/WObject.h"
#include "geomkit/WSubPath.h"
#include "geomkit/WSubPathHandle.h"

class GEOMKIT_API WCutSubPathWithLine : public WObject {
public:
    // Line types: x = value, y = value, and the same lines with the other side counting as
    // above the line.
    enum { eVertical = 0, eHorizontal = 1, eVerticalNegated = 2, eHorizontalNegated = 3 };

    struct CuttingPoint {
        int segment;
        float t;
    };

    WCutSubPathWithLine();
    ~WCutSubPathWithLine() override;

    // 1 when at least one cutting point was found; 0 for a null or empty sub-path or an
    // unknown type. The sub-path is not changed.
    int CutWithLine(WSubPath<WNode, WSegment>* subPath, double value, int type);
    COXSPtr<WSubPathHandle> GetCuttingPointsHandle() const { return m_handle; }
    // Number of pairs in the handle: segments with at least one cutting point.
    int GetCuttingPointsNumber() const;
    // Every cutting point, also several on one segment.
    const std::vector<CuttingPoint>& GetCuttingPoints() const { return m_points; }

private:
    COXSPtr<WSubPathHandle> m_handle;
    std::vector<CuttingPoint> m_points;
};
