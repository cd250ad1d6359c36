#include "RasterTestSupport.h"

#include <fstream>
#include <iterator>
#include <sstream>

Picture ReadPpm(const std::string& path) {
    Picture pic;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> pic.width >> pic.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || pic.width <= 0 || pic.height <= 0) {
        ADD_FAILURE() << "not a P6 picture: " << path;
        return Picture{};
    }
    pic.rgb.resize(std::size_t(pic.width) * pic.height * 3);
    in.read(reinterpret_cast<char*>(pic.rgb.data()), std::streamsize(pic.rgb.size()));
    if (!in) ADD_FAILURE() << "short PPM: " << path;
    return pic;
}

::testing::AssertionResult SamePixels(DIBInterface& dib, const Picture& pic) {
    if (dib.GetWidth() != pic.width || dib.GetHeight() != pic.height)
        return ::testing::AssertionFailure()
               << "size " << dib.GetWidth() << " x " << dib.GetHeight() << ", expected "
               << pic.width << " x " << pic.height;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            int rgb[3] = {-1, -1, -1};
            dib.GetPixel(x, y, rgb);
            const BYTE* e = &pic.rgb[(std::size_t(y) * pic.width + x) * 3];
            if (rgb[0] != e[0] || rgb[1] != e[1] || rgb[2] != e[2])
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << rgb[0] << "," << rgb[1]
                       << "," << rgb[2] << ", expected " << int(e[0]) << "," << int(e[1]) << ","
                       << int(e[2]);
        }
    return ::testing::AssertionSuccess();
}

void Make24(CDib& dib, const Picture& pic) {
    ASSERT_TRUE(dib.Create(pic.width, pic.height, 24));
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            const BYTE* e = &pic.rgb[(std::size_t(y) * pic.width + x) * 3];
            unsigned v = Bgr(e[0], e[1], e[2]);
            dib.SetPixel(x, y, v);
        }
}

Bytes Contents(CFile& file) {
    const auto pos = file.GetPosition();
    Bytes b(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!b.empty()) file.Read(b.data(), UINT(b.size()));
    file.Seek(std::int64_t(pos), CFile::begin);
    return b;
}

void Fill(CMemFile& file, const Bytes& bytes) {
    file.SetLength(0);
    file.SeekToBegin();
    if (!bytes.empty()) file.Write(bytes.data(), UINT(bytes.size()));
    file.SeekToBegin();
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
