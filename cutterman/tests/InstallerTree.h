#pragma once
// A program folder, a user's data folder and an all-users folder in a temporary tree, for
// runs of the installer in the test's process.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <settings/ProgramFoldersTesting.h>
#include <testing/DialogDriver.h>
#include <testing/PlatformTest.h>

#include "Cutterman.h"
#include "InstallerDialogs.h"

class InstallerTree : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Folders end with '/'.
    std::string Program() const { return program_; }
    std::string Shared() const { return shared_; } // the Windows folder
    std::string UserData() const { return DataFolder().string() + "/signdesk/"; }

    static void Write(const std::string& path, const std::string& bytes);
    static std::optional<std::string> Read(const std::string& path);
    static void MakeProgram(const std::string& path);
    void WriteMaster(const std::string& bytes) { Write(program_ + "Devices.mst", bytes); }
    static std::string MasterFixture();

    // One run in set-up mode on the program folder; the script works the set-up dialog.
    int RunSetup(SdDialogScript script);
    int RunMaintenance(SdDialogScript script);

private:
    std::string root_;
    std::string program_;
    std::string shared_;
    std::string savedDirs_;
    bool hadDirs_ = false;
    std::filesystem::path cwd_;
};
