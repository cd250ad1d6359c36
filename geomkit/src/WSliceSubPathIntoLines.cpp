#include "geomkit/WSliceSubPathIntoLines.h"

#include "geomkit/WSubPath.h"

WSliceSubPathIntoLines::WSliceSubPathIntoLines() : m_target(nullptr) {}

WSliceSubPathIntoLines::~WSliceSubPathIntoLines() = default;

void WSliceSubPathIntoLines::SliceSubPath(const COXSPtr<SubPath>& source,
                                          const COXSPtr<SubPath>& target) {
    SubPath& src = *source;
    m_target = &*target;
    int count = src.GetSegmentCount();
    for (int i = 0; i < count; ++i) {
        WSegment segment;
        if (!src.GetSegment(i, segment)) continue;
        Initialize(&segment);
        StartSlicing();
    }
    Initialize(nullptr);
    if (src.IsClosed()) m_target->Close();
    m_target = nullptr;
}

int WSliceSubPathIntoLines::OutPut(float, const WPont<float>& p) {
    m_target->LineTo(p.x, p.y);
    return 1;
}
