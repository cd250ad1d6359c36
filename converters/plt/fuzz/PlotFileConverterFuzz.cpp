// libFuzzer target: HP-GL through conv-plt's parser, in memory.
//   bin/conv_fuzz_plotfileconverterfuzz CORPUS <plt>/tests/data -dict=<plt>/fuzz/hpgl.dict
//       -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <string>

#include "PenTable.h"
#include "PlotFileConverter.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

namespace {

class FuzzPens : public PenTable {
public:
    FuzzPens() : PenTable("") {}
    std::string Colour(long pen) const override {
        return pen % 2 ? "R0G0B0" : "R255G0B0";
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char output[1 << 24];
    static const FuzzPens pens;
    InStrStream in(reinterpret_cast<const char*>(data), long(size));
    OutStrStream out(output, sizeof output);
    plt::ConvertPlot(in, long(size), out, nullptr, pens);
    return 0;
}
