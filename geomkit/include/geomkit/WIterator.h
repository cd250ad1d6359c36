#pragma once
// Iterator interface handed out by paths, sub-paths and selection handles.

#include "geomkit/WObject.h"

template <class T> class WIterator : public WObject {
public:
    virtual void SetToFirst() = 0;
    virtual void SetToLast() = 0;
    virtual void Next() = 0;
    virtual void Prev() = 0;
    virtual int IsDone() const = 0;
    virtual T GetCurrent() const = 0;
};
