#include <gtest/gtest.h>

#include "shared/RasterExtensions.h"

TEST(RasterExtensionsTest, TheTwentyThreeInAnyCaseAndNothingElse) {
    const char* listed[] = {"cmp", "cal", "img", "ica", "jpg", "jff", "jtf", "pct",
                            "mac", "msp", "pcd", "pcx", "eps", "ras", "tga", "tif",
                            "wmf", "bmp", "fxs", "wpg", "rle", "png", "psd"};
    for (const char* ext : listed)
        EXPECT_EQ(IsRasterExtension(ext), 1) << ext;
    EXPECT_EQ(IsRasterExtension("PNG"), 1);
    EXPECT_EQ(IsRasterExtension("Tif"), 1);
    const char* notListed[] = {"", "jpeg", "tiff", "gif", "wpf", "ai", "emf", ".png", "pn", "pngx"};
    for (const char* ext : notListed)
        EXPECT_EQ(IsRasterExtension(ext), 0) << ext;
    EXPECT_EQ(IsRasterExtension(nullptr), 0);
}
