#pragma once
// The open ports by handle. Handles are ids that are never given out twice, so a stale or
// made-up handle is simply not found.

#include <map>
#include <memory>
#include <mutex>

#include "PortConnection.h"

namespace comm32 {

class PortHandleTable {
public:
    HANDLE add(std::unique_ptr<PortConnection> port);
    // Null for an unknown handle. The port stays alive while the caller holds it.
    std::shared_ptr<PortConnection> find(HANDLE handle);
    bool remove(HANDLE handle);

private:
    std::mutex mutex_;
    std::map<UINT_PTR, std::shared_ptr<PortConnection>> ports_;
    UINT_PTR next_ = 0x70000000;
};

} // namespace comm32
