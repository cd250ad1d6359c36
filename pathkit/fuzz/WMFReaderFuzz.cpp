// Feeds any bytes (after a placeable header, when there is one) to the Windows-metafile
// loader and, when they load, to the reader and to the conversion into an enhanced metafile.

#include <cstddef>
#include <cstdint>

#include "pathkit/EMFReader.h"
#include "pathkit/WMFReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    UINT skip = SdPlaceableHeaderSize(data, UINT(size));
    HMETAFILE w = SetMetaFileBitsEx(UINT(size - skip), data + skip);
    if (!w) return 0;
    {
        WMFReader reader(w, 1000, 1000, 0);
        reader.Process();
    }
    if (HENHMETAFILE e = ConvertWMFtoEMF(w)) DeleteEnhMetaFile(e);
    DeleteMetaFile(w);
    return 0;
}
