#pragma once
// The steps of the normal form that report what they did.

class Path;

// Path::Prepare; returns the number of contours it reversed.
unsigned PrepareCountingReversals(Path& path);
