// Two-stop fountain fills of a circle on an A4 page at 150 dpi (1240 x 1754 pixels), linear
// and radial, in paint modes 0 and 3, against cairo's gradients on an image surface of the
// same size: time per fill and the largest channel difference from the exact gradient over
// the pixels inside the circle (2 pixels clear of its edge).
//   bin/model_fill_bench [repetitions]

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "model/CFountainFill.h"
#include "model/FillPainting.h"
#include "pathkit/Path.h"
#include "rasterkit/CDibDC.h"

namespace {

constexpr int W = 1240, H = 1754;
constexpr double CX = 620, CY = 877, R = 600;

// The exact grey level at a pixel centre.
double Exact(bool radial, double x, double y) {
    const double t = radial ? std::hypot(x - CX, y - CY) / R : (x - (CX - R)) / (2 * R);
    return 255.0 * std::clamp(t, 0.0, 1.0);
}

template <class Pixel> double LargestDifference(bool radial, Pixel pixel) {
    double worst = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            if (std::hypot(px - CX, py - CY) > R - 2) continue;
            const double e = Exact(radial, px, py);
            int rgb[3];
            pixel(x, y, rgb);
            for (int c : rgb)
                worst = std::max(worst, std::fabs(c - e));
        }
    return worst;
}

double TimeMs(int repetitions, const std::function<void()>& fn) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i)
        fn();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count() / repetitions;
}

void Ours(bool radial, int mode, int repetitions) {
    CDibDC dc(W, H);
    if (!dc.IsValid()) return;
    CFountainFill fill(floatBBox(0, 0, 1, 1), RGB(0, 0, 0), RGB(255, 255, 255));
    if (radial) {
        fill.m_nKind = Gradient::Radial;
        fill.m_origin = floatPoint(float(CX), float(CY));
        fill.m_axis = floatPoint(float(CX + R), float(CY));
        fill.m_axis2 = floatPoint(float(CX), float(CY + R));
    } else {
        fill.m_origin = floatPoint(float(CX - R), float(CY));
        fill.m_axis = floatPoint(float(CX + R), float(CY));
    }
    Path circle;
    Arc(circle, float(CX), float(CY), float(R), 0, 2 * M_PI, 1);
    circle.ClosePath();
    const floatBBox box(float(CX - R), float(CY - R), float(CX + R), float(CY + R));
    const floatTMatrix identity;
    const double ms = TimeMs(repetitions, [&] {
        const int saved = dc.SaveDC();
        PaintFillClipped(&dc, identity, circle, &fill, mode, box);
        dc.RestoreDC(saved);
    });
    const double diff = LargestDifference(radial, [&](int x, int y, int rgb[3]) {
        dc.m_DIB.GetPixel(x, y, rgb);
    });
    std::printf("| signdesk | %s | %d | %.2f | %.1f |\n", radial ? "radial" : "linear", mode, ms,
                diff);
}

void Cairo(bool radial, int repetitions) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* pattern = radial ? cairo_pattern_create_radial(CX, CY, 0, CX, CY, R)
                                      : cairo_pattern_create_linear(CX - R, CY, CX + R, CY);
    cairo_pattern_add_color_stop_rgb(pattern, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgb(pattern, 1, 1, 1, 1);
    const double ms = TimeMs(repetitions, [&] {
        cairo_set_source(cr, pattern);
        cairo_arc(cr, CX, CY, R, 0, 2 * M_PI);
        cairo_fill(cr);
    });
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const double diff = LargestDifference(radial, [&](int x, int y, int rgb[3]) {
        const std::uint32_t v = *reinterpret_cast<const std::uint32_t*>(data + y * stride + 4 * x);
        rgb[0] = int((v >> 16) & 0xFF);
        rgb[1] = int((v >> 8) & 0xFF);
        rgb[2] = int(v & 0xFF);
    });
    std::printf("| cairo | %s | - | %.2f | %.1f |\n", radial ? "radial" : "linear", ms, diff);
    cairo_pattern_destroy(pattern);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::printf("| renderer | gradient | mode | ms per fill | largest channel difference |\n");
    std::printf("|---|---|---|---|---|\n");
    for (bool radial : {false, true}) {
        for (int mode : {0, 3})
            Ours(radial, mode, repetitions);
        Cairo(radial, repetitions);
    }
    return 0;
}
