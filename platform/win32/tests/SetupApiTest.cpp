#include <cstdlib>
#include <string>
#include <vector>

#include "testing/FakeCutter.h"
#include "testing/FakeUsbTree.h"
#include "testing/PlatformTest.h"
#include "win32/fileio.h"
#include "win32/kernel.h"
#include "win32/setupapi.h"

namespace {

const std::string usbClass = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// Every path the USB device interface class lists now.
std::vector<std::string> ListPaths() {
    std::vector<std::string> paths;
    HDEVINFO list = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr,
                                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_NE(list, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0;
         SetupDiEnumDeviceInterfaces(list, nullptr, &GUID_DEVINTERFACE_USB_DEVICE, i, &data); ++i) {
        DWORD size = 0;
        EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(list, &data, nullptr, 0, &size, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        std::vector<char> bytes(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(bytes.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(list, &data, detail, size - 1, &size, nullptr));
        EXPECT_TRUE(SetupDiGetDeviceInterfaceDetailA(list, &data, detail, size, nullptr, nullptr));
        paths.push_back(detail->DevicePath);
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(list));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(list));
    return paths;
}

class SetupApiTest : public PlatformTest {};

TEST_F(SetupApiTest, PresentUsbDevicesAreListedAsInterfacePathsThatOpenTheirNodes) {
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("1-1", "0B4D", "110A", cutter.PortPath(), "Ser#1 A");
    tree.AddDevice("1-2", "0b4d", "11xa", cutter.PortPath()); // junk id: not present
    tree.AddDevice("2-1", "046d", "c52b");                     // no node
    tree.AddDevice("2-2", "0b4d", "111c", cutter.PortPath());

    const std::vector<std::string> paths = ListPaths();
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "\\\\?\\usb#vid_0b4d&pid_110a#ser_1_a#" + usbClass);
    EXPECT_EQ(paths[1], "\\\\?\\usb#vid_046d&pid_c52b#2-1#" + usbClass);
    EXPECT_EQ(paths[2], "\\\\?\\usb#vid_0b4d&pid_111c#2-2#" + usbClass);

    // The path opens the device node, in any case; a device without a node does not open.
    std::string upper = paths[0];
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    HANDLE port = CreateFileA(upper.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    OVERLAPPED write{};
    DWORD count = 0;
    if (!WriteFile(port, "M0,0\3", 5, &count, &write)) {
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    }
    ASSERT_TRUE(GetOverlappedResult(port, &write, &count, TRUE));
    EXPECT_TRUE(cutter.WaitForReceived("M0,0\3"));
    EXPECT_TRUE(CloseHandle(port));

    EXPECT_EQ(CreateFileA(paths[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(SetupApiTest, OnlyInterfaceListsOfTheUsbClassHoldDevices) {
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("1-1", "0b4d", "110a");
    EXPECT_EQ(SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr, DIGCF_PRESENT),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const GUID other = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    HDEVINFO list = SetupDiGetClassDevsA(&other, nullptr, nullptr,
                                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_NE(list, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(list, nullptr, &GUID_DEVINTERFACE_USB_DEVICE, 0, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(list));

    unsetenv("SIGNDESK_SYSFS_ROOT");
    setenv("SIGNDESK_SYSFS_ROOT", (DataFolder() / "nowhere").c_str(), 1);
    EXPECT_TRUE(ListPaths().empty());
}

} // namespace
