#include "win32/KernelTesting.h"

#include "AllocationFaults.h"

void SdFailHeapRequests(int count, int after) {
    heapFaults().failNext(count, after);
}

void SdFailGlobalRequests(int count, int after) {
    globalFaults().failNext(count, after);
}

int SdHeapRequestCount() {
    return heapFaults().requests();
}

int SdHeapRefusedCount() {
    return heapFaults().refused();
}

int SdGlobalRequestCount() {
    return globalFaults().requests();
}

int SdGlobalRefusedCount() {
    return globalFaults().refused();
}

void SdResetMemoryTesting() {
    heapFaults().reset();
    globalFaults().reset();
}
