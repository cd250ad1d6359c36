#include "doc/CSignDoc.h"

#include <cstring>

#include <cstdio>
#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CCmdUI.h>
#include <mfc/CFile.h>
#include <mfc/CFileException.h>
#include <mfc/CWaitCursor.h>
#include <mfc/FrameworkIds.h>
#include <mfc/FrameworkStrings.h>
#include <model/CClippedObj.h>
#include <model/CObjIterator.h>
#include <model/CUndoStep.h>
#include <model/HashBytes.h>
#include <sheet/SheetSettings.h>
#include <shell/DefaultPrinterPage.h>
#include <shell/ProfileSettings.h>

#include "doc/ISignDocFrame.h"
#include "doc/SignDocSettings.h"
#include "doc/WmpContents.h"

IMPLEMENT_DYNCREATE(CSignDoc, COleSheetDoc)

BEGIN_MESSAGE_MAP(CSignDoc, COleSheetDoc)
ON_COMMAND_RANGE(SignDocIds::DetailNormal, SignDocIds::DetailNormal, OnDetail)
ON_UPDATE_COMMAND_UI(SignDocIds::DetailNormal, OnUpdateDetail)
ON_COMMAND_RANGE(SignDocIds::DetailOutline, SignDocIds::DetailOutline, OnDetail)
ON_UPDATE_COMMAND_UI(SignDocIds::DetailOutline, OnUpdateDetail)
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
ON_COMMAND_RANGE(SignDocIds::DetailFill, SignDocIds::DetailFill, OnDetail)
ON_UPDATE_COMMAND_UI(SignDocIds::DetailFill, OnUpdateDetail)
ON_COMMAND_RANGE(SignDocIds::DetailFull, SignDocIds::DetailFull, OnDetail)
ON_UPDATE_COMMAND_UI(SignDocIds::DetailFull, OnUpdateDetail)
ON_COMMAND(SignDocIds::TakeCurveColor, OnTakeCurveColor)
ON_COMMAND(SignDocIds::TakeLineColor, OnTakeLineColor)
ON_COMMAND(SignDocIds::TakeTraceColor, OnTakeTraceColor)
ON_COMMAND(SignDocIds::TakeSelectionColor, OnTakeSelectionColor)
ON_COMMAND(SignDocIds::AutoSave, OnAutoSave)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
ON_COMMAND(SignDocIds::SnapToObject, OnSnapToObject)
ON_UPDATE_COMMAND_UI(SignDocIds::SnapToObject, OnUpdateSnapToObject)
ON_COMMAND(SignDocIds::SnapToGuideLines, OnSnapToGuideLines)
ON_UPDATE_COMMAND_UI(SignDocIds::SnapToGuideLines, OnUpdateSnapToGuideLines)
ON_COMMAND(SignDocIds::SnapToCorners, OnSnapToCorners)
ON_UPDATE_COMMAND_UI(SignDocIds::SnapToCorners, OnUpdateSnapToCorners)
END_MESSAGE_MAP()

namespace {

DWORD FloatBits(float f) {
    DWORD v;
    std::memcpy(&v, &f, 4);
    return v;
}

// The folder part of a path: the text before the last separator.
CString FolderOf(const CString& path) {
    const char* s = path;
    const char* cut = nullptr;
    for (const char* p = s; *p; ++p)
        if (*p == '\\' || *p == '/') cut = p;
    return cut ? CString(s, int(cut - s)) : CString();
}

} // namespace

CString DocFileExtension(LPCSTR path) {
    if (path == nullptr) return CString();
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr || std::strpbrk(dot, "/\\") != nullptr) return CString();
    CString ext(dot + 1);
    ext.MakeUpper();
    return ext;
}

CPaletteColors& CSignDoc::Palette() {
    static CPaletteColors palette;
    return palette;
}

CSignDoc::CSignDoc() {
    ResetOutputLayout();
    m_plotLayout[0] = 0;
    m_plotLayout[1] = 0;
    m_plotLayout[2] = FloatBits(1.0f);
    m_plotLayout[3] = FloatBits(1.0f);
    m_plotLayout[4] = 1;
    m_plotLayout[5] = 0;
    m_plotLayout[6] = 0;
    SheetSettings::DocWidth = GetProfileFloat("Settings", "DocWidth", 1000.0f);
    SheetSettings::DocHeight = GetProfileFloat("Settings", "DocHeight", 600.0f);
    RefreshPrinterValues();
}

