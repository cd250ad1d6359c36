#include "testing/FakePort.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "win32/kernel.h"
#include "win32/shlobj.h"

FakePort::FakePort(const std::string& portName, const std::string& devicePath) : name_(portName) {
    const std::string table = TableFile();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(table).parent_path(), ignored);
    WritePrivateProfileStringA("Ports", name_.c_str(), devicePath.c_str(), table.c_str());
}

FakePort::~FakePort() {
    WritePrivateProfileStringA("Ports", name_.c_str(), nullptr, TableFile().c_str());
}

std::string FakePort::TableFile() {
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
    return std::string(folder) + "/signdesk/Ports.ini";
}
