#pragma once
// An object array that owns what it holds (design objects, or the fonts of a layout's font
// cache): its elements are deleted with it.

#include "model/COwnedObArray.h"

class CSignObjArray : public COwnedObArray {
public:
    CSignObjArray() = default;
    ~CSignObjArray() override;
    CSignObjArray(const CSignObjArray&) = delete;
    CSignObjArray& operator=(const CSignObjArray&) = delete;
};