CSignDoc::~CSignDoc() {
    delete m_pHandedFile;
    UndoList::Clear();
    m_sheet.DeleteAll();
    m_auxSheet.DeleteAll();
}

void CSignDoc::ResetOutputLayout() {
    const DWORD values[10] = {
        FloatBits(2.0f), FloatBits(2.0f), 0, 0, FloatBits(3.0f), 1, 1, 0, 0, 0};
    std::memcpy(m_outputLayout, values, sizeof values);
}

void CSignDoc::RefreshPrinterValues() {
    float pw, ph, w, h, ox, oy;
    std::uint8_t orientation = 0;
    std::uint16_t paper = 0;
    GetDefaultPrinterPage(pw, ph, w, h, ox, oy, orientation, paper);
    m_nPrintOrientation = orientation ? orientation : 1;
    m_nPaperSize = paper ? paper : 9;
}

// ---- life cycle ----

void CSignDoc::DeleteContents() {
    COleSheetDoc::DeleteContents();
    m_sheet.DeleteAll();
    m_guideLines.Destroy();
    UndoList::Clear();
    SheetSettings::DocWidth = GetProfileFloat("Settings", "DocWidth", 1000.0f);
    SheetSettings::DocHeight = GetProfileFloat("Settings", "DocHeight", 600.0f);
    m_sheet.CountLayerObjects();
    m_sheet.RefreshBounds(1);
    m_sheet.UpdateSelection();
    PostChangedToViews();
    ResetOutputLayout();
    m_strFontName.Empty();
    std::memset(m_glyphCodes, 0, sizeof m_glyphCodes);
    std::memset(m_glyphObjA, 0, sizeof m_glyphObjA);
    std::memset(m_glyphObjB, 0, sizeof m_glyphObjB);
    if (!m_strAutoSavePath.IsEmpty()) {
        try {
            CFile::Remove(m_strAutoSavePath);
        } catch (CException* e) {
            e->Delete();
        }
        m_strAutoSavePath.Empty();
    }
}

BOOL CSignDoc::OnNewDocument() {
    if (!COleSheetDoc::OnNewDocument()) return FALSE;
    m_bFontEditing = 0;
    RecordStep("New");
    return TRUE;
}

BOOL CSignDoc::OnOpenDocument(LPCSTR lpszPathName) {
    m_strFilePath = lpszPathName;
    const CString ext = DocFileExtension(lpszPathName);
    if (ext == "WMP") {
        // A compound file's "Contents" stream, or a plain file's bytes.
        CFile* contents = nullptr;
        try {
            contents = OpenWmpContents(lpszPathName);
        } catch (CException* e) {
            ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
            e->Delete();
            return FALSE;
        }
        DeleteContents();
        SetModifiedFlag();
        // The file is read by a document of its own; its objects move over.
        CSignDoc temp;
        temp.m_bAutoDelete = FALSE;
        temp.m_pHandedFile = contents;
        if (temp.OpenPlainFile(lpszPathName)) {
            const float width = SheetSettings::DocWidth, height = SheetSettings::DocHeight;
            while (temp.m_sheet.GetSize() > 0) {
                CSignObj* obj = temp.m_sheet.GetObj(0);
                temp.m_sheet.RemoveAt(0);
                if (CSignObj* copy = obj->Duplicate()) m_sheet.Add(copy);
                delete obj;
            }
            m_outputLayout[2] = temp.m_outputLayout[2];
            m_outputLayout[3] = temp.m_outputLayout[3];
            temp.DeleteContents();
            SheetSettings::DocWidth = width;
            SheetSettings::DocHeight = height;
        }
        SetModifiedFlag(FALSE);
    } else if (!COleSheetDoc::OnOpenDocument(lpszPathName)) {
        return FALSE;
    }
    RemoveEmptyObjects(m_sheet);
    m_sheet.CountLayerObjects();
    m_sheet.RefreshBounds(1);
    m_sheet.UpdateSelection();
    PostChangedToViews();
    // The baseline of the design as opened stays: undo never goes behind it.
    RecordStep("Open");
    for (int i = 0; i < m_steps.GetSize(); ++i)
        delete GetStep(i);
    m_steps.RemoveAll();
    delete m_pRedoStep;
    m_pRedoStep = nullptr;
    SetModifiedFlag(FALSE);
    if (ext == "WTP") SignDocSettings::WMPPath = FolderOf(m_strFilePath);
    return TRUE;
}

