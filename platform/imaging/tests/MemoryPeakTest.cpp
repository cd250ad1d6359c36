// The memory a large load takes at its peak: the packed picture and at most 16 MB besides
// (the file's bytes and the decoders' buffers), measured in a child process of the optimised
// build (the sanitizers' own memory would swamp it).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include <testing/PlatformTest.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

class MemoryPeakTest : public PlatformTest {
protected:
    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }
};

// A field of /proc/self/status in kilobytes.
long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// Runs f in a child process; its exit status.
template <class F> int InChild(F f) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) _exit(f());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

} // namespace

TEST_F(MemoryPeakTest, LargeLoadsPeakUnderThePictureAnd16Mb) {
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
    GTEST_SKIP() << "measured in the optimised build";
#endif
    constexpr int w = 8000, h = 6000;
    // A 1-bit PNG is a sixth of the size a byte a pixel would take on the way.
    const struct {
        std::string file;
        int bits;
    } loads[] = {{Path("large.jpg"), 24}, {Path("large.png"), 24}, {Path("large1.png"), 1}};
    ASSERT_EQ(InChild([&] {
                  HGLOBAL picture = MakePicture(w, h, 24);
                  bool ok = Save(picture, loads[0].file, IMG_JPEG_411, 24) == IMG_SUCCESS &&
                            Save(picture, loads[1].file, IMG_PNG, 24) == IMG_SUCCESS;
                  GlobalFree(picture);
                  picture = MakePicture(w, h, 1);
                  ok = ok && Save(picture, loads[2].file, IMG_PNG, 1) == IMG_SUCCESS;
                  GlobalFree(picture);
                  return ok ? 0 : 1;
              }),
              0);
    for (const auto& [file, bits] : loads) {
        const long packedKb =
            long((40 + (bits <= 8 ? 4 << bits : 0) + size_t((w * bits + 31) / 32 * 4) * h) / 1024);
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const int status = InChild([&] {
            std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from here
            const long before = StatusKb("VmRSS:");
            KOVABITMAP b;
            KovaInitBitmap(&b, 1, 1, 1);
            const int r = KovaLoadFile(file.c_str(), &b, 0, 0);
            const long peak = StatusKb("VmHWM:") - before;
            KovaFreeBitmap(&b);
            const long report[2] = {r, peak};
            return write(pipeFds[1], report, sizeof report) == sizeof report ? 0 : 1;
        });
        close(pipeFds[1]);
        long report[2] = {0, 0};
        ASSERT_EQ(read(pipeFds[0], report, sizeof report), ssize_t(sizeof report));
        close(pipeFds[0]);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(report[0], IMG_SUCCESS) << file;
        EXPECT_LE(report[1], packedKb + 16 * 1024) << file << ": picture " << packedKb << " KB";
        std::printf("%s: peak %ld KB over the picture's %ld KB\n", file.c_str(),
                    report[1] - packedKb, packedKb);
    }
}
