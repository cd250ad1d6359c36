#pragma once
// A selection within one sub-path: node index → reference to what is selected there.

#include "geomkit/WBezierRef.h"
#include "geomkit/WKeyedHandle.h"

class GEOMKIT_API WSubPathHandle : public WKeyedHandle<int, COXSPtr<WBezierRef>> {
public:
    WSubPathHandle();
    ~WSubPathHandle() override;

    // 0 once everything is selected, else 1 when there are no pairs.
    int IsEmpty() const;
    COXSPtr<WIterator<int>> CreateIndexIterator() const;
};
