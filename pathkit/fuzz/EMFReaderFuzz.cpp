// Feeds any bytes to the enhanced-metafile loader and, when they load, to the reader (every
// record played and converted) and to the conversion into a Windows metafile.

#include <cstddef>
#include <cstdint>

#include "pathkit/EMFReader.h"

namespace {

class Reader : public EMFReader {
public:
    using EMFReader::EMFReader;
    int PreProcess(HDC, HANDLETABLE*, const ENHMETARECORD*, int) override { return 1; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    HENHMETAFILE e = SetEnhMetaFileBits(UINT(size), data);
    if (!e) return 0;
    {
        Reader reader(e, 0);
        reader.Process();
    }
    if (HMETAFILE w = ConvertEMFtoWMF(nullptr, e)) DeleteMetaFile(w);
    DeleteEnhMetaFile(e);
    return 0;
}
