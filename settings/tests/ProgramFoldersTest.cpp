#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <mfc/CFileException.h>
#include <win32/KernelTesting.h>

#include "settings/PathNames.h"
#include "settings/ProgramFolders.h"
#include "settings/ProgramFoldersTesting.h"
#include "testing/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A program folder of the test's own, beside its data folder.
class ProgramFoldersTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        program_ = (DataFolder() / "program").string();
        fs::create_directories(program_);
        SdSetShellProgramDir(program_.c_str());
    }
    void TearDown() override {
        SdSetShellProgramDir(nullptr);
        PlatformTest::TearDown();
    }
    fs::path Plant(const std::string& name, const std::string& text = "") {
        fs::path p = fs::path(program_) / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
        return p;
    }

    std::string program_;
};

TEST_F(ProgramFoldersTest, DataFolderFollowsCommonDir) {
    EXPECT_EQ(std::string(GetProgramDir()), program_ + "/");
    std::string user = (DataFolder() / "signdesk/").string();
    EXPECT_EQ(std::string(GetDataFolder()), user);
    EXPECT_TRUE(fs::is_directory(user));

    fs::path common = DataFolder() / "common";
    ::setenv("XDG_CONFIG_DIRS", (common.string() + ":/etc/xdg").c_str(), 1);
    Plant("CommonDir");
    EXPECT_EQ(std::string(GetDataFolder()), (common / "signdesk/").string());
    fs::remove(fs::path(program_) / "CommonDir");
    EXPECT_EQ(std::string(GetDataFolder()), user);
    ::unsetenv("XDG_CONFIG_DIRS");
}

TEST_F(ProgramFoldersTest, FirstUseCopiesOnceAndKeepsTheUsersChanges) {
    Plant("sd-test-defaults.ini", "[A]\nx=1\n");
    std::string path = std::string(GetDataFilePath("sd-test-defaults.ini"));
    EXPECT_EQ(path, (DataFolder() / "signdesk/sd-test-defaults.ini").string());
    EXPECT_EQ(Read(path), "[A]\nx=1\n");
    std::ofstream(path) << "[A]\nx=2\n";
    GetDataFilePath("sd-test-defaults.ini");
    EXPECT_EQ(Read(path), "[A]\nx=2\n");

    // Neither folder has it: a path to a missing file.
    std::string missing = std::string(GetDataFilePath("sd-test-missing.ini"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(ProgramFoldersTest, CopyReportsWriteErrorsAsFileExceptions) {
    fs::path source = Plant("sd-test-source.bin", std::string(20000, 'z'));
    fs::path copy = DataFolder() / "copy.bin";
    CopyProgramFileToData(source.c_str(), copy.c_str());
    EXPECT_EQ(fs::file_size(copy), 20000u);
    // An unreadable source copies nothing, without an error.
    CopyProgramFileToData((DataFolder() / "none").c_str(), (DataFolder() / "none2").c_str());
    EXPECT_FALSE(fs::exists(DataFolder() / "none2"));
    bool thrown = false;
    try {
        CopyProgramFileToData(source.c_str(), "/nonexistent-folder/x/copy.bin");
    } catch (CFileException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST_F(ProgramFoldersTest, ACopyKilledMidwayLeavesNoHalfFile) {
    fs::path source = Plant("sd-test-source.bin", std::string(20000, 'z'));
    fs::path copy = DataFolder() / "copy.bin";
    for (SdFileOperation kind : {SD_FILE_WRITE, SD_FILE_FSYNC, SD_FILE_RENAME}) {
        SCOPED_TRACE(int(kind));
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SdKillAtFileOperation(kind, 1);
            CopyProgramFileToData(source.c_str(), copy.c_str());
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_FALSE(fs::exists(copy));
    }
    CopyProgramFileToData(source.c_str(), copy.c_str());
    EXPECT_EQ(fs::file_size(copy), 20000u);
}

TEST_F(ProgramFoldersTest, DefaultFolderIsCompleteOnReturnAndTheCurrentDirectoryStays) {
    Plant("sd-test-kerning/a.krn", "a");
    Plant("sd-test-kerning/deep/b.krn", "b");
    fs::path before = fs::current_path();
    std::string folder = std::string(EnsureDefaultFolder("sd-test-kerning"));
    EXPECT_EQ(folder, (DataFolder() / "signdesk/sd-test-kerning/").string());
    EXPECT_EQ(Read(fs::path(folder) / "a.krn"), "a");
    EXPECT_EQ(Read(fs::path(folder) / "deep/b.krn"), "b");
    EXPECT_EQ(fs::current_path(), before);

    // Present already: nothing copied over the user's files.
    std::ofstream(fs::path(folder) / "a.krn") << "mine";
    EnsureDefaultFolder("sd-test-kerning");
    EXPECT_EQ(Read(fs::path(folder) / "a.krn"), "mine");

    std::string deep = (DataFolder() / std::string(100, 'd') / "e\\f").string();
    MakeDirectories(deep.c_str());
    EXPECT_TRUE(fs::is_directory(DataFolder() / std::string(100, 'd') / "e/f"));
    MakeDirectories(deep.c_str()); // existing: passed through
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(ProgramFoldersTest, TempFileNamesAreNewAndEmpty) {
    ::setenv("TMPDIR", DataFolder().c_str(), 1);
    std::string a = std::string(MakeTempFileName("Tmp"));
    std::string b = std::string(MakeTempFileName("Tmp"));
    ::unsetenv("TMPDIR");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(fs::path(a).parent_path(), DataFolder());
    EXPECT_EQ(fs::path(a).filename().string().rfind("Tmp", 0), 0u);
    EXPECT_EQ(fs::file_size(a), 0u);
}

TEST(PathNames, SplitAtEitherSeparator) {
    struct Case {
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
    } cases[] = {
        {"", "", "", ""},
        {"name", "", "name", ""},
        {"C:\\fonts\\Serif.ttf", "C:\\fonts", "Serif.ttf", "ttf"},
        {"/home/u/a.b/c", "/home/u/a.b", "c", "b/c"},
        {"dir/file.tar.gz", "dir", "file.tar.gz", "gz"},
        {"folder\\", "folder", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetPathDirectory(c.path), c.dir) << c.path;
        EXPECT_STREQ(GetPathFileName(c.path), c.file) << c.path;
        EXPECT_STREQ(GetPathExtension(c.path), c.ext) << c.path;
    }
    EXPECT_STREQ(GetPathFileName(nullptr), "");
}

TEST(ProgramNames, FolderAndFileOfTheRunningProgram) {
    std::string dir = std::string(GetProgramDir());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::exists(dir + std::string(GetProgramFileName())));
    EXPECT_STREQ(GetProfileFileName(), "");
}

} // namespace
