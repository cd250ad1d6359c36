#include "OutlineTracer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unordered_set>

namespace {

// Store sizes: points in blocks of 5,000 (500,000 in all), references and outlines in
// blocks of 200 (40,000 each).
constexpr unsigned PointBlocks = 100, PointsPerBlock = 5000;
constexpr unsigned ReferenceBlocks = 200, ReferencesPerBlock = 200;
constexpr unsigned OutlineBlocks = 200, OutlinesPerBlock = 200;

// Marks an outline listed for finishing at the end of a row.
constexpr int Finishing = INT_MIN;

bool SamePlace(const TracePoint* a, const TracePoint* b) {
    return a->x == b->x && a->y == b->y;
}

} // namespace

OutlineTracer::OutlineTracer()
    : points(PointBlocks, PointsPerBlock, sizeof(TracePoint)),
      references(ReferenceBlocks, ReferencesPerBlock, sizeof(OutlineRef)),
      outlines(OutlineBlocks, OutlinesPerBlock, sizeof(TraceOutline)) {}

void OutlineTracer::SetStoreLimits(unsigned pointBlocks, unsigned referenceBlocks,
                                   unsigned outlineBlocks) {
    points.SetBlockLimit(pointBlocks);
    references.SetBlockLimit(referenceBlocks);
    outlines.SetBlockLimit(outlineBlocks);
}

TracePoint* OutlineTracer::NewPoint(int x, int y) {
    auto* p = static_cast<TracePoint*>(points.Take());
    p->next = p;
    p->x = x;
    p->y = y;
    return p;
}

TraceOutline* OutlineTracer::NewOutline(TracePoint* tail) {
    auto* o = static_cast<TraceOutline*>(outlines.Take());
    o->link = nullptr;
    o->tail = tail;
    o->contacts = nullptr;
    o->forward = nullptr;
    o->lastRow = -1;
    o->count = 0;
    return o;
}

void OutlineTracer::AddContact(TraceOutline* o, TracePoint* p) {
    auto* r = static_cast<OutlineRef*>(references.Take());
    r->point = p;
    if (o->contacts) {
        r->next = o->contacts->next;
        o->contacts->next = r;
    } else {
        r->next = r;
    }
    o->contacts = r;
}

// Two circular lists held by their tails become one by swapping the tails' successors.
OutlineRef* OutlineTracer::Splice(OutlineRef* a, OutlineRef* b) {
    if (!a) return b;
    if (!b) return a;
    std::swap(a->next, b->next);
    return b;
}

TraceOutline* OutlineTracer::Find(TraceOutline* o) {
    while (o->forward) o = o->forward;
    return o;
}

void OutlineTracer::ReleaseRing(TracePoint* tail) {
    if (!tail) return;
    TracePoint* p = tail->next;
    tail->next = nullptr;
    while (p) {
        TracePoint* next = p->next;
        points.Release(p);
        p = next;
    }
}

void OutlineTracer::ReleaseContacts(TraceOutline* o) {
    if (!o->contacts) return;
    OutlineRef* r = o->contacts->next;
    o->contacts->next = nullptr;
    while (r) {
        OutlineRef* next = r->next;
        references.Release(r);
        r = next;
    }
    o->contacts = nullptr;
}

void OutlineTracer::ReleaseOutline(TraceOutline* o) {
    ReleaseRing(o->tail);
    ReleaseContacts(o);
    outlines.Release(o);
}

void OutlineTracer::Reset() {
    points.ReleaseAll();
    references.ReleaseAll();
    outlines.ReleaseAll();
    edges.clear();
    newEdges.clear();
    runs.clear();
    absorbed.clear();
    toFinish.clear();
    deferred = deferredLast = nullptr;
}

void OutlineTracer::BeginPass() {
    Reset();
}

// ---- the row merge

