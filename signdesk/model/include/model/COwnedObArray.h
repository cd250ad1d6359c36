#pragma once
// Object arrays that own their elements: the elements are deleted through their virtual
// destructors, null slots are passed over.

#include "mfc/CObArray.h"

// Deletes the elements first..end-1 and clears their slots (the slots stay).
void ObArrayDeleteRange(CObArray& array, int first, int end);
// Deletes count elements from index and removes their slots.
void ObArrayDeleteAt(CObArray& array, int index, int count);
// Deletes the elements from n to the end and shrinks the array to n.
void ObArrayTruncate(CObArray& array, int n);
// Takes the last element out (not deleted); null for an empty array.
CObject* ObArrayPopLast(CObArray& array);
// Empties the destination (deleting its elements), then moves every element, front first,
// to its end; this array is left empty.
void ObArrayMoveAll(CObArray& array, CObArray& destination);

class COwnedObArray : public CObArray {
public:
    COwnedObArray() = default;
    ~COwnedObArray() override;

    void DeleteRange(int first, int end) { ObArrayDeleteRange(*this, first, end); }
    void DeleteAt(int index, int count) { ObArrayDeleteAt(*this, index, count); }
    void Truncate(int n) { ObArrayTruncate(*this, n); }
    CObject* PopLast() { return ObArrayPopLast(*this); }
    void MoveAll(CObArray& destination) { ObArrayMoveAll(*this, destination); }
};
