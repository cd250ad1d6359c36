#include <gtest/gtest.h>

#include "InstallerTree.h"

namespace {

using namespace sdtest;

class MaintenanceModeTest : public InstallerTree {};

// Hand-edited: comments, unknown keys, LF ends, hex values, the printer's own section, a
// look-alike name, and no line end at the end.
const std::string kHandEdited = "; my cutters\n"
                                "[Gamma]\n"
                                "Driver=cutdrv-flint.dll\n"
                                "Speed=1Ah ; hex\n"
                                "\n"
                                "[Universal Gamma]\n"
                                "Mine=1\n"
                                "[Gamma 2]\n"
                                "Unknown=kept\n"
                                "[Beta Cutter]\n"
                                "MaxX=12Ch";

TEST_F(MaintenanceModeTest, AddRemoveUpdateQuitEditOnlyTheUsersFileAndOnlyThoseSections) {
    Write(UserData() + "Devices.ini", kHandEdited);
    Write(Program() + "Devices.ini", "[Shipped]\r\n");
    int status = RunMaintenance([](HWND d) {
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_QUIT));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_UPDATE)));
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_INSTALLED_LIST, LB_GETCOUNT, 0, 0), 3);
        Select(d, IDC_MASTER_LIST, "Alpha Cutter");
        Click(d, IDC_ADD);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_UPDATE)));
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_REMOVE);
        Click(d, IDC_UPDATE);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_UPDATE)));
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_INSTALLED_LIST, LB_GETCOUNT, 0, 0), 3);
        Click(d, IDC_QUIT);
    });
    EXPECT_EQ(status, 0);

    const std::string master = MasterFixture();
    const std::string alpha =
        master.substr(master.find("[Alpha"), master.find("\n\n[Beta") + 1 - master.find("[Alpha"));
    EXPECT_EQ(Read(UserData() + "Devices.ini"), "; my cutters\n"
                                                "[Universal Gamma]\n"
                                                "Mine=1\n"
                                                "[Gamma 2]\n"
                                                "Unknown=kept\n"
                                                "[Beta Cutter]\n"
                                                "MaxX=12Ch\n"
                                                "\n" +
                                                    alpha);
    EXPECT_EQ(Read(UserData() + "Devices.old"), kHandEdited);
    EXPECT_EQ(Read(Program() + "Devices.ini"), "[Shipped]\r\n");
    EXPECT_FALSE(Read(Program() + "Plot.ini"));
    EXPECT_FALSE(Read(Program() + "Devices.old"));
}

TEST_F(MaintenanceModeTest, TheFirstUseCopiesTheShippedFileAndQuitWritesNothing) {
    Write(Program() + "Devices.ini", "[Gamma]\r\nDriver=x\r\n");
    RunMaintenance([](HWND d) {
        Select(d, IDC_MASTER_LIST, "Alpha Cutter");
        Click(d, IDC_ADD);
        Click(d, IDC_QUIT);
    });
    EXPECT_EQ(Read(UserData() + "Devices.ini"), "[Gamma]\r\nDriver=x\r\n");
    EXPECT_FALSE(Read(UserData() + "Devices.old"));
}

TEST_F(MaintenanceModeTest, AnUpdateKeepsSectionsThatAppearedMeanwhileAndRenewsTheBackup) {
    Write(UserData() + "Devices.ini", "[Gamma]\r\n[Beta Cutter]\r\n");
    RunMaintenance([this](HWND d) {
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_REMOVE);
        // Another program adds a section while the dialog is open.
        Write(UserData() + "Devices.ini", "[Gamma]\r\n[Beta Cutter]\r\n[Theirs]\r\nk=1\r\n");
        Click(d, IDC_UPDATE);
        EXPECT_EQ(Read(UserData() + "Devices.ini"), "[Beta Cutter]\r\n[Theirs]\r\nk=1\r\n");
        Select(d, IDC_INSTALLED_LIST, "Theirs");
        Click(d, IDC_REMOVE);
        Click(d, IDC_UPDATE);
        Click(d, IDC_QUIT);
    });
    EXPECT_EQ(Read(UserData() + "Devices.ini"), "[Beta Cutter]\r\n");
    // Each update that removed sections kept the file as it was before it.
    EXPECT_EQ(Read(UserData() + "Devices.old"), "[Beta Cutter]\r\n[Theirs]\r\nk=1\r\n");
}

