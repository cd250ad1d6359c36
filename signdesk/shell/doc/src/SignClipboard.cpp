#include "doc/SignClipboard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include <mfc/CArchive.h>
#include <mfc/CClientDC.h>
#include <mfc/CFile.h>
#include <mfc/CMemFile.h>
#include <mfc/CMetaFileDC.h>
#include <mfc/COleDataObject.h>
#include <mfc/COlePasteSpecialDialog.h>
#include <mfc/CWaitCursor.h>
#include <mfc/CWinThread.h>
#include <mfc/CWnd.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/ColorWPFWriter.h>
#include <pathkit/InStrStream.h>
#include <pathkit/OutMemStream.h>
#include <rasterkit/CDibDC.h>
#include <rasterkit/DepthReduction.h>
#include <shared/SharedObjRef.h>
#include <win32/clipboard.h>
#include <win32/kernel.h>

#include "doc/CSignDoc.h"
#include "doc/SignDocSettings.h"

namespace {

// Registered before any window exists.
const UINT nativeFormat = RegisterClipboardFormatA("Tarvel MERIDO data");
const UINT wpfFormat = RegisterClipboardFormatA("WPF");

constexpr int MaxBitmapSide = 3000;

// Keeps the clipboard open for a scope.
struct OpenedClipboard {
    explicit OpenedClipboard(HWND owner) : open(::OpenClipboard(owner)) {}
    ~OpenedClipboard() {
        if (open) ::CloseClipboard();
    }
    BOOL open;
};

HGLOBAL ToGlobal(const void* data, std::size_t size) {
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size ? size : 1);
    if (mem == nullptr) return nullptr;
    if (void* p = ::GlobalLock(mem)) {
        if (size) std::memcpy(p, data, size);
        ::GlobalUnlock(mem);
        return mem;
    }
    ::GlobalFree(mem);
    return nullptr;
}

HGLOBAL NativeBlock(CSign& sheet) {
    CObArray selected;
    for (int i = 0; i < sheet.GetSize(); ++i)
        if (CSignObj* obj = sheet.GetObj(i); obj && obj->m_bSelected) selected.Add(obj);
    CMemFile file(4096);
    {
        CSharedObjTableScope scope;
        CArchive ar(&file, CArchive::store);
        selected.Serialize(ar);
        ar.Close();
    }
    selected.RemoveAll();
    const auto size = std::size_t(file.GetLength());
    std::unique_ptr<BYTE[]> bytes(new BYTE[size ? size : 1]);
    file.SeekToBegin();
    if (size) file.Read(bytes.get(), UINT(size));
    return ToGlobal(bytes.get(), size);
}

HGLOBAL WpfBlock(CSign& sheet) {
    OutMemStream out(4096);
    out << Format("%g");
    ColorWPFWriter writer(out, 0.0f);
    sheet.WriteColorPaths(writer, floatTMatrix(), 1, 2);
    out.Put('\0');
    return out.Detach();
}

HGLOBAL BitmapBlock(CSign& sheet) {
    const floatBBox& box = sheet.m_bbSelection;
    int w = 0, h = 0;
    CopyBitmapSize(box, SignDocSettings::DPI, w, h);
    CDibDC dc(w, h);
    if (!dc.IsValid()) return nullptr;
    const double sx = w / std::max(1e-6, double(box.right) - box.left);
    const double sy = h / std::max(1e-6, double(box.top) - box.bottom);
    const floatTMatrix m(float(sx), 0, 0, float(-sy), float(-box.left * sx), float(box.top * sy));
    sheet.Draw(&dc, m, 1);
    const int bits = ClipboardBitmapDepth(SignDocSettings::ColourDepth);
    if (bits == 24) return static_cast<HGLOBAL>(dc.m_DIB.ConvertToDIB());
    return static_cast<HGLOBAL>(ReduceColourDepth(dc.m_DIB, bits));
}