void OutlineTracer::Row(const char* text, int n, int y) {
    runs.clear();
    const int top = 2 * y;
    for (int i = 0; i < n;) {
        if (text[i] != '#') {
            ++i;
            continue;
        }
        int s = i;
        while (i < n && text[i] == '#') ++i;
        Run run;
        run.c = NewPoint(2 * s, top);
        run.d = NewPoint(2 * i, top);
        run.bottomRight = NewPoint(2 * i, top + 2);
        run.bottomLeft = NewPoint(2 * s, top + 2);
        run.c->next = run.d;
        run.d->next = run.bottomRight;
        run.bottomRight->next = run.bottomLeft;
        run.bottomLeft->next = run.c;
        run.outline = NewOutline(run.bottomLeft);
        run.outline->lastRow = y;
        runs.push_back(run);
    }

    // The previous line's edges and the runs are both sorted left to right and disjoint, so
    // one sweep finds every pair that overlaps or touches at a corner.
    std::size_t from = 0;
    for (Run& run : runs) {
        const int cx = run.c->x, dx = run.d->x;
        while (from < edges.size() && edges[from].right < cx) ++from;
        std::size_t to = from;
        while (to < edges.size() && edges[to].left <= dx) ++to;
        JoinRun(run, from, to, y);
    }

    // Outlines that no run continued are complete.
    toFinish.clear();
    for (OpenEdge& e : edges) {
        TraceOutline* o = Find(e.owner);
        if (o->lastRow != y && o->lastRow != Finishing) {
            o->lastRow = Finishing;
            toFinish.push_back(o);
        }
        references.Release(e.ref);
    }
    edges.clear();

    // The runs' bottoms are the open edges of the next line.
    newEdges.clear();
    for (Run& run : runs) {
        OpenEdge e;
        e.pred = run.d;
        e.a = run.bottomRight;
        e.b = run.bottomLeft;
        e.left = run.bottomLeft->x;
        e.right = run.bottomRight->x;
        e.owner = Find(run.outline);
        e.ref = static_cast<OutlineRef*>(references.Take());
        e.ref->next = e.ref;
        e.ref->point = run.d;
        newEdges.push_back(e);
    }
    std::swap(edges, newEdges);
    for (TraceOutline* o : absorbed) outlines.Release(o);
    absorbed.clear();
    for (TraceOutline* o : toFinish) Finish(o);
    toFinish.clear();
}

// Joins run into the outlines whose edges [first, last) it meets. Every join swaps the
// successors of the run's top-left corner C and the edge's right end A, right to left:
// the first links A -> D and C -> B; each further edge closes the stretch between it and
// the previous edge. Two different outlines become one; within one outline the closed
// stretch is a hole of its own.
void OutlineTracer::JoinRun(Run& run, std::size_t first, std::size_t last, int y) {
    TracePoint* c = run.c;
    TracePoint* d = run.d;
    TraceOutline* cur = run.outline;

    overlaps.clear();
    for (std::size_t i = first; i < last; ++i) {
        OpenEdge& e = edges[i];
        if (e.left < d->x && c->x < e.right) {
            overlaps.push_back(i);
        } else if (e.left == d->x) {
            AddContact(cur, d);
            AddContact(Find(e.owner), e.b);
        } else if (e.right == c->x) {
            AddContact(cur, c);
            AddContact(Find(e.owner), e.a);
        }
    }
    if (overlaps.empty()) return;

    for (std::size_t k = overlaps.size(); k-- > 0;) {
        OpenEdge& e = edges[overlaps[k]];
        TraceOutline* o = Find(e.owner);
        TracePoint* a = e.a;
        std::swap(c->next, a->next);
        if (k + 1 == overlaps.size() && SamePlace(a, d)) {
            // A and D coincide: A goes, its predecessor links to D.
            e.pred->next = d;
            points.Release(a);
            e.a = nullptr;
        }
        if (o != cur) {
            o->contacts = Splice(o->contacts, cur->contacts);
            cur->contacts = nullptr;
            cur->forward = o;
            absorbed.push_back(cur);
            o->lastRow = y;
            cur = o;
        } else {
            SplitHole(cur, a, run);
        }
    }
    if (SamePlace(c, c->next)) {
        // C and the last B coincide: C goes, the run's bottom-left corner links to B.
        run.bottomLeft->next = c->next;
        points.Release(c);
        run.c = nullptr;
    }
}

