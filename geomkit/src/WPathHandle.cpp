#include "geomkit/WPathHandle.h"

WPathHandle::WPathHandle() = default;

WPathHandle::~WPathHandle() = default;

int WPathHandle::IsEmpty() const {
    return GetCount() == 0;
}

COXSPtr<WIterator<long>> WPathHandle::CreateKeyIterator() const {
    return MakeKeyIterator();
}
