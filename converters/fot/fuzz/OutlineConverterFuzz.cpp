// libFuzzer target: outline records through conv-fot's conversion, in memory.
//   bin/conv_fuzz_outlineconverterfuzz CORPUS -max_total_time=600
// Every input it reports goes into tests/ as a fixture.
#include <cstddef>
#include <cstdint>

#include "OutlineConverter.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char output[1 << 22];
    InStrStream in(reinterpret_cast<const char*>(data), long(size));
    OutStrStream out(output, sizeof output);
    outline::ConvertOutline(in, long(size), out, nullptr);
    return 0;
}
