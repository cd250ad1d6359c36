#pragma once
// Ordered list of values with a stable integer key per entry and a hash index from key to
// entry (17 buckets). Keys are signed 32-bit values; the free-key search wraps from
// 2147483647 to −2147483648.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

template <class V> class WKeyedList {
public:
    static constexpr int kBucketCount = 17;

    WKeyedList() : m_index(new Index) {}
    ~WKeyedList() { Clear(); }
    WKeyedList(const WKeyedList&) = delete;
    WKeyedList& operator=(const WKeyedList&) = delete;

    // Inserts value under key at position (−1 or the size append). Returns the entry's index;
    // −2 when checkKey is set, the key is in use and findFreeKey is clear; −1 for a bad
    // position. With findFreeKey the key's successors are tried until one is free. A caller
    // that clears checkKey must pass a key that is not in use.
    int Add(const V& value, long key, int position = -1, int findFreeKey = 0, int checkKey = 1) {
        if (checkKey && Find(key)) {
            if (!findFreeKey) return -2;
            do
                key = NextKey(key);
            while (Find(key));
        }
        int index = Insert(value, position);
        if (index >= 0) {
            Entry* e = m_entries[index].get();
            e->hasKey = true;
            e->key = key;
            Bucket(key).push_back(e);
        }
        return index;
    }
    // Appends an entry that has no key; it is reached by index only.
    int Append(const V& value) { return Insert(value, -1); }

    // The key after key, in 32-bit arithmetic.
    static long NextKey(long key) {
        return long(std::int32_t(std::uint32_t(std::int32_t(key)) + 1u));
    }

    V GetByKey(long key) const {
        const Entry* e = Find(key);
        return e ? e->value : V();
    }
    V GetByIndex(int index) const { return InRange(index) ? m_entries[index]->value : V(); }
    // 0 when index is out of range or the entry has no key.
    int GetKeyAt(int index, long& key) const {
        if (!InRange(index) || !m_entries[index]->hasKey) return 0;
        key = m_entries[index]->key;
        return 1;
    }
    int ExistKey(long key) const { return Find(key) != nullptr; }

    // Position of the entry with key, or −1. Uses the entry's cached position when it still
    // holds, otherwise searches the array and repairs the cache.
    int GetIndex(long key) const {
        Entry* e = Find(key);
        if (!e) return -1;
        if (InRange(e->position) && m_entries[e->position].get() == e) return e->position;
        for (int i = 0; i < GetSize(); ++i)
            if (m_entries[i].get() == e) return e->position = i;
        return -1;
    }

    int RemoveAt(int index) {
        if (!InRange(index)) return 0;
        Entry* e = m_entries[index].get();
        if (e->hasKey) {
            auto& bucket = Bucket(e->key);
            for (auto it = bucket.begin(); it != bucket.end(); ++it)
                if (*it == e) {
                    bucket.erase(it);
                    break;
                }
        }
        // Release the value after the list is consistent again: its destructor may reach back.
        std::unique_ptr<Entry> gone = std::move(m_entries[index]);
        m_entries.erase(m_entries.begin() + index);
        return 1;
    }
    void RemoveByKey(long key) {
        int index = GetIndex(key);
        if (index >= 0) RemoveAt(index);
    }

    // Moves the entry at from by delta places, clamped to the list. 0 for a bad from.
    int Move(int from, int delta) {
        if (!InRange(from)) return 0;
        long long target = (long long)from + delta;
        if (target < 0) target = 0;
        if (target > GetSize() - 1) target = GetSize() - 1;
        int to = int(target);
        if (to != from) {
            std::unique_ptr<Entry> e = std::move(m_entries[from]);
            m_entries.erase(m_entries.begin() + from);
            m_entries.insert(m_entries.begin() + to, std::move(e));
        }
        m_entries[to]->position = to;
        return 1;
    }

    void Clear() {
        std::vector<std::unique_ptr<Entry>> gone;
        gone.swap(m_entries);
        m_index.reset();
        gone.clear();
    }

    int GetSize() const { return int(m_entries.size()); }
    int IsEmpty() const { return m_entries.empty(); }

private:
    struct Entry {
        V value;
        bool hasKey = false;
        long key = 0;
        mutable int position = 0; // may be stale
    };
    using Index = std::array<std::vector<Entry*>, kBucketCount>;

    bool InRange(int index) const { return index >= 0 && index < GetSize(); }
    static int Hash(long key) { return int((std::uint32_t(key) >> 4) % kBucketCount); }
    std::vector<Entry*>& Bucket(long key) {
        if (!m_index) m_index.reset(new Index);
        return (*m_index)[Hash(key)];
    }
    Entry* Find(long key) const {
        if (!m_index) return nullptr;
        for (Entry* e : (*m_index)[Hash(key)])
            if (e->key == key) return e;
        return nullptr;
    }
    int Insert(const V& value, int position) {
        int size = GetSize();
        if (position == -1) position = size;
        if (position < 0 || position > size) return -1;
        auto e = std::make_unique<Entry>();
        e->value = value;
        e->position = position;
        m_entries.insert(m_entries.begin() + position, std::move(e));
        return position;
    }

    std::vector<std::unique_ptr<Entry>> m_entries;
    std::unique_ptr<Index> m_index;
};
