#pragma once
// A temporary sysfs tree and device folder for USB discovery: SIGNDESK_SYSFS_ROOT and
// SIGNDESK_DEV_ROOT point at folders under `folder` while the object lives (the earlier
// values come back when it goes). A device added with a node gets a terminal interface whose
// node in the device folder is a link to `nodeTarget`, usually a FakeCutter's PortPath.

#include <filesystem>
#include <string>

class FakeUsbTree {
public:
    explicit FakeUsbTree(const std::filesystem::path& folder);
    ~FakeUsbTree();
    FakeUsbTree(const FakeUsbTree&) = delete;
    FakeUsbTree& operator=(const FakeUsbTree&) = delete;

    // Device `name` ("1-2") with the id files' texts as given (four hexadecimal digits for a
    // sound device). An empty `nodeTarget` gives it no interface with a node.
    void AddDevice(const std::string& name, const std::string& vendor, const std::string& product,
                   const std::string& nodeTarget = {}, const std::string& serial = {});

    std::string SysRoot() const;
    std::string DevRoot() const;

private:
    std::filesystem::path folder_;
    int terminals_ = 0;
    bool hadSys_ = false, hadDev_ = false;
    std::string savedSys_, savedDev_;
};
