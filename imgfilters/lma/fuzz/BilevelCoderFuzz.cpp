// Fuzz target of the 1-bit coder: the bytes (after a width and a height) decoded; rows that
// decode are encoded again and must decode to themselves.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BilevelCoder.h"

namespace {

struct Source {
    const std::uint8_t* data;
    std::size_t size, at;
};

int Fill(void* user, std::uint8_t* buffer, int capacity) {
    auto* s = static_cast<Source*>(user);
    const std::size_t n = std::min<std::size_t>(std::size_t(capacity), s->size - s->at);
    std::memcpy(buffer, s->data + s->at, n);
    s->at += n;
    return int(n);
}

void* Alloc(std::size_t n) {
    return std::malloc(n);
}

// Decodes `height` rows of `width`; false when the data do not decode.
bool Decode(const std::uint8_t* data, std::size_t size, int width, int height,
            std::vector<std::uint8_t>& rows) {
    Source source{data, size, 0};
    bilevel::Decoder decoder(Alloc, std::free);
    if (decoder.Start(width, 64, Fill, &source) != bilevel::kOk) return false;
    rows.assign(std::size_t(width) * std::size_t(height), 0);
    for (int y = 0; y < height; ++y)
        if (decoder.Row(rows.data() + std::size_t(width) * std::size_t(y)) != bilevel::kOk)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int width = 1 + (data[0] | (data[1] & 1) << 8);
    const int height = 1 + data[2] % 64;
    std::vector<std::uint8_t> rows;
    if (!Decode(data + 3, size - 3, width, height, rows)) return 0;
    struct Rows {
        const std::vector<std::uint8_t>* rows;
        int width;
    } user{&rows, width};
    std::vector<std::uint8_t> file;
    bilevel::EncodeOptions options;
    if (!bilevel::Encode(
            width, height,
            [](void* u, int y, std::uint8_t* pixels) {
                const auto* r = static_cast<const Rows*>(u);
                std::memcpy(pixels, r->rows->data() + std::size_t(r->width) * std::size_t(y),
                            std::size_t(r->width));
            },
            &user, options, file))
        std::abort();
    std::vector<std::uint8_t> again;
    if (!Decode(file.data() + bilevel::kHeaderBytes, file.size() - bilevel::kHeaderBytes, width,
                height, again) ||
        again != rows)
        std::abort();
    return 0;
}