// The selection as a Windows metafile in a picture record, 100 units a millimetre up to the
// size cap.
HGLOBAL MetafilePictBlock(CSign& sheet) {
    const floatBBox& box = sheet.m_bbSelection;
    const float s = MetafileScaleFactor(&box);
    const double w = double(box.right) - box.left, h = double(box.top) - box.bottom;
    const LONG cx = LONG(std::lround(w * s * 100)), cy = LONG(std::lround(h * s * 100));
    CMetaFileDC dc;
    if (!dc.Create(nullptr)) return nullptr;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(int(cx), int(cy));
    dc.SetWindowOrg(0, 0);
    sheet.DrawGdiPaths(&dc, 1, 0, s);
    HMETAFILE wmf = dc.Close();
    if (wmf == nullptr) return nullptr;
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    auto* pict = mem ? static_cast<METAFILEPICT*>(::GlobalLock(mem)) : nullptr;
    if (pict == nullptr) {
        if (mem) ::GlobalFree(mem);
        ::DeleteMetaFile(wmf);
        return nullptr;
    }
    *pict = METAFILEPICT{MM_ANISOTROPIC, cx, cy, wmf};
    ::GlobalUnlock(mem);
    return mem;
}

// The selection as an enhanced metafile, recorded against the main window's client area when
// there is one.
HENHMETAFILE EnhMetafileBlock(CSign& sheet) {
    std::unique_ptr<CClientDC> reference;
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd())
        reference = std::make_unique<CClientDC>(main);
    CMetaFileDC dc;
    float s = 1.0f;
    if (!CreateObjectsMetafile(&dc, reference.get(), nullptr, &sheet.m_bbSelection, &s))
        return nullptr;
    sheet.DrawGdiPaths(&dc, 1, 1, s);
    return dc.CloseEnhanced();
}

// Reads the own format's objects and appends them, selected.
int PasteNative(CSignDoc& doc, COleDataObject& data) {
    std::unique_ptr<CFile> file(data.GetFileData(CLIPFORMAT(SignClipboardFormats::Native())));
    if (!file) return 0;
    // An owning list: a damaged block leaves nothing behind.
    CSign read;
    {
        CSharedObjTableScope scope;
        CArchive ar(file.get(), CArchive::load);
        ar.m_pDocument = &doc;
        read.Serialize(ar);
        ar.Close();
    }
    int added = 0;
    for (int i = 0; i < read.GetSize(); ++i) {
        CSignObj* obj = read.GetObj(i);
        if (obj == nullptr) continue;
        read.SetAt(i, nullptr);
        obj->Select();
        obj->RefreshBBox();
        if (const floatBBox* box = obj->GetBBox()) doc.InvalidateUndoBox(box);
        doc.m_sheet.Add(obj);
        ++added;
    }
    read.RemoveAll();
    return added;
}

int PasteWpf(CSignDoc& doc) {
    OpenedClipboard clip(nullptr);
    if (!clip.open) return 0;
    HANDLE mem = ::GetClipboardData(SignClipboardFormats::Wpf());
    if (mem == nullptr) return 0;
    const SIZE_T size = ::GlobalSize(mem);
    const char* text = static_cast<const char*>(::GlobalLock(mem));
    if (text == nullptr) return 0;
    InStrStream in(text, long(size));
    ColorWPFReader reader(in, 0.0f);
    const int before = doc.m_sheet.GetSize();
    ReadWPFObjects(reader, doc.m_sheet);
    ::GlobalUnlock(mem);
    for (int i = before; i < doc.m_sheet.GetSize(); ++i)
        doc.m_sheet.GetObj(i)->Select();
    return doc.m_sheet.GetSize() - before;
}

int PastePicture(CSignDoc& doc, UINT format, const PictureFromClipboard& picture) {
    CSignObj* obj = picture(format);
    if (obj == nullptr) return 0;
    obj->Select();
    obj->RefreshBBox();
    if (const floatBBox* box = obj->GetBBox()) doc.InvalidateUndoBox(box);
    doc.m_sheet.Add(obj);
    return 1;
}

} // namespace

UINT SignClipboardFormats::Native() {
    return nativeFormat;
}

UINT SignClipboardFormats::Wpf() {
    return wpfFormat;
}

int ClipboardBitmapDepth(int index) {
    static constexpr int Depths[4] = {1, 4, 8, 24};
    return index >= 0 && index < 4 ? Depths[index] : 24;
}

void CopyBitmapSize(const floatBBox& box, int dpi, int& width, int& height) {
    const double w = std::max(0.0, double(box.right) - box.left);
    const double h = std::max(0.0, double(box.top) - box.bottom);
    double p = (dpi > 0 ? dpi : 300) / 25.4;
    const double side = std::max(w, h);
    if (side * p > MaxBitmapSide) p = MaxBitmapSide / side;
    // A side of zero length still gets one pixel.
    width = std::clamp(int(std::lround(w * p)), 1, MaxBitmapSide);
    height = std::clamp(int(std::lround(h * p)), 1, MaxBitmapSide);
}

