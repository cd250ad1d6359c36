#include <gtest/gtest.h>

#include <win32/icon.h>

#include "InstallerTree.h"

namespace {

using namespace sdtest;

class SetupModeTest : public InstallerTree {};

TEST_F(SetupModeTest, AddTwiceChooseRemoveAndNextWriteEveryFile) {
    const std::string original = "[Gamma]\r\nDriver=cutdrv-flint.dll\r\n";
    Write(Program() + "Devices.ini", original);
    std::filesystem::create_directories(Program() + "spool");
    std::filesystem::create_directories(Program() + "Colour profiles");
    MakeProgram(Program() + "spooler");
    Write(Shared() + "spooler.ini", "[Spooler]\r\nOld=1\r\n");

    int status = RunSetup([](HWND d) {
        EXPECT_EQ(SdIconId(HICON(SendMessageA(d, WM_GETICON, ICON_BIG, 0))), kIconId);
        Select(d, IDC_MASTER_LIST, "Alpha Cutter");
        Click(d, IDC_ADD);
        EXPECT_EQ(TextOf(d, IDC_ACTIVE_CUTTER), "Alpha Cutter");
        Select(d, IDC_MASTER_LIST, "Beta Cutter");
        Click(d, IDC_ADD);
        Select(d, IDC_INSTALLED_LIST, "Beta Cutter");
        Click(d, IDC_ACTIVE);
        EXPECT_EQ(TextOf(d, IDC_ACTIVE_CUTTER), "Beta Cutter");
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_REMOVE);
        Select(d, IDC_INSTALLED_LIST, "Beta Cutter");
        Click(d, IDC_ACTIVE);
        Click(d, IDC_NEXT);
    });
    EXPECT_EQ(status, 0);

    const std::string master = MasterFixture();
    const std::string alpha =
        master.substr(master.find("[Alpha"), master.find("\n\n[Beta") + 1 - master.find("[Alpha"));
    const std::string beta =
        master.substr(master.find("[Beta"), master.find("\n\n[Gamma") + 1 - master.find("[Beta"));
    EXPECT_EQ(Read(Program() + "Devices.ini"), "\r\n" + alpha + "\r\n" + beta);
    EXPECT_EQ(Read(Program() + "Devices.old"), original);
    const std::string spool = Program() + "spool/";
    EXPECT_EQ(Read(Program() + "Plot.ini"),
              "[General]\r\nCurrentPlotter=Beta Cutter\r\nHeadPos=1\r\n"
              "SpoolDirectory=" +
                  spool +
                  "\r\n\r\n"
                  "[Plotter]\r\nSpoolDirectory=" +
                  spool +
                  "\r\n\r\n"
                  "[Vinil]\r\nWidth=610\r\nHeight=300\r\n");
    EXPECT_EQ(Read(Shared() + "Application.ini"), "[Settings]\r\nSpoolDirectory=" + spool +
                                                      "\r\n\r\n[ColorCalibration]\r\n"
                                                      "WCLPath=" +
                                                      Program() + "Colour profiles/\r\n");
    // Set-up: the shared spooler file names the active cutter; the old one is kept.
    EXPECT_EQ(Read(Shared() + "spooler.ini"),
              "[Spooler]\r\nSpoolerFolder=" + Program() +
                  "spool\r\n[Device 1]\r\n"
                  "Name=Beta Cutter\r\nPort=LPT1\r\nBaud=9600\r\nStop=1\r\nData=8\r\n"
                  "Parity=NOPARITY\r\nDTR/DSR=1\r\nRTS/CTS=0\r\nXON/XOFF=0\r\n");
    EXPECT_EQ(Read(Shared() + "Spooler.old"), "[Spooler]\r\nOld=1\r\n");
    // The refresh: beside the device file it used (the user has none), every installed cutter.
    EXPECT_EQ(Read(Program() + "spooler.ini"),
              " \r\n[DEVICE 1]\r\nName=Alpha Cutter\r\nPort=COM2\r\nBaud=19200\r\nStop=2\r\n"
              "Data=7\r\nParity=EVENPARITY\r\nDTR/DSR=1\r\nRTS/CTS=0\r\nXON/XOFF=0\r\n"
              "[DEVICE 2]\r\nName=Beta Cutter\r\nPort=LPT1\r\nBaud=9600\r\nStop=1\r\n"
              "Data=8\r\nParity=NOPARITY\r\nDTR/DSR=1\r\nRTS/CTS=0\r\nXON/XOFF=0\r\n");
}

