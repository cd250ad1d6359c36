// Feeds any bytes (after a placeable header, when there is one) to the Windows-metafile
// loader and, when they load, to the reader, to the conversion into an enhanced metafile, and
// plays them onto a small raster and into a new Windows metafile.

#include <cstddef>
#include <cstdint>

#include "pathkit/EMFReader.h"
#include "pathkit/WMFReader.h"

namespace {

void PlayOntoRasterAndRecording(HMETAFILE w) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 64, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PlayMetaFile(dc, w);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    HDC recording = CreateMetaFileA(nullptr);
    PlayMetaFile(recording, w);
    if (HMETAFILE again = CloseMetaFile(recording)) DeleteMetaFile(again);
}

} // namespace

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
    PlayOntoRasterAndRecording(w);
    DeleteMetaFile(w);
    return 0;
}
