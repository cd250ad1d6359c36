#pragma once
// Outlines from pixel rows: each text row ('#' traced, anything else not) is cut into runs,
// and each run is merged with the outlines it overlaps on the line above. Finished outlines
// are tested, simplified and written point by point through Output. Outlines that touch
// another, or themselves, only at a pixel corner are kept back and joined or split through
// that corner at the end of the pass.
//
// Rings run clockwise on screen (scan lines downward): a run is (2s, 2y) -> (2e, 2y) ->
// (2e, 2y + 2) -> (2s, 2y + 2). Holes run the other way.

#include <vector>

#include "LinkBank.h"
#include "TraceNodes.h"

class OutlineTracer {
public:
    // Point kinds given to Output.
    enum { KindStart = 1, KindLine = 2, KindEnd = -1 };

    OutlineTracer();
    virtual ~OutlineTracer() = default;

    void BeginPass();
    // One scan line y of n characters.
    void Row(const char* text, int n, int y);
    // Finishes the open outlines and resolves the ones kept back.
    void EndPass();
    // Forgets every outline of an interrupted pass; all nodes go back to their stores.
    void Reset();
    void SetStoreLimits(unsigned pointBlocks, unsigned referenceBlocks, unsigned outlineBlocks);

    // Half-pixel units: bump width, step length, minimum size.
    int bumpWidth = 0;
    int stepLength = 0;
    int minSize = 0;
    // More than one: holes are dropped (the enclosed colour has a pass of its own).
    int passCount = 1;

protected:
    // The point sink: a start, lines to each further point, an end with (0, 0).
    virtual void Output(int kind, float x, float y) = 0;

private:
    // A bottom edge (A -> B, right to left) of a run of the previous scan line.
    struct OpenEdge {
        TracePoint* pred; // the run's top-right corner; pred->next is A
        TracePoint* a;
        TracePoint* b;
        int left;  // x of B
        int right; // x of A
        TraceOutline* owner;
        OutlineRef* ref;
    };
    struct Run {
        TracePoint* c; // top-left
        TracePoint* d; // top-right
        TracePoint* bottomRight;
        TracePoint* bottomLeft;
        TraceOutline* outline;
    };

    TracePoint* NewPoint(int x, int y);
    TraceOutline* NewOutline(TracePoint* tail);
    void AddContact(TraceOutline* o, TracePoint* p);
    static OutlineRef* Splice(OutlineRef* a, OutlineRef* b);
    static TraceOutline* Find(TraceOutline* o);
    void JoinRun(Run& run, std::size_t first, std::size_t last, int y);
    void SplitHole(TraceOutline* main, TracePoint* holeTail, Run& run);
    void ReleaseRing(TracePoint* tail);
    void ReleaseContacts(TraceOutline* o);
    void ReleaseOutline(TraceOutline* o);

    // Finishing and simplification.
    void Finish(TraceOutline* o);
    void RemoveBumps(TraceOutline* o);
    void SmoothSteps(TraceOutline* o);
    void RemoveCollinear(TraceOutline* o);
    void RemoveZigZags(TraceOutline* o);
    void Write(TraceOutline* o);
    void ResolveDeferred();

    LinkBank points;
    LinkBank references;
    LinkBank outlines;

    std::vector<OpenEdge> edges;    // the previous line's run bottoms, left to right
    std::vector<OpenEdge> newEdges; // those of the current line
    std::vector<Run> runs;
    std::vector<TraceOutline*> absorbed;
    std::vector<TraceOutline*> toFinish;
    std::vector<std::size_t> overlaps;
    std::vector<TracePoint*> holePoints;
    TraceOutline* deferred = nullptr; // finished outlines with contacts
    TraceOutline* deferredLast = nullptr;
};
