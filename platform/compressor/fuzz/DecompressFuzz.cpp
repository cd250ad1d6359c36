// libFuzzer target: any bytes expand within their destination; compressing the result and
// expanding it again gives it back.
//   bin/compressor_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <compressor/ArchiveCompressor.h>
#include <mfc/CMemFile.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::vector<BYTE> in(data, data + size);
    CMemFile file(in.data(), UINT(in.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<BYTE> out(4096);
    const unsigned long n =
        ArchiveCompressor::Decompress(ar, (unsigned long)size, out.data(), 4096);
    ar.Close();
    file.Detach();
    out.resize(n);
    CMemFile packed;
    {
        CArchive store(&packed, CArchive::store);
        ArchiveCompressor::Compress(out.data(), (unsigned long)out.size(), store);
        store.Close();
    }
    const UINT stored = UINT(packed.GetLength());
    packed.SeekToBegin();
    CArchive load(&packed, CArchive::load);
    std::vector<BYTE> back(out.size() + 1);
    if (ArchiveCompressor::Decompress(load, stored, back.data(), (unsigned long)back.size()) !=
        out.size())
        std::abort();
    back.resize(out.size());
    if (back != out) std::abort();
    load.Close();
    return 0;
}
