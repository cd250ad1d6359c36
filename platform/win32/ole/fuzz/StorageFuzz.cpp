// Compound files of any bytes through the storage layer: open, list "Contents", read it all.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "win32/storage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/sdole-fuzz-" + std::to_string(::getpid()) + ".wmp";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    const std::u16string name(path.begin(), path.end());
    IStorage* storage = nullptr;
    if (StgOpenStorage(name.c_str(), nullptr, STGM_READ | STGM_CONVERT, nullptr, 0, &storage) !=
        S_OK)
        return 0;
    IStream* stream = nullptr;
    if (storage->OpenStream(u"Contents", nullptr, STGM_READ, 0, &stream) == S_OK) {
        std::uint8_t buffer[4096];
        ULONG got = 0;
        while (stream->Read(buffer, sizeof buffer, &got) == S_OK && got) {
        }
        stream->Release();
    }
    storage->Release();
    return 0;
}
