#pragma once
// The alignment tool's rules: the move of each selected top-level object against a reference
// box R, for the ten kinds of alignment and distribution.
//
//   0 left edges on R.left        1 tops on R.top            2 right edges on R.right
//   3 bottoms on R.bottom         4 centres on R's centre x  5 centres on R's centre y
//   6 equal gaps across R         7 equal gaps up R
//   8 centres equally spaced across R, the outer ones flush with R's edges
//   9 the same up R
// Distributions order the objects by their centres; equal centres keep the list order.

#include <vector>

#include <pathkit/BBox.h>
#include <pathkit/Point.h>

class CSign;
class CSignObj;

namespace alignment {

constexpr int KindCount = 10;

// The moves of objects with these boxes, in the boxes' order. Distributions move nothing
// with fewer than two boxes.
std::vector<floatPoint> Moves(int kind, const floatBBox& reference,
                              const std::vector<floatBBox>& boxes);

// The selected top-level objects that have a box, in list order.
std::vector<CSignObj*> SelectedWithBoxes(CSign& sheet);

// Moves the selected top-level objects of the sheet; FALSE when none has a box.
bool Apply(CSign& sheet, int kind, const floatBBox& reference);

} // namespace alignment
