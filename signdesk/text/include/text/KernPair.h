#pragma once
// Pair kerning: the kerning of the first character of a pair, from the font's metrics and
// kerning table or by bringing the two outlines together until they touch.

class CFontCache;
class CTextLine;
class CTextObj;
class Path;
class SubPath;

// Sets the kerning of character i - 1 of the line for the pair (i - 1, i).
void KernPair(CTextLine* line, int i, CTextObj* text, CFontCache& cache);

// 1 when the outlines touch or cross (within the paths' accuracy).
int PathsTouch(Path& a, Path& b);
int SubPathsTouch(SubPath& a, SubPath& b);

// Adds the bar that keeps a small glyph out of the hollow of a large one: the middle fifth
// of the outline's width, from a quarter pitch below the baseline to 0.8 pitch above it.
void AddKerningBar(Path& p, float pitch);
