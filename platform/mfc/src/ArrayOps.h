#pragma once
// Operations shared by the framework's array classes, on their std::vector storage.
// Indexes are int as in the framework; a bad index or count throws CInvalidArgException.

#include <vector>

#include "mfc/CException.h"

namespace arrayops {

template <class T> void checkIndex(const std::vector<T>& v, int nIndex) {
    if (nIndex < 0 || std::size_t(nIndex) >= v.size()) AfxThrowInvalidArgException();
}

template <class T> void setSize(std::vector<T>& v, int nNewSize) {
    if (nNewSize < 0) AfxThrowInvalidArgException();
    v.resize(std::size_t(nNewSize));
}

template <class T> void setAtGrow(std::vector<T>& v, int nIndex, const T& value) {
    if (nIndex < 0) AfxThrowInvalidArgException();
    if (std::size_t(nIndex) >= v.size()) v.resize(std::size_t(nIndex) + 1);
    v[std::size_t(nIndex)] = value;
}

template <class T> int add(std::vector<T>& v, const T& value) {
    v.push_back(value);
    return int(v.size()) - 1;
}

template <class T> int append(std::vector<T>& v, const std::vector<T>& src) {
    const int first = int(v.size());
    if (&v == &src) {
        const std::vector<T> copy(src);
        v.insert(v.end(), copy.begin(), copy.end());
    } else {
        v.insert(v.end(), src.begin(), src.end());
    }
    return first;
}

template <class T> void insertAt(std::vector<T>& v, int nIndex, const T& value, int nCount) {
    if (nIndex < 0 || nCount < 0) AfxThrowInvalidArgException();
    if (std::size_t(nIndex) >= v.size()) v.resize(std::size_t(nIndex));
    const T copy(value); // value may be an element of v
    v.insert(v.begin() + nIndex, std::size_t(nCount), copy);
}

template <class T> void insertAt(std::vector<T>& v, int nStartIndex, const std::vector<T>& src) {
    if (nStartIndex < 0) AfxThrowInvalidArgException();
    if (std::size_t(nStartIndex) >= v.size()) v.resize(std::size_t(nStartIndex));
    const std::vector<T> copy(src); // src may be v
    v.insert(v.begin() + nStartIndex, copy.begin(), copy.end());
}

template <class T> void removeAt(std::vector<T>& v, int nIndex, int nCount) {
    if (nIndex < 0 || nCount < 0 || std::size_t(nIndex) + std::size_t(nCount) > v.size()) {
        AfxThrowInvalidArgException();
    }
    v.erase(v.begin() + nIndex, v.begin() + nIndex + nCount);
}

} // namespace arrayops
