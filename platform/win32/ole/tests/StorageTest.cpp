#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "win32/storage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t FreeSect = 0xFFFFFFFF, EndOfChain = 0xFFFFFFFE, FatSect = 0xFFFFFFFD,
                        NoStream = 0xFFFFFFFF;

enum class Damage { None, FatCycle, PastEnd, DirectoryLoop, Oversize };

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}

void DirEntry(Bytes& dir, int index, const char* name, std::uint8_t type, std::uint32_t child,
              std::uint32_t start, std::uint32_t size) {
    const std::size_t at = std::size_t(index) * 128;
    const std::size_t len = std::strlen(name);
    for (std::size_t i = 0; i < len; ++i)
        Put16(dir, at + 2 * i, std::uint8_t(name[i]));
    Put16(dir, at + 64, std::uint16_t(2 * (len + 1)));
    dir[at + 66] = type;
    dir[at + 67] = 1; // black
    Put32(dir, at + 68, NoStream);
    Put32(dir, at + 72, NoStream);
    Put32(dir, at + 76, child);
    Put32(dir, at + 116, start);
    Put32(dir, at + 120, size);
}

// A compound file with one stream "Contents" at the top, of version 3 with 512-byte sectors
// or version 4 with 4096-byte ones:
// sector 0 the FAT, 1 the directory, 2 the mini FAT, then the data (the stream itself from
// 4096 bytes on, else the mini stream holding it).
Bytes Compound(const Bytes& contents, Damage damage = Damage::None, std::size_t sector = 512) {
    const bool mini = contents.size() < 4096;
    const std::size_t miniSectors = (contents.size() + 63) / 64;
    const std::size_t dataBytes = mini ? miniSectors * 64 : contents.size();
    const std::size_t dataSectors = (dataBytes + sector - 1) / sector;
    Bytes header(512, 0), fat(sector, 0xFF), dir(sector, 0), miniFat(sector, 0xFF);
    std::memcpy(header.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    Put16(header, 24, 0x3E);
    Put16(header, 26, sector == 4096 ? 4 : 3);
    if (sector == 4096) Put32(header, 40, 1); // directory sectors
    Put16(header, 28, 0xFFFE);
    Put16(header, 30, sector == 4096 ? 12 : 9);
    Put16(header, 32, 6);
    Put32(header, 44, 1); // FAT sectors
    Put32(header, 48, 1); // first directory sector
    Put32(header, 56, 4096);
    Put32(header, 60, mini ? 2 : EndOfChain);
    Put32(header, 64, mini ? 1 : 0);
    Put32(header, 68, EndOfChain);
    Put32(header, 72, 0);
    for (int i = 0; i < 109; ++i)
        Put32(header, 76 + 4 * i, i == 0 ? 0 : FreeSect);

    Put32(fat, 0, FatSect);
    Put32(fat, 4, EndOfChain);
    Put32(fat, 8, mini ? EndOfChain : FreeSect);
    const std::uint32_t first = 3;
    for (std::size_t i = 0; i < dataSectors; ++i)
        Put32(fat, 4 * (first + i),
              i + 1 < dataSectors ? std::uint32_t(first + i + 1) : EndOfChain);
    for (std::size_t i = 0; mini && i < miniSectors; ++i)
        Put32(miniFat, 4 * i, i + 1 < miniSectors ? std::uint32_t(i + 1) : EndOfChain);

    DirEntry(dir, 0, "Root Entry", 5, 1, mini ? first : EndOfChain,
             mini ? std::uint32_t(dataBytes) : 0);
    DirEntry(dir, 1, "Contents", 2, NoStream, mini ? 0 : first, std::uint32_t(contents.size()));
    for (std::size_t i = 2; i < sector / 128; ++i) {
        Put32(dir, i * 128 + 68, NoStream);
        Put32(dir, i * 128 + 72, NoStream);
        Put32(dir, i * 128 + 76, NoStream);
    }
    switch (damage) {
    case Damage::None:
        break;
    case Damage::FatCycle: // back before the end
        Put32(fat, 4 * (first + 1), first);
        break;
    case Damage::PastEnd:
        Put32(fat, 4 * first, 5000);
        break;
    case Damage::DirectoryLoop: // its own right sibling
        Put32(dir, 128 + 72, 1);
        break;
    case Damage::Oversize:
        Put32(dir, 128 + 120, 0x7FFFFFF0);
        break;
    }

    header.resize(sector, 0);
    Bytes file = header;
    for (const Bytes* s : {&fat, &dir, &miniFat})
        file.insert(file.end(), s->begin(), s->end());
    Bytes data = contents;
    data.resize(dataSectors * sector, 0);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes Pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + i / 256);
    return b;
}

