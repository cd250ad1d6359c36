#include <doc/ISignDocFrame.h>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CFile.h>
#include <mfc/CFileException.h>
#include <mfc/CMemFile.h>
#include <mfc/FrameworkIds.h>
#include <settings/ProgramFolders.h>
#include <shared/SharedObjRef.h>

#include <sys/stat.h>

#include "SignDocTestSupport.h"

namespace {

// Records what the document asks of the main frame.
struct RecordingFrame : ISignDocFrame {
    void SetAutoSaveTimer(int minutes) override { timers.push_back(minutes); }
    void RaiseAutoSaveBusy() override { ++busy, ++raised; }
    void LowerAutoSaveBusy() override { --busy; }
    void ShowStatusText(LPCSTR text) override { status.push_back(text); }
    void PostFrameCommand(UINT nID) override { commands.push_back(nID); }
    COLORREF GetPaletteColor() override { return 0; }
    std::vector<int> timers;
    std::vector<std::string> status;
    std::vector<UINT> commands;
    int busy = 0, raised = 0;
};

// A file that refuses writes once limit bytes are written, as a full disk does.
class FullDiskFile : public CFile {
public:
    explicit FullDiskFile(std::size_t limit) : limit_(limit) {}
    void Write(const void* data, UINT n) override {
        if (written_ + n > limit_) CFileException::ThrowErrno(ENOSPC, GetFilePath());
        written_ += n;
        CFile::Write(data, n);
    }

private:
    std::size_t limit_, written_ = 0;
};

class FullDiskDoc : public CSignDoc {
public:
    CFile* GetFile(LPCSTR name, UINT flags, CFileException* error) override {
        auto* f = new FullDiskFile(100);
        if (!f->Open(name, flags, error)) {
            delete f;
            return nullptr;
        }
        return f;
    }
};

// Stores the design, then fails.
class FailingDoc : public CSignDoc {
public:
    void Serialize(CArchive& ar) override {
        CSignDoc::Serialize(ar);
        if (ar.IsStoring()) AfxThrowArchiveException(CArchiveException::genericException);
    }
};

class SignDocSaveTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        CSignDoc::Frame = &frame;
        SignDocSettings::AutoCut = 0;
        SignDocSettings::SpoolDirectory.Empty();
        SignDocSettings::Plotman.Empty();
    }
    void TearDown() override {
        CSignDoc::Frame = nullptr;
        SignDocTest::TearDown();
    }
    RecordingFrame frame;
};

TEST_F(SignDocSaveTest, FailedSaveKeepsTheOldFile) {
    const fs::path path = dir / "plan.wtp";
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    const Bytes old = ReadAll(path);
    FailingDoc failing;
    FullDiskDoc full;
    for (CSignDoc* doc : {static_cast<CSignDoc*>(&failing), static_cast<CSignDoc*>(&full)}) {
        BuildDesign(*doc);
        doc->m_sheet.Add(Square(0, 0, 5, 0));
        doc->SetModifiedFlag();
        PushMessageBoxAnswer(IDOK);
        EXPECT_FALSE(doc->OnSaveDocument(path.c_str()));
        EXPECT_EQ(ReadAll(path), old);
        EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"plan.wtp"});
        EXPECT_TRUE(doc->IsModified());
    }
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}

TEST_F(SignDocSaveTest, SaveKeepsTheReplacedFilesPermissions) {
    const fs::path path = dir / "plan.wtp";
    CSignDoc doc;
    BuildDesign(doc);
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    // A new file gets the usual mode, not the temporary file's private one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(unsigned(fs::status(path).permissions()), 0666u & ~unsigned(mask));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SignDocSaveTest, AnyExtensionButWmpGetsTheWtpLayout) {
    const fs::path path = dir / "plan.sign";
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    const Bytes bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 2);
    CSignDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
    EXPECT_EQ(doc.m_guideLines.Filled(), 3);
}

TEST_F(SignDocSaveTest, SavingAWmpAsksForANewName) {
    const fs::path path = dir / "plan.wmp";
    CSignDoc doc;
    BuildDesign(doc);
    doc.SetPathName(path.c_str());
    doc.SetModifiedFlag();
    doc.OnFileSave();
    EXPECT_EQ(frame.commands, std::vector<UINT>{ID_FILE_SAVE_AS});
    EXPECT_TRUE(FilesIn(dir).empty());
    EXPECT_TRUE(frame.timers.empty());
}

