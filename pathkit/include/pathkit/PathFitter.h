#pragma once
// A curve fitter that appends its result to a path.

#include "pathkit/Bez3FitBase.h"
#include "pathkit/PathCmd.h"
#include "pathkit/export.h"

class Path;

class PATHKIT_API PathFitter : public Bez3FitBase {
public:
    // The tolerance is twice the path's accuracy.
    PathFitter(Path& path, int searchMode, int tangentMode);

    // Path::Append without callback.
    void Output(PathCmd cmd, float x, float y) override;

    float GetAccuracy() const;
    // Sets the path's accuracy and the tolerance to twice the accuracy the path took.
    void SetAccuracy(float accuracy);

    Path& path;
};
