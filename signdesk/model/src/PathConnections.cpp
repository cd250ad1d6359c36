#include "model/PathConnections.h"

#include "pathkit/NodeEdit.h"
#include "pathkit/Path.h"

namespace {
// The node-selection bits of the members.
constexpr std::uint16_t NodeSelection = 0x3C00;
constexpr float SmoothAngle = 0.0034906585f; // 0.2 degrees
constexpr float SymmetricRatio = 0.01f;
} // namespace

void DetectPathConnections(Path& path) {
    path.SetPMState(NodeSelection, 0, 0, 0);
    // Pass 0 selects the smooth joints; pass 2 classifies the selected ones without reshaping.
    DetectConnectionTypesIn(path, 1, SmoothAngle, 1, SymmetricRatio, 0);
    DetectConnectionTypesIn(path, 1, SmoothAngle, 1, SymmetricRatio, 2);
    path.SetPMState(NodeSelection, 0, 0, 0);
    path.Prepare();
}
