// libFuzzer target: a design list read from arbitrary bytes must either raise an archive
// error or store, load and store again to the same bytes. What loads is then drawn,
// transformed and undone: undo must give back the stored bytes, and redo the transformed ones.
//   bin/model_sign_fuzz CORPUS -max_total_time=900

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "StandInDoc.h"
#include "TestObj.h"
#include "mfc/CArchive.h"
#include "mfc/CDC.h"
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

// Every layer of the design onto a small raster, millimetres to 4 pixels, y up.
void Draw(CSign& sign) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 64, 1, 32, nullptr);
    HGDIOBJ old = ::SelectObject(dc.m_hDC, bitmap);
    sign.Draw(&dc, floatTMatrix(4, 0, 0, -4, 32, 32), 0);
    ::SelectObject(dc.m_hDC, old);
    DeleteObject(bitmap);
}

// A move with scaling, a mirror, or a turn, as the input's length picks.
floatTMatrix Transformation(std::size_t size) {
    switch (size % 3) {
    case 0: return floatTMatrix(2, 0, 0, 3, 5, -7);
    case 1: return floatTMatrix(-1, 0, 0, 1, 10, 0);
    default: return floatTMatrix(0, 1, -1, 0, 0, 0);
    }
}

void UndoGivesBackTheStoredBytes(const std::uint8_t* data, std::size_t size) {
    StandInDoc doc;
    if (!Load(doc.m_sign, data, size)) std::abort(); // it loaded once already
    doc.Opened();
    const std::vector<std::uint8_t> stored = Store(doc.m_sign);
    Draw(doc.m_sign);
    doc.m_sign.TransformObjects(Transformation(size), 0);
    if (doc.RecordStep("Transform") == 0) return;
    const std::vector<std::uint8_t> transformed = Store(doc.m_sign);
    doc.Undo();
    if (Store(doc.m_sign) != stored) std::abort();
    doc.Redo();
    if (Store(doc.m_sign) != transformed) std::abort();
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
    UndoGivesBackTheStoredBytes(data, size);
    return 0;
}