TEST_F(SetupModeTest, MediaTextsOverrideTheSizesAndAMissingSpoolFolderWritesNoFolderKeys) {
    Write(Program() + "Cutters.txt", "9:Cutter Installer\n21:500\n22: 700 mm\n");
    PushMessageBoxAnswer(IDOK); // no device file yet
    int status = RunSetup([](HWND d) {
        Select(d, IDC_MASTER_LIST, "Alpha Cutter");
        Click(d, IDC_ADD);
        Click(d, IDC_NEXT);
    });
    EXPECT_EQ(status, 0);
    std::string devices = *Read(Program() + "Devices.ini");
    EXPECT_NE(devices.find("\nMaxX=700\nMaxY=500\n"), std::string::npos) << devices;
    EXPECT_FALSE(Read(Program() + "Devices.old")); // there was no device file to keep
    EXPECT_EQ(Read(Program() + "Plot.ini"),
              "[General]\r\nCurrentPlotter=Alpha Cutter\r\nHeadPos=1\r\n\r\n"
              "[Vinil]\r\nWidth=500\r\nHeight=700\r\n");
    EXPECT_FALSE(Read(Shared() + "Application.ini"));
    EXPECT_FALSE(Read(Shared() + "spooler.ini")); // no spooler program
    EXPECT_FALSE(Read(Program() + "spooler.ini"));
}

TEST_F(SetupModeTest, AMissingAllUsersFolderIsMade) {
    Write(Program() + "Devices.ini", "[Gamma]\r\n");
    MakeProgram(Program() + "spooler");
    std::filesystem::create_directories(Program() + "signfonts");
    int status = RunSetup([](HWND d) {
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_ACTIVE);
        Click(d, IDC_NEXT);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(Shared() + "Application.ini"),
              "[Settings]\r\nFontDirectory=" + Program() + "signfonts/\r\n");
    EXPECT_NE(Read(Shared() + "spooler.ini")->find("[Device 1]\r\nName=Gamma\r\nPort=LPT1\r\n"),
              std::string::npos);
    EXPECT_FALSE(Read(Shared() + "Spooler.old"));
}

TEST_F(SetupModeTest, WithoutMediaTextsTheSizesAreCopied) {
    Write(Program() + "Cutters.txt", "21:0\n22:700\n");
    PushMessageBoxAnswer(IDOK); // no device file yet
    RunSetup([](HWND d) {
        Select(d, IDC_MASTER_LIST, "Beta Cutter");
        Click(d, IDC_ADD);
        Click(d, IDC_NEXT);
    });
    std::string devices = *Read(Program() + "Devices.ini");
    EXPECT_NE(devices.find("\nMaxX=300\nMaxY=610\n"), std::string::npos) << devices;
    EXPECT_NE(Read(Program() + "Plot.ini")->find("Width=610\r\nHeight=700\r\n"), std::string::npos);
}

TEST_F(SetupModeTest, NextWithoutAnActiveCutterWritesNothing) {
    PushMessageBoxAnswer(IDOK);
    PushMessageBoxAnswer(IDOK);
    RunSetup([](HWND d) {
        Click(d, IDC_NEXT);
        EXPECT_TRUE(IsWindow(d));
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    // A missing device file leaves the dialog open, so its message does not say it closes.
    EXPECT_EQ(MessageBoxLog()[0].text, "Plotter definition file missing");
    EXPECT_EQ(MessageBoxLog()[1].text, "Please select an active plotter");
    EXPECT_EQ(MessageBoxLog()[1].caption, "Oops");
    EXPECT_FALSE(Read(Program() + "Plot.ini"));
    EXPECT_FALSE(Read(Program() + "Devices.ini"));
}

TEST_F(SetupModeTest, AMissingMainProgramIsABadCommandLine) {
    std::filesystem::remove(Program() + "signdesk");
    Write(Program() + "Devices.ini", "");
    PushMessageBoxAnswer(IDOK);
    int status = RunSetup([](HWND d) {
        Select(d, IDC_MASTER_LIST, "Gamma");
        Click(d, IDC_ADD);
        Click(d, IDC_NEXT);
    });
    EXPECT_EQ(status, 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].caption, "Command error");
    EXPECT_EQ(MessageBoxLog()[0].text, "Bad command line - signdesk missing\nProgram will exit");
    // The other steps still ran.
    EXPECT_TRUE(Read(Program() + "Plot.ini"));
    EXPECT_FALSE(Read(Shared() + "Application.ini"));
}

TEST_F(SetupModeTest, RemovingTheActiveCutterShowsTheFirstRemainingOne) {
    Write(Program() + "Devices.ini", "[Gamma]\r\n[Beta Cutter]\r\n");
    RunSetup([](HWND d) {
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_ACTIVE);
        Click(d, IDC_REMOVE);
        EXPECT_EQ(TextOf(d, IDC_ACTIVE_CUTTER), "Beta Cutter");
        Select(d, IDC_INSTALLED_LIST, "Beta Cutter");
        Click(d, IDC_REMOVE);
        EXPECT_EQ(TextOf(d, IDC_ACTIVE_CUTTER), "");
        // Adding what is there already changes nothing.
        Select(d, IDC_MASTER_LIST, "Alpha Cutter");
        Click(d, IDC_ADD);
        Click(d, IDC_ADD);
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_INSTALLED_LIST, LB_GETCOUNT, 0, 0), 1);
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
}

} // namespace
