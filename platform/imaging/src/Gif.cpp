// GIF through giflib, read only: the first image, placed on the logical screen filled with
// the background colour; its transparent colour shows white. Interlaced rows are put back in
// order.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct Source {
    const BYTE* data;
    SIZE_T size;
    SIZE_T pos;
};

int ReadFn(GifFileType* gif, GifByteType* buf, int n) {
    auto* s = static_cast<Source*>(gif->UserData);
    const SIZE_T take = std::min<SIZE_T>(SIZE_T(n < 0 ? 0 : n), s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, take);
    s->pos += take;
    return int(take);
}

struct GifCloser {
    void operator()(GifFileType* g) const {
        int e = 0;
        DGifCloseFile(g, &e);
    }
};

} // namespace

bool IsGif(const BYTE* data, SIZE_T size) {
    return size >= 6 &&
           (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

int InfoGif(const BYTE* data, SIZE_T size, ImageInfo& info) {
    if (size < 13) return IMG_ERR_DAMAGED;
    info.format = IMG_GIF;
    info.width = Le16(data + 6);
    info.height = Le16(data + 8);
    info.bits = 8;
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    // LZW codes of at least 1 bit... a code stands for at most 4096 pixels.
    if (!CanFill(std::uint64_t(info.width) * std::uint64_t(info.height), size, 4096))
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

int DecodeGif(const BYTE* data, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoGif(data, size, info); r != IMG_SUCCESS) return r;
    Source src{data, size, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&src, ReadFn, &error));
    if (!gif) return IMG_ERR_DAMAGED;
    int transparent = -1;
    GifRecordType type;
    std::vector<GifByteType> line;
    for (;;) {
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return IMG_ERR_DAMAGED;
        if (type == TERMINATE_RECORD_TYPE) return IMG_ERR_DAMAGED; // no image
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) return IMG_ERR_DAMAGED;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext != nullptr && ext[0] >= 4 && (ext[1] & 1))
                transparent = ext[4];
            while (ext != nullptr)
                if (DGifGetExtensionNext(gif.get(), &ext) == GIF_ERROR) return IMG_ERR_DAMAGED;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return IMG_ERR_DAMAGED;
        break;
    }
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (map == nullptr || map->ColorCount < 1 || map->ColorCount > 256) return IMG_ERR_DAMAGED;
    // The image lies inside the screen; a screen of 0 takes the image's size.
    long sw = info.width, sh = info.height;
    if (sw < d.Left + d.Width || sh < d.Top + d.Height) {
        sw = std::max<long>(sw, d.Left + d.Width);
        sh = std::max<long>(sh, d.Top + d.Height);
    }
    if (!SizeAllowed(sw, sh) || d.Width < 1 || d.Height < 1 ||
        !CanFill(std::uint64_t(sw) * std::uint64_t(sh), size, 4096))
        return IMG_ERR_TOO_LARGE;
    if (const int r = out.Create(sw, sh, 8); r != IMG_SUCCESS) return r;
    for (int i = 0; i < map->ColorCount; ++i)
        out.Table()[i] = RGBQUAD{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 0};
    if (transparent >= 0) out.Table()[transparent] = RGBQUAD{255, 255, 255, 0};
    const BYTE background = BYTE(transparent >= 0                          ? transparent
                                 : gif->SBackGroundColor < map->ColorCount ? gif->SBackGroundColor
                                                                           : 0);
    for (long y = 0; y < sh; ++y)
        std::memset(out.Row(y), background, size_t(sw));
    line.resize(size_t(d.Width));
    auto put = [&](long y) { std::memcpy(out.Row(d.Top + y) + d.Left, line.data(), line.size()); };
    if (d.Interlace) {
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (long y = kStart[pass]; y < d.Height; y += kStep[pass]) {
                if (DGifGetLine(gif.get(), line.data(), d.Width) == GIF_ERROR)
                    return IMG_ERR_DAMAGED;
                put(y);
            }
    } else {
        for (long y = 0; y < d.Height; ++y) {
            if (DGifGetLine(gif.get(), line.data(), d.Width) == GIF_ERROR) return IMG_ERR_DAMAGED;
            put(y);
        }
    }
    // Indices past the colour map show its first colour.
    for (long y = 0; y < sh; ++y) {
        BYTE* row = out.Row(y);
        for (long x = 0; x < sw; ++x)
            if (row[x] >= map->ColorCount) row[x] = 0;
    }
    return IMG_SUCCESS;
}

} // namespace imaging
