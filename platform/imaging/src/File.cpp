// The file entries: whole files, parts of open files and global blocks, read by content and
// written by format code.
#include <imaging/KovaFile.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "Bitmap.h"
#include "Codec.h"
#include "ColorReduction.h"
#include "FilterHost.h"

namespace imaging {
namespace {

constexpr SIZE_T kMaxFileBytes = SIZE_T(1) << 30;
BYTE g_saveOptions[1072];

int ReadWhole(const char* path, std::vector<BYTE>& bytes) {
    if (path == nullptr) return IMG_ERR_PARAM;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return IMG_ERR_OPEN;
    // The size first, so that the bytes are read once into one buffer.
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return IMG_ERR_READ;
    const long length = std::ftell(file.get());
    if (length < 0) return IMG_ERR_READ;
    if (SIZE_T(length) > kMaxFileBytes) return IMG_ERR_TOO_LARGE;
    std::rewind(file.get());
    bytes.resize(SIZE_T(length));
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return IMG_ERR_READ;
    return IMG_SUCCESS;
}

int Describe(const BYTE* data, SIZE_T size, KOVAFILEINFO* out) {
    if (out == nullptr) return IMG_ERR_PARAM;
    const Reader* reader = FindReader(data, size);
    if (reader == nullptr) return IMG_ERR_FORMAT;
    ImageInfo info;
    if (const int r = reader->info(data, size, info); r != IMG_SUCCESS) return r;
    KovaInitFileInfo(out);
    out->format = info.format;
    out->fileSize = DWORD(size);
    out->pageCount = info.pages;
    out->width = int(info.width);
    out->height = int(info.height);
    out->bitsPerPixel = info.bits;
    out->bytesPerLine = DWORD(Stride(info.width, info.bits));
    out->sizeDisk = DWORD(std::uint64_t(out->bytesPerLine) * std::uint64_t(info.height));
    out->xResolution = info.xDpi;
    out->yResolution = info.yDpi;
    return IMG_SUCCESS;
}

int Load(const BYTE* data, SIZE_T size, KOVABITMAP* bitmap, int bits) {
    if (bitmap == nullptr) return IMG_ERR_PARAM;
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24) return IMG_ERR_PARAM;
    const Reader* reader = FindReader(data, size);
    if (reader == nullptr) return IMG_ERR_FORMAT;
    Picture picture;
    if (const int r = reader->decode(data, size, picture); r != IMG_SUCCESS) return r;
    if (bits != 0 && bits != picture.Bits()) {
        HGLOBAL block = picture.Release();
        Picture converted;
        int r;
        {
            PictureView view(block);
            r = ConvertDepth(view, bits, converted);
        }
        GlobalFree(block);
        if (r != IMG_SUCCESS) return r;
        return Install(bitmap, converted);
    }
    return Install(bitmap, picture);
}

// While it lives, a picture without a resolution has the save options' default (their first
// two words, dots per inch); the picture is as it was afterwards.
class DefaultResolution {
public:
    explicit DefaultResolution(KOVABITMAP* bitmap) {
        std::int32_t words[2];
        std::memcpy(words, g_saveOptions, sizeof words);
        if (bitmap == nullptr || bitmap->dib == nullptr || words[0] <= 0 || words[1] <= 0) return;
        header_ = static_cast<BITMAPINFOHEADER*>(GlobalLock(bitmap->dib));
        if (header_ == nullptr) return;
        if (header_->biXPelsPerMeter != 0 || header_->biYPelsPerMeter != 0) {
            GlobalUnlock(bitmap->dib);
            header_ = nullptr;
            return;
        }
        dib_ = bitmap->dib;
        header_->biXPelsPerMeter = MeterFromDpi(words[0]);
        header_->biYPelsPerMeter = MeterFromDpi(words[1]);
    }
    ~DefaultResolution() {
        if (header_ == nullptr) return;
        header_->biXPelsPerMeter = header_->biYPelsPerMeter = 0;
        GlobalUnlock(dib_);
    }
    DefaultResolution(const DefaultResolution&) = delete;
    DefaultResolution& operator=(const DefaultResolution&) = delete;

private:
    BITMAPINFOHEADER* header_ = nullptr;
    HGLOBAL dib_ = nullptr;
};

int Save(KOVABITMAP* bitmap, int format, int bits, int quality, std::vector<BYTE>& out) {
    if (!HasPicture(bitmap)) return IMG_ERR_PARAM;
    DefaultResolution resolution(bitmap);
    PictureView view(bitmap->dib);
    if (!view.Valid()) return IMG_ERR_PARAM;
    return Encode(view, format, bits, quality, out);
}

// Runs f over the locked bytes of a block, of which size are used.
template <class F> int WithBlock(HGLOBAL block, DWORD size, F f) {
    if (block == nullptr || size == 0 || size > GlobalSize(block)) return IMG_ERR_PARAM;
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    if (p == nullptr) return IMG_ERR_PARAM;
    const int r = f(p, SIZE_T(size));
    GlobalUnlock(block);
    return r;
}

} // namespace
} // namespace imaging

using namespace imaging;

int KovaFileInfo(const char* path, KOVAFILEINFO* info) {
    std::vector<BYTE> bytes;
    if (const int r = ReadWhole(path, bytes); r != IMG_SUCCESS) return r;
    const int r = Describe(bytes.data(), bytes.size(), info);
    if (r != IMG_ERR_FORMAT || info == nullptr) return r;
    // Not one of the toolkit's own formats: the filter modules.
    KOVAFLTINFO f;
    if (const int m = FilterInfo(path, f); m != IMG_SUCCESS) return m;
    KovaInitFileInfo(info);
    info->format = f.format;
    info->fileSize = DWORD(bytes.size());
    info->pageCount = f.pages > 0 ? f.pages : 1;
    info->width = f.width;
    info->height = f.height;
    info->bitsPerPixel = f.bitsPerPixel;
    info->bytesPerLine = DWORD(Stride(f.width, f.bitsPerPixel));
    info->sizeDisk = f.sizeBytes;
    info->xResolution = f.xResolution;
    info->yResolution = f.yResolution;
    return IMG_SUCCESS;
}

