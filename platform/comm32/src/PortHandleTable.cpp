#include "PortHandleTable.h"

namespace comm32 {

namespace {
constexpr UINT_PTR handleStep = 0x10;
}

HANDLE PortHandleTable::add(std::unique_ptr<PortConnection> port) {
    std::lock_guard lock(mutex_);
    UINT_PTR handle = next_;
    next_ += handleStep;
    ports_.emplace(handle, std::move(port));
    return reinterpret_cast<HANDLE>(handle);
}

std::shared_ptr<PortConnection> PortHandleTable::find(HANDLE handle) {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(reinterpret_cast<UINT_PTR>(handle));
    return it == ports_.end() ? nullptr : it->second;
}

bool PortHandleTable::remove(HANDLE handle) {
    std::shared_ptr<PortConnection> port;
    {
        std::lock_guard lock(mutex_);
        auto it = ports_.find(reinterpret_cast<UINT_PTR>(handle));
        if (it == ports_.end()) return false;
        port = std::move(it->second);
        ports_.erase(it);
    }
    return true; // the port closes here, outside the lock
}

} // namespace comm32
