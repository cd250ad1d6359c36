#pragma once
// The nodes of the outline extraction. Coordinates in half-pixel units.

// One corner of an outline. A ring is circular and held by its tail (tail->next is the
// first point).
struct TracePoint {
    TracePoint* next;
    int x;
    int y;
};

// A reference to point P names the edge from P->next to P->next->next. Lists of references
// are circular and held by their tail.
struct OutlineRef {
    OutlineRef* next;
    TracePoint* point;
};

// An outline being grown row by row, or kept back for its corner contacts.
struct TraceOutline {
    TraceOutline* link;     // the next outline of a list
    TracePoint* tail;       // the point ring
    OutlineRef* contacts;   // points where it touches an outline, or itself, at a corner only
    TraceOutline* forward;  // the outline it was merged into during the current row
    int lastRow;            // the last scan line that added a run to it
    unsigned count;         // points, counted when finished
};
