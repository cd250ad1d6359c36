#include "InstallerTree.h"

#include <cstdlib>
#include <sys/stat.h>

void InstallerTree::SetUp() {
    PlatformTest::SetUp();
    cwd_ = std::filesystem::current_path();
    root_ = DataFolder().string() + "/tree/";
    program_ = root_ + "Sign Desk/";
    shared_ = root_ + "shared/signdesk/";
    std::filesystem::create_directories(program_);
    if (const char* dirs = std::getenv("XDG_CONFIG_DIRS")) hadDirs_ = true, savedDirs_ = dirs;
    setenv("XDG_CONFIG_DIRS", (root_ + "shared").c_str(), 1);
    SdSetShellProgramDir(program_.c_str());
    WriteMaster(MasterFixture());
    Write(program_ + "Cutters.txt", *Read(SD_TEST_DATA_DIR "/../../data/Cutters.txt"));
    MakeProgram(program_ + "signdesk");
    Write(program_ + "signdesk.so", "");
}

void InstallerTree::TearDown() {
    std::filesystem::current_path(cwd_);
    SdSetShellProgramDir(nullptr);
    if (hadDirs_)
        setenv("XDG_CONFIG_DIRS", savedDirs_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_DIRS");
    PlatformTest::TearDown();
}

void InstallerTree::Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::optional<std::string> InstallerTree::Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void InstallerTree::MakeProgram(const std::string& path) {
    Write(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
}

std::string InstallerTree::MasterFixture() {
    return *Read(SD_TEST_DATA_DIR "/master.mst");
}

int InstallerTree::RunSetup(SdDialogScript script) {
    SetDialogScriptForClass(kSetupDialogClass, std::move(script));
    return RunCutterman({program_ + "signdesk.ini"});
}

int InstallerTree::RunMaintenance(SdDialogScript script) {
    SetDialogScriptForClass(kMaintenanceDialogClass, std::move(script));
    return RunCutterman({});
}
