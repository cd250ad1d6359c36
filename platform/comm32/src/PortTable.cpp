#include "PortTable.h"

#include <cctype>
#include <cstdlib>
#include <unistd.h>

#include "win32/kernel.h"
#include "win32/shlobj.h"

namespace comm32 {

namespace {

constexpr int comPorts = 8;
constexpr int lptPorts = 4;
// Stands for a key that is not there, so that an empty entry can be told from a missing one.
constexpr char missingKey[] = "\x01";

// The port number of "COMn" or "LPTn" within 1 … count, else 0.
int portNumber(const std::string& name, std::string_view prefix, int count) {
    if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0) return 0;
    int number = name.back() - '0';
    return number >= 1 && number <= count ? number : 0;
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

} // namespace

std::string PortTable::normalName(std::string_view device) {
    while (!device.empty() && std::isspace(static_cast<unsigned char>(device.front())))
        device.remove_prefix(1);
    while (!device.empty() && std::isspace(static_cast<unsigned char>(device.back())))
        device.remove_suffix(1);
    std::string name;
    for (char c : device)
        name += char(std::toupper(static_cast<unsigned char>(c)));
    if (name == "USB") return name;
    if (name.size() == 8 && name.compare(4, 4, ".DOS") == 0 && name.compare(0, 3, "LPT") == 0)
        name.resize(4);
    else if (!name.empty() && name.back() == ':')
        name.pop_back();
    if (portNumber(name, "COM", comPorts) || portNumber(name, "LPT", lptPorts)) return name;
    return {};
}

std::optional<std::string> PortTable::devicePath(const std::string& name,
                                                 const PortEnvironment& environment,
                                                 bool* fromTable) {
    if (fromTable) *fromTable = false;
    const int com = portNumber(name, "COM", comPorts);
    const int lpt = portNumber(name, "LPT", lptPorts);
    if (!com && !lpt) return std::nullopt;

    const std::string table = fileName();
    if (!table.empty()) {
        char entry[1024];
        GetPrivateProfileStringA("Ports", name.c_str(), missingKey, entry, sizeof entry,
                                 table.c_str());
        if (std::string_view(entry) != missingKey) {
            if (fromTable) *fromTable = true;
            if (!*entry) return std::nullopt;
            return std::string(entry);
        }
    }
    const std::string& dev = environment.devRoot;
    if (com) return dev + "/ttyS" + std::to_string(com - 1);
    std::string usb = dev + "/usb/lp" + std::to_string(lpt - 1);
    return exists(usb) ? usb : dev + "/lp" + std::to_string(lpt - 1);
}

std::string PortTable::fileName() {
    char folder[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE)) return {};
    return std::string(folder) + "/signdesk/Ports.ini";
}

} // namespace comm32
