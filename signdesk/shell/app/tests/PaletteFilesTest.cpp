#include <filesystem>
#include <fstream>
#include <sstream>

#include <app/CPaletteBar.h>
#include <app/PaletteFiles.h>
#include <testing/PlatformTest.h>

namespace {
class PaletteFilesTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        PaletteEntries().RemoveAll();
        ColorDisplayMode = 0;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path p = DataFolder() / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
} // namespace

TEST_F(PaletteFilesTest, ReadsEitherLineEndAnyCaseAndSkipsJunkLines) {
    std::string junk(400, 'x');
    junk[3] = '\0';
    const std::string path = Write("mixed.wpl", "FF0000 Red\r\n00ff00 Green\nzz0000 bad digits\n"
                                                "12345\n\n" +
                                                    junk + "\n0000FF");
    ASSERT_TRUE(LoadPaletteFile(path.c_str()));
    EXPECT_EQ(ParsePaletteEntries(),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}));
    EXPECT_STREQ(LPCSTR(GetColorName(RGB(255, 0, 0))), "Red");
    EXPECT_STREQ(LPCSTR(GetColorName(RGB(0, 0, 255))), "RGB(  0,  0,255)");
    ColorDisplayMode = 1;
    EXPECT_STREQ(LPCSTR(GetColorName(RGB(0, 0, 255))), "CMYK(255,255,  0,  0)");
}

TEST_F(PaletteFilesTest, AnUnopenableFileKeepsTheNames) {
    PaletteEntries().Add("FF0000 Red");
    EXPECT_FALSE(LoadPaletteFile((DataFolder() / "missing.wpl").c_str()));
    EXPECT_EQ(PaletteEntries().GetSize(), 1);
    // Opened but holding nothing usable: the names go.
    EXPECT_TRUE(LoadPaletteFile(Write("empty.wpl", "no colours here\n").c_str()));
    EXPECT_EQ(PaletteEntries().GetSize(), 0);
}

TEST_F(PaletteFilesTest, SavesOneCrLfLineEachWithTheNameOfListedColours) {
    PaletteEntries().Add("FF0000");
    const std::string path = (DataFolder() / "out.wpl").string();
    ASSERT_TRUE(SavePaletteFile({0x0000FF, 0x00FF00}, path.c_str()));
    EXPECT_EQ(Read(path), "FF0000 RGB(255,  0,  0)\r\n00FF00 \r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // A folder that cannot take the file leaves the old one as it was.
    EXPECT_FALSE(SavePaletteFile({0}, (DataFolder() / "no" / "such.wpl").c_str()));
}

TEST_F(PaletteFilesTest, ImportsACmykList) {
    const std::string path = Write("list.txt", "\"Red\" 0 100 100 0\r\n\"Half\" 0 0 0 50\n"
                                               "no quotes 1 2 3 4\n\"Short\" 1 2\n");
    ASSERT_TRUE(ImportCmykPalette(path.c_str()));
    ASSERT_EQ(PaletteEntries().GetSize(), 2);
    EXPECT_STREQ(LPCSTR(PaletteEntries()[0]), "FF0000 Red");
    EXPECT_EQ(ParsePaletteEntries()[1], RGB(128, 128, 128));
}

TEST_F(PaletteFilesTest, TheGridLaysOutItsCellsAndIndexesThem) {
    CPaletteBar bar;
    bar.colors.assign(30, RGB(1, 2, 3));
    bar.colors[0] = RGB(9, 9, 9);
    bar.LayoutGrid(CRect(0, 0, 205, 40));
    EXPECT_EQ(bar.cellSize, 20);
    EXPECT_EQ(bar.columns, 10);
    EXPECT_EQ(bar.pageSize, 20);
    // Rows hold columns + 1 cells: the second row starts at index 11.
    EXPECT_EQ(bar.IndexAt(5, 25), 11);
    EXPECT_EQ(bar.ColorAt(5, 5), RGB(9, 9, 9));
    bar.colors.resize(5);
    EXPECT_EQ(bar.IndexAt(5, 25), 5);
    EXPECT_EQ(bar.ColorAt(5, 25), COLORREF(-1));
    bar.firstVisible = 25;
    bar.colors.assign(30, 0);
    bar.LayoutGrid(CRect(0, 0, 205, 40));
    EXPECT_EQ(bar.firstVisible, 10);
}

TEST_F(PaletteFilesTest, EditsObeyTheLock) {
    CPaletteBar bar;
    bar.SetColors({1, 2, 3});
    bar.InsertColors(1, 2);
    EXPECT_EQ(bar.colors, (std::vector<COLORREF>{1, 0, 0, 2, 3}));
    bar.RemoveColors(0, 2);
    EXPECT_EQ(bar.colors, (std::vector<COLORREF>{0, 2, 3}));
    bar.RemoveColors(2, 2); // past the end: refused
    EXPECT_EQ(bar.colors.size(), 3u);
    CPaletteBar::PaletteLock = TRUE;
    bar.SetColors({7});
    CPaletteBar::PaletteLock = FALSE;
    EXPECT_EQ(bar.colors.size(), 3u);
}