BOOL CSignDoc::OpenPlainFile(LPCSTR lpszPathName) {
    m_strFilePath = lpszPathName;
    return COleSheetDoc::OnOpenDocument(lpszPathName);
}

CFile* CSignDoc::GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    if (CFile* handed = m_pHandedFile) {
        m_pHandedFile = nullptr;
        return handed;
    }
    return COleSheetDoc::GetFile(lpszFileName, nOpenFlags, pError);
}

BOOL CSignDoc::OnSaveDocument(LPCSTR lpszPathName) {
    m_strFilePath = lpszPathName;
    if (DocFileExtension(lpszPathName) == "WTP") SignDocSettings::WMPPath = FolderOf(m_strFilePath);
    return COleSheetDoc::OnSaveDocument(lpszPathName);
}

void CSignDoc::OnCloseDocument() {
    const CString autoSave = m_strAutoSavePath;
    m_strAutoSavePath.Empty();
    COleSheetDoc::OnCloseDocument();
    if (!autoSave.IsEmpty()) std::remove(autoSave);
}

// ---- extent and redraws ----

floatBBox& CSignDoc::GetExtent(floatBBox& out) {
    COleSheetDoc::GetExtent(out);
    if (m_sheet.GetSize() > 0) out += m_sheet.m_bbExtent;
    return out;
}

void CSignDoc::FullRedrawIfExtentChanged(const floatBBox& before) {
    floatBBox after;
    GetExtent(after);
    if (std::memcmp(&before, &after, sizeof before) != 0) UpdateAllViews(nullptr);
}

void CSignDoc::AddObject(CSignObj* obj, BOOL select, int index) {
    if (obj == nullptr) return;
    floatBBox before;
    GetExtent(before);
    if (select) {
        m_sheet.UnselectAll();
        obj->Select();
    }
    obj->RefreshBBox();
    InvalidateUndoBox(obj->GetBBox());
    if (index < 0 || index > m_sheet.GetSize())
        m_sheet.Add(obj);
    else
        m_sheet.InsertAt(index, obj);
    m_sheet.CountLayerObjects();
    m_sheet.RefreshBounds(1);
    m_sheet.UpdateSelection();
    PostChangedToViews();
    floatBBox after;
    GetExtent(after);
    if (std::memcmp(&before, &after, sizeof before) != 0)
        UpdateAllViews(nullptr);
    else
        UpdateSelectedObjects();
}

void CSignDoc::DeleteSelection() {
    floatBBox before;
    GetExtent(before);
    UpdateSelectedObjects();
    m_sheet.DeleteSelected();
    m_sheet.CountLayerObjects();
    m_sheet.UpdateSelection();
    m_sheet.RefreshBounds(1);
    FullRedrawIfExtentChanged(before);
    PostChangedToViews();
}

void CSignDoc::RecalcBounds() {
    floatBBox before;
    GetExtent(before);
    m_sheet.CountLayerObjects();
    m_sheet.RefreshBounds(1);
    m_sheet.UpdateSelection();
    PostChangedToViews();
    FullRedrawIfExtentChanged(before);
}

int CSignDoc::UpdateSelectedObjects() {
    int count = 0;
    for (int i = 0; i < m_sheet.GetSize(); ++i) {
        CSignObj* obj = m_sheet.GetObj(i);
        if (obj == nullptr || !obj->m_bSelected) continue;
        const floatBBox* box = obj->GetBBox();
        if (box == nullptr) continue;
        InvalidateUndoBox(box);
        ++count;
        if (SignDocSettings::Detail == 1)
            if (auto* clipped = dynamic_cast<CClippedObj*>(obj))
                InvalidateUndoBox(&clipped->m_bbClip);
    }
    return count;
}

void CSignDoc::RedrawLayer(signed char layer) {
    CObjIterator it(&m_sheet);
    for (it.First(); CSignObj* obj = it.Current(); it.Next())
        if (obj->GetLayer() == layer)
            if (const floatBBox* box = obj->GetBBox()) InvalidateUndoBox(box);
}