// The ring closed at holeTail (holeTail -> ... -> holeTail) leaves main as a hole with the
// contacts that lie on it, and is finished at once: no later run can reach it.
void OutlineTracer::SplitHole(TraceOutline* main, TracePoint* holeTail, Run& run) {
    TraceOutline* hole = NewOutline(holeTail);
    main->tail = run.bottomLeft;
    if (main->contacts) {
        holePoints.clear();
        TracePoint* p = holeTail;
        do {
            holePoints.push_back(p);
            p = p->next;
        } while (p != holeTail);
        std::sort(holePoints.begin(), holePoints.end());
        OutlineRef* r = main->contacts->next;
        main->contacts->next = nullptr;
        main->contacts = nullptr;
        while (r) {
            OutlineRef* next = r->next;
            TraceOutline* to =
                std::binary_search(holePoints.begin(), holePoints.end(), r->point) ? hole : main;
            if (to->contacts) {
                r->next = to->contacts->next;
                to->contacts->next = r;
            } else {
                r->next = r;
            }
            to->contacts = r;
            r = next;
        }
    }
    Finish(hole);
}

void OutlineTracer::EndPass() {
    toFinish.clear();
    for (OpenEdge& e : edges) {
        TraceOutline* o = Find(e.owner);
        if (o->lastRow != Finishing) {
            o->lastRow = Finishing;
            toFinish.push_back(o);
        }
        references.Release(e.ref);
    }
    edges.clear();
    for (TraceOutline* o : toFinish) Finish(o);
    toFinish.clear();
    ResolveDeferred();
}

// ---- finishing

void OutlineTracer::Finish(TraceOutline* o) {
    // Start point: greatest x, of those greatest y; counted and measured in the same walk.
    TracePoint* start = o->tail;
    int xmin = start->x, xmax = start->x, ymin = start->y, ymax = start->y;
    unsigned count = 0;
    TracePoint* p = o->tail;
    do {
        ++count;
        xmin = std::min(xmin, p->x);
        xmax = std::max(xmax, p->x);
        ymin = std::min(ymin, p->y);
        ymax = std::max(ymax, p->y);
        if (p->x > start->x || (p->x == start->x && p->y > start->y)) start = p;
        p = p->next;
    } while (p != o->tail);
    o->tail = start;
    o->count = count;

    bool tooSmall = std::max(xmax - xmin, ymax - ymin) <= minSize;
    bool droppedHole = start->next->x == start->x && passCount > 1;
    if (tooSmall || droppedHole) {
        ReleaseOutline(o);
        return;
    }
    if (o->contacts) {
        o->link = nullptr;
        if (deferredLast)
            deferredLast->link = o;
        else
            deferred = o;
        deferredLast = o;
        return;
    }
    if (bumpWidth) RemoveBumps(o);
    if (stepLength) SmoothSteps(o);
    Write(o);
    ReleaseOutline(o);
}

void OutlineTracer::Write(TraceOutline* o) {
    TracePoint* start = o->tail;
    TracePoint* first = start->next;
    Output(KindStart, float(first->x), float(first->y));
    TracePoint* p = first;
    do {
        p = p->next;
        Output(KindLine, float(p->x), float(p->y));
    } while (p != start);
    Output(KindLine, float(first->x), float(first->y));
    Output(KindEnd, 0, 0);
}

