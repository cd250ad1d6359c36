#include <asm/termbits.h>
#include <string>
#include <vector>

#include "SerialSettings.h"
#include "testing/PlatformTest.h"
#include "win32/kernel.h"

namespace {

using comm32::SerialSettings;
using SerialSettingsTest = PlatformTest;

TEST_F(SerialSettingsTest, DataBitsAndParityBecomeTheLineFlags) {
    const std::string devices = (DataFolder() / "Devices.ini").string();
    const struct {
        const char* bits;
        const char* parity;
        tcflag_t size;
        tcflag_t parityFlags;
    } cases[] = {
        {nullptr, nullptr, CS8, 0},
        {"0", "0", CS7, 0},
        {"1", "1", CS8, PARENB},
        {"0", "2", CS7, PARENB | PARODD},
        {"1", "3", CS8, PARENB | PARODD | CMSPAR},
        {"1", "4", CS8, PARENB | CMSPAR},
        {"7", "1", CS7, PARENB},
        {"5", "0", CS5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Bits=") + (c.bits ? c.bits : "-") +
                     " Parity=" + (c.parity ? c.parity : "-"));
        WritePrivateProfileStringA("Cutter", "Bits", c.bits, devices.c_str());
        WritePrivateProfileStringA("Cutter", "Parity", c.parity, devices.c_str());
        SerialSettings settings;
        ASSERT_TRUE(SerialSettings::read(devices.c_str(), "Cutter", settings));

        // From a line that had every flag the port must clear.
        termios2 line{};
        line.c_cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
        line.c_iflag = ICRNL | IXON | IXOFF | INPCK | ISTRIP;
        line.c_lflag = ECHO | ICANON | ISIG;
        line.c_oflag = OPOST;
        settings.compose(line);
        EXPECT_EQ(line.c_cflag & CSIZE, c.size);
        EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CMSPAR), c.parityFlags);
        EXPECT_EQ((line.c_iflag & INPCK) != 0, c.parityFlags != 0) << "parity is checked";
        EXPECT_EQ(line.c_iflag & (ICRNL | ISTRIP), 0u);
        EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG), 0u);
        EXPECT_EQ(line.c_oflag & OPOST, 0u);
        EXPECT_EQ(line.c_cflag & CBAUD, tcflag_t(BOTHER));
        EXPECT_EQ(line.c_ospeed, 2400u);
        EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    }
}

} // namespace
