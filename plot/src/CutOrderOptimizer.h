#pragma once
// Orders the outlines of a path for cutting: in horizontal bands of the device from bottom to
// top, within a band always the outline nearest the knife next, and every closed outline
// started where it comes nearest the knife (splitting a segment where its crossing with the
// knife's height is nearer than every node).
//
// Distance from the knife (kx, ky) to (x, y), in device steps: (20 (y - ky))^2 + (x - kx)^2;
// a step across the bands costs twenty steps along them.

#include <geomkit/COXSPtr.h>
#include <geomkit/WPath.h>
#include <geomkit/WTransMatrix.h>

class Path;
class floatTMatrix;

class CutOrderOptimizer {
public:
    static constexpr double BandHeight = 10.0; // device steps

    CutOrderOptimizer();

    // One sub-path per sub-path of the path, in order; empty ones are left out. A member's
    // smooth (symmetric) flag marks the node at its end.
    void Load(const Path& path);
    // The plotting matrix (millimetres to steps); the bands lie in its image.
    void SetMatrix(const floatTMatrix& m);
    void Optimise();
    // Replaces the path's sub-paths by the working ones and revalidates them. A marked node
    // gives the member that ends there its smooth (symmetric) flag.
    void Store(Path& path) const;

    static double Distance(double kx, double ky, double x, double y) {
        double dy = 20.0 * (y - ky);
        double dx = x - kx;
        return dy * dy + dx * dx;
    }

    const WPath& Working() const { return *path_; }

private:
    using SubPath = WPath::SubPath;

    // Starts a closed sub-path at its crossing with the knife's height when that is nearer
    // than bound; false when no crossing is.
    static bool SplitAtCrossing(SubPath& sp, double kx, double ky, double bound);

    COXSPtr<WPath> path_;
    WTransMatrix matrix_;
    WTransMatrix inverse_;
};
