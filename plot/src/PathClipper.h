#pragma once
// The clipping step of PlotPath: keeps the parts of a path (in device steps) that lie inside
// a box. Closed outlines that the box cuts are closed again along the box's edges, except
// along the edges named by the keep flags; open outlines are cut where they leave the box.

class Path;
class floatBBox;

struct ClipEdges {
    int keepLeft = 0;
    int keepRight = 0;
    int keepBottom = 0;
    int keepTop = 0;
};

// The clip box as one closed sub-path: (left, bottom) -> (left, top) -> (right, top) ->
// (right, bottom) -> back.
void BuildClipPath(const floatBBox& clip, Path& out);

// Clips d by the box into result (appended). d is broken, rounded to whole steps and marked
// on the way; its open sub-paths are moved out of it.
void ClipPathToBox(Path& d, const floatBBox& clip, const ClipEdges& edges, Path& result);
