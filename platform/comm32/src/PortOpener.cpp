#include "PortOpener.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "PortTable.h"
#include "UsbPortLookup.h"
#include "comm32/Comm32.h"
#include "win32/kernel.h"

namespace comm32 {

namespace {
// ERROR_INVALID_NAME and ERROR_DEV_NOT_EXIST of the original.
constexpr DWORD invalidNameError = 123;
constexpr DWORD noDeviceError = 55;

// A thread-local without a destructor: one with a destructor keeps the module mapped after
// it is unloaded and trips the leak checker of the sanitizer build.
class FailureText {
public:
    FailureText& operator=(const std::string& text) {
        std::size_t n = std::min(text.size(), sizeof text_ - 1);
        std::memcpy(text_, text.data(), n);
        text_[n] = '\0';
        return *this;
    }
    void clear() { text_[0] = '\0'; }
    std::string str() const { return text_; }

private:
    char text_[1024] = "";
};

thread_local FailureText lastFailure;

// Blanks around it removed; a path's backslashes (stored files may hold either separator)
// made slashes.
std::string trimmed(const char* text) {
    std::string s = text;
    s.erase(0, s.find_first_not_of(" \t"));
    s.erase(s.find_last_not_of(" \t") + 1);
    if (!s.empty() && s.front() == '\\') std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

// Whether the device file is a terminal; opening it must not wait for a carrier nor make it
// the controlling terminal.
bool isTerminal(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal;
}

struct PortChoice {
    std::string name; // the port as the section names it ("COM1", "USB", or a device path)
    std::string path; // its device file; empty when there is none
};

PortChoice choosePort(LPCSTR iniPath, LPCSTR section, const PortEnvironment& environment) {
    if (!iniPath || !*iniPath || !section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        lastFailure = "no device section was given";
        return {};
    }
    char device[512];
    GetPrivateProfileStringA(section, "Device", "LPT1", device, sizeof device, iniPath);
    // A device file named directly, as /dev/ttyUSB0 or /dev/usb/lp0.
    if (std::string direct = trimmed(device); !direct.empty() && direct.front() == '/')
        return {direct, direct};
    const std::string name = PortTable::normalName(device);
    if (name.empty()) {
        SetLastError(invalidNameError);
        lastFailure = std::string("\"") + device + "\" is not a port";
        return {};
    }
    if (name == "USB") {
        char idText[512];
        GetPrivateProfileStringA(section, "WindowsUSBID", "", idText, sizeof idText, iniPath);
        auto id = parseUsbId(idText);
        if (!id) {
            SetLastError(ERROR_INVALID_PARAMETER);
            lastFailure = std::string("USB: WindowsUSBID \"") + idText +
                          "\" does not hold the ids as vid_XXXX&pid_XXXX";
            return {name, {}};
        }
        std::string path = findUsbPort(*id, environment);
        if (path.empty()) {
            SetLastError(noDeviceError);
            lastFailure = std::string("USB (") + idText + "): no such device is connected";
        }
        return {name, path};
    }
    auto path = PortTable::devicePath(name, environment);
    if (!path) {
        SetLastError(noDeviceError);
        lastFailure = name + ": the port is switched off in " + PortTable::fileName();
        return {name, {}};
    }
    return {name, *path};
}

} // namespace

int describePort(const std::string& device, const std::string& usbId,
                 const PortEnvironment& environment, std::string& text) {
    auto reached = [&](const std::string& path, int flags) {
        struct stat node {};
        if (::stat(path.c_str(), &node) != 0) {
            text += ": missing";
            return flags;
        }
        flags |= DESCRIBED_PRESENT;
        if (S_ISCHR(node.st_mode) && isTerminal(path)) flags |= DESCRIBED_TERMINAL;
        return flags;
    };
    std::string direct = trimmed(device.c_str());
    if (!direct.empty() && direct.front() == '/') {
        text = direct;
        return reached(direct, DESCRIBED_PORT);
    }
    const std::string name = PortTable::normalName(device);
    if (name.empty()) {
        text.clear();
        return 0;
    }
    if (name == "USB") {
        auto id = parseUsbId(usbId);
        if (!id) {
            text = "USB: no cutter ids (WindowsUSBID)";
            return DESCRIBED_PORT;
        }
        std::string path = findUsbPort(*id, environment);
        if (path.empty()) {
            text = "USB: no cutter with these ids";
            return DESCRIBED_PORT;
        }
        text = "USB \u2192 " + path;
        return reached(path, DESCRIBED_PORT);
    }
    bool fromTable = false;
    auto path = PortTable::devicePath(name, environment, &fromTable);
    if (!path) {
        text = name + ": switched off (Ports.ini)";
        return DESCRIBED_PORT;
    }
    text = name + " \u2192 " + *path + (fromTable ? " (Ports.ini)" : "");
    return reached(*path, DESCRIBED_PORT);
}

std::string portPathOf(LPCSTR iniPath, LPCSTR section, const PortEnvironment& environment) {
    return choosePort(iniPath, section, environment).path;
}

std::unique_ptr<PortConnection> openPortOf(LPCSTR iniPath, LPCSTR section,
                                           const PortEnvironment& environment) {
    lastFailure.clear();
    PortChoice port = choosePort(iniPath, section, environment);
    if (port.path.empty()) return nullptr;
    int error = 0;
    auto connection = PortConnection::open(port.path, iniPath, section, &error);
    if (!connection) lastFailure = openFailureText(port.name, port.path, error);
    return connection;
}

std::string openFailureText(const std::string& name, const std::string& path, int error) {
    std::string text = (name == path ? path : name + " (" + path + ")") + ": ";
    if (!error) return text + "a serial setting of the device section lies outside its list";
    text += std::strerror(error);
    struct stat node {};
    if ((error == EACCES || error == EPERM) && ::stat(path.c_str(), &node) == 0) {
        if (const group* owner = ::getgrgid(node.st_gid))
            text += std::string("; the device belongs to the group ") + owner->gr_name +
                    ", of which the user must be a member";
    }
    return text;
}

std::string lastOpenFailure() {
    return lastFailure.str();
}

} // namespace comm32
