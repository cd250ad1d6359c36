// The settings the installer writes for the plot library, the main program and the spooler.

#include <string>
#include <vector>

#include <settings/ProgramFolders.h>
#include <win32/ProfileLock.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "DeviceText.h"
#include "Installer.h"
#include "InstallerFiles.h"
#include "SettingsFile.h"

namespace {

const char* const kBaudRates[] = {"110",   "300",   "600",   "1200",  "2400",   "4800",  "9600",
                                  "14400", "19200", "38400", "56000", "128000", "256000"};
const char* const kStopBits[] = {"1", "1.5", "2"};
const char* const kParities[] = {"NOPARITY", "EVENPARITY", "ODDPARITY", "MARKPARITY",
                                 "SPACEPARITY"};

// A serial code as the device section keeps it: the name of the table's entry, or the value
// unchanged when it is no code of the table.
template <std::size_t N>
std::string serialName(const std::string& value, const char* const (&table)[N]) {
    std::string text = value;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return value;
    text = text.substr(start);
    unsigned long long code = 0;
    bool hex = text.size() > 1 && (text.back() == 'h' || text.back() == 'H');
    std::string digits = hex ? text.substr(0, text.size() - 1) : text;
    if (digits.empty() || digits.size() > 8) return value;
    for (char c : digits) {
        int d = c >= '0' && c <= '9'          ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
        if (d < 0) return value;
        code = code * (hex ? 16 : 10) + unsigned(d);
    }
    return code < N ? table[code] : value;
}

std::string trimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

std::string withoutSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

} // namespace

void Installer::WritePlotSettings(const std::string& activeCutter) {
    SettingsFile plot(FilePath(programFolder, "Plot.ini"));
    plot.Write("General", "CurrentPlotter", activeCutter);
    plot.Write("General", "HeadPos", "1");
    if (std::string spool = SubFolder(programFolder, "spool"); !spool.empty()) {
        plot.Write("General", "SpoolDirectory", spool);
        plot.Write("Plotter", "SpoolDirectory", spool);
    }
    const std::string devices = FilePath(programFolder, "Devices.ini");
    std::string maxX = ReadSetting(devices, activeCutter, "MaxX", "200");
    std::string maxY = ReadSetting(devices, activeCutter, "MaxY", "200");
    if (maxX.empty() || maxY.empty()) ShowError(nullptr, CutterTexts::ReadFailed);
    long long width = texts.Number(CutterTexts::MediaWidth);
    long long height = texts.Number(CutterTexts::MediaHeight);
    plot.Write("Vinil", "Width", width != 0 ? std::to_string(width) : maxY);
    plot.Write("Vinil", "Height", height != 0 ? std::to_string(height) : maxX);
    if (!plot.Commit()) {
        Fail("cannot write " + plot.Path());
        ShowError(nullptr, CutterTexts::WriteFailed);
    }
}

void Installer::WriteProgramSettings() {
    std::string program = lower(word);
    if (program.size() >= 4 && program.compare(program.size() - 4, 4, ".ini") == 0)
        program.resize(program.size() - 4);
    if (program.empty() || !FileExists(FilePath(programFolder, program))) {
        std::string text = "Bad command line - " + program + " missing\nProgram will exit";
        MessageBoxA(nullptr, text.c_str(), "Command error", MB_OK);
        Fail("bad command line: the program " + program + " is missing in " + programFolder);
        return;
    }
    SettingsFile settings(FilePath(windowsFolder, "Application.ini"));
    if (std::string spool = SubFolder(programFolder, "spool"); !spool.empty())
        settings.Write("Settings", "SpoolDirectory", spool);
    if (std::string fonts = SubFolder(programFolder, "signfonts"); !fonts.empty())
        settings.Write("Settings", "FontDirectory", fonts);
    if (std::string profiles = SubFolder(programFolder, "Colour Profiles"); !profiles.empty())
        settings.Write("ColorCalibration", "WCLPath", profiles);
    if (!settings.Commit()) {
        Fail("cannot write " + settings.Path());
        ShowError(nullptr, CutterTexts::WriteFailed);
    }
}

