// The design's two native layouts, read and written by one Serialize.

#include <cstring>

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <model/CObjTreeIterator.h>
#include <shared/SharedObjRef.h>

#include "doc/CSignDoc.h"
#include "doc/DocumentPreview.h"
#include "doc/SignDocSettings.h"

namespace {

constexpr WORD WtpVersion = 2;
constexpr WORD WmpVersion = 6;
constexpr WORD PreviewFlag = 1000;
constexpr DWORD RecordLimit = 0xFFFE;

// Keeps stored serial numbers while a design loads, also when the load fails.
struct KeepSerialsWhileLoading {
    explicit KeepSerialsWhileLoading(bool on) : on(on) {
        if (on) CSignObj::SetKeepSerials(TRUE);
    }
    ~KeepSerialsWhileLoading() {
        if (on) CSignObj::SetKeepSerials(FALSE);
    }
    bool on;
};

// A count of records of recordSize bytes, bounded by the array limit and the bytes left.
DWORD ReadRecordCount(CArchive& ar, unsigned recordSize) {
    DWORD count = 0;
    ar >> count;
    if (count > RecordLimit)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    ar.RequireBytes(std::uint64_t(count) * recordSize);
    return count;
}

// The serial of the object at a pre-order position, 0 for -1 or a position not found.
DWORD SerialAtOrdinal(CSign& sheet, DWORD ordinal) {
    if (ordinal == 0xFFFFFFFFu) return 0;
    CObjTreeIterator it(&sheet);
    for (it.First(); !it.IsDone(); it.Next())
        if (DWORD(it.GetOrdinal()) == ordinal) return it.Current() ? it.Current()->m_nSerial : 0;
    return 0;
}

DWORD OrdinalOfSerial(CSign& sheet, DWORD serial) {
    if (serial == 0) return 0xFFFFFFFFu;
    const int ordinal = sheet.GetObjectOrdinal(serial);
    return ordinal < 0 ? 0xFFFFFFFFu : DWORD(ordinal);
}

} // namespace

void CSignDoc::Serialize(CArchive& ar) {
    CSharedObjTableScope scope;
    KeepSerialsWhileLoading keep(ar.IsLoading());
    // Every name but .wmp gets the .wtp layout, so that no save writes an empty file.
    if (DocFileExtension(m_strFilePath) == "WMP")
        SerializeWmp(ar);
    else
        SerializeWtp(ar);
}

WORD CSignDoc::ReadVersion(CArchive& ar) {
    WORD version = 0;
    ar >> version;
    if (version == PreviewFlag)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    if (version > PreviewFlag) {
        ar.Flush();
        ReadPreviewBlock(ar);
        version = WORD(version - PreviewFlag);
    }
    return version;
}

void CSignDoc::WritePreview(CArchive& ar, CSign& sheet, BOOL whiteFill) {
    std::vector<std::uint8_t> png;
    if (SignDocSettings::ShowFilePreview && sheet.GetSize() > 0) {
        sheet.RefreshBounds(1);
        png = MakePreviewPng(sheet, sheet.m_bbExtent, whiteFill);
    }
    const WORD version = whiteFill ? WmpVersion : WtpVersion;
    if (png.empty()) {
        ar << version;
        return;
    }
    ar << WORD(version + PreviewFlag);
    ar.Write(PreviewIdentifier, 16);
    ar << DWORD(png.size());
    ar.Write(png.data(), UINT(png.size()));
}

void CSignDoc::SerializeFontBlock(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_strFontName;
        for (int i = 0; i < 10; ++i)
            ar << m_glyphCodes[i] << OrdinalOfSerial(m_sheet, m_glyphObjA[i])
               << OrdinalOfSerial(m_sheet, m_glyphObjB[i]);
        return;
    }
    ar >> m_strFontName;
    for (int i = 0; i < 10; ++i) {
        DWORD a = 0, b = 0;
        ar >> m_glyphCodes[i] >> a >> b;
        m_glyphObjA[i] = SerialAtOrdinal(m_sheet, a);
        m_glyphObjB[i] = SerialAtOrdinal(m_sheet, b);
    }
}

