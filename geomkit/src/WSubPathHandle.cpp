#include "geomkit/WSubPathHandle.h"

WSubPathHandle::WSubPathHandle() = default;

WSubPathHandle::~WSubPathHandle() = default;

int WSubPathHandle::IsEmpty() const {
    if (m_selectAll) return 0;
    return GetCount() == 0;
}

COXSPtr<WIterator<int>> WSubPathHandle::CreateIndexIterator() const {
    return MakeKeyIterator();
}
