#include "pathkit/AIWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <win32/module.h>

#include "pathkit/BBox.h"
#include "pathkit/OutStream.h"
#include "pathkit/Path.h"
#include "pathkit/SubPath.h"

namespace {

// Whole points for the bounding box comment; values that are no number or out of range are
// clamped, never converted as they are.
long CeilPoints(double v) {
    if (std::isnan(v)) return 0;
    return long(std::clamp(std::ceil(v), -2147483647.0, 2147483647.0));
}

std::string ProgramFolder() {
    char buffer[4096];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return std::string();
    std::string path(buffer, n);
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

AIWriter::AIWriter(OutStream& out, float factor) : out_(out), factor_(factor) {}

void AIWriter::WriteCoord(float v) {
    out_ << double(factor_) * PointsPerMM * double(v) << ' ';
}

void AIWriter::WritePrologFile() {
    std::string folder = ProgramFolder();
    if (folder.empty()) return;
    std::FILE* file = std::fopen((folder + "/" + PrologFile).c_str(), "rb");
    if (!file) return;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        out_.Write(buffer, int(n));
    std::fclose(file);
}

void AIWriter::WriteHeader(const floatBBox& box) {
    const double scale = double(factor_) * PointsPerMM;
    out_ << "%!PS-Adobe-3.0 " << EndLine();
    out_ << "%%Creator: Adobe Illustrator(TM) 3.0.1" << EndLine();
    out_ << "%%Title: (Draw Export)" << EndLine();
    out_ << "%%CreationDate:(Unknown)" << EndLine();
    out_ << "%%BoundingBox:" << CeilPoints(scale * box.left) << ' '
         << CeilPoints(scale * box.bottom) << ' ' << CeilPoints(scale * box.right) << ' '
         << CeilPoints(scale * box.top) << EndLine();
    WritePrologFile();
}

void AIWriter::WriteColour(long colour) {
    if (colour == 0) {
        out_ << "0 0 0 1 ";
        return;
    }
    double c = 1 - double(colour & 0xFF) / 255;
    double m = 1 - double((colour >> 8) & 0xFF) / 255;
    double y = 1 - double((colour >> 16) & 0xFF) / 255;
    double k = std::min({c, m, y});
    for (double v : {c - k, m - k, y - k, k})
        out_ << std::max(v, 0.0) << ' ';
}

void AIWriter::SetFillColor(long colour) {
    WriteColour(colour);
    out_ << 'k' << EndLine();
}

void AIWriter::SetStrokeColor(long colour) {
    WriteColour(colour);
    out_ << 'K' << EndLine();
}

void AIWriter::SetLineWidth(float width) {
    out_ << double(width) * 2.834645669291339 << " w" << EndLine();
}

AIWriter& AIWriter::operator<<(const SubPath& sp) {
    const PathMemberEDynArr& members = sp.members;
    std::uint16_t n = members.Filled();
    if (!n) return *this;
    WriteCoord(members[0].start.x);
    WriteCoord(members[0].start.y);
    out_ << 'm' << EndLine();
    for (std::uint16_t i = 0; i < n; ++i) {
        const PathMember& pm = members[i];
        // The letter's case tells whether the node at the member's end is smooth.
        bool smooth = members[std::uint16_t((i + 1) % n)].IsSmooth();
        char letter;
        if (pm.IsCurve()) {
            WriteCoord(pm.ctrl1.x);
            WriteCoord(pm.ctrl1.y);
            WriteCoord(pm.ctrl2.x);
            WriteCoord(pm.ctrl2.y);
            letter = 'c';
        } else {
            letter = 'l';
        }
        WriteCoord(pm.end.x);
        WriteCoord(pm.end.y);
        out_ << char(smooth ? letter : letter - 'a' + 'A') << EndLine();
    }
    return *this;
}

AIWriter& AIWriter::operator<<(const Path& path) {
    for (const SubPath& sp : path.subPaths)
        *this << sp;
    return *this;
}

void AIWriter::Fill(int f) {
    out_ << (f ? "f" : "b") << EndLine();
}

void AIWriter::Stroke() {
    out_ << "S" << EndLine();
}

void AIWriter::WriteEndSequence() {
    static const char* const lines[] = {
        "%%PageTrailer",
        "gsave annotatepage grestore showpage",
        "%%Trailer",
        "Adobe_IllustratorA_AI3 /terminate get exec",
        "Adobe_customcolor /terminate get exec",
        "Adobe_cshow /terminate get exec",
        "Adobe_cmykcolor /terminate get exec",
        "Adobe_packedarray /terminate get exec",
        "%%EOF",
    };
    for (const char* line : lines)
        out_ << line << EndLine();
}
