#pragma once
// Port names ("COM1" … "COM8", "LPT1" … "LPT4") and the device files they stand for.

#include <optional>
#include <string>
#include <string_view>

#include "PortEnvironment.h"

namespace comm32 {

class PortTable {
public:
    // "com3", "COM3:" and " COM3 " give "COM3"; "LPT1.DOS" gives "LPT1"; "USB" in any case
    // gives "USB". Anything else gives an empty text.
    static std::string normalName(std::string_view device);

    // The device file of a normal COM or LPT name: the entry of the user's table, else the
    // default. Nothing when the table disables the port or the name is not in the table.
    // `fromTable` (when given) tells whether the user's table named it.
    static std::optional<std::string> devicePath(const std::string& name,
                                                 const PortEnvironment& environment,
                                                 bool* fromTable = nullptr);

    // The user's table: Ports.ini in $XDG_CONFIG_HOME/signdesk (default ~/.config/signdesk).
    // Empty when there is no settings folder.
    static std::string fileName();
};

} // namespace comm32