TEST_F(MaintenanceModeTest, AMissingNameAddsNothingAndTheNextIsStillAdded) {
    Write(UserData() + "Devices.ini", "");
    Write(UserData() + "Devices.mst", "");
    RunMaintenance([this](HWND d) {
        Select(d, IDC_MASTER_LIST, "Gamma");
        Click(d, IDC_ADD);
        Select(d, IDC_MASTER_LIST, "Beta Cutter");
        Click(d, IDC_ADD);
        // The master list loses Gamma before the update.
        std::string master = MasterFixture();
        WriteMaster(master.substr(0, master.find("[Gamma]")));
        Click(d, IDC_UPDATE);
        Click(d, IDC_QUIT);
    });
    std::string devices = *Read(UserData() + "Devices.ini");
    EXPECT_EQ(devices.find("[Gamma]"), std::string::npos);
    EXPECT_NE(devices.find("[Beta Cutter]"), std::string::npos);
}

TEST_F(MaintenanceModeTest, MissingMasterListClosesTheDialog) {
    std::filesystem::remove(Program() + "Devices.mst");
    PushMessageBoxAnswer(IDOK);
    int status = RunMaintenance([](HWND) { ADD_FAILURE() << "the dialog should have closed"; });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Plotter definition file missing\r\n:Program will close");
    AllowUnscriptedDialogs();
}

TEST_F(MaintenanceModeTest, TextsComeFromTheFileOrTheDefaults) {
    struct Case {
        const char* what;
        const char* file; // null: none
        const char* caption;
        const char* add;
        const char* quit;
    } cases[] = {
        {"missing", nullptr, "Cutter Update / remover", "ADD >>", "Quit"},
        {"partial", "1:Mine\n4: Add\n", "Mine", " Add", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SdClearDialogScripts();
        SdClearMessageBoxes();
        std::filesystem::remove(Program() + "Cutters.txt");
        if (c.file) Write(Program() + "Cutters.txt", c.file);
        Write(UserData() + "Devices.ini", "");
        if (!c.file) PushMessageBoxAnswer(IDOK);
        RunMaintenance([&](HWND d) {
            EXPECT_EQ(TextOf(d, IDC_ADD), c.add);
            EXPECT_EQ(TextOf(d, IDC_QUIT), c.quit);
            char caption[128];
            GetWindowTextA(d, caption, sizeof caption);
            EXPECT_STREQ(caption, c.caption);
            Click(d, IDC_QUIT);
        });
        if (!c.file) {
            ASSERT_EQ(MessageBoxLog().size(), 1u);
            EXPECT_EQ(MessageBoxLog()[0].caption, "Missing File");
        }
    }
}

TEST_F(MaintenanceModeTest, SeveralProgramsAskOnceAndTheAnswerNamesTheDataFolder) {
    MakeProgram(Program() + "letterer");
    Write(Program() + "letterer.so", "");
    MakeProgram(Program() + "plotview"); // never a candidate
    Write(Program() + "plotview.so", "");
    MakeProgram(Program() + "signdesk_tests"); // no resource module: no candidate
    Write(DataFolder().string() + "/letterer/Devices.ini", "[Gamma]\r\n");
    int asked = 0;
    SetDialogScriptForClass(kSelectProgramClass, [&](HWND d) {
        ++asked;
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_PROGRAM_LIST, LB_GETCOUNT, 0, 0), 2);
        Select(d, IDC_PROGRAM_LIST, "letterer");
        Click(d, IDC_PROGRAM_NEXT);
    });
    RunMaintenance([](HWND d) {
        Select(d, IDC_INSTALLED_LIST, "Gamma");
        Click(d, IDC_REMOVE);
        Click(d, IDC_UPDATE);
        Click(d, IDC_QUIT);
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Read(DataFolder().string() + "/letterer/Devices.ini"), "");
    EXPECT_FALSE(Read(UserData() + "Devices.ini"));
}

TEST_F(MaintenanceModeTest, ClosingTheProgramChoiceAnotherWayKeepsTheFirstEntry) {
    MakeProgram(Program() + "letterer");
    Write(Program() + "letterer.so", "");
    Write(DataFolder().string() + "/letterer/Devices.ini", "[Gamma]\r\n");
    SetDialogScriptForClass(kSelectProgramClass, [](HWND d) {
        // Entries show sorted, and the first one is the answer before anything is chosen.
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_PROGRAM_LIST, LB_GETCURSEL, 0, 0), 0);
        char caption[64];
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_STREQ(caption, "Select Program");
        SendMessageA(d, WM_CLOSE, 0, 0);
    });
    RunMaintenance([](HWND d) {
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_INSTALLED_LIST, LB_GETCOUNT, 0, 0), 1);
        Click(d, IDC_QUIT);
    });
}

} // namespace
