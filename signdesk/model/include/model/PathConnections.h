#pragma once
// Node connection types of a freshly built path.

class Path;

// Marks every joint smooth (and symmetric) where its tangents turn by at most 0.2 degrees
// (and its handles are equally long within 1 %), leaves the others corners, clears the node
// selection and prepares the path. The joints keep their shape.
void DetectPathConnections(Path& path);