// One walk: a one-pixel bump or notch (A -> B one pixel, B -> C at most the bump width,
// C -> D back by A -> B) goes; a one-pixel spur at a step (C -> D back by twice A -> B) is
// cut to the step. Either sits on an edge that runs on before and after it the way its top
// does (Q -> A and D -> E along B -> C): the end of a bar one pixel thick, a side of a small
// block (whose corners are A or D) or a bar that overhangs its stem is no bump, and removing
// it would move the outline by more than the pixel promised.
void OutlineTracer::RemoveBumps(TraceOutline* o) {
    TracePoint* q = o->tail->next;
    for (;;) {
        TracePoint* a = q->next;
        TracePoint* b = a->next;
        TracePoint* c = b->next;
        TracePoint* d = c->next;
        TracePoint* e = d->next;
        int abx = b->x - a->x, aby = b->y - a->y;
        int dcx = c->x - d->x, dcy = c->y - d->y;
        int bcx = c->x - b->x, bcy = c->y - b->y;
        int bcLength = std::max(std::abs(bcx), std::abs(bcy));
        auto alongTop = [bcx, bcy](const TracePoint* from, const TracePoint* to) {
            long ux = to->x - from->x, uy = to->y - from->y;
            return ux * bcy - uy * bcx == 0 && ux * bcx + uy * bcy > 0;
        };
        bool shortSide = (abx == 0) != (aby == 0) && std::abs(abx) + std::abs(aby) <= 2 &&
                         bcLength <= bumpWidth && alongTop(q, a) && alongTop(d, e);
        bool bump = shortSide && dcx == abx && dcy == aby;
        bool spur = shortSide && dcx == 2 * abx && dcy == 2 * aby;
        if (bump) {
            if (o->count < 8) return;
            bool tailGone = a == o->tail || b == o->tail || c == o->tail || d == o->tail;
            q->next = d->next;
            points.Release(a);
            points.Release(b);
            points.Release(c);
            points.Release(d);
            o->count -= 4;
            if (tailGone) {
                o->tail = q;
                return;
            }
        } else if (spur) {
            if (o->count < 5) return;
            c->x = (c->x + d->x) / 2;
            c->y = (c->y + d->y) / 2;
            a->next = c;
            bool tailGone = b == o->tail;
            points.Release(b);
            o->count -= 1;
            if (tailGone) {
                o->tail = q;
                return;
            }
        } else {
            if (q == o->tail) return;
            q = q->next;
        }
    }
}

void OutlineTracer::SmoothSteps(TraceOutline* o) {
    const int ws = stepLength;
    auto isShort = [ws](const TracePoint* p, const TracePoint* n) {
        int dx = n->x - p->x, dy = n->y - p->y;
        return (dx == 0) != (dy == 0) && std::abs(dx) + std::abs(dy) <= ws;
    };
    TracePoint* head = nullptr; // first appended
    TracePoint* last = nullptr;
    unsigned count = 0;
    auto append = [&](int x, int y) {
        if (last && last->x == x && last->y == y) return;
        TracePoint* np = NewPoint(x, y);
        if (last)
            last->next = np;
        else
            head = np;
        last = np;
        ++count;
    };
    // The old ring is released only once the new one is complete, so an exhausted store
    // leaves nothing half linked.
    TracePoint* p = o->tail->next;
    try {
        for (unsigned i = 0; i < o->count; ++i) {
            TracePoint* n = p->next;
            TracePoint* n2 = n->next;
            int code = 4 * isShort(p, n) + 2 * isShort(n, n2) + isShort(n2, n2->next);
            if (code == 0) {
                append(n->x, n->y);
            } else if (code == 1) {
                append(n->x, n->y);
                append((n->x + n2->x) / 2, (n->y + n2->y) / 2);
            } else {
                append((n->x + n2->x) / 2, (n->y + n2->y) / 2);
            }
            p = n;
        }
    } catch (...) {
        if (last) {
            last->next = head;
            ReleaseRing(last);
        }
        throw;
    }
    if (count > 1 && last->x == head->x && last->y == head->y) {
        // The seam repeats the first point.
        TracePoint* before = head;
        while (before->next != last) before = before->next;
        points.Release(last);
        last = before;
        --count;
    }
    last->next = head;
    ReleaseRing(o->tail);
    o->tail = last;
    o->count = count;
    RemoveCollinear(o);
    RemoveZigZags(o);
}

