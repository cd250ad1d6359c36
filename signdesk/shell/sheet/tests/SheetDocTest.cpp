// The sheet document: grid snapping, the extent, the stored sheet size and what a second
// document leaves alone.

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <testing/InputDriver.h>

#include "SheetTestApp.h"

namespace {

class SheetDocTest : public SheetTest {};

std::vector<BYTE> Store(COleSheetDoc* d) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        d->Serialize(ar);
        ar.Close();
    }
    const UINT size = UINT(file.GetLength());
    BYTE* bytes = file.Detach();
    std::vector<BYTE> out(bytes, bytes + size);
    free(bytes);
    return out;
}

void Load(COleSheetDoc* d, std::vector<BYTE> bytes) {
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    d->Serialize(ar);
    ar.Close();
}

} // namespace

TEST_F(SheetDocTest, GridSnappingRoundsHalvesUpAndMovesBoxesTheShorterWay) {
    StartApp();
    SheetSettings::GridOffs = floatPoint(0, 0);
    SheetSettings::GridDens = floatPoint(25, 25);
    SheetSettings::SnapToGrid = TRUE;
    struct {
        float in, out;
    } cases[] = {{12.5f, 25}, {12.49f, 0}, {-12.5f, 0}, {-12.51f, -25}, {37.5f, 50}};
    for (const auto& c : cases) {
        floatPoint p(c.in, c.in);
        EXPECT_TRUE(doc->SnapPoint(&p, 0, 0));
        EXPECT_FLOAT_EQ(p.x, c.out) << c.in;
        EXPECT_FLOAT_EQ(p.y, c.out) << c.in;
    }
    floatPoint onlyX(12.5f, 12.5f);
    EXPECT_TRUE(doc->SnapX(&onlyX, 0, 1));
    EXPECT_FLOAT_EQ(onlyX.y, 12.5f);
    floatBBox box(3, 3, 48, 48);
    doc->SnapBox(&box, 0, 0);
    EXPECT_FLOAT_EQ(box.left, 5);
    EXPECT_FLOAT_EQ(box.right, 50);
    // Far beyond the grid's 32-bit index the point still snaps to a finite line.
    floatPoint far(1e30f, -1e30f);
    doc->SnapPoint(&far, 0, 0);
    EXPECT_TRUE(std::isfinite(far.x) && std::isfinite(far.y));

    SheetSettings::SnapToGrid = FALSE;
    floatPoint p(12.5f, 12.5f);
    EXPECT_FALSE(doc->SnapPoint(&p, 0, 0));
    EXPECT_FLOAT_EQ(p.x, 12.5f);
    floatBBox same(3, 3, 48, 48);
    doc->SnapBox(&same, 0, 0);
    EXPECT_FLOAT_EQ(same.left, 3);
    EXPECT_FLOAT_EQ(same.top, 48);
}

TEST_F(SheetDocTest, ZeroSpacingSnapsToThe25mmGrid) {
    StartApp();
    SheetSettings::GridDens = floatPoint(0, std::nanf(""));
    SheetSettings::SnapToGrid = TRUE;
    floatPoint p(13, 13);
    EXPECT_TRUE(doc->SnapPoint(&p, 0, 0));
    EXPECT_FLOAT_EQ(p.x, 25);
    EXPECT_FLOAT_EQ(p.y, 25);
}

TEST_F(SheetDocTest, SnapCommandTogglesAndRepaints) {
    StartApp();
    Command(ID_SNAP_TO_GRID);
    EXPECT_TRUE(SheetSettings::SnapToGrid);
    Command(ID_SNAP_TO_GRID);
    EXPECT_FALSE(SheetSettings::SnapToGrid);
}

TEST_F(SheetDocTest, TheExtentRunsFromZeroWhateverTheSign) {
    StartApp();
    SheetSettings::DocWidth = -100;
    SheetSettings::DocHeight = 50;
    floatBBox e;
    doc->GetExtent(e);
    EXPECT_FLOAT_EQ(e.left, -100);
    EXPECT_FLOAT_EQ(e.right, 0);
    EXPECT_FLOAT_EQ(e.bottom, 0);
    EXPECT_FLOAT_EQ(e.top, 50);
}

TEST_F(SheetDocTest, StoredDocumentsBeginWithTheSheetSizeAndLoadBack) {
    StartApp(210, 297);
    const std::vector<BYTE> bytes = Store(doc);
    const BYTE expected[] = {0x00, 0x00, 0x52, 0x43, 0x00, 0x80, 0x94, 0x43, 0, 0, 0, 0};
    ASSERT_EQ(bytes.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
    SheetSettings::DocWidth = 1;
    SheetSettings::DocHeight = 2;
    Load(doc, bytes);
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 210);
    EXPECT_FLOAT_EQ(SheetSettings::DocHeight, 297);
    // Cut short: the archive's end-of-file error, the size as it was.
    int cause = -1;
    try {
        Load(doc, std::vector<BYTE>(bytes.begin(), bytes.begin() + 6));
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::endOfFile);
    EXPECT_FLOAT_EQ(SheetSettings::DocHeight, 297);
}

TEST_F(SheetDocTest, ADocumentMadeBesideAnotherLeavesGridAndSizeAlone) {
    StartApp(210, 297);
    SheetSettings::GridDens = floatPoint(5, 5);
    SheetSettings::DocWidth = 400;
    { COleSheetDoc temporary; }
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.x, 5);
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 400);
}

TEST_F(SheetDocTest, AJunkSheetSizeInTheProfileGivesTheDefault) {
    app = std::make_unique<SheetTestApp>();
    app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
    app->WriteProfileString("Settings", "DocWidth", "junk");
    app->WriteProfileString("Settings", "DocHeight", "-5");
    COleSheetDoc d;
    // No printer: the default sheet is 500 x 250.
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 500);
    EXPECT_FLOAT_EQ(SheetSettings::DocHeight, 250);
}

TEST_F(SheetDocTest, ChangesArePostedToTheViewsMode) {
    StartApp();
    InstallRecordingMode();
    doc->PostChangedToViews();
    EXPECT_TRUE(g_modeLog.empty()); // posted, not sent
    sdtest::PumpInput();
    EXPECT_EQ(g_modeLog, std::vector<std::string>{"document changed"});
}