BOOL CopySelection(CSignDoc& doc, HWND owner) {
    CWaitCursor wait;
    OpenedClipboard clip(owner);
    if (!clip.open) return FALSE;
    ::EmptyClipboard();
    CSign& sheet = doc.m_sheet;
    if (HGLOBAL mem = NativeBlock(sheet)) ::SetClipboardData(SignClipboardFormats::Native(), mem);
    if (SignDocSettings::EnableWPF)
        if (HGLOBAL mem = WpfBlock(sheet)) ::SetClipboardData(SignClipboardFormats::Wpf(), mem);
    if (SignDocSettings::EnableWMF)
        if (HGLOBAL mem = MetafilePictBlock(sheet)) ::SetClipboardData(CF_METAFILEPICT, mem);
    if (SignDocSettings::EnableEMF)
        if (HENHMETAFILE emf = EnhMetafileBlock(sheet)) ::SetClipboardData(CF_ENHMETAFILE, emf);
    if (SignDocSettings::EnableDIB)
        if (HGLOBAL mem = BitmapBlock(sheet)) ::SetClipboardData(CF_DIB, mem);
    return TRUE;
}

void CutSelection(CSignDoc& doc, HWND owner) {
    CopySelection(doc, owner);
    doc.DeleteSelection();
    doc.RecordStep("Cut");
}

BOOL CanPaste(bool pictures) {
    return ::IsClipboardFormatAvailable(SignClipboardFormats::Native()) ||
           ::IsClipboardFormatAvailable(SignClipboardFormats::Wpf()) ||
           (pictures &&
            (::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP)));
}

BOOL PasteFormat(CSignDoc& doc, UINT format, const PictureFromClipboard& picture) {
    CWaitCursor wait;
    COleDataObject data;
    data.AttachClipboard();
    doc.UpdateSelectedObjects();
    doc.m_sheet.UnselectAll();
    doc.m_sheet.m_nSelected = 0;
    if (format == 0) {
        if (data.IsDataAvailable(CLIPFORMAT(SignClipboardFormats::Native())))
            format = SignClipboardFormats::Native();
        else if (data.IsDataAvailable(CLIPFORMAT(SignClipboardFormats::Wpf())))
            format = SignClipboardFormats::Wpf();
        else if (picture && data.IsDataAvailable(CF_DIB))
            format = CF_DIB;
        else if (picture && data.IsDataAvailable(CF_BITMAP))
            format = CF_BITMAP;
    }
    floatBBox before;
    doc.GetExtent(before);
    int added = 0;
    if (format == SignClipboardFormats::Native() && format != 0)
        added = PasteNative(doc, data);
    else if (format == SignClipboardFormats::Wpf() && format != 0)
        added = PasteWpf(doc);
    else if ((format == CF_DIB || format == CF_BITMAP) && picture)
        added = PastePicture(doc, format, picture);
    // Embedded objects need an object kind of their own: nothing is added.
    doc.m_sheet.CountLayerObjects();
    doc.m_sheet.RefreshBounds(1);
    doc.m_sheet.UpdateSelection();
    floatBBox after;
    doc.GetExtent(after);
    if (std::memcmp(&before, &after, sizeof before) != 0) doc.UpdateAllViews(nullptr);
    doc.PostChangedToViews();
    doc.UpdateSelectedObjects();
    if (added) doc.RecordStep("Paste");
    return added > 0;
}

BOOL PasteSpecial(CSignDoc& doc, CWnd* pParent) {
    COlePasteSpecialDialog dialog(PSF_SELECTPASTE, nullptr, pParent);
    dialog.AddFormat(SignClipboardFormats::Native(), TYMED_HGLOBAL, IDS_PASTE_NATIVE, FALSE, FALSE);
    dialog.AddFormat(SignClipboardFormats::Wpf(), TYMED_HGLOBAL, IDS_PASTE_WPF, FALSE, FALSE);
    dialog.AddStandardFormats(TRUE);
    dialog.AddFormat(CF_ENHMETAFILE, TYMED_ENHMF, IDS_PASTE_EMF, FALSE, FALSE);
    if (dialog.DoModal() != IDOK || dialog.GetSelectedFormat() == 0) return FALSE;
    return PasteFormat(doc, dialog.GetSelectedFormat());
}
