// The filter services: files and memory for the raster filter modules, replaceable by tests.
#include <imaging/KovaFilter.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "Codec.h"
#include "FilterHost.h"
#include "Limits.h"
#include "Picture.h"

namespace imaging {
namespace {

int RealOpen(const char* path, int mode, int) {
    if (path == nullptr) return -1;
    const int fd = mode == 1 ? ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                             : ::open(path, O_RDONLY | O_CLOEXEC);
    return fd < 0 ? -1 : fd;
}
int RealClose(int file) {
    return ::close(file) == 0 ? 0 : -1;
}
int RealRead(int file, void* buffer, DWORD count) {
    DWORD done = 0;
    while (done < count) {
        const ssize_t n = ::read(file, static_cast<BYTE*>(buffer) + done, count - done);
        if (n < 0) return -1;
        if (n == 0) break;
        done += DWORD(n);
    }
    return int(done);
}
int RealSeek(int file, long offset, int origin) {
    const off_t r = ::lseek(file, offset,
                            origin == 1   ? SEEK_CUR
                            : origin == 2 ? SEEK_END
                                          : SEEK_SET);
    return r < 0 || r > 0x7FFFFFFF ? -1 : int(r);
}
int RealWrite(int file, const void* buffer, DWORD count) {
    DWORD done = 0;
    while (done < count) {
        const ssize_t n = ::write(file, static_cast<const BYTE*>(buffer) + done, count - done);
        if (n <= 0) return -1;
        done += DWORD(n);
    }
    return int(done);
}
void* RealAlloc(DWORD bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}
void RealFree(void* block) {
    std::free(block);
}

const KovaFilterServices kReal = {RealOpen,  RealClose, RealRead, RealSeek,
                                  RealWrite, RealAlloc, RealFree};
KovaFilterServices g_services = kReal;

BYTE g_grey[256];
bool g_greyMade = false;

} // namespace
} // namespace imaging

using namespace imaging;

void KovaTestingSetFilterServices(const KovaFilterServices* services) {
    g_services = services != nullptr ? *services : kReal;
}

int KovaFltOpen(const char* path, int mode, int share) {
    return g_services.open(path, mode, share);
}
int KovaFltClose(int file) {
    return g_services.close(file);
}
int KovaFltRead(int file, void* buffer, DWORD count) {
    if (buffer == nullptr && count > 0) return -1;
    return g_services.read(file, buffer, count);
}
int KovaFltSeek(int file, long offset, int origin) {
    return g_services.seek(file, offset, origin);
}
int KovaFltWrite(int file, const void* buffer, DWORD count) {
    if (buffer == nullptr && count > 0) return -1;
    return g_services.write(file, buffer, count);
}
void* KovaFltAlloc(DWORD bytes) {
    return g_services.alloc(bytes);
}
void KovaFltFree(void* block) {
    if (block != nullptr) g_services.free(block);
}

int KovaFltAllocBitmap(KOVAFLTBITMAP* bitmap, int width, int height, int bits) {
    if (bitmap == nullptr) return IMG_ERR_PARAM;
    if (bitmap->allocated) return IMG_SUCCESS;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return IMG_ERR_PARAM;
    if (!SizeAllowed(width, height)) return IMG_ERR_TOO_LARGE;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = bits;
    bitmap->allocated = TRUE;
    return IMG_SUCCESS;
}

int KovaFltCreatePalette(KOVAFLTBITMAP* bitmap, const RGBQUAD* quads, int count) {
    if (bitmap == nullptr || quads == nullptr || count < 0) return 0;
    if (count > 256) count = 256;
    std::memcpy(bitmap->palette, quads, sizeof(RGBQUAD) * SIZE_T(count));
    bitmap->colorsUsed = count;
    return count;
}

const BYTE* KovaFltGreyTable() {
    if (!g_greyMade) {
        for (int i = 0; i < 256; ++i)
            g_grey[i] = BYTE((i * 30 + 127) / 255);
        g_greyMade = true;
    }
    return g_grey;
}

int KovaFaxDecode(const BYTE* data, DWORD size, int width, int height, int coding, BYTE* rows,
                  DWORD stride) {
    if (coding < KOVA_FAX_G3_1D || coding > KOVA_FAX_G4) return IMG_ERR_PARAM;
    return DecodeFaxRows(data, size, width, height, coding, rows, stride);
}

int KovaFaxEncode(const BYTE* rows, DWORD stride, int width, int height, int coding, BYTE** out,
                  DWORD* outSize) {
    if (rows == nullptr || out == nullptr || outSize == nullptr) return IMG_ERR_PARAM;
    if (coding < KOVA_FAX_G3_1D || coding > KOVA_FAX_G4) return IMG_ERR_PARAM;
    if (stride < (DWORD(width) + 7) / 8) return IMG_ERR_PARAM;
    Picture picture;
    if (const int r = picture.Create(width, height, 1); r != IMG_SUCCESS) return r;
    picture.Table()[0] = RGBQUAD{255, 255, 255, 0};
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.Row(y), rows + SIZE_T(stride) * SIZE_T(y), (SIZE_T(width) + 7) / 8);
    HGLOBAL block = picture.Release();
    std::vector<BYTE> coded;
    int r;
    {
        PictureView view(block);
        r = EncodeFax(view,
                      coding == KOVA_FAX_G4      ? IMG_FAX_G4
                      : coding == KOVA_FAX_G3_2D ? IMG_FAX_G3_2D
                                                 : IMG_FAX_G3_1D,
                      coded);
    }
    GlobalFree(block);
    if (r != IMG_SUCCESS) return r;
    if (coded.size() > 0x7FFF0000u) return IMG_ERR_TOO_LARGE;
    BYTE* copy = static_cast<BYTE*>(KovaFltAlloc(DWORD(coded.size())));
    if (copy == nullptr) return IMG_ERR_MEMORY;
    std::memcpy(copy, coded.data(), coded.size());
    *out = copy;
    *outSize = DWORD(coded.size());
    return IMG_SUCCESS;
}
