// The fifty benchmark metafiles played by this drawing layer and rendered by the reference
// tools found on PATH (emf2svg-conv for EMF, wmf2svg for WMF, each through rsvg-convert to a
// PNG of the same A4 size at 300 dpi). Prints, per file, the time of each and the share of
// pixels that agree outside a one-pixel band along the edges of either picture. The
// references are for comparison only; without the tools only our times are printed.
//   gdi_metafile_compare [work folder]

#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchDrawings.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool onPath(const char* tool) {
    std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// RGB rows of a PNG (alpha composed on white), or empty.
std::vector<BYTE> readPng(const fs::path& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<BYTE> rgb(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, rgb.data(), 0, nullptr)) return {};
    w = int(image.width);
    h = int(image.height);
    return rgb;
}

void writePng(const fs::path& path, const std::vector<BYTE>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = bench::kPixW;
    image.height = bench::kPixH;
    image.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

bool same(const BYTE* a, const BYTE* b, int tolerance) {
    for (int k = 0; k < 3; ++k)
        if (std::abs(int(a[k]) - int(b[k])) > tolerance) return false;
    return true;
}

// Pixels within one pixel of a colour change in the picture.
std::vector<bool> edgeBand(const std::vector<BYTE>& rgb, int w, int h) {
    std::vector<bool> band(std::size_t(w) * h, false);
    auto px = [&](int x, int y) { return &rgb[(std::size_t(y) * w + x) * 3]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    edge = !same(px(x, y), px(nx, ny), 8);
                }
            band[std::size_t(y) * w + x] = edge;
        }
    return band;
}

} // namespace

int main(int argc, char** argv) {
    fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "sd-metafile-bench";
    fs::create_directories(work);
    bool svg = onPath("rsvg-convert");
    bool emfTool = svg && onPath("emf2svg-conv"), wmfTool = svg && onPath("wmf2svg");
    std::printf("reference tools: emf2svg-conv %s, wmf2svg %s, rsvg-convert %s\n\n",
                emfTool ? "yes" : "no", wmfTool ? "yes" : "no", svg ? "yes" : "no");
    std::printf("| file | kind | ours ms | reference ms | compared | agree |\n");
    std::printf("|---|---|---:|---:|---:|---:|\n");
    std::vector<bench::BenchFile> files = bench::benchFiles();
    bench::Page page;
    double oursTotal = 0, refTotal = 0;
    int refCount = 0;
    std::vector<double> agreements;
    for (const bench::BenchFile& f : files) {
        fs::path file = work / f.name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
        // Ours: the best of three plays.
        double ours = 1e30;
        for (int run = 0; run < 3; ++run) {
            page.clear();
            auto t = Clock::now();
            bench::playOnPage(page.dc, f);
            ours = std::min(ours, msSince(t));
        }
        oursTotal += ours;
        std::vector<BYTE> mine(std::size_t(bench::kPixW) * bench::kPixH * 3);
        for (int y = 0; y < bench::kPixH; ++y)
            for (int x = 0; x < bench::kPixW; ++x) {
                const BYTE* p = page.at(x, y);
                BYTE* q = &mine[(std::size_t(y) * bench::kPixW + x) * 3];
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
            }
        fs::path oursPng = work / (f.name + ".ours.png");
        writePng(oursPng, mine);

        bool tool = f.enhanced ? emfTool : wmfTool;
        if (!tool) {
            std::printf("| %s | %s | %.1f | - | - | - |\n", f.name.c_str(), f.kind.c_str(), ours);
            continue;
        }
        fs::path svgFile = work / (f.name + ".svg"), refPng = work / (f.name + ".ref.png");
        std::string convert =
            f.enhanced ? "emf2svg-conv -i '" + file.string() + "' -o '" + svgFile.string() + "'"
                       : "wmf2svg -o '" + svgFile.string() + "' '" + file.string() + "'";
        std::string render = "rsvg-convert -b white -w " + std::to_string(bench::kPixW) + " -h " +
                             std::to_string(bench::kPixH) + " -o '" + refPng.string() + "' '" +
                             svgFile.string() + "'";
        auto t = Clock::now();
        int rc = std::system((convert + " >/dev/null 2>&1 && " + render + " >/dev/null 2>&1").c_str());
        double ref = msSince(t);
        int w = 0, h = 0;
        std::vector<BYTE> theirs = rc == 0 ? readPng(refPng, w, h) : std::vector<BYTE>{};
        if (theirs.empty() || w != bench::kPixW || h != bench::kPixH) {
            std::printf("| %s | %s | %.1f | %.1f | failed | - |\n", f.name.c_str(),
                        f.kind.c_str(), ours, ref);
            continue;
        }
        refTotal += ref;
        ++refCount;
        std::vector<bool> a = edgeBand(mine, w, h), b = edgeBand(theirs, w, h);
        std::size_t compared = 0, agree = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] || b[i]) continue;
            ++compared;
            agree += same(&mine[i * 3], &theirs[i * 3], 16);
        }
        double share = compared ? 100.0 * double(agree) / double(compared) : 0;
        agreements.push_back(share);
        std::printf("| %s | %s | %.1f | %.1f | %.1f%% | %.2f%% |\n", f.name.c_str(),
                    f.kind.c_str(), ours, ref, 100.0 * double(compared) / double(a.size()), share);
    }
    std::sort(agreements.begin(), agreements.end());
    std::printf("\nours: %.1f ms per file on average; reference: %s", oursTotal / double(files.size()),
                refCount ? (std::to_string(refTotal / refCount) + " ms per file").c_str() : "-");
    if (!agreements.empty())
        std::printf("; agreement median %.2f%%, lowest %.2f%%", agreements[agreements.size() / 2],
                    agreements.front());
    std::printf("\n");
    return 0;
}
