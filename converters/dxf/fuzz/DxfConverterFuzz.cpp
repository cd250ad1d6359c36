// libFuzzer target: DXF text through conv-dxf's scan, in memory. What a successful scan
// writes is whole records with finite coordinates.
//   bin/conv_fuzz_dxfconverterfuzz CORPUS <dxf>/tests/data -dict=<dxf>/fuzz/dxf.dict
//       -max_total_time=600
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "DxfConverter.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char output[1 << 22];
    InStrStream in(reinterpret_cast<const char*>(data), long(size));
    OutStrStream out(output, sizeof output);
    if (dxf::ConvertDxf(in, long(size), out, nullptr) != 0) return 0;
    const long written = out.TellP();
    if (written < 0 || std::size_t(written) % BezRecordSize != 0) std::abort();
    for (long at = 0; at < written; at += long(BezRecordSize)) {
        float xy[2];
        std::memcpy(xy, output + at + 1, sizeof xy);
        if (!std::isfinite(xy[0]) || !std::isfinite(xy[1])) std::abort();
    }
    return 0;
}
