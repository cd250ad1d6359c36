#pragma once
// Replaces every segment of a sub-path by the points the slicer produces, appended to a target
// sub-path as straight lines.

#include "geomkit/COXSPtr.h"
#include "geomkit/WSegmentSlicer.h"

template <class TNodeT, class TSegmentT> class WSubPath;
class WNode;
class WSegment;

class GEOMKIT_API WSliceSubPathIntoLines : public WSegmentSlicer {
public:
    using SubPath = WSubPath<WNode, WSegment>;

    WSliceSubPathIntoLines();
    ~WSliceSubPathIntoLines() override;

    // The start of each segment is not produced: the first point after the source's first
    // anchor starts the (empty) target. A closed source closes the target.
    void SliceSubPath(const COXSPtr<SubPath>& source, const COXSPtr<SubPath>& target);

protected:
    int OutPut(float t, const WPont<float>& p) override;

private:
    SubPath* m_target;
};
