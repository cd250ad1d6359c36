#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"
#include "win32/kernel.h"
#include "win32/module.h"

namespace {

using ModuleTest = PlatformTest;

std::string FileNameOf(HMODULE module) {
    char path[4096];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, n);
}

std::string ProgramPath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

TEST_F(ModuleTest, DllNamesMapToSharedObjectsInTheProgramFolder) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr) << SdLastLoadError();
    EXPECT_GT(reinterpret_cast<UINT_PTR>(module), 32u);
    EXPECT_EQ(FileNameOf(module), SdProgramFolder() + "/test-res.so");

    // Every spelling of the same file gives the same handle, each counted.
    const std::string folder = SdProgramFolder();
    const std::string spellings[] = {"TEST-RES.DLL",
                                     "test-res",
                                     "test-res.so",
                                     "Test-Res.Dll",
                                     "test-res.ocx",
                                     folder + "/test-res.dll",
                                     folder + "\\test-res.dll",
                                     folder + "/./test-res.so"};
    for (const std::string& name : spellings) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadLibraryA(name.c_str()), module) << SdLastLoadError();
    }
    EXPECT_EQ(GetModuleHandleA("TEST-RES.dll"), module);
    for (size_t i = 0; i < std::size(spellings); ++i)
        ASSERT_TRUE(FreeLibrary(module));
    EXPECT_EQ(FileNameOf(module), SdProgramFolder() + "/test-res.so"); // one load left
    ASSERT_TRUE(FreeLibrary(module));

    // Unloaded: the handle is dead for good, and the name no longer resolves.
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetModuleFileNameA(module, nullptr, 0), 0u);
    EXPECT_EQ(GetModuleHandleA("test-res.dll"), nullptr);
    HMODULE again = LoadLibraryA("test-res.dll");
    EXPECT_NE(again, module);
    FreeLibrary(again);
}

TEST_F(ModuleTest, MissingAndBrokenModulesFailCleanly) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("no-such-module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_NE(SdLastLoadError(), "");
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA("folder/"), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);

    // A module that is marked missing fails as if absent, in whatever spelling.
    SdSetModuleMissing("Test-Res.dll", true);
    for (const char* name : {"test-res.dll", "test-res", "TEST-RES.SO"}) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(name), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    }
    SdSetModuleMissing("test-res", false);
    HMODULE module = LoadLibraryA("test-res.dll");
    EXPECT_NE(module, nullptr);
    FreeLibrary(module);

    // Files that are not shared objects: empty, text, a truncated ELF header.
    const std::pair<const char*, std::string> broken[] = {
        {"empty.dll", ""},
        {"text.dll", "this is not a module\n"},
        {"short.dll", std::string("\x7f"
                                  "ELF\x02\x01\x01",
                                  7)}};
    for (const auto& [name, bytes] : broken) {
        SCOPED_TRACE(name);
        std::string path = (DataFolder() / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
        EXPECT_NE(SdLastLoadError(), "");
    }

    // Another program folder: names without a folder are looked for there.
    SdSetProgramFolder(DataFolder().c_str());
    EXPECT_EQ(LoadLibraryA("test-res.dll"), nullptr);
    SdSetProgramFolder(nullptr);
    module = LoadLibraryA("test-res.dll");
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(SdLastLoadError(), "");
    FreeLibrary(module);

    int local = 0;
    for (HMODULE bogus : {reinterpret_cast<HMODULE>(1), reinterpret_cast<HMODULE>(&local),
                          reinterpret_cast<HMODULE>(0x10000001)}) {
        EXPECT_FALSE(FreeLibrary(bogus));
        EXPECT_EQ(GetProcAddress(bogus, "SdResourceTable"), nullptr);
        EXPECT_EQ(GetModuleFileNameA(bogus, nullptr, 0), 0u);
    }
}

TEST_F(ModuleTest, GetProcAddressFindsOnlyTheModulesOwnSymbols) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "SdResourceTable"), nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchEntry"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr); // the C library's, not the module's
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr); // an ordinal
    EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
    FreeLibrary(module);
}

TEST_F(ModuleTest, TheProgramAndModulesLoadedWithIt) {
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_GT(reinterpret_cast<UINT_PTR>(program), 32u);
    EXPECT_EQ(GetModuleHandleA(nullptr), program);
    EXPECT_EQ(FileNameOf(nullptr), ProgramPath());
    EXPECT_EQ(FileNameOf(program), ProgramPath());
    EXPECT_TRUE(FreeLibrary(program)); // the program stays
    EXPECT_EQ(FileNameOf(program), ProgramPath());

    // This library came with the program, not through LoadLibrary.
    HMODULE layer = GetModuleHandleA("libsdwin32.so");
    ASSERT_NE(layer, nullptr);
    EXPECT_NE(FileNameOf(layer).find("libsdwin32.so"), std::string::npos);
    EXPECT_EQ(GetModuleHandleA("LIBSDWIN32.SO"), layer);
    EXPECT_EQ(GetModuleHandleA("never-loaded.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModuleTest, ModuleFileNameTruncatesLikeWindows) {
    const std::string path = ProgramPath();
    const DWORD length = DWORD(path.size());
    struct Case {
        DWORD size;
        DWORD result;
        bool insufficient;
    };
    const Case cases[] = {{1, 1, true},
                          {5, 5, true},
                          {length, length, true},
                          {length + 1, length, false},
                          {length + 50, length, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string buffer(c.size + 8, '#');
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), c.size), c.result);
        EXPECT_EQ(GetLastError() == ERROR_INSUFFICIENT_BUFFER, c.insufficient);
        size_t copied = std::min<size_t>(length, c.size - 1);
        EXPECT_EQ(buffer.substr(0, copied), path.substr(0, copied));
        EXPECT_EQ(buffer[copied], '\0');
        EXPECT_EQ(buffer[c.size], '#'); // nothing past the buffer
    }
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 0), 0u);
}

} // namespace