std::u16string Wide(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

class StorageTest : public ::testing::Test {
protected:
    std::u16string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = ::testing::TempDir() + "sdole-" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return Wide(path);
    }
    // The whole "Contents" stream, or the first failing code.
    static HRESULT ReadContents(const std::u16string& path, DWORD mode, Bytes& out) {
        IStorage* storage = nullptr;
        HRESULT hr = StgOpenStorage(path.c_str(), nullptr, mode, nullptr, 0, &storage);
        if (hr != S_OK) return hr;
        IStream* stream = nullptr;
        hr =
            storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
        storage->Release();
        if (hr != S_OK) return hr;
        out.clear();
        std::uint8_t buffer[1000];
        ULONG got = 0;
        while ((hr = stream->Read(buffer, sizeof buffer, &got)) == S_OK && got)
            out.insert(out.end(), buffer, buffer + got);
        stream->Release();
        return hr;
    }
};

TEST_F(StorageTest, ContentsInTheMiniStreamAndInSectors) {
    for (std::size_t size : {std::size_t(1), std::size_t(100), std::size_t(4095), std::size_t(4096),
                             std::size_t(5000)}) {
        SCOPED_TRACE(size);
        const Bytes contents = Pattern(size);
        for (std::size_t sector : {512, 4096}) {
            const auto path =
                Write("plan" + std::to_string(size) + "-" + std::to_string(sector) + ".wmp",
                      Compound(contents, Damage::None, sector));
            EXPECT_EQ(StgIsStorageFile(path.c_str()), S_OK);
            Bytes read;
            ASSERT_EQ(ReadContents(path, STGM_READ | STGM_SHARE_DENY_WRITE, read), S_OK) << sector;
            EXPECT_EQ(read, contents);
        }
    }
}

TEST_F(StorageTest, PlainFilesMissingFilesAndStreams) {
    const Bytes plain = Pattern(300);
    const auto plainPath = Write("plain.wmp", plain);
    EXPECT_EQ(StgIsStorageFile(plainPath.c_str()), S_FALSE);
    Bytes read;
    EXPECT_EQ(ReadContents(plainPath, STGM_READ, read), STG_E_FILEALREADYEXISTS);
    // Converted, a plain file is its own "Contents" stream.
    ASSERT_EQ(ReadContents(plainPath, STGM_READ | STGM_CONVERT, read), S_OK);
    EXPECT_EQ(read, plain);

    const auto missing = Wide(::testing::TempDir() + "sdole-none.wmp");
    EXPECT_EQ(StgIsStorageFile(missing.c_str()), STG_E_FILENOTFOUND);
    EXPECT_EQ(ReadContents(missing, STGM_READ, read), STG_E_FILENOTFOUND);

    const auto path = Write("other.wmp", Compound(Pattern(10)));
    IStorage* storage = nullptr;
    ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, &storage), S_OK);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(storage->OpenStream(u"Other", nullptr, STGM_READ, 0, &stream), STG_E_FILENOTFOUND);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(storage->OpenStream(u"Contents", nullptr, STGM_READWRITE, 0, &stream),
              STG_E_ACCESSDENIED);
    storage->Release();
    EXPECT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READWRITE, nullptr, 0, &storage),
              STG_E_ACCESSDENIED);
    EXPECT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, nullptr),
              STG_E_INVALIDPOINTER);
}

