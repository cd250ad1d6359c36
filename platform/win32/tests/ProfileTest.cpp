#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "KernelScratchFolder.h"
#include "win32/kernel.h"

using namespace std::string_literals;

namespace {

// Comments, blank lines, a line without '=', duplicate keys, a second block of the same section,
// quotes, and the integer forms, all with CR LF line ends.
const std::string kSettings = "; settings\r\n"
                              "[General]\r\n"
                              "  Name = Alpha \r\n"
                              "Empty=\r\n"
                              "name=Second\r\n"
                              "Quoted=\"  padded  \"\r\n"
                              "Single='x'\r\n"
                              "Half=\"open\r\n"
                              "garbage line without equals\r\n"
                              ";Commented=1\r\n"
                              "Hex=1Ah\r\n"
                              "HEX2=FFH\r\n"
                              "Neg=-5\r\n"
                              "NegHex=-10h\r\n"
                              "Mixed=12abc\r\n"
                              "Word=abc\r\n"
                              "Big=99999999999\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "Name=Beta\r\n"
                              "[general]\r\n"
                              "Late=from second block\r\n"
                              "Name=shadowed\r\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

const std::string kLongValue(100000, 'v');
const std::string kLongFile =
    "[A]\r\n" + std::string(100000, 'g') + "\r\nlong=" + kLongValue + "\r\nafter=1\r\n";
const std::string kBinaryFile =
    "[A]\r\nk=ab\0cd\r\n\xff\xfe=\x80\r\n\0\0junk\x01\r\n[B]\r\nk=v\r\n"s;

enum class Call { String, Int, Sections, Keys, Write };

struct ProfileCase {
    const char* what;
    std::optional<std::string> file; // nullopt: no file
    Call call;
    const char* section;
    const char* key;
    const char* text; // default value, or the value written
    DWORD size;       // buffer size for string and list reads; the default for Int
    std::string
        expect; // string read; list with its closing NUL; file after a write ("" + no file below)
    std::int64_t result;
    bool fileGone = false; // the write leaves no file
};

const char* const kNull = nullptr;

std::vector<ProfileCase> profileCases() {
    return {
        // Lookups.
        {"trimmed value, first match wins", kSettings, Call::String, "General", "Name", "d", 64,
         "Alpha", 5},
        {"names match without case", kSettings, Call::String, "GENERAL", "nAmE", "d", 64, "Alpha",
         5},
        {"empty value is not missing", kSettings, Call::String, "General", "Empty", "dflt", 64, "",
         0},
        {"missing key gives default", kSettings, Call::String, "General", "Nope", "dflt", 64,
         "dflt", 4},
        {"missing section gives default", kSettings, Call::String, "Nope", "Name", "dflt", 64,
         "dflt", 4},
        {"missing file gives default", std::nullopt, Call::String, "General", "Name", "dflt", 64,
         "dflt", 4},
        {"null default is empty", kSettings, Call::String, "General", "Nope", kNull, 64, "", 0},
        {"default loses trailing blanks", kSettings, Call::String, "General", "Nope", "dflt  ", 64,
         "dflt", 4},
        {"quotes are stripped once", kSettings, Call::String, "General", "Quoted", "d", 64,
         "  padded  ", 10},
        {"single quotes are stripped", kSettings, Call::String, "General", "Single", "d", 64, "x",
         1},
        {"unmatched quote is kept", kSettings, Call::String, "General", "Half", "d", 64, "\"open",
         5},
        {"line without '=' is no key", kSettings, Call::String, "General",
         "garbage line without equals", "d", 64, "d", 1},
        {"comment is no key", kSettings, Call::String, "General", ";Commented", "d", 64, "d", 1},
        {"second block of a section is read", kSettings, Call::String, "General", "Late", "d", 64,
         "from second block", 17},
        {"value cut to size - 1", kSettings, Call::String, "General", "Name", "d", 3, "Al", 2},
        {"default cut to size - 1", kSettings, Call::String, "General", "Nope", "dflt", 2, "d", 1},
        {"entries above the first section are ignored", "orphan=1\r\n[A]\r\n"s, Call::String, "A",
         "orphan", "d", 64, "d", 1},
        {"LF line ends", "[A]\nk=v\n"s, Call::String, "a", "K", "d", 64, "v", 1},
        {"section header without ']'", "[A\r\nk=v\r\n"s, Call::String, "A", "k", "d", 64, "v", 1},
        {"100 KB lines", kLongFile, Call::String, "A", "long", "d", 200000, kLongValue, 100000},
        {"key after a 100 KB garbage line", kLongFile, Call::String, "A", "after", "d", 64, "1", 1},
        {"value with NUL ends there", kBinaryFile, Call::String, "A", "k", "d", 64, "ab", 2},
        {"high bytes in names", kBinaryFile, Call::String, "A", "\xff\xfe", "d", 64, "\x80", 1},

        // Integers.
        {"hex with h", kSettings, Call::Int, "General", "Hex", nullptr, 7, "", 26},
        {"hex with H", kSettings, Call::Int, "General", "HEX2", nullptr, 7, "", 255},
        {"signed decimal", kSettings, Call::Int, "General", "Neg", nullptr, 7, "", 0xFFFFFFFB},
        {"signed hex", kSettings, Call::Int, "General", "NegHex", nullptr, 7, "", 0xFFFFFFF0},
        {"trailing text ignored", kSettings, Call::Int, "General", "Mixed", nullptr, 7, "", 12},
        {"no digits reads 0", kSettings, Call::Int, "General", "Word", nullptr, 7, "", 0},
        {"overflow saturates", kSettings, Call::Int, "General", "Big", nullptr, 7, "", 0xFFFFFFFF},
        {"empty int gives default", kSettings, Call::Int, "General", "Empty", nullptr, 7, "", 7},
        {"missing int gives default", kSettings, Call::Int, "General", "Nope", nullptr, 7, "", 7},
        {"missing file int gives default", std::nullopt, Call::Int, "General", "Hex", nullptr, 7,
         "", 7},

        // Lists.
        {"section names once each", kSettings, Call::Sections, nullptr, nullptr, nullptr, 64,
         "General\0Other\0\0"s, 14},
        {"section list cut between names", kSettings, Call::Sections, nullptr, nullptr, nullptr, 10,
         "General\0\0"s, 8},
        {"section list cut inside a name", kSettings, Call::Sections, nullptr, nullptr, nullptr, 6,
         "Gene\0\0"s, 4},
        {"section list exactly fits", kSettings, Call::Sections, nullptr, nullptr, nullptr, 15,
         "General\0Other\0\0"s, 14},
        {"section list of missing file", std::nullopt, Call::Sections, nullptr, nullptr, nullptr,
         64, "\0"s, 0},
        {"keys of both blocks, once each", kSettings, Call::Keys, "general", nullptr, nullptr, 256,
         "Name\0Empty\0Quoted\0Single\0Half\0Hex\0HEX2\0Neg\0NegHex\0Mixed\0Word\0Big\0Late\0\0"s,
         70},
        {"key list cut", kSettings, Call::Keys, "General", nullptr, nullptr, 9, "Name\0Em\0\0"s, 7},
        {"keys of missing section", kSettings, Call::Keys, "Nope", nullptr, nullptr, 64, "\0"s, 0},

        // Writes: expected file content afterwards.
        {"replace in place keeps every other byte", kSettings, Call::Write, "General", "Hex", "20",
         0, replaced(kSettings, "Hex=1Ah", "Hex=20"), TRUE},
        {"replace keeps the file's spelling", kSettings, Call::Write, "GENERAL", "name", "Z", 0,
         replaced(kSettings, "  Name = Alpha ", "Name=Z"), TRUE},
        {"caller's names are trimmed", kSettings, Call::Write, " other ", " NAME ", "Z", 0,
         replaced(kSettings, "Name=Beta", "Name=Z"), TRUE},
        {"new key goes after the section's last line", kSettings, Call::Write, "General", "New",
         "1", 0, replaced(kSettings, "Big=99999999999\r\n", "Big=99999999999\r\nNew=1\r\n"), TRUE},
        {"new section goes at the end", kSettings, Call::Write, "Fresh", "K", "V", 0,
         kSettings + "\r\n[Fresh]\r\nK=V\r\n", TRUE},
        {"null value deletes the key everywhere in the section", kSettings, Call::Write, "General",
         "NAME", kNull, 0,
         replaced(replaced(replaced(kSettings, "  Name = Alpha \r\n", ""), "name=Second\r\n", ""),
                  "Name=shadowed\r\n", ""),
         TRUE},
        {"null key deletes the section", kSettings, Call::Write, "Other", nullptr, kNull, 0,
         replaced(kSettings, "[Other]\r\nName=Beta\r\n", ""), TRUE},
        {"deleting a missing key changes nothing", kSettings, Call::Write, "General", "Nope", kNull,
         0, kSettings, TRUE},
        {"flush changes nothing", kSettings, Call::Write, nullptr, nullptr, kNull, 0, kSettings,
         TRUE},
        {"write creates the file with CR LF", std::nullopt, Call::Write, "S", "K", "V", 0,
         "[S]\r\nK=V\r\n", TRUE},
        {"delete on a missing file creates nothing", std::nullopt, Call::Write, "S", "K", kNull, 0,
         "", TRUE, true},
        {"LF file gets LF lines", "[A]\nx=1\n"s, Call::Write, "A", "y", "2", 0, "[A]\nx=1\ny=2\n",
         TRUE},
        {"last line without line end", "[A]\nx=1"s, Call::Write, "A", "y", "2", 0,
         "[A]\nx=1\ny=2\n", TRUE},
        {"key into an empty section", "[A]\r\n\r\n[B]\r\n"s, Call::Write, "A", "k", "v", 0,
         "[A]\r\nk=v\r\n\r\n[B]\r\n", TRUE},
        {"binary bytes survive", kBinaryFile, Call::Write, "B", "k", "w", 0,
         replaced(kBinaryFile, "k=v", "k=w"), TRUE},
        {"100 KB lines survive", kLongFile, Call::Write, "A", "after", "2", 0,
         replaced(kLongFile, "after=1", "after=2"), TRUE},
        {"line break in a value is refused", kSettings, Call::Write, "Other", "Name", "x\r\n[Evil]",
         0, kSettings, FALSE},
        {"key without section is refused", kSettings, Call::Write, nullptr, "Name", "x", 0,
         kSettings, FALSE},
        // Names the file would read back as other sections, keys or comments.
        {"section with ']' is refused", kSettings, Call::Write, "T]x", "K", "v", 0, kSettings,
         FALSE},
        {"section starting with '[' is refused", kSettings, Call::Write, "[T", "K", "v", 0,
         kSettings, FALSE},
        {"section starting with ';' is refused", kSettings, Call::Write, " ;T", "K", "v", 0,
         kSettings, FALSE},
        {"section with '=' is refused", kSettings, Call::Write, "a=b", "K", "v", 0, kSettings,
         FALSE},
        {"key with '=' is refused", kSettings, Call::Write, "Other", "a=b", "v", 0, kSettings,
         FALSE},
        {"key with ']' is refused", kSettings, Call::Write, "Other", "a]", "v", 0, kSettings,
         FALSE},
        {"key starting with ';' is refused", kSettings, Call::Write, "Other", ";c", "v", 0,
         kSettings, FALSE},
        {"key starting with '[' is refused", kSettings, Call::Write, "Other", "[c", "v", 0,
         kSettings, FALSE},
        {"key with a line break is refused", kSettings, Call::Write, "Other", "a\nb", "v", 0,
         kSettings, FALSE},
        {"deleting a key with '=' is refused", kSettings, Call::Write, "Other", "a=b", kNull, 0,
         kSettings, FALSE},
        {"'=' and ';' inside a value are data", "[A]\r\n"s, Call::Write, "A", "k", "x=;]", 0,
         "[A]\r\nk=x=;]\r\n", TRUE},

        // A leading byte-order mark and lone CR line ends.
        {"byte-order mark: first section read", "\xEF\xBB\xBF[General]\r\nName=A\r\n"s,
         Call::String, "General", "Name", "d", 64, "A", 1},
        {"byte-order mark: sections listed", "\xEF\xBB\xBF[G]\r\n[H]\r\n"s, Call::Sections, nullptr,
         nullptr, nullptr, 64, "G\0H\0\0"s, 4},
        {"byte-order mark: kept by a write into the first section",
         "\xEF\xBB\xBF[General]\r\nCurrentPlotter=X\r\n"s, Call::Write, "General", "CurrentPlotter",
         "Y", 0, "\xEF\xBB\xBF[General]\r\nCurrentPlotter=Y\r\n", TRUE},
        {"mark elsewhere is no mark", "[A]\r\n\xEF\xBB\xBF[B]\r\nk=v\r\n"s, Call::String, "B", "k",
         "d", 64, "d", 1},
        {"lone CR line ends", "[A]\rk=v\r[B]\rk=w\r"s, Call::String, "B", "k", "d", 64, "w", 1},
        {"lone CR sections listed", "[A]\rk=v\r[B]\r"s, Call::Sections, nullptr, nullptr, nullptr,
         64, "A\0B\0\0"s, 4},
        {"lone CR file keeps its line ends", "[A]\rk=v\r[B]\rk=w\r"s, Call::Write, "A", "k", "x", 0,
         "[A]\rk=x\r[B]\rk=w\r", TRUE},
        {"mixed line ends", "[A]\r\nk=v\r[B]\nk=w"s, Call::String, "B", "k", "d", 64, "w", 1},
    };
}

TEST(ProfileTest, SemanticsTable) {
    KernelScratchFolder folder;
    for (const ProfileCase& c : profileCases()) {
        SCOPED_TRACE(c.what);
        std::string file = folder.path("case.ini");
        std::filesystem::remove(file);
        if (c.file) folder.write("case.ini", *c.file);

        if (c.call == Call::Write) {
            EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.text, file.c_str()), c.result);
            auto after = folder.read("case.ini");
            if (c.fileGone) {
                EXPECT_FALSE(after.has_value());
            } else {
                ASSERT_TRUE(after.has_value());
                EXPECT_EQ(*after, c.expect);
            }
            continue;
        }
        if (c.call == Call::Int) {
            EXPECT_EQ(GetPrivateProfileIntA(c.section, c.key, INT(c.size), file.c_str()),
                      UINT(c.result));
            continue;
        }

