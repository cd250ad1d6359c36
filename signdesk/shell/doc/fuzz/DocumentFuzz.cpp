// libFuzzer target: a design read from arbitrary bytes, in the .wtp layout or (when the first
// byte is odd) the .wmp field order, must either raise a framework exception or store, load
// and store again to the same bytes.
//   bin/shelldoc_fuzz_document CORPUS -max_total_time=3600

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CArchive.h>
#include <mfc/CException.h>
#include <mfc/CMemFile.h>
#include <mfc/CWinApp.h>

namespace {

CWinApp& App() {
    static CWinApp app("Document Fuzz");
    return app;
}

bool Load(CSignDoc& doc, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    try {
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = &doc;
        doc.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

std::vector<std::uint8_t> Store(CSignDoc& doc) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar.m_pDocument = &doc;
    doc.Serialize(ar);
    ar.Close();
    std::vector<std::uint8_t> out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    App();
    // No preview: stored bytes depend on the design alone.
    SignDocSettings::ShowFilePreview = FALSE;
    if (size == 0) return 0;
    const char* name = (data[0] & 1) ? "fuzz.wmp" : "fuzz.wtp";
    const std::vector<std::uint8_t> input(data + 1, data + size);
    CSignDoc first;
    first.m_strFilePath = name;
    if (!Load(first, input)) return 0;
    // The .wmp field order is only read; what it loads is stored in the .wtp layout.
    first.m_strFilePath = "fuzz.wtp";
    const std::vector<std::uint8_t> stored = Store(first);
    CSignDoc second;
    second.m_strFilePath = "fuzz.wtp";
    if (!Load(second, stored)) std::abort(); // what was stored must load
    if (Store(second) != stored) std::abort();
    return 0;
}
