// libFuzzer target: line-and-arc records read by conv-kb and converted by conv-fot, in memory.
//   bin/conv_fuzz_linearcfuzz CORPUS -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <string>

#include "LineArcReader.h"
#include "OutlineConverter.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char output[1 << 22];
    InStrStream in(reinterpret_cast<const char*>(data), long(size));
    preconv::Points points;
    if (!kb::ReadLineArcFile(in, long(size), points)) return 0;
    std::string records = preconv::OutlineRecords(points);
    InStrStream outline(records.data(), long(records.size()));
    OutStrStream out(output, sizeof output);
    outline::ConvertOutline(outline, long(records.size()), out, nullptr);
    return 0;
}
