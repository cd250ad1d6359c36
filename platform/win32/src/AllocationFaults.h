#pragma once
// Counts memory requests and refuses the ones a test asked to fail.

#include <mutex>

class AllocationFaults {
public:
    // True when the request may go ahead; counts it either way.
    bool admit();
    // A request that was admitted but could not be served.
    void noteRefused();

    void failNext(int count, int after);
    int requests() const;
    int refused() const;
    void reset();

private:
    mutable std::mutex mutex_;
    int requests_ = 0;
    int refused_ = 0;
    int skip_ = 0;
    int fail_ = 0;
};

AllocationFaults& heapFaults();
AllocationFaults& globalFaults();