// The .wmp field order in a plain archive, of each layout version.
Bytes WmpBytes(WORD version, CSign& sheet) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        sheet.Serialize(ar);
        ar << version;
        ar << DWORD(1) << BYTE(10) << BYTE(20) << BYTE(30) << BYTE(0);
        if (version >= 3) {
            ar << DWORD(77) << BYTE(2) << WORD(8);
            for (DWORD i = 0; i < 9; ++i)
                ar << DWORD(100 + i);
        }
        if (version >= 4) ar << DWORD(109);
        if (version >= 5) ar << DWORD(0);
        if (version >= 6) ar << DWORD(1) << 1.0f << 2.0f << 0.25;
        ar << 123.0f << 45.0f << DWORD(0);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(out.data(), UINT(out.size()));
    return out;
}

TEST_F(SignDocSaveTest, WmpLayoutVersionsInAPlainArchive) {
    const fs::path path = dir / "old.wmp";
    for (WORD version = 0; version <= 6; ++version) {
        CSign sheet;
        sheet.Add(Square(0, 0, 10, RGB(9, 9, 9)));
        WriteAll(path, WmpBytes(version, sheet));
        sheet.DeleteAll();
        CSignDoc doc;
        doc.m_nReserved = 5;
        ASSERT_TRUE(doc.OnOpenDocument(path.c_str())) << version;
        EXPECT_EQ(doc.m_sheet.GetSize(), 1) << version;
        EXPECT_EQ(CSignDoc::Palette().GetColors(), std::vector<COLORREF>{RGB(10, 20, 30)});
        EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 123.0f);
        EXPECT_EQ(doc.m_outputLayout[2], version >= 3 ? 102u : 0u) << version;
        EXPECT_EQ(doc.m_outputLayout[3], version >= 3 ? 103u : 0u) << version;
        // Only the objects and those two values come over from a .wmp.
        EXPECT_EQ(doc.m_guideLines.Filled(), 0);
        EXPECT_EQ(doc.m_nReserved, 5u);
        EXPECT_FALSE(doc.IsModified());
    }
    CSign sheet;
    WriteAll(path, WmpBytes(7, sheet));
    CSignDoc doc;
    PushMessageBoxAnswer(IDOK);
    EXPECT_TRUE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(doc.m_sheet.GetSize(), 0);
    EXPECT_EQ(MessageBoxLog().size(), 1u);
}

