#pragma once
// Counted pointer. The count cell is shared by every copy; its sign says who frees the object:
// a positive count owns it (the last release deletes it), a negative count only borrows it.
// Dereferencing an empty pointer throws the framework's memory exception.

#include <cstdint>

#include "mfc/CException.h"

template <class T> class COXSPtr {
public:
    COXSPtr() : m_object(nullptr), m_count(nullptr) {}
    // Takes ownership of a new object (count 1); null gives the empty pointer.
    COXSPtr(T* object) : m_object(nullptr), m_count(nullptr) {
        if (object) {
            m_count = new std::int32_t(1);
            m_object = object;
        }
    }
    COXSPtr(const COXSPtr& p) : m_object(nullptr), m_count(nullptr) {
        Share(p.m_object, p.m_count);
    }
    // From a pointer to a derived class; shares the same count.
    template <class U> COXSPtr(const COXSPtr<U>& p) : m_object(nullptr), m_count(nullptr) {
        Share(p.m_object, p.m_count);
    }
    ~COXSPtr() { Release(); }

    COXSPtr& operator=(const COXSPtr& p) {
        Assign(p.m_object, p.m_count);
        return *this;
    }
    template <class U> COXSPtr& operator=(const COXSPtr<U>& p) {
        Assign(p.m_object, p.m_count);
        return *this;
    }

    // A pointer that does not own the object: releasing the last copy leaves it alive.
    static COXSPtr Borrow(T* object) {
        COXSPtr p;
        if (object) {
            p.m_count = new std::int32_t(-1);
            p.m_object = object;
        }
        return p;
    }

    T* operator->() const { return &Checked(); }
    T& operator*() const { return Checked(); }

    T* Get() const { return m_object; }
    bool IsEmpty() const { return m_object == nullptr; }
    explicit operator bool() const { return m_object != nullptr; }
    // The shared count: positive owning, negative borrowing, 0 when empty.
    std::int32_t GetCount() const { return m_count ? *m_count : 0; }

    // Drops this pointer's share and leaves it empty.
    void Release() {
        if (m_count) {
            if (*m_count == 1) {
                delete m_count;
                delete m_object;
            } else if (*m_count == -1) {
                delete m_count;
            } else if (*m_count > 0) {
                --*m_count;
            } else {
                ++*m_count;
            }
        }
        m_object = nullptr;
        m_count = nullptr;
    }

    // Same object.
    template <class U> bool operator==(const COXSPtr<U>& p) const { return m_object == p.m_object; }

private:
    template <class U> friend class COXSPtr;

    T& Checked() const {
        if (!m_object) AfxThrowMemoryException();
        return *m_object;
    }
    void Share(T* object, std::int32_t* count) {
        m_object = object;
        m_count = count;
        if (m_count) *m_count += *m_count > 0 ? 1 : -1;
    }
    template <class U> void Assign(U* object, std::int32_t* count) {
        if (static_cast<T*>(object) == m_object) return;
        // Take the new share before the old one goes: the source may live inside the object
        // that the release deletes.
        if (count) *count += *count > 0 ? 1 : -1;
        Release();
        m_object = object;
        m_count = count;
    }

    T* m_object;
    std::int32_t* m_count;
};
