#include "model/COwnedObArray.h"

#include "mfc/CException.h"

void ObArrayDeleteRange(CObArray& array, int first, int end) {
    if (first < 0) first = 0;
    if (end > array.GetSize()) end = array.GetSize();
    for (int i = first; i < end; ++i) {
        CObject* p = array.GetAt(i);
        array.SetAt(i, nullptr);
        delete p;
    }
}

void ObArrayDeleteAt(CObArray& array, int index, int count) {
    if (count <= 0) return;
    // Checked before anything is deleted, so a bad range changes nothing.
    if (index < 0 || count > array.GetSize() - index) AfxThrowInvalidArgException();
    ObArrayDeleteRange(array, index, index + count);
    array.RemoveAt(index, count);
}

void ObArrayTruncate(CObArray& array, int n) {
    if (n < 0) n = 0;
    if (n >= array.GetSize()) return;
    ObArrayDeleteRange(array, n, array.GetSize());
    array.SetSize(n, -1);
}

CObject* ObArrayPopLast(CObArray& array) {
    if (array.IsEmpty()) return nullptr;
    const int last = array.GetUpperBound();
    CObject* p = array.GetAt(last);
    array.RemoveAt(last);
    return p;
}

void ObArrayMoveAll(CObArray& array, CObArray& destination) {
    if (&array == &destination) return;
    ObArrayTruncate(destination, 0);
    for (int i = 0; i < array.GetSize(); ++i)
        destination.Add(array.GetAt(i));
    array.RemoveAll();
}

COwnedObArray::~COwnedObArray() {
    ObArrayTruncate(*this, 0);
}
