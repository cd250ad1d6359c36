#pragma once
// The context's GDI path: figures in device units while a path is open, then filled,
// stroked, turned into a region or a clip.

#include <vector>

#include "DeviceContext.h"

namespace sdgdi {

void pathMoveTo(DeviceContext& dc, double x, double y);
void pathLineTo(DeviceContext& dc, double x, double y);
void pathBezierTo(DeviceContext& dc, const double (&pts)[6]);
void pathClose(DeviceContext& dc);
// A closed figure of the points.
void pathPolygon(DeviceContext& dc, const std::vector<std::pair<double, double>>& pts);

struct Figure {
    std::vector<FixPoint> points; // corner fixed point (16x, 16y), curves flattened
    bool closed = false;
};
std::vector<Figure> pathFigures(const std::vector<GdiPathPoint>& path);

// Scan-converts polygons (corner fixed point) into a region.
bool regionFromPolygons(const std::vector<FixPolygon>& polygons, bool winding,
                        pixman_region32_t* out);

} // namespace sdgdi
