#pragma once
// Iterators over a keyed list: the values, or the keys. Each holds its own counted pointer to
// the list, so the list outlives its owner while it is walked; a list that shrinks during the
// walk ends it.

#include "geomkit/COXSPtr.h"
#include "geomkit/WIterator.h"
#include "geomkit/WKeyedList.h"

template <class V> class WKeyedListIterator : public WIterator<V> {
public:
    explicit WKeyedListIterator(const COXSPtr<WKeyedList<V>>& list) : m_list(list), m_position(0) {}

    void SetToFirst() override { m_position = 0; }
    void SetToLast() override { m_position = Size() - 1; }
    void Next() override { ++m_position; }
    void Prev() override { --m_position; }
    int IsDone() const override { return m_position < 0 || m_position >= Size(); }
    // The value at the position; empty when done.
    V GetCurrent() const override { return m_list ? m_list->GetByIndex(m_position) : V(); }

private:
    int Size() const { return m_list ? m_list->GetSize() : 0; }

    COXSPtr<WKeyedList<V>> m_list;
    int m_position;
};

// K is the key type handed out (long for sub-path keys, int for node indexes).
template <class V, class K> class WKeyedListKeyIterator : public WIterator<K> {
public:
    explicit WKeyedListKeyIterator(const COXSPtr<WKeyedList<V>>& list)
        : m_list(list), m_position(0) {}

    void SetToFirst() override { m_position = 0; }
    void SetToLast() override { m_position = Size() - 1; }
    void Next() override { ++m_position; }
    void Prev() override { --m_position; }
    int IsDone() const override { return m_position < 0 || m_position >= Size(); }
    // The key at the position; −1 when done or the entry has no key.
    K GetCurrent() const override {
        long key = -1;
        if (!m_list || !m_list->GetKeyAt(m_position, key)) return K(-1);
        return K(key);
    }

private:
    int Size() const { return m_list ? m_list->GetSize() : 0; }

    COXSPtr<WKeyedList<V>> m_list;
    int m_position;
};
