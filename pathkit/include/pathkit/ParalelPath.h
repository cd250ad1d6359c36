#pragma once
// Path offsetting through the outline manager (Outline.dll).

#include "pathkit/export.h"

class Path;

// Appends to out the contours of source at |distance|: outside for a positive distance,
// inside for a negative one; with bothSides non-zero the contours on the other side are
// appended as well. out is prepared. The source goes to the manager and the result comes back
// through two temporary Bezier record files ("Tmp….tmp" in the temporary folder), which are
// deleted again on every way out, also when an exception passes. `unused` is not read; mode is
// the manager's corner treatment (0 round, 1 mitred, 2 bevelled). The abort handler is polled
// once at the end. Always returns 0: when the temporary files cannot be made or the manager
// cannot be loaded, out receives nothing.
PATHKIT_API int ParalelPath(Path& source, float distance, float unused, int mode, Path& out,
                            int bothSides);
