#pragma once
// A selection within a path: sub-path key → the selection within that sub-path.

#include "geomkit/WKeyedHandle.h"
#include "geomkit/WSubPathHandle.h"

class GEOMKIT_API WPathHandle : public WKeyedHandle<long, COXSPtr<WSubPathHandle>> {
public:
    WPathHandle();
    ~WPathHandle() override;

    // 1 when there are no pairs; the select-all flag is not consulted.
    int IsEmpty() const;
    COXSPtr<WIterator<long>> CreateKeyIterator() const;
};
