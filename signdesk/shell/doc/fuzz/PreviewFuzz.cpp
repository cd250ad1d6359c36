// libFuzzer target: the file dialog's preview reader over arbitrary bytes finds the marker or
// not, and ends in a picture, none, or a framework exception; never more memory than the
// bytes allow.
//   bin/shelldoc_fuzz_preview CORPUS -max_total_time=3600

#include <cstdint>
#include <vector>

#include <doc/DocumentPreview.h>
#include <mfc/CException.h>
#include <mfc/CMemFile.h>
#include <rasterkit/CDIBSection.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> copy(data, data + size);
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    CDIBSection picture;
    try {
        ReadDocumentPreview(file, picture);
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}