TEST_F(StorageTest, SeekAndReadPastTheEnd) {
    const Bytes contents = Pattern(5000);
    const auto path = Write("seek.wmp", Compound(contents));
    IStorage* storage = nullptr;
    ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, &storage), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->OpenStream(u"contents", nullptr, STGM_READ, 0, &stream), S_OK);
    storage->Release();
    EXPECT_EQ(stream->Size(), 5000u);
    std::uint64_t at = 0;
    ASSERT_EQ(stream->Seek(-1000, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at, 4000u);
    std::uint8_t buffer[2000];
    ULONG got = 0;
    ASSERT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    ASSERT_EQ(got, 1000u);
    EXPECT_TRUE(std::equal(buffer, buffer + got, contents.begin() + 4000));
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(stream->Seek(-1, STREAM_SEEK_SET, &at), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(INT64_MAX, STREAM_SEEK_END, &at), STG_E_INVALIDFUNCTION);
    // Failed seeks leave the position.
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at, 5000u);
    stream->Release();
}

// Files of another writer (libgsf's "gsf createole", when installed): a stream in the mini
// stream, one in sectors and one large enough for the FAT to need DIFAT sectors.
TEST_F(StorageTest, FilesOfAnotherWriter) {
    if (std::system("command -v gsf >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gsf";
    const std::string dir = ::testing::TempDir() + "sdole-gsf/";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    const struct {
        const char* name;
        std::size_t size;
    } streams[] = {{"Contents", 5000}, {"Small", 100}, {"Big", 7600000}};
    std::string command = "cd '" + dir + "' && rm -f plan.wmp && gsf createole plan.wmp";
    for (const auto& s : streams) {
        const Bytes bytes = Pattern(s.size);
        std::ofstream(dir + s.name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        command += std::string(" ") + s.name;
    }
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
    const std::u16string path = Wide(dir + "plan.wmp");
    std::ifstream in(dir + "plan.wmp", std::ios::binary);
    std::uint8_t header[76] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_NE(header[68] | header[69] << 8, 0xFFFE) << "no DIFAT sector";
    EXPECT_EQ(StgIsStorageFile(path.c_str()), S_OK);
    IStorage* storage = nullptr;
    ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, &storage), S_OK);
    for (const auto& s : streams) {
        SCOPED_TRACE(s.name);
        IStream* stream = nullptr;
        ASSERT_EQ(storage->OpenStream(Wide(s.name).c_str(), nullptr, STGM_READ, 0, &stream), S_OK);
        Bytes read(s.size + 10);
        ULONG got = 0;
        EXPECT_EQ(stream->Read(read.data(), ULONG(read.size()), &got), S_OK);
        read.resize(got);
        EXPECT_EQ(read, Pattern(s.size));
        stream->Release();
    }
    storage->Release();
    std::filesystem::remove_all(dir);
}

// The Python olefile reader that agrees on what a stream holds: a python3 that imports it,
// or empty.
std::string OlefilePython() {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(python) + " -c 'import olefile' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return python;
    }
    return {};
}

