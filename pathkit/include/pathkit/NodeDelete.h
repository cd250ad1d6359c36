#pragma once
// Removing nodes and members of sub-paths; the node selection bits are those of NodeEdit.h.

#include "pathkit/PathMember.h"
#include "pathkit/export.h"

class Path;
class SubPath;

// One member replacing a and b (a ends where b starts): two lines give the line from a's start
// to b's end; otherwise a cubic fitted through both within the accuracy, made a line when it
// is straight within the accuracy. out takes a's flags.
PATHKIT_API void DeleteConnection(const PathMember& a, const PathMember& b, PathMember& out,
                                  float accuracy);
// Removes node `node` by merging the members on both sides (DeleteConnection); node 0 of a
// closed sub-path first turns the members by one. Returns the index of the merged member, or
// -1 for fewer than two members, node 0 of an open sub-path or a node beyond the members.
PATHKIT_API int DeleteConnectionAt(SubPath& sp, unsigned node);

// Replaces every run of consecutive selected nodes and the members around them: kind 0 by one
// fitted curve, kind 1 by one line, kind 2 (runs of three members or more) by the lines along
// the run's outer tangents, meeting where they cross (parallel tangents beep and keep the
// run). The new members are selected. An open sub-path keeps its start and end; a closed one
// with every node selected is emptied.
PATHKIT_API void DeleteSelNodesIn(SubPath& sp, int kind);
PATHKIT_API void DeleteSelNodesIn(Path& path, int kind);

// Removes the selected members, splitting contours where they were; the path is rebuilt from
// the members kept and prepared.
PATHKIT_API void DeleteSelLinesIn(Path& path);
