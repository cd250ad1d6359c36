#pragma once
// Shared by the text tests: a fresh font and kerning folder per test with empty font lists,
// file helpers and outline measures.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pathkit/Path.h"
#include "testing/PlatformTest.h"
#include "text/FontRegistry.h"

class TextTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        fonts_ = DataFolder() / "fonts";
        kerning_ = DataFolder() / "kerning";
        std::filesystem::create_directories(fonts_);
        std::filesystem::create_directories(kerning_);
        FontDirectory = fonts_.string().c_str();
        KerningDirectory = kerning_.string().c_str();
        ClearLists();
    }
    void TearDown() override {
        ClearLists();
        FontDirectory.Empty();
        KerningDirectory.Empty();
        PlatformTest::TearDown();
    }
    static void ClearLists() {
        NativeFontNames.RemoveAll();
        NativeFontPaths.RemoveAll();
        IsfFontNames.RemoveAll();
        IsfFontPaths.RemoveAll();
        TrueTypeFaceNames.RemoveAll();
    }
    const std::filesystem::path& Fonts() const { return fonts_; }
    const std::filesystem::path& Kerning() const { return kerning_; }

    static void WriteBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static void WriteText(const std::filesystem::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string ReadText(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path fonts_;
    std::filesystem::path kerning_;
};

// The finished sub-paths' corner points (members' starts, then the last end).
inline std::vector<floatPoint> ContourPoints(const SubPath& sp) {
    std::vector<floatPoint> pts;
    for (const PathMember& m : sp.members)
        pts.push_back(m.start);
    if (sp.members.Filled()) pts.push_back(sp.members[std::uint16_t(sp.members.Filled() - 1)].end);
    return pts;
}

// Signed area of a contour flattened at 64 pieces per curve.
inline double ContourArea(const SubPath& sp) {
    double a = 0;
    for (const PathMember& m : sp.members) {
        const int n = m.IsCurve() ? 64 : 1;
        floatPoint prev = m.start;
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1 - t;
            floatPoint p = m.end;
            if (m.IsCurve()) {
                p.x = float(u * u * u * m.start.x + 3 * u * u * t * m.ctrl1.x +
                            3 * u * t * t * m.ctrl2.x + t * t * t * m.end.x);
                p.y = float(u * u * u * m.start.y + 3 * u * u * t * m.ctrl1.y +
                            3 * u * t * t * m.ctrl2.y + t * t * t * m.end.y);
            }
            a += double(prev.x) * p.y - double(p.x) * prev.y;
            prev = p;
        }
    }
    return a / 2;
}
