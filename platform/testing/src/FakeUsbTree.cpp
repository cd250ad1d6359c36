#include "testing/FakeUsbTree.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

FakeUsbTree::FakeUsbTree(const fs::path& folder) : folder_(folder) {
    fs::create_directories(folder_ / "sys/bus/usb/devices");
    fs::create_directories(folder_ / "dev");
    if (const char* sys = std::getenv("SIGNDESK_SYSFS_ROOT")) hadSys_ = true, savedSys_ = sys;
    if (const char* dev = std::getenv("SIGNDESK_DEV_ROOT")) hadDev_ = true, savedDev_ = dev;
    setenv("SIGNDESK_SYSFS_ROOT", SysRoot().c_str(), 1);
    setenv("SIGNDESK_DEV_ROOT", DevRoot().c_str(), 1);
}

FakeUsbTree::~FakeUsbTree() {
    if (hadSys_) setenv("SIGNDESK_SYSFS_ROOT", savedSys_.c_str(), 1);
    else unsetenv("SIGNDESK_SYSFS_ROOT");
    if (hadDev_) setenv("SIGNDESK_DEV_ROOT", savedDev_.c_str(), 1);
    else unsetenv("SIGNDESK_DEV_ROOT");
    std::error_code ignored;
    fs::remove_all(folder_ / "sys", ignored);
    fs::remove_all(folder_ / "dev", ignored);
}

void FakeUsbTree::AddDevice(const std::string& name, const std::string& vendor,
                            const std::string& product, const std::string& nodeTarget,
                            const std::string& serial) {
    const fs::path device = folder_ / "sys/bus/usb/devices" / name;
    fs::create_directories(device);
    std::ofstream(device / "idVendor") << vendor << '\n';
    std::ofstream(device / "idProduct") << product << '\n';
    if (!serial.empty()) std::ofstream(device / "serial") << serial << '\n';
    if (nodeTarget.empty()) return;
    const std::string tty = "ttyACM" + std::to_string(terminals_++);
    fs::create_directories(device / (name + ":1.0") / "tty" / tty);
    std::error_code ignored;
    fs::remove(folder_ / "dev" / tty, ignored);
    fs::create_symlink(nodeTarget, folder_ / "dev" / tty);
}

std::string FakeUsbTree::SysRoot() const {
    return (folder_ / "sys").string();
}

std::string FakeUsbTree::DevRoot() const {
    return (folder_ / "dev").string();
}
