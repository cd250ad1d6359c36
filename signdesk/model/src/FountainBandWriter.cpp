#include "model/FountainBandWriter.h"

#include "pathkit/AIWriter.h"
#include "pathkit/ColorWPFWriter.h"
#include "pathkit/OutStream.h"
#include "pathkit/PathCombination.h"
#include "pathkit/StreamArgs.h"

FountainBandWriter::FountainBandWriter(const ColorPath& path, const floatTMatrix& m,
                                       AIWriter& writer)
    : m_path(path), m_matrix(m), m_pAI(&writer) {}

FountainBandWriter::FountainBandWriter(const ColorPath& path, const floatTMatrix& m,
                                       ColorWPFWriter& writer)
    : m_path(path), m_matrix(m), m_pWPF(&writer) {}

void FountainBandWriter::Write(const Gradient& fill, const floatBBox& area, float step) {
    Gradient::operator=(fill);
    Render(m_matrix, area, step);
}

void FountainBandWriter::PaintBand(COLORREF color, Path& band, const floatTMatrix& toDevice) {
    Path shape(band);
    shape.Transform(toDevice);
    shape.Invalidate(SP_ALL_INVALID);
    Path object(m_path);
    ColorPath piece;
    Path cut(Path::ValidAccuracy(m_path.accuracy));
    SafeSection(shape, object, cut);
    cut.Prepare();
    if (m_pWPF != nullptr) {
        piece << cut;
        piece.colour = color;
        piece.layer = m_path.layer;
        piece.pathFlags = m_path.pathFlags;
        piece.RefreshBBoxes();
        m_pWPF->Write(piece);
        return;
    }
    OutStream& out = m_pAI->GetStream();
    out << "*u" << EndLine();
    m_pAI->SetFillColor(long(color));
    for (const SubPath& sp : cut.subPaths) {
        if (sp.members.Filled() == 0 || !sp.IsClosed()) continue;
        *m_pAI << sp;
        m_pAI->Fill(1);
    }
    out << "*U" << EndLine();
}