void OutlineTracer::RemoveCollinear(TraceOutline* o) {
    TracePoint* p = o->tail->next;
    for (;;) {
        while (o->count > 2) {
            TracePoint* n = p->next;
            TracePoint* n2 = n->next;
            std::int64_t cross = std::int64_t(n->x - p->x) * (n2->y - p->y) -
                                 std::int64_t(n->y - p->y) * (n2->x - p->x);
            if (cross != 0) break;
            p->next = n2;
            if (n == o->tail) o->tail = p;
            points.Release(n);
            --o->count;
        }
        if (p == o->tail || o->count <= 2) return;
        p = p->next;
    }
}

void OutlineTracer::RemoveZigZags(TraceOutline* o) {
    auto sign = [](std::int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); };
    TracePoint* p0 = o->tail->next;
    while (o->count >= 4) {
        TracePoint* p1 = p0->next;
        TracePoint* p2 = p1->next;
        TracePoint* p3 = p2->next;
        std::int64_t x3 = p3->x - p0->x, y3 = p3->y - p0->y;
        std::int64_t d = x3 * x3 + y3 * y3;
        std::int64_t e = std::int64_t(p2->x - p0->x) * y3 - std::int64_t(p2->y - p0->y) * x3;
        std::int64_t g = std::int64_t(p1->x - p0->x) * y3 - std::int64_t(p1->y - p0->y) * x3;
        if (d != 0 && sign(g) == -sign(e)) {
            double gd = double(g) * double(g) / double(d);
            double ed = double(e) * double(e) / double(d);
            if (std::fabs(gd - ed) < 0.5) {
                p0->next = p2;
                bool tailGone = p1 == o->tail;
                points.Release(p1);
                --o->count;
                if (tailGone) {
                    o->tail = p0;
                    return;
                }
                continue;
            }
        }
        if (p0 == o->tail) return;
        p0 = p1;
    }
}

// ---- the end of a pass

// Every corner contact is a pair of points at one place, one on each of the two touching
// stretches of outline. Swapping their successors joins two outlines through the corner,
// or splits one that touches itself there; either way each ring then passes the corner
// once per side and nothing enclosed changes. A contact whose partner was dropped (too
// small, or a hole of a colour pass) is dropped too.
void OutlineTracer::ResolveDeferred() {
    struct Contact {
        int x, y;
        std::size_t order;
        TracePoint* p;
    };
    std::vector<Contact> contacts;
    std::vector<TracePoint*> starts;
    for (TraceOutline* o = deferred; o; o = o->link) {
        starts.push_back(o->tail);
        if (!o->contacts) continue;
        OutlineRef* r = o->contacts;
        do {
            r = r->next;
            contacts.push_back({r->point->x, r->point->y, contacts.size(), r->point});
        } while (r != o->contacts);
    }
    if (!deferred) return;
    std::sort(contacts.begin(), contacts.end(), [](const Contact& a, const Contact& b) {
        if (a.x != b.x) return a.x < b.x;
        if (a.y != b.y) return a.y < b.y;
        return a.order < b.order;
    });
    for (std::size_t i = 0; i + 1 < contacts.size();) {
        if (contacts[i].x == contacts[i + 1].x && contacts[i].y == contacts[i + 1].y) {
            std::swap(contacts[i].p->next, contacts[i + 1].p->next);
            starts.push_back(contacts[i].p);
            starts.push_back(contacts[i + 1].p);
            i += 2;
        } else {
            ++i;
        }
    }
    // The outline records go back to the store; every ring now formed is found from a
    // former tail or a swapped point.
    for (TraceOutline* o = deferred; o;) {
        TraceOutline* next = o->link;
        ReleaseContacts(o);
        outlines.Release(o);
        o = next;
    }
    deferred = deferredLast = nullptr;

    std::unordered_set<TracePoint*> startSet(starts.begin(), starts.end());
    std::unordered_set<TracePoint*> walked;
    for (TracePoint* s : starts) {
        if (walked.count(s)) continue;
        TracePoint* p = s;
        do {
            if (startSet.count(p)) walked.insert(p);
            p = p->next;
        } while (p != s);
        TraceOutline* o = NewOutline(s);
        Finish(o);
    }
}
