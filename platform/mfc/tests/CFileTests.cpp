// Files on disk: round trips, open modes and the causes of failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "TestSupport.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct OpenFailure {
    int cause;
    LONG osError;
    CString name;
};

OpenFailure openFailure(const std::string& path, UINT flags) {
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), flags, &error)) << path;
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    return {error.m_cause, error.m_lOsError, error.m_strFileName};
}

} // namespace

TEST(CFileTest, WriteSeekReadAndLength) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    const std::string windowsName = folder.path().string() + "\\sub\\data.bin";
    const std::string path = folder.file("sub/data.bin");
    {
        CFile file(windowsName.c_str(), CFile::modeCreate | CFile::modeReadWrite |
                                            CFile::typeBinary | CFile::shareDenyNone);
        EXPECT_EQ(file.GetFilePath(), CString(path.c_str()));
        EXPECT_EQ(file.GetFileName(), CString("data.bin"));
        EXPECT_EQ(file.GetFileTitle(), CString("data"));
        file.Write("hello world", 11);
        EXPECT_EQ(file.GetLength(), 11u);
        EXPECT_EQ(file.Seek(-5, CFile::end), 6u);
        char buffer[16] = {};
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
        EXPECT_STREQ(buffer, "world");
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
        file.SeekToBegin();
        file.Write("J", 1);
        EXPECT_EQ(file.GetPosition(), 1u);
        file.SetLength(5);
        EXPECT_EQ(file.SeekToEnd(), 5u);
        file.Close();
        EXPECT_TRUE(file.GetFilePath().IsEmpty());
    }
    EXPECT_EQ(readAll(path), "Jello");
}

TEST(CFileTest, CreateTruncatesUnlessTold) {
    TempFolder folder;
    const std::string path = folder.file("keep.txt");
    writeAll(path, "content");
    { CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite); }
    EXPECT_EQ(readAll(path), "content");
    { CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite); }
    EXPECT_EQ(readAll(path), "");
}

TEST(CFileTest, OpenFailuresGiveCauseErrorAndName) {
    TempFolder folder;
    const std::string missing = folder.file("missing.wtp");
    const std::string inMissingFolder = folder.file("nofolder/x.wtp");
    const std::string readOnly = folder.file("readonly.ini");
    writeAll(readOnly, "x");
    ::chmod(readOnly.c_str(), 0444);

    struct Case {
        std::string path;
        UINT flags;
        int cause;
        LONG osError;
    } cases[] = {
        {missing, CFile::modeRead, CFileException::fileNotFound, 2},
        {inMissingFolder, CFile::modeRead, CFileException::badPath, 3},
        {inMissingFolder, CFile::modeCreate | CFile::modeWrite, CFileException::badPath, 3},
        {folder.path().string(), CFile::modeRead, CFileException::accessDenied, 5},
        {readOnly, CFile::modeWrite, CFileException::accessDenied, 5},
        {readOnly, CFile::modeCreate | CFile::modeWrite, CFileException::accessDenied, 5},
    };
    for (const Case& c : cases) {
        const OpenFailure f = openFailure(c.path, c.flags);
        EXPECT_EQ(f.cause, c.cause) << c.path;
        EXPECT_EQ(f.osError, c.osError) << c.path;
        EXPECT_EQ(f.name, CString(c.path.c_str()));
    }
    EXPECT_EQ(readAll(readOnly), "x");
    CFile reading;
    EXPECT_TRUE(reading.Open(readOnly.c_str(), CFile::modeRead));
}

TEST(CFileTest, ConstructorThrowsTheOpenFailure) {
    TempFolder folder;
    const std::string missing = folder.file("missing.wtp");
    CString name;
    EXPECT_EQ(fileCause([&] { CFile file(missing.c_str(), CFile::modeRead); }, nullptr, &name),
              CFileException::fileNotFound);
    EXPECT_EQ(name, CString(missing.c_str()));
}

TEST(CFileTest, OperationFailures) {
    TempFolder folder;
    const std::string path = folder.file("data.bin");
    writeAll(path, "abc");
    CFile file(path.c_str(), CFile::modeRead);
    LONG osError = 0;
    CString name;
    EXPECT_EQ(fileCause([&] { file.Write("x", 1); }, &osError, &name),
              CFileException::accessDenied);
    EXPECT_EQ(name, CString(path.c_str()));
    EXPECT_EQ(fileCause([&] { file.Seek(-1, CFile::begin); }, &osError), CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 0u);
    file.Close();
    char c;
    EXPECT_EQ(fileCause([&] { file.Read(&c, 1); }), CFileException::invalidFile);
}

TEST(CFileTest, RenameRemoveAndStatus) {
    TempFolder folder;
    const std::string a = folder.file("a.txt");
    const std::string b = folder.file("b.txt");
    const std::string c = folder.file("c.txt");
    writeAll(a, "A");
    writeAll(b, "B");
    // The new name must not exist: nothing is overwritten.
    EXPECT_EQ(fileCause([&] { CFile::Rename(a.c_str(), b.c_str()); }),
              CFileException::accessDenied);
    EXPECT_EQ(readAll(b), "B");
    CFile::Rename(a.c_str(), c.c_str());
    EXPECT_EQ(readAll(c), "A");
    EXPECT_EQ(fileCause([&] { CFile::Rename(a.c_str(), folder.file("d.txt").c_str()); }),
              CFileException::fileNotFound);
    EXPECT_EQ(fileCause([&] { CFile::Remove(a.c_str()); }), CFileException::fileNotFound);
    CFile::Remove(c.c_str());
    EXPECT_FALSE(std::filesystem::exists(c));

    CFileStatus status{};
    EXPECT_FALSE(CFile::GetStatus(a.c_str(), status));
    ASSERT_TRUE(CFile::GetStatus(b.c_str(), status));
    EXPECT_EQ(status.m_size, 1);
    EXPECT_EQ(status.m_attribute & CFile::readOnly, 0);
    status.m_attribute |= CFile::readOnly;
    CFile::SetStatus(b.c_str(), status);
    ASSERT_TRUE(CFile::GetStatus(b.c_str(), status));
    EXPECT_NE(status.m_attribute & CFile::readOnly, 0);
    EXPECT_EQ(fileCause([&] { CFile::Remove(b.c_str()); }), CFileException::accessDenied);
    status.m_attribute &= 0xF0;
    CFile::SetStatus(b.c_str(), status);
    CFile::Remove(b.c_str());
    ASSERT_TRUE(CFile::GetStatus(folder.path().string().c_str(), status));
    EXPECT_NE(status.m_attribute & CFile::directory, 0);
}

TEST(CFileTest, ArchiveRoundTripThroughAFile) {
    TempFolder folder;
    const std::string path = folder.file("doc.wtp");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        ar << WORD(1002) << CString("t\xE9xt") << 2.5f;
        ar.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    WORD version;
    CString text;
    float f;
    ar >> version >> text >> f;
    EXPECT_EQ(version, 1002);
    EXPECT_EQ(text, CString("t\xE9xt"));
    EXPECT_EQ(f, 2.5f);
}
