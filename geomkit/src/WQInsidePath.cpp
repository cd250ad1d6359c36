#include "geomkit/WQInsidePath.h"

#include "geomkit/WPath.h"

WQInsidePath::WQInsidePath() : m_x(0), m_y(0), m_subPathQuestion(new WQInsideSubPath) {}

WQInsidePath::~WQInsidePath() = default;

void WQInsidePath::Initialize(const WPont<float>& p) {
    m_x = p.x;
    m_y = p.y;
    m_subPathQuestion->Initialize(p);
}

int WQInsidePath::Answer(WPath* path) {
    if (!path || !path->GetBBox().IsInside(WPont<float>(m_x, m_y))) return 0;
    // Even-odd across sub-paths. The sub-path question keeps a retreated point from one
    // sub-path to the next.
    int inside = 0;
    for (int i = 0; i < path->GetSize(); ++i) {
        WPath::SubPathPtr sp = path->GetSubPathByIndex(i);
        if (!sp.IsEmpty()) inside += m_subPathQuestion->Answer(sp.Get());
    }
    return inside & 1;
}
