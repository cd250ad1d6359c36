// Exact tracing (no curve fitting) recorded member for member (tests/data/identity-exact.txt):
// the test set and random noise under three settings of bump width, step length and minimum
// size. Changes to the tracer must keep these outlines, their order and their attributes.

#include <gtest/gtest.h>

#include <cstdio>

#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>

#include "../../pathkit/tests/IdentityFixture.h"
#include "TraceTestUtil.h"

namespace {

TEST(ExactIdentity, OutlinesKeepTheRecordedMembers) {
    pathtest::IdentityTable table(SD_TEST_DATA_DIR "/identity-exact.txt");
    std::vector<NamedBitmap> inputs = TestSet();
    std::uint32_t state = 4242;
    for (int density : {20, 50, 80}) {
        Pixels p(61, 47);
        for (auto& v : p.px) {
            state = state * 1664525u + 1013904223u;
            v = (state >> 8) % 100 < unsigned(density);
        }
        inputs.push_back({"noise" + std::to_string(density), p});
    }
    struct Setting {
        int a, b, c;
    };
    for (Setting s : {Setting{0, 0, 0}, Setting{10, 3, 3}, Setting{2, 1, 1}}) {
        for (const NamedBitmap& in : inputs) {
            SetTraceParam(nullptr, s.a, s.b, s.c, 0);
            SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
            HDIB dib = MakeMonoDib(in.pixels);
            PrepareTracing(dib);
            Path out;
            TraceAll(dib, out);
            GlobalFree(dib);
            pathtest::Identity id;
            id.Add(out);
            for (const SubPath& sp : out.subPaths) id.Mix(&sp.state, sizeof sp.state);
            char name[64];
            std::snprintf(name, sizeof name, "%s/a%d-b%d-c%d", in.name.c_str(), s.a, s.b, s.c);
            table.Check(name, id);
        }
    }
}

} // namespace