TEST_F(SignDocSaveTest, UndoAfterOpenKeepsTheDesign) {
    const fs::path path = dir / "plan.wtp";
    {
        CSignDoc doc;
        BuildDesign(doc);
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    CSignDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    EXPECT_FALSE(doc.CanUndo());
    doc.AddObject(Square(300, 200, 10, 0), TRUE, -1);
    ASSERT_TRUE(doc.RecordStep("Add"));
    doc.Undo();
    EXPECT_EQ(doc.m_sheet.GetSize(), 3);
}

TEST_F(SignDocSaveTest, AutoSaveWritesACopyBesideTheData) {
    const fs::path path = dir / "plan.wtp";
    CSignDoc doc;
    BuildDesign(doc);
    ASSERT_TRUE(doc.DoSave(path.c_str()));
    doc.SetModifiedFlag();
    doc.OnAutoSave();
    const fs::path copy = fs::path(LPCSTR(GetDataFolder())) / "plan.autosave.wtp";
    EXPECT_EQ(std::string(LPCSTR(doc.m_strAutoSavePath)), copy.string());
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(std::string(LPCSTR(doc.GetPathName())), path.string());
    EXPECT_EQ(std::string(LPCSTR(doc.m_strFilePath)), path.string());
    EXPECT_EQ(frame.timers, std::vector<int>{-1});
    EXPECT_EQ(frame.busy, 0);
    EXPECT_EQ(frame.raised, 1);
    ASSERT_EQ(frame.status.size(), 1u);
    EXPECT_NE(frame.status[0].find(copy.string()), std::string::npos);
    {
        CSignDoc reopened;
        ASSERT_TRUE(reopened.OnOpenDocument(copy.c_str()));
        EXPECT_EQ(reopened.m_sheet.GetSize(), 3);
        EXPECT_EQ(reopened.m_guideLines.Filled(), 3);
    }
    doc.DeleteContents();
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(doc.m_strAutoSavePath.IsEmpty());
}

TEST_F(SignDocSaveTest, AutoSaveOfAnUnchangedOrEmptyDesignOnlyRearms) {
    CSignDoc doc;
    doc.SetModifiedFlag();
    doc.OnAutoSave(); // empty
    BuildDesign(doc);
    doc.SetModifiedFlag(FALSE);
    doc.OnAutoSave(); // not modified
    EXPECT_TRUE(doc.m_strAutoSavePath.IsEmpty());
    EXPECT_EQ(frame.timers, (std::vector<int>{-1, -1}));
    EXPECT_TRUE(frame.status.empty());
    // Without a name the copy is AutoSave.wtp.
    doc.SetModifiedFlag();
    doc.OnAutoSave();
    EXPECT_EQ(fs::path(LPCSTR(doc.m_strAutoSavePath)).filename(), "AutoSave.wtp");
}

TEST_F(SignDocSaveTest, SaveWritesTheTextPathCopyOnlyWithPlotman) {
    const fs::path path = dir / "plan.wtp";
    const fs::path spool = DataFolder() / "spool";
    fs::create_directories(spool);
    SignDocSettings::AutoCut = 1;
    SignDocSettings::SpoolDirectory = spool.c_str();
    CSignDoc doc;
    BuildDesign(doc);
    doc.SetPathName(path.c_str());
    doc.OnFileSave(); // no Plotman: no copy, timer left alone
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(FilesIn(spool).empty());
    EXPECT_TRUE(frame.timers.empty());

    SignDocSettings::Plotman = "plotman";
    doc.OnFileSave();
    EXPECT_EQ(FilesIn(spool), std::vector<std::string>{"plan.WPF"});
    EXPECT_EQ(frame.timers, std::vector<int>{-1});
    const Bytes text = ReadAll(spool / "plan.WPF");
    const std::string s(text.begin(), text.end());
    // The page frame comes first: 400 x 300 mm.
    const auto first = s.find("400");
    ASSERT_NE(first, std::string::npos) << s;
    EXPECT_LT(first, s.find("260")) << s;
}

int CountOf(const std::string& s, const std::string& what) {
    int n = 0;
    for (auto at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(SignDocSaveTest, ClipPathOnlyUnitesTheOuterCutContours) {
    CSignDoc doc;
    SheetSettings::DocWidth = 400;
    SheetSettings::DocHeight = 300;
    // Two overlapping cut squares become one contour; an inner cut line stays itself; an
    // object that is not cut is left out.
    CPathObj* a = Square(0, 0, 20, 0);
    CPathObj* b = Square(10, 10, 20, 0);
    CPathObj* inner = Square(2, 2, 3, 0);
    CPathObj* plain = Square(100, 100, 5, 0);
    a->m_bFlag1 = b->m_bFlag1 = inner->m_bFlag1 = 1;
    inner->m_bFlag2 = 0;
    plain->m_bFlag1 = 0;
    for (CPathObj* o : {a, b, inner, plain})
        doc.m_sheet.Add(o);
    doc.RecalcBounds();
    SignDocSettings::ClippathOnly = 1;
    const fs::path path = dir / "plan.WPF";
    const bool written = doc.WriteWpfCopy(path.c_str(), 0);
    SignDocSettings::ClippathOnly = 0;
    ASSERT_TRUE(written);
    const Bytes bytes = ReadAll(path);
    const std::string text(bytes.begin(), bytes.end());
    // The page frame, the united outline, the inner line.
    EXPECT_EQ(CountOf(text, "EndPath"), 3) << text;
    EXPECT_EQ(text.find("105"), std::string::npos) << text;
}

TEST_F(SignDocSaveTest, TextPathCopyFailureIsReported) {
    CSignDoc doc;
    BuildDesign(doc);
    PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(doc.WriteWpfCopy((dir / "missing" / "plan.WPF").c_str(), 0));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("missing/plan.WPF"), std::string::npos);
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST_F(SignDocSaveTest, CloseDeletesTheAutoSaveCopy) {
    auto* doc = new CSignDoc;
    BuildDesign(*doc);
    doc->SetModifiedFlag();
    doc->OnAutoSave();
    const std::string copy = LPCSTR(doc->m_strAutoSavePath);
    ASSERT_TRUE(fs::exists(copy));
    doc->OnCloseDocument(); // deletes the document
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(SignDocSaveTest, SettingsSurviveExitAndStart) {
    SignDocSettings::Load();
    EXPECT_EQ(SignDocSettings::AutoCut, 1);
    EXPECT_EQ(SignDocSettings::Detail, 2);
    SignDocSettings::Detail = 3;
    SignDocSettings::SpoolDirectory = "/var/spool/cut";
    SignDocSettings::SnapToCorners = TRUE;
    SignDocSettings::Save();
    SignDocSettings::Detail = 0;
    SignDocSettings::SpoolDirectory.Empty();
    SignDocSettings::SnapToCorners = FALSE;
    SignDocSettings::Load();
    EXPECT_EQ(SignDocSettings::Detail, 3);
    EXPECT_STREQ(LPCSTR(SignDocSettings::SpoolDirectory), "/var/spool/cut");
    EXPECT_TRUE(SignDocSettings::SnapToCorners);
    SignDocSettings::Detail = 2;
    SignDocSettings::SpoolDirectory.Empty();
    SignDocSettings::SnapToCorners = FALSE;
}

} // namespace
