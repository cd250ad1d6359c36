// File to file (read, convert, write) on the benchmark picture: our dithers and grey
// conversion against netpbm and ImageMagick, with each result's mean squared error against
// the source (per channel; grey results count as three equal channels). Needs netpbm and
// ImageMagick on PATH; prints a Markdown table.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "SyntheticPicture.h"
#include "mfc/CFile.h"

namespace {

namespace fs = std::filesystem;

struct Image {
    int w = 0, h = 0;
    std::vector<BYTE> rgb;
};

Image FromDib(CDib& dib) {
    Image img{dib.GetWidth(), dib.GetHeight(), {}};
    img.rgb.resize(std::size_t(img.w) * img.h * 3);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            int c[3];
            dib.GetPixel(x, y, c);
            for (int k = 0; k < 3; ++k)
                img.rgb[(std::size_t(y) * img.w + x) * 3 + k] = BYTE(c[k]);
        }
    return img;
}

Image ReadPnm(const fs::path& path) {
    Image img;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> img.w >> img.h >> maxval;
    in.get();
    const int channels = magic == "P6" ? 3 : magic == "P5" ? 1 : 0;
    if (!channels || maxval <= 0 || maxval > 255) return Image{};
    std::vector<BYTE> raw(std::size_t(img.w) * img.h * channels);
    in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
    img.rgb.resize(std::size_t(img.w) * img.h * 3);
    for (std::size_t i = 0; i < std::size_t(img.w) * img.h; ++i)
        for (int k = 0; k < 3; ++k)
            img.rgb[i * 3 + k] = BYTE(raw[i * channels + (channels == 3 ? k : 0)] * 255 / maxval);
    return img;
}

double Mse(const Image& a, const Image& b) {
    if (a.w != b.w || a.h != b.h || a.rgb.size() != b.rgb.size()) return -1;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    return sum / double(a.rgb.size());
}

// The least of `runs` timed calls.
double Seconds(const std::function<void()>& fn, int runs = 1) {
    double best = 0;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        fn();
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = i == 0 ? s : std::min(best, s);
    }
    return best;
}

void Row(const char* tool, const char* what, double seconds, double mse) {
    std::printf("| %s | %s | %.3f s | %.2f |\n", tool, what, seconds, mse);
}

} // namespace

// With the argument "grey", only the grey conversion of each side.
int main(int argc, char** argv) {
    const bool greyOnly = argc > 1 && std::string(argv[1]) == "grey";
    const fs::path dir = fs::temp_directory_path() / "rasterkit-filebench";
    fs::create_directories(dir);
    CDib source;
    MakeSyntheticPicture(source);
    const Image src = FromDib(source);
    {
        CFile bmp((dir / "src.bmp").c_str(), CFile::modeCreate | CFile::modeWrite);
        source.Save(bmp);
        std::ofstream ppm(dir / "src.ppm", std::ios::binary);
        ppm << "P6\n" << src.w << " " << src.h << "\n255\n";
        ppm.write(reinterpret_cast<const char*>(src.rgb.data()), std::streamsize(src.rgb.size()));
        // Our 256-colour table as a map for the remapping tools.
        CDib table(256, 1, 8);
        for (int i = 0; i < 256; ++i) {
            unsigned v = unsigned(i);
            table.SetPixel(i, 0, v);
        }
        const Image map = FromDib(table);
        std::ofstream m(dir / "map.ppm", std::ios::binary);
        m << "P6\n256 1\n255\n";
        m.write(reinterpret_cast<const char*>(map.rgb.data()), std::streamsize(map.rgb.size()));
    }

    std::printf("| tool | operation | file to file | MSE |\n|---|---|---|---|\n");
    using Op = std::function<void(CDib&, CDib&)>;
    // The grey conversion, where the two are close, is timed least of five.
    auto ours = [&](const char* what, const Op& op, int runs = 1) {
        CDib result;
        const double t = Seconds(
            [&] {
                CFile in((dir / "src.bmp").c_str(), CFile::modeRead);
                CDib pic;
                pic.Load(in);
                op(pic, result);
                CFile out((dir / "ours.bmp").c_str(), CFile::modeCreate | CFile::modeWrite);
                result.Save(out);
            },
            runs);
        Row("rasterkit", what, t, Mse(src, FromDib(result)));
    };
    if (!greyOnly) {
        ours("ordered dither", [](CDib& pic, CDib& out) {
            out.Create(pic.GetWidth(), pic.GetHeight(), 8);
            DIBInterface::OrderedDither(pic, out, 0, 0, 0, 0);
        });
        ours("Floyd-Steinberg", [](CDib& pic, CDib& out) {
            out.Create(pic.GetWidth(), pic.GetHeight(), 8);
            DIBInterface::FSDither(pic, out, 0, 0, 0, 0);
        });
    }
    ours(
        "grey",
        [](CDib& pic, CDib& out) {
            pic.GrayScale();
            out = std::move(pic);
        },
        5);

    auto tool = [&](const char* name, const char* what, const std::string& command,
                    const char* output, int runs = 1) {
        const std::string cmd = "cd '" + dir.string() + "' && " + command + " 2>/dev/null";
        int rc = 0;
        const double t = Seconds([&] { rc = std::system(cmd.c_str()); }, runs);
        Row(name, what, t, rc == 0 ? Mse(src, ReadPnm(dir / output)) : -1);
    };
    if (!greyOnly) {
        tool("netpbm", "ordered dither", "ppmdither -red 6 -green 6 -blue 6 -dim 2 src.ppm > o.ppm",
             "o.ppm");
        tool("netpbm", "Floyd-Steinberg", "pnmremap -fs -mapfile=map.ppm src.ppm > o.ppm", "o.ppm");
    }
    tool("netpbm", "grey", "ppmtopgm src.ppm > o.pgm", "o.pgm", 5);
    if (!greyOnly) {
        tool("ImageMagick", "ordered dither", "convert src.ppm -ordered-dither o4x4,6 o.ppm",
             "o.ppm");
        tool("ImageMagick", "Floyd-Steinberg",
             "convert src.ppm -dither FloydSteinberg -remap map.ppm o.ppm", "o.ppm");
        tool("ImageMagick", "grey", "convert src.ppm -colorspace Gray o.pgm", "o.pgm");
    }
    fs::remove_all(dir);
    return 0;
}
