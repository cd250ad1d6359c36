#pragma once
// A plug-in's globals and its entry, the same for every driver: the resource library, loaded
// when the plug-in is, and the one driver object; both live as long as the plug-in stays
// loaded. A plug-in defines one DriverEntry and exports it with DRIVER_ATTACH_ENTRY.
//
// The driver is constructed from the resources (and any further arguments), and answers
// CanAttach (whether it can serve at all) and Bind (to a section of a profile file).

#include <initializer_list>
#include <utility>

#include <plotterdriver/PlotterDriver.h>
#include <win32/base.h>

#include "driverframe/DriverResources.h"

template <class Driver> class DriverEntry {
public:
    // extraIds: the driver's own message texts, taken from the library besides the frame's.
    template <class... More>
    explicit DriverEntry(const char* resourceModule, std::initializer_list<UINT> extraIds = {},
                         More&&... more)
        : resources_(resourceModule, extraIds), driver_(resources_, std::forward<More>(more)...) {}
    DriverEntry(const DriverEntry&) = delete;
    DriverEntry& operator=(const DriverEntry&) = delete;

    // Null when the driver cannot serve, else the driver bound to section deviceName of the
    // profile file iniPath, replacing whatever an earlier Attach or Setup left.
    PlotterDriver* Attach(const char* deviceName, const char* iniPath) {
        if (!driver_.CanAttach()) return nullptr;
        driver_.Bind(deviceName, iniPath);
        return &driver_;
    }

private:
    // In this order: the driver's construction may already need the texts.
    DriverResources resources_;
    Driver driver_;
};

// The plug-in's exported entry (AttachEntryName, C linkage), served by `entry`.
#define DRIVER_ATTACH_ENTRY(entry)                                                                 \
    extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(                       \
        const char* deviceName, const char* iniPath) {                                             \
        return (entry).Attach(deviceName, iniPath);                                                \
    }
