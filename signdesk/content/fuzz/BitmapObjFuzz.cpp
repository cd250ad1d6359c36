// libFuzzer target: any bytes after a valid clipped-object part load as a bitmap object's
// record or raise an archive exception; nothing is read or written out of bounds.
//   bin/content_bitmap_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <vector>

#include <content/CBitmapObj.h>
#include <mfc/CArchiveException.h>
#include <mfc/CException.h>
#include <mfc/CMemFile.h>
#include <shared/SharedObjRef.h>
#include <win32/UserTesting.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    SdClearMessageBoxes(); // unanswered boxes take their default button
    std::vector<BYTE> bytes(data, data + size);
    CSharedObjTableScope scope;
    CMemFile file(bytes.empty() ? nullptr : bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CBitmapObj obj;
    try {
        obj.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        ar.Abort();
        file.Detach();
        return 0;
    }
    ar.Close();
    file.Detach();
    return 0;
}
