// Feeds any bytes to the enhanced-metafile loader and, when they load, to the reader (every
// record played and converted), to the conversion into a Windows metafile, and plays them onto
// a small raster and into a new enhanced metafile.

#include <cstddef>
#include <cstdint>

#include "pathkit/EMFReader.h"

namespace {

class Reader : public EMFReader {
public:
    using EMFReader::EMFReader;
    int PreProcess(HDC, HANDLETABLE*, const ENHMETARECORD*, int) override { return 1; }
};

void PlayOntoRasterAndRecording(HENHMETAFILE e) {
    const RECT r{0, 0, 64, 64};
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 64, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PlayEnhMetaFile(dc, e, &r);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    HDC recording = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    PlayEnhMetaFile(recording, e, &r);
    if (HENHMETAFILE again = CloseEnhMetaFile(recording)) DeleteEnhMetaFile(again);
}

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
    PlayOntoRasterAndRecording(e);
    DeleteEnhMetaFile(e);
    return 0;
}
