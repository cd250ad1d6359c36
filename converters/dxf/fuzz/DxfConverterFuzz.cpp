// libFuzzer target: DXF text through conv-dxf's scan, in memory.
//   bin/conv_fuzz_dxfconverterfuzz CORPUS <dxf>/tests/data -dict=<dxf>/fuzz/dxf.dict
//       -max_total_time=600
#include <cstddef>
#include <cstdint>

#include "DxfConverter.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char output[1 << 22];
    InStrStream in(reinterpret_cast<const char*>(data), long(size));
    OutStrStream out(output, sizeof output);
    dxf::ConvertDxf(in, long(size), out, nullptr);
    return 0;
}
