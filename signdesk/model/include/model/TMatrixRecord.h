#pragma once
// The plain matrix record of object archives: the six f32 of a floatTMatrix in storage order
// (m11, m12, m21, m22, dx, dy), as they stand.

#include "pathkit/TMatrix.h"

class CArchive;

void StoreTMatrix(CArchive& ar, const floatTMatrix& m);
void LoadTMatrix(CArchive& ar, floatTMatrix& m);
