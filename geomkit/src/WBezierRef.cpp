#include "geomkit/WBezierRef.h"

WBezierRef::~WBezierRef() = default;

int WBezierRef::IsNodeRef() const {
    return 1;
}

WNodeRef::~WNodeRef() = default;

int WNodeRef::IsNodeRef() const {
    return 1;
}

WSegmentRef::~WSegmentRef() = default;

int WSegmentRef::IsNodeRef() const {
    return 0;
}
