#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <string>
#include <unistd.h>

#include "PortOpener.h"
#include "testing/PlatformTest.h"

namespace {

using PortOpenerTest = PlatformTest;

TEST_F(PortOpenerTest, FailuresNameThePortItsDeviceFileAndTheReason) {
    // A device file of the group that serial ports have on Debian (root's when it is missing).
    const std::string node = (DataFolder() / "ttyS0").string();
    std::ofstream(node).close();
    const group* serial = ::getgrnam("dialout");
    const std::string groupName = serial ? "dialout" : ::getgrgid(0)->gr_name;
    ASSERT_EQ(::chown(node.c_str(), 0, serial ? serial->gr_gid : 0), 0);

    const struct {
        std::string name, path;
        int error;
        std::string text;
    } cases[] = {
        {"COM1", node, EACCES,
         "COM1 (" + node + "): Permission denied; the device belongs to the group " + groupName +
             ", of which the user must be a member"},
        {node, node, EPERM,
         node + ": Operation not permitted; the device belongs to the group " + groupName +
             ", of which the user must be a member"},
        {"COM1", "/dev/no-such-node", EACCES, "COM1 (/dev/no-such-node): Permission denied"},
        {"COM2", node, EBUSY, "COM2 (" + node + "): Device or resource busy"},
        {"/dev/ttyUSB9", "/dev/ttyUSB9", ENOENT, "/dev/ttyUSB9: No such file or directory"},
        {"COM3", node, 0,
         "COM3 (" + node + "): a serial setting of the device section lies outside its list"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(comm32::openFailureText(c.name, c.path, c.error), c.text);
}

} // namespace
