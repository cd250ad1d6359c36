#include "pathkit/ColorWPFWriter.h"

#include "pathkit/ColorPath.h"
#include "pathkit/OutStream.h"

ColorWPFWriter::ColorWPFWriter(OutStream& out, float grid) : WPFWriter(out, grid) {}

const char* ColorWPFWriter::SetAttr(const char* text) {
    int n = 0;
    if (text)
        for (; n < MaxAttrLength && text[n]; ++n)
            attr_[n] = text[n];
    attr_[n] = 0;
    return attr_;
}

void ColorWPFWriter::WriteRGB(unsigned long colour) {
    out << 'R';
    WriteDecimal(long(colour & 0xFF));
    out << 'G';
    WriteDecimal(long((colour >> 8) & 0xFF));
    out << 'B';
    WriteDecimal(long((colour >> 16) & 0xFF));
}

void ColorWPFWriter::WriteHeader(Path& path) {
    const ColorPath* cp = ColorPathOf(path);
    std::uint32_t colour = cp ? cp->colour : ColorPath::NoColour;
    int layer = cp ? cp->layer : 1;
    unsigned flags = cp ? cp->pathFlags : 0;

    out << "Path Layer=";
    WriteDecimal(layer);
    out << " Color=";
    WriteRGB(colour);
    if (flags & CP_LINES_ONLY) out << " LinesOnly";
    if (flags & CP_SHEET_BORDER) out << " SheetBorder";
    if (frameColor != -1 && frameWidth > 0) {
        out << " FrameColor=";
        WriteRGB(unsigned(frameColor));
        out << " FrameWidth=";
        WriteNumber(frameWidth);
    }
    out << attr_ << EndLine();
    attr_[0] = 0;
}