// The stream as olefile reads it; false when it fails.
bool OlefileStream(const std::string& python, const std::string& file, const std::string& name,
                   Bytes& out) {
    const std::string target = file + "." + name + ".olefile";
    const std::string command =
        python +
        " -c 'import olefile,sys; o=olefile.OleFileIO(sys.argv[1]); "
        "open(sys.argv[3],\"wb\").write(o.openstream(sys.argv[2]).read())' '" +
        file + "' '" + name + "' '" + target + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream in(target, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(target);
    return true;
}

// The layer and olefile read the same bytes from our own fixtures (mini stream and sectors,
// 512- and 4096-byte sectors) and from another writer's file with DIFAT sectors.
TEST_F(StorageTest, AgreesWithOlefile) {
    const std::string python = OlefilePython();
    if (python.empty()) GTEST_SKIP() << "no python3 with olefile (python3-olefile)";
    const struct {
        const char* name;
        std::size_t size;
        std::size_t sector;
    } fixtures[] = {{"ole-mini", 300, 512},
                    {"ole-sectors", 5000, 512},
                    {"ole-mini-4k", 100, 4096},
                    {"ole-sectors-4k", 9000, 4096}};
    for (const auto& f : fixtures) {
        SCOPED_TRACE(f.name);
        const Bytes contents = Pattern(f.size);
        const std::u16string path =
            Write(std::string(f.name) + ".wmp", Compound(contents, Damage::None, f.sector));
        Bytes ours, theirs;
        ASSERT_EQ(ReadContents(path, STGM_READ, ours), S_OK);
        ASSERT_TRUE(
            OlefileStream(python, std::string(path.begin(), path.end()), "Contents", theirs));
        EXPECT_EQ(ours, theirs);
        EXPECT_EQ(ours, contents);
    }
    if (std::system("command -v gsf >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gsf";
    const std::string dir = ::testing::TempDir() + "sdole-olefile/";
    std::filesystem::create_directories(dir);
    const struct {
        const char* name;
        std::size_t size;
    } streams[] = {{"Contents", 5000}, {"Small", 100}, {"Big", 7600000}};
    std::string command = "cd '" + dir + "' && rm -f plan.wmp && gsf createole plan.wmp";
    for (const auto& st : streams) {
        const Bytes bytes = Pattern(st.size);
        std::ofstream(dir + st.name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        command += std::string(" ") + st.name;
    }
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
    IStorage* storage = nullptr;
    ASSERT_EQ(
        StgOpenStorage(Wide(dir + "plan.wmp").c_str(), nullptr, STGM_READ, nullptr, 0, &storage),
        S_OK);
    for (const auto& st : streams) {
        SCOPED_TRACE(st.name);
        IStream* stream = nullptr;
        ASSERT_EQ(storage->OpenStream(Wide(st.name).c_str(), nullptr, STGM_READ, 0, &stream), S_OK);
        Bytes ours(st.size + 10);
        ULONG got = 0;
        EXPECT_EQ(stream->Read(ours.data(), ULONG(ours.size()), &got), S_OK);
        ours.resize(got);
        stream->Release();
        Bytes theirs;
        ASSERT_TRUE(OlefileStream(python, dir + "plan.wmp", st.name, theirs));
        EXPECT_EQ(ours.size(), theirs.size());
        EXPECT_TRUE(ours == theirs);
    }
    storage->Release();
    std::filesystem::remove_all(dir);
}

// Damaged files end in an error code, never a hang nor data past the file.
TEST_F(StorageTest, DamagedFilesFail) {
    const struct {
        const char* name;
        Damage damage;
        std::size_t size;
    } cases[] = {
        {"fat-cycle", Damage::FatCycle, 5000},     {"past-end", Damage::PastEnd, 5000},
        {"dir-loop", Damage::DirectoryLoop, 5000}, {"oversize", Damage::Oversize, 5000},
        {"mini-past-end", Damage::PastEnd, 300},   {"mini-cycle", Damage::FatCycle, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = Write(std::string(c.name) + ".wmp", Compound(Pattern(c.size), c.damage));
        Bytes read;
        const HRESULT hr = ReadContents(path, STGM_READ, read);
        EXPECT_LT(hr, 0) << std::hex << hr << " read " << read.size();
    }
    // Cut short: a header alone, and half a file.
    const Bytes whole = Compound(Pattern(5000));
    for (std::size_t keep : {std::size_t(8), std::size_t(512), whole.size() / 2}) {
        SCOPED_TRACE(keep);
        const auto path = Write("short.wmp", Bytes(whole.begin(), whole.begin() + long(keep)));
        Bytes read;
        EXPECT_LT(ReadContents(path, STGM_READ, read), 0);
    }
}

} // namespace
