#pragma once
// Iterators over the nodes and the segments of a sub-path. They refer to the sub-path without
// owning it: the sub-path must outlive them.

#include "geomkit/WIterator.h"

template <class TSubPath, class TNodeT> class WSubPathNodeIterator : public WIterator<TNodeT*> {
public:
    explicit WSubPathNodeIterator(TSubPath* subPath) : m_subPath(subPath), m_position(0) {}

    void SetToFirst() override { m_position = 0; }
    void SetToLast() override { m_position = m_subPath->GetNodeCount() - 1; }
    void Next() override { ++m_position; }
    void Prev() override { --m_position; }
    int IsDone() const override {
        return m_position < 0 || m_position >= m_subPath->GetNodeCount();
    }
    TNodeT* GetCurrent() const override { return m_subPath->GetNode(m_position); }

private:
    TSubPath* m_subPath;
    int m_position;
};

template <class TSubPath, class TSegmentT>
class WSubPathSegmentIterator : public WIterator<TSegmentT*> {
public:
    explicit WSubPathSegmentIterator(TSubPath* subPath) : m_subPath(subPath), m_position(0) {}

    void SetToFirst() override { m_position = 0; }
    void SetToLast() override { m_position = m_subPath->GetSegmentCount() - 1; }
    void Next() override { ++m_position; }
    void Prev() override { --m_position; }
    int IsDone() const override {
        return m_position < 0 || m_position >= m_subPath->GetSegmentCount();
    }
    TSegmentT* GetCurrent() const override {
        return IsDone() ? nullptr : m_subPath->CreateSegment(m_position);
    }

private:
    TSubPath* m_subPath;
    int m_position;
};
