// libFuzzer target: a bitmap object's record after a valid clipped-object part (made once
// here), fuzzed from its schema word on, loads or raises an archive exception; nothing is
// read or written out of bounds, nothing leaks.
//   bin/content_bitmap_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <vector>

#include <content/CBitmapObj.h>
#include <mfc/CArchiveException.h>
#include <mfc/CException.h>
#include <mfc/CMemFile.h>
#include <shared/SharedObjRef.h>
#include <win32/UserTesting.h>

namespace {

std::vector<BYTE> ClippedPart() {
    CDib dib;
    dib.Create(2, 2, 24);
    CBitmapObj obj(static_cast<HGLOBAL>(dib.ChangeToDIB()), nullptr);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        obj.CClippedObj::Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const std::vector<BYTE> prefix = ClippedPart();
    SdClearMessageBoxes(); // unanswered boxes take their default button
    std::vector<BYTE> bytes(prefix);
    bytes.insert(bytes.end(), data, data + size);
    CSharedObjTableScope scope;
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CBitmapObj obj;
    try {
        obj.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        ar.Abort();
    }
    file.Detach();
    return 0;
}
