#include "model/CSignObjArray.h"

CSignObjArray::~CSignObjArray() = default;