void CSignDoc::Undo() {
    floatBBox before;
    GetExtent(before);
    UndoList::Undo();
    m_sheet.RefreshBounds(1);
    FullRedrawIfExtentChanged(before);
    m_sheet.CountLayerObjects();
    m_sheet.UpdateSelection();
    PostChangedToViews();
}

void CSignDoc::Redo() {
    floatBBox before;
    GetExtent(before);
    UndoList::Redo();
    m_sheet.RefreshBounds(1);
    FullRedrawIfExtentChanged(before);
    m_sheet.CountLayerObjects();
    m_sheet.UpdateSelection();
    PostChangedToViews();
}

// ---- undo's side ----

DWORD CSignDoc::GetUndoStateHash() {
    DWORD h = 0;
    HashBytes(&m_bFontEditing, sizeof m_bFontEditing, &h);
    HashBytes(&SheetSettings::DocWidth, sizeof SheetSettings::DocWidth, &h);
    HashBytes(&SheetSettings::DocHeight, sizeof SheetSettings::DocHeight, &h);
    HashBytes(&m_nFontEditValue, sizeof m_nFontEditValue, &h);
    HashBytes(m_glyphCodes, sizeof m_glyphCodes, &h);
    HashBytes(m_glyphObjA, sizeof m_glyphObjA, &h);
    HashBytes(m_glyphObjB, sizeof m_glyphObjB, &h);
    HashBytes(&m_nCurrentTextSerial, sizeof m_nCurrentTextSerial, &h);
    const DWORD count = m_guideLines.Filled();
    HashBytes(&count, sizeof count, &h);
    if (count) HashBytes(m_guideLines.first(), count * sizeof(GuideLine), &h);
    return h;
}

void CSignDoc::InvalidateUndoBox(const floatBBox* pBox) {
    if (pBox == nullptr) {
        UpdateAllViews(nullptr);
        return;
    }
    floatBBox box = *pBox;
    UpdateAllViews(nullptr, 0, reinterpret_cast<CObject*>(&box));
}

void CSignDoc::SerializeDocState(CArchive& ar) {
    // The font-editing switch and the page size it brings, then the font-editing block and
    // the guide lines.
    if (ar.IsStoring()) {
        ar << m_bFontEditing << SheetSettings::DocWidth << SheetSettings::DocHeight;
        ar << m_nFontEditValue;
        for (WORD code : m_glyphCodes)
            ar << code;
        for (DWORD s : m_glyphObjA)
            ar << s;
        for (DWORD s : m_glyphObjB)
            ar << s;
        ar << m_nCurrentTextSerial;
        SerializeGuideLines(ar);
        return;
    }
    float width = 0, height = 0;
    ar >> m_bFontEditing >> width >> height;
    if (width != SheetSettings::DocWidth || height != SheetSettings::DocHeight) {
        SheetSettings::DocWidth = width;
        SheetSettings::DocHeight = height;
        InvalidateUndoBox(nullptr);
    }
    ar >> m_nFontEditValue;
    for (WORD& code : m_glyphCodes)
        ar >> code;
    for (DWORD& s : m_glyphObjA)
        ar >> s;
    for (DWORD& s : m_glyphObjB)
        ar >> s;
    ar >> m_nCurrentTextSerial;
    DWORD count = 0;
    ar >> count;
    if (count > 0xFFFE)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    ar.RequireBytes(std::uint64_t(count) * 16);
    if (count == m_guideLines.Filled()) {
        bool differs = false;
        for (DWORD i = 0; i < count; ++i) {
            GuideLine g;
            ar >> g.x >> g.y >> g.angle;
            GuideLine& old = m_guideLines[i];
            if (std::memcmp(&old, &g, sizeof g) != 0) {
                old = g;
                differs = true;
            }
        }
        if (differs) InvalidateUndoBox(nullptr);
        return;
    }
    m_guideLines.Destroy();
    for (DWORD i = 0; i < count; ++i) {
        GuideLine g;
        ar >> g.x >> g.y >> g.angle;
        *m_guideLines.Append() = g;
    }
    InvalidateUndoBox(nullptr);
}
