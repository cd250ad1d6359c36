#include "AllocationFaults.h"

#include <algorithm>

bool AllocationFaults::admit() {
    std::lock_guard lock(mutex_);
    ++requests_;
    if (fail_ > 0) {
        if (skip_ > 0) {
            --skip_;
        } else {
            --fail_;
            ++refused_;
            return false;
        }
    }
    return true;
}

void AllocationFaults::noteRefused() {
    std::lock_guard lock(mutex_);
    ++refused_;
}

void AllocationFaults::failNext(int count, int after) {
    std::lock_guard lock(mutex_);
    fail_ = std::max(count, 0);
    skip_ = std::max(after, 0);
}

int AllocationFaults::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int AllocationFaults::refused() const {
    std::lock_guard lock(mutex_);
    return refused_;
}

void AllocationFaults::reset() {
    std::lock_guard lock(mutex_);
    requests_ = refused_ = skip_ = fail_ = 0;
}

AllocationFaults& heapFaults() {
    static AllocationFaults faults;
    return faults;
}

AllocationFaults& globalFaults() {
    static AllocationFaults faults;
    return faults;
}
