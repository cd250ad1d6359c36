#pragma once
// Arrays of the geometry value types and of int.

#include "pathkit/BBox.h"
#include "pathkit/DynArr.h"
#include "pathkit/Point.h"

using BBLDynArr = DynArr<longBBox>;
using FPointDynArr = DynArr<floatPoint>;
using PFDynArr = DynArr<floatPoint>;
using PTDynArr = DynArr<intPoint>;
using intDynArr = DynArr<int>;
