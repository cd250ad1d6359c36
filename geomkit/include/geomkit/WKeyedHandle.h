#pragma once
// Common part of the selection handles: pairs of a key and a shared value in a keyed list,
// with a walk position of the handle's own. Two walks over one handle at the same time disturb
// each other; independent walks use iterators.

#include <utility>
#include <vector>

#include "geomkit/COXSPtr.h"
#include "geomkit/WIterator.h"
#include "geomkit/WKeyedList.h"
#include "geomkit/WKeyedListIterator.h"
#include "geomkit/WObject.h"

template <class K, class V> class WKeyedHandle : public WObject {
public:
    // 1 when a pair with key is present.
    int Exist(K key) const { return m_list->ExistKey(long(key)); }
    // Appends the pair; a key already present keeps its old value.
    void AddPair(K key, const V& value) {
        if (!Exist(key)) m_list->Add(value, long(key), -1, 0, 1);
    }
    void RemovePair(K key) { m_list->RemoveByKey(long(key)); }
    // Toggles other's pairs into this handle, in other's order: a key present here goes, an
    // absent one comes with other's value (shared, not copied).
    void AddSubtract(const WKeyedHandle& other) {
        std::vector<std::pair<long, V>> pairs; // other may be this handle
        for (int i = 0; i < other.m_list->GetSize(); ++i) {
            long key;
            if (other.m_list->GetKeyAt(i, key))
                pairs.emplace_back(key, other.m_list->GetByIndex(i));
        }
        for (const auto& [key, value] : pairs) {
            if (m_list->ExistKey(key))
                m_list->RemoveByKey(key);
            else
                m_list->Add(value, key, -1, 0, 1);
        }
    }
    // The value, or an empty pointer.
    V GetHandle(K key) const { return m_list->GetByKey(long(key)); }
    int GetCount() const { return m_list->GetSize(); }
    void SelectAll() { m_selectAll = 1; }
    int IsAllSelected() const { return m_selectAll; }
    // Removes the pairs; the select-all flag stays.
    void ClearAll() { m_list->Clear(); }

    void SetToFirst() { m_position = 0; }
    void Next() { ++m_position; }
    int IsDone() const { return m_position < 0 || m_position >= GetCount(); }
    // 0 when done, else 1 with the pair at the position.
    int GetCurrentPair(K& key, V& value) const {
        long k;
        if (IsDone() || !m_list->GetKeyAt(m_position, k)) return 0;
        key = K(k);
        value = m_list->GetByIndex(m_position);
        return 1;
    }

protected:
    WKeyedHandle() : m_list(new WKeyedList<V>), m_position(0), m_selectAll(0) {}
    WKeyedHandle(const WKeyedHandle&) = delete;
    WKeyedHandle& operator=(const WKeyedHandle&) = delete;

    COXSPtr<WIterator<K>> MakeKeyIterator() const {
        return COXSPtr<WIterator<K>>(new WKeyedListKeyIterator<V, K>(m_list));
    }

    COXSPtr<WKeyedList<V>> m_list;
    int m_position;
    int m_selectAll;
};