        // Guard bytes after the buffer catch writes past `size`.
        std::vector<char> buffer(c.size + 8, '\x7f');
        DWORD n = c.call == Call::Sections
                      ? GetPrivateProfileSectionNamesA(buffer.data(), c.size, file.c_str())
                      : GetPrivateProfileStringA(c.section, c.key, c.text, buffer.data(), c.size,
                                                 file.c_str());
        EXPECT_EQ(n, DWORD(c.result));
        std::string expected = c.call == Call::String ? c.expect + '\0' : c.expect;
        EXPECT_EQ(std::string(buffer.data(), expected.size()), expected);
        EXPECT_TRUE(
            std::all_of(buffer.begin() + c.size, buffer.end(), [](char b) { return b == '\x7f'; }));
        if (c.call == Call::Sections) {
            // The section list through GetPrivateProfileStringA is the same.
            std::vector<char> other(c.size, '\x7f');
            EXPECT_EQ(
                GetPrivateProfileStringA(nullptr, nullptr, "d", other.data(), c.size, file.c_str()),
                n);
            EXPECT_EQ(std::string(other.data(), expected.size()), expected);
        }
    }
}

TEST(ProfileTest, EveryReadSeesTheLatestWrite) {
    KernelScratchFolder folder;
    std::string file = folder.path("seq.ini");
    char buffer[64];

    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "1", file.c_str()));
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 0, file.c_str()), 1u);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "2", file.c_str()));
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 0, file.c_str()), 2u);
    EXPECT_EQ(folder.read("seq.ini"), "[S]\r\nK=2\r\n");

    // A change made behind our back is seen too.
    folder.write("seq.ini", "[S]\r\nK=3\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 0, file.c_str()), 3u);

    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", nullptr, file.c_str()));
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "gone", buffer, sizeof buffer, file.c_str()), 4u);
    ASSERT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, sizeof buffer, file.c_str()), 0u);
}

