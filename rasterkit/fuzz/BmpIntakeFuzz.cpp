// Bytes as a BMP file and as a packed bitmap, then the operations every loaded picture meets.
// A picture that loads must save, and its saved file must load and save to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mfc/CMemFile.h"
#include "rasterkit/CDib.h"
#include "win32/kernel.h"

namespace {

std::vector<BYTE> Saved(CDib& dib) {
    CMemFile file;
    if (dib.Save(file) < 0) std::abort();
    std::vector<BYTE> bytes(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

void Exercise(CDib& dib) {
    const std::vector<BYTE> first = Saved(dib);
    CMemFile again(const_cast<BYTE*>(first.data()), UINT(first.size()));
    CDib reread;
    if (reread.Load(again) != 0 || Saved(reread) != first) std::abort();

    // Keep each run short: the operations below are linear in the pixels.
    if (std::int64_t(dib.GetWidth()) * dib.GetHeight() > (1 << 18)) return;
    CDib wide(dib.Copy24());
    if (wide.IsEmpty()) std::abort();
    CDib indices(dib.GetWidth(), dib.GetHeight(), 8);
    DIBInterface::OrderedDither(wide, indices, 0, 0, 0, 0);
    DIBInterface::FSDither(dib, indices, 0, 0, 0, 0);
    dib.GrayScale();
    Saved(dib);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    {
        CMemFile file(const_cast<BYTE*>(data), UINT(size));
        CDib dib;
        if (dib.Load(file) == 0) Exercise(dib);
    }
    {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
        if (size) std::memcpy(GlobalLock(h), data, size);
        GlobalUnlock(h);
        CDib dib;
        if (dib.ChangeFromDIB(h)) Exercise(dib); // the handle is the bitmap's or freed
    }
    return 0;
}
