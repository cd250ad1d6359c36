#include "geomkit/WCutSubPathWithLine.h"

#include <cmath>

#include "geomkit/WClipBezierSegment.h"
#include "geomkit/WInterval.h"
#include "geomkit/WTransMatrix.h"

WCutSubPathWithLine::WCutSubPathWithLine() : m_handle(new WSubPathHandle) {}

WCutSubPathWithLine::~WCutSubPathWithLine() = default;

int WCutSubPathWithLine::GetCuttingPointsNumber() const {
    return m_handle->GetCount();
}

int WCutSubPathWithLine::CutWithLine(WSubPath<WNode, WSegment>* subPath, double value, int type) {
    m_handle = COXSPtr<WSubPathHandle>(new WSubPathHandle);
    m_points.clear();
    if (!subPath || subPath->IsEmpty() || type < eVertical || type > eHorizontalNegated) return 0;
    const int coordinate = type == eHorizontal || type == eHorizontalNegated ? 1 : 0;
    const bool negate = type >= eVerticalNegated;
    if (negate) value = -value;
    WTransMatrix negating;
    negating.Negate();

    WClipBezierSegment clipper;
    WSegment segment;
    const int count = subPath->GetSegmentCount();
    for (int i = 0; i < count; ++i) {
        subPath->GetSegment(i, segment);
        // Negation is exact, so each segment is negated on its own instead of the sub-path.
        if (negate) segment.AcceptLinearTrans(negating);
        WInterval parts[2];
        const int n = clipper.CutBezierAtAxis(&segment, parts[0], parts[1], value, coordinate);
        const double start = coordinate ? segment.GetP0().y : segment.GetP0().x;
        for (int k = 0; k < n; ++k) {
            const WInterval& part = parts[k];
            if (part.Lower() != 0 || std::fabs(start - value) <= 1.1920929e-7)
                m_points.push_back({i, float(part.Lower())});
            if (part.Upper() != 1) m_points.push_back({i, float(part.Upper())});
        }
    }
    for (const CuttingPoint& p : m_points)
        m_handle->AddPair(p.segment, COXSPtr<WBezierRef>(new WSegmentRef(p.t)));
    return m_points.empty() ? 0 : 1;
}