int KovaLoadFile(const char* path, KOVABITMAP* bitmap, int bits, int) {
    std::vector<BYTE> bytes;
    if (const int r = ReadWhole(path, bytes); r != IMG_SUCCESS) return r;
    if (FindReader(bytes.data(), bytes.size()) != nullptr || bitmap == nullptr)
        return Load(bytes.data(), bytes.size(), bitmap, bits);
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24) return IMG_ERR_PARAM;
    KOVABITMAP loaded{};
    KovaInitBitmap(&loaded, 1, 1, 1);
    if (const int r = FilterLoad(path, &loaded, 0); r != IMG_SUCCESS) return r;
    if (bits == 0 || bits == loaded.bitsPerPixel) {
        if (HasPicture(bitmap)) GlobalFree(bitmap->dib);
        *bitmap = loaded;
        return IMG_SUCCESS;
    }
    Picture converted;
    int r;
    {
        PictureView view(loaded.dib);
        r = ConvertDepth(view, bits, converted);
    }
    KovaFreeBitmap(&loaded);
    return r == IMG_SUCCESS ? Install(bitmap, converted) : r;
}

int KovaSaveFile(const char* path, KOVABITMAP* bitmap, int format, int bits, int quality) {
    if (path == nullptr) return IMG_ERR_PARAM;
    if (FilterSaves(format)) {
        if (!HasPicture(bitmap)) return IMG_ERR_PARAM;
        DefaultResolution resolution(bitmap);
        return FilterSave(path, bitmap, format, bits, quality);
    }
    std::vector<BYTE> out;
    if (const int r = Save(bitmap, format, bits, quality, out); r != IMG_SUCCESS) return r;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "wb"), &std::fclose);
    if (!file) return IMG_ERR_OPEN;
    if (std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) return IMG_ERR_WRITE;
    if (std::fclose(file.release()) != 0) return IMG_ERR_WRITE;
    return IMG_SUCCESS;
}

int KovaSetSaveOptions(const void* options) {
    if (options == nullptr) return IMG_ERR_PARAM;
    std::memcpy(g_saveOptions, options, sizeof g_saveOptions);
    return IMG_SUCCESS;
}

int KovaSaveFileOffset(int fd, long offset, DWORD* written, KOVABITMAP* bitmap, int format,
                       int bits, int quality, int, void*, void*) {
    if (fd < 0 || offset < 0) return IMG_ERR_PARAM;
    if (InjectedFailure(KOVA_FAIL_SAVE_FILE)) return IMG_ERR_WRITE;
    std::vector<BYTE> out;
    if (const int r = Save(bitmap, format, bits, quality, out); r != IMG_SUCCESS) return r;
    SIZE_T done = 0;
    while (done < out.size()) {
        const ssize_t n =
            pwrite(fd, out.data() + done, out.size() - done, off_t(offset) + off_t(done));
        if (n <= 0) return IMG_ERR_WRITE;
        done += SIZE_T(n);
    }
    if (written != nullptr) *written = DWORD(done);
    return IMG_SUCCESS;
}

int KovaLoadFileOffset(int fd, long offset, DWORD count, KOVABITMAP* bitmap, int bits, int, int,
                       void*, void*) {
    if (fd < 0 || offset < 0 || count == 0) return IMG_ERR_PARAM;
    if (InjectedFailure(KOVA_FAIL_LOAD_FILE)) return IMG_ERR_READ;
    if (count > kMaxFileBytes) return IMG_ERR_TOO_LARGE;
    std::vector<BYTE> bytes(count);
    SIZE_T done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            pread(fd, bytes.data() + done, bytes.size() - done, off_t(offset) + off_t(done));
        if (n < 0) return IMG_ERR_READ;
        if (n == 0) break;
        done += SIZE_T(n);
    }
    bytes.resize(done);
    return Load(bytes.data(), bytes.size(), bitmap, bits);
}

int KovaSaveMemory(HGLOBAL* block, KOVABITMAP* bitmap, int format, int bits, int quality,
                   DWORD* size) {
    if (block == nullptr || size == nullptr) return IMG_ERR_PARAM;
    std::vector<BYTE> out;
    if (const int r = Save(bitmap, format, bits, quality, out); r != IMG_SUCCESS) return r;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, out.size());
    if (h == nullptr) return IMG_ERR_MEMORY;
    std::memcpy(GlobalLock(h), out.data(), out.size());
    GlobalUnlock(h);
    *block = h;
    *size = DWORD(out.size());
    return IMG_SUCCESS;
}

int KovaMemoryInfo(HGLOBAL block, KOVAFILEINFO* info, DWORD size) {
    return WithBlock(block, size, [&](const BYTE* p, SIZE_T n) { return Describe(p, n, info); });
}

int KovaLoadMemoryPrepared(HGLOBAL block, KOVABITMAP* bitmap, int bits, int, DWORD size) {
    return WithBlock(block, size,
                     [&](const BYTE* p, SIZE_T n) { return Load(p, n, bitmap, bits); });
}

int KovaLoadMemory(HGLOBAL block, KOVABITMAP* bitmap, int bits, int, int, void*, void*,
                   DWORD size) {
    return WithBlock(block, size,
                     [&](const BYTE* p, SIZE_T n) { return Load(p, n, bitmap, bits); });
}