void Installer::WriteSpoolerSettings(const std::string& activeCutter) {
    if (!FileExists(FilePath(programFolder, "spooler"))) return;
    const std::string path = FilePath(windowsFolder, "spooler.ini");
    const std::string devices = FilePath(programFolder, "Devices.ini");
    std::string port = ReadSetting(devices, activeCutter, "Device", "LPT1");
    if (port.empty()) ShowError(nullptr, CutterTexts::ReadFailed);

    // The new file holds only what follows; the old one is kept as "Spooler.old".
    std::string text;
    if (std::string spool = SubFolder(programFolder, "spool"); !spool.empty())
        text += "[Spooler]\r\nSpoolerFolder=" + withoutSlash(spool) + "\r\n";
    text += "[Device 1]\r\nName=" + trimRight(activeCutter) + "\r\nPort=" + port +
            "\r\nBaud=9600\r\nStop=1\r\nData=8\r\nParity=NOPARITY\r\nDTR/DSR=1\r\n"
            "RTS/CTS=0\r\nXON/XOFF=0\r\n";

    MakeDirectories(windowsFolder.c_str());
    ProfileLock lock(path.c_str());
    RemoveLeftoverTemporaries(path);
    std::string old;
    bool ok = lock.Held();
    if (ok && !lock.Created())
        ok = ReadWholeFile(path, old) &&
             ReplaceWholeFile(FilePath(windowsFolder, "Spooler.old"), old);
    if (!ok || !ReplaceWholeFile(path, text)) {
        Fail("cannot write " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
    }
}

void Installer::RefreshSpoolerDevices() {
    if (!FileExists(FilePath(programFolder, "spooler"))) return;
    std::string folder = FindDataFolder(nullptr);
    std::string devices = FilePath(folder, "Devices.ini");
    if (!FileExists(devices)) {
        folder = programFolder;
        devices = FilePath(folder, "DEVICES.INI");
    }
    // Beside the device file: only the file name changes.
    const std::string path = FilePath(folder, "spooler.ini");

    std::string deviceBytes;
    ReadWholeFile(devices, deviceBytes);
    std::vector<std::string> names = DeviceText(deviceBytes).ListedNames(true);
    std::string sections;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        auto read = [&](const char* key, const char* def) {
            std::string value = ReadSetting(devices, name, key, def);
            if (value.empty()) ShowError(nullptr, CutterTexts::ReadFailed);
            return value;
        };
        sections += "[DEVICE " + std::to_string(i + 1) + "]\r\n";
        sections += "Name=" + trimRight(name) + "\r\n";
        sections += "Port=" + read("Device", "LPTx") + "\r\n";
        sections += "Baud=" + serialName(read("BaudRate", "6"), kBaudRates) + "\r\n";
        sections += "Stop=" + serialName(read("StopBits", "0"), kStopBits) + "\r\n";
        sections += "Data=" + read("Bits", "8") + "\r\n";
        sections += "Parity=" + serialName(read("PARITY", "0"), kParities) + "\r\n";
        sections += "DTR/DSR=" + read("DTR/DSR", "1") + "\r\n";
        sections += "RTS/CTS=" + read("RTS/CTS", "0") + "\r\n";
        sections += "XON/XOFF=" + read("XON/XOFF", "0") + "\r\n";
    }

    ProfileLock lock(path.c_str());
    if (!lock.Held()) {
        Fail("cannot lock " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
        return;
    }
    RemoveLeftoverTemporaries(path);
    std::string old;
    ReadWholeFile(path, old);
    // The spooler's own section stays: its header and the lines after it up to the next
    // header or the first empty line.
    std::string text;
    bool keeping = false, done = false;
    for (const auto& [raw, eol] : SplitTextLines(old)) {
        if (done) break;
        if (!keeping) {
            std::string key = raw;
            for (char& c : key)
                if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
            keeping = key.find("[SPOOLER]") != std::string::npos;
            if (!keeping) continue;
        } else if (raw.empty() || raw.front() == '[') {
            done = true;
            continue;
        }
        text += raw + (eol.empty() ? std::string("\r\n") : eol);
    }
    text += " \r\n" + sections;
    if (!ReplaceWholeFile(path, text)) {
        Fail("cannot write " + path);
        ShowError(nullptr, CutterTexts::WriteFailed);
    }
}
