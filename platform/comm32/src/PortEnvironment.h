#pragma once
// The folders the port library looks in: sysfs for USB discovery, the device folder for
// device nodes. Tests point them at trees of their own.

#include <cstdlib>
#include <string>

namespace comm32 {

struct PortEnvironment {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";

    // The defaults, replaced by SIGNDESK_SYSFS_ROOT and SIGNDESK_DEV_ROOT when set.
    static PortEnvironment fromProcess() {
        PortEnvironment environment;
        if (const char* sys = std::getenv("SIGNDESK_SYSFS_ROOT"); sys && *sys)
            environment.sysRoot = sys;
        if (const char* dev = std::getenv("SIGNDESK_DEV_ROOT"); dev && *dev)
            environment.devRoot = dev;
        return environment;
    }
};

} // namespace comm32