TEST(ProfileTest, FailedWritesLeaveTheFileAndSetTheError) {
    KernelScratchFolder folder;
    std::string file = folder.path("ro.ini");
    folder.write("ro.ini", "[S]\r\nK=1\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "2", file.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(folder.read("ro.ini"), "[S]\r\nK=1\r\n");

    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "2", folder.path("missing/x.ini").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    // A folder in place of the file is neither read nor replaced.
    std::filesystem::create_directory(folder.path("dir.ini"));
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "2", folder.path("dir.ini").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("dir.ini")));
}

TEST(ProfileTest, RewriteKeepsModeAndLinksAndLeavesNoTemporaryFiles) {
    KernelScratchFolder folder;
    folder.write("real.ini", "[S]\nK=1\n");
    ASSERT_EQ(::chmod(folder.path("real.ini").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.ini", folder.path("link.ini"));

    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "2", folder.path("link.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.ini")));
    EXPECT_EQ(folder.read("real.ini"), "[S]\nK=2\n");
    struct stat st {};
    ASSERT_EQ(::stat(folder.path("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(ProfileTest, BackslashesAndBareNames) {
    KernelScratchFolder folder;
    std::filesystem::create_directory(folder.path("sub"));
    std::string windowsStyle = folder.path() + "\\sub\\w.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "v", windowsStyle.c_str()));
    EXPECT_EQ(folder.read("sub/w.ini"), "[S]\r\nK=v\r\n");

    // A bare name lies in the current directory.
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 5, "bare.ini"), 5u);
    EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "7", "bare.ini"));
    EXPECT_EQ(GetPrivateProfileIntA("S", "K", 5, "bare.ini"), 7u);
    std::filesystem::current_path(previous);
    EXPECT_EQ(folder.read("bare.ini"), "[S]\r\nK=7\r\n");
}

} // namespace