void CSignDoc::SerializeGuideLines(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << DWORD(m_guideLines.Filled());
        for (const GuideLine& g : m_guideLines)
            ar << g.x << g.y << g.angle;
        return;
    }
    const DWORD count = ReadRecordCount(ar, 16);
    for (DWORD i = 0; i < count; ++i) {
        GuideLine g;
        ar >> g.x >> g.y >> g.angle;
        *m_guideLines.Append() = g;
    }
}

void CSignDoc::SerializeWtp(CArchive& ar) {
    if (ar.IsStoring()) {
        WritePreview(ar, m_bHasAuxSheet ? m_auxSheet : m_sheet, FALSE);
        ar << m_bHasAuxSheet;
        COleSheetDoc::Serialize(ar);
        if (m_bHasAuxSheet) {
            m_auxSheet.Serialize(ar);
            ar << DWORD(m_idPairs.Filled());
            for (const IDPair& p : m_idPairs)
                ar << p.first << p.second;
        }
        m_sheet.Serialize(ar);
        Palette().SerializeColors(ar);
        ar << m_nReserved;
        RefreshPrinterValues();
        ar << m_nPrintOrientation << m_nPaperSize;
        for (DWORD v : m_outputLayout)
            ar << v;
        ar << m_bFontEditing;
        if (m_bFontEditing) SerializeFontBlock(ar);
        SerializeGuideLines(ar);
        ar << m_bHasPlotLayout;
        for (DWORD v : m_plotLayout)
            ar << v;
        return;
    }
    const WORD version = ReadVersion(ar);
    if (version > WtpVersion)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_bHasAuxSheet;
    COleSheetDoc::Serialize(ar);
    if (m_bHasAuxSheet) {
        m_auxSheet.DeleteAll();
        m_auxSheet.Serialize(ar);
        m_idPairs.Destroy();
        const DWORD count = ReadRecordCount(ar, 8);
        for (DWORD i = 0; i < count; ++i) {
            IDPair p;
            ar >> p.first >> p.second;
            *m_idPairs.Append() = p;
        }
    }
    m_sheet.Serialize(ar);
    Palette().SerializeColors(ar);
    ar >> m_nReserved >> m_nPrintOrientation >> m_nPaperSize;
    for (DWORD& v : m_outputLayout)
        ar >> v;
    m_bFontEditing = 0;
    m_bHasPlotLayout = 0;
    ar >> m_bFontEditing;
    if (m_bFontEditing) SerializeFontBlock(ar);
    SerializeGuideLines(ar);
    if (version >= 2) {
        ar >> m_bHasPlotLayout;
        for (DWORD& v : m_plotLayout)
            ar >> v;
    }
}

void CSignDoc::SerializeWmp(CArchive& ar) {
    if (ar.IsStoring()) {
        m_sheet.Serialize(ar);
        WritePreview(ar, m_sheet, TRUE);
        Palette().SerializeColors(ar);
        ar << m_nReserved;
        RefreshPrinterValues();
        ar << m_nPrintOrientation << m_nPaperSize;
        for (DWORD v : m_outputLayout)
            ar << v;
        ar << m_bFontEditing;
        if (m_bFontEditing) SerializeFontBlock(ar);
        SerializeGuideLines(ar);
        COleSheetDoc::Serialize(ar);
        return;
    }
    m_sheet.Serialize(ar);
    const WORD version = ReadVersion(ar);
    if (version > WmpVersion)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    Palette().SerializeColors(ar);
    if (version >= 3) {
        ar >> m_nReserved >> m_nPrintOrientation >> m_nPaperSize;
        for (int i = 0; i < 9; ++i)
            ar >> m_outputLayout[i];
    }
    if (version >= 4) ar >> m_outputLayout[9];
    m_bFontEditing = 0;
    m_bHasPlotLayout = 0;
    if (version >= 5) {
        ar >> m_bFontEditing;
        if (m_bFontEditing) SerializeFontBlock(ar);
    }
    if (version >= 6) SerializeGuideLines(ar);
    COleSheetDoc::Serialize(ar);
}
