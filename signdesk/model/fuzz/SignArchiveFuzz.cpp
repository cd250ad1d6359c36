// libFuzzer target: a design list read from arbitrary bytes must either raise an archive
// error or store, load and store again to the same bytes.
//   bin/model_sign_fuzz CORPUS -max_total_time=900

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "TestObj.h"
#include "mfc/CArchive.h"
#include "mfc/CException.h"
#include "mfc/CMemFile.h"
#include "model/CSign.h"
#include "shared/SharedObjRef.h"

namespace {

bool Load(CSign& sign, const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> copy(data, data + size);
    CSharedObjTableScope scope;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    try {
        CArchive ar(&file, CArchive::load);
        sign.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

std::vector<std::uint8_t> Store(CSign& sign) {
    CSharedObjTableScope scope;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    sign.Serialize(ar);
    ar.Close();
    std::vector<std::uint8_t> out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSignObj::SetKeepSerials(TRUE);
    CSign first;
    if (!Load(first, data, size)) return 0;
    const std::vector<std::uint8_t> stored = Store(first);
    CSign second;
    if (!Load(second, stored.data(), stored.size())) std::abort(); // what we wrote must read
    if (Store(second) != stored) std::abort();
    return 0;
}
