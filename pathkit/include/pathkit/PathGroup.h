#pragma once
// A list of paths: the text path writer's group, and a path split into fillable islands.

#include "pathkit/Path.h"
#include "pathkit/export.h"

// Owns its paths. Like every array it cannot be copied; assignment transfers the paths.
class PATHKIT_API PathGroup : public PathEClassDynArr {
public:
    PathGroup();
    PathGroup(const PathGroup&) = delete;
    PathGroup(PathGroup&& other) noexcept = default;
    PathGroup& operator=(PathGroup& other) noexcept;
    PathGroup& operator=(PathGroup&& other) noexcept;
    ~PathGroup() = default;

    // Prepares source and moves it into the group island by island: each new entry is one
    // closed outer contour with the holes directly inside it, or one open sub-path. The
    // entries keep the order of their contours in the prepared source; source is left empty.
    PathGroup& operator<<(Path& source);
};
