#pragma once
// Walks the leaves of an object tree (objects that are not groups), forwards or backwards,
// without recursion. Groups deeper than MaxTreeLevels arrays are not entered.

#include "mfc/CObArray.h"

class CSignObj;

class CObjIterator {
public:
    struct Level {
        CObArray* array;
        int index;
    };

    explicit CObjIterator(CObArray* pRoot = nullptr);

    void SetRoot(CObArray* pRoot);
    // Next and Prev are the virtual operations, in that order; users build walkers in place,
    // never delete them through this class.
    void First();
    void Last();
    virtual void Next();
    virtual void Prev();
    CSignObj* Current() const;

protected:
    Level m_levels[64];
    int m_nDepth;
};
