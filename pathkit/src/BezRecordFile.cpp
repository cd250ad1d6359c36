#include "pathkit/BezRecordFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "pathkit/FileStreams.h"
#include "pathkit/OutStream.h"
#include "pathkit/Path.h"

namespace {

// Records read or written per call of the C library.
constexpr std::size_t RecordsPerBlock = 1024;

float FloatAt(const unsigned char* b) {
    std::uint32_t bits = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                         std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void PutFloat(unsigned char* b, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(bits >> (8 * i));
}

bool Usable(float v) {
    return std::isfinite(v) && std::fabs(double(v)) <= BezRecordReader::MaxCoord;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

BezRecordWriter::BezRecordWriter(OutStream& out, float xFactor, float yFactor)
    : out_(out), xFactor_(xFactor), yFactor_(yFactor),
      block_(new unsigned char[BezRecordSize * RecordsPerBlock]) {}

BezRecordWriter::~BezRecordWriter() {
    Flush();
    delete[] block_;
}

void BezRecordWriter::Put(PathCmd cmd, float x, float y) {
    unsigned char* r = block_ + used_;
    r[0] = static_cast<unsigned char>(cmd);
    PutFloat(r + 1, x * xFactor_);
    PutFloat(r + 5, y * yFactor_);
    used_ += BezRecordSize;
    ++count_;
    if (used_ == BezRecordSize * RecordsPerBlock) Flush();
}

int BezRecordWriter::Flush() {
    if (used_ && !failed_ && out_.Write(block_, int(used_)) != int(used_)) failed_ = true;
    used_ = 0;
    return failed_ ? -1 : 0;
}

BezRecordReader::BezRecordReader(Path& path, float xFactor, float yFactor)
    : path_(path), xFactor_(xFactor), yFactor_(yFactor), held_(0) {}

bool BezRecordReader::Record(const unsigned char* record) {
    unsigned cmd = record[0];
    if (cmd == BezEndCommand) return false;
    if (cmd & 0x4) return true;
    float x = FloatAt(record + 1) * xFactor_;
    float y = FloatAt(record + 5) * yFactor_;
    if (!Usable(x) || !Usable(y)) {
        held_ = 0;
        ++dropped_;
        return true;
    }
    switch (cmd & 0x3) {
    case PC_MOVETO:
    case PC_LINETO:
        held_ = 0;
        path_.Append(PathCmd(cmd & 0x3), x, y);
        break;
    case PC_CURVETO:
        ctrl1_ = floatPoint(x, y);
        held_ = 1;
        break;
    default: // PC_CURVEPOINT
        if (held_ == 1) {
            ctrl2_ = floatPoint(x, y);
            held_ = 2;
        } else if (held_ == 2) {
            path_.Append(PC_CURVETO, ctrl1_.x, ctrl1_.y);
            path_.Append(PC_CURVEPOINT, ctrl2_.x, ctrl2_.y);
            path_.Append(PC_CURVEPOINT, x, y);
            held_ = 0;
        }
        break;
    }
    return true;
}

void BezRecordReader::Finish() {
    held_ = 0;
    path_.ClosePath();
}

unsigned long ReadBezRecords(const unsigned char* data, std::size_t size, Path& path,
                             float xFactor, float yFactor) {
    BezRecordReader reader(path, xFactor, yFactor);
    for (std::size_t at = 0; data && size - at >= BezRecordSize; at += BezRecordSize)
        if (!reader.Record(data + at)) break;
    reader.Finish();
    return reader.Dropped();
}

unsigned long ReadBezFile(const char* fileName, Path& path, float xFactor, float yFactor) {
    BezRecordReader reader(path, xFactor, yFactor);
    FileHandle file(fileName ? std::fopen(fileName, "rb") : nullptr);
    if (file) {
        unsigned char block[BezRecordSize * RecordsPerBlock];
        std::size_t kept = 0; // bytes of an incomplete record carried to the next block
        bool more = true;
        while (more) {
            std::size_t got = std::fread(block + kept, 1, sizeof block - kept, file.get());
            if (got == 0) break;
            std::size_t have = kept + got, at = 0;
            for (; have - at >= BezRecordSize; at += BezRecordSize) {
                if (!reader.Record(block + at)) {
                    more = false;
                    break;
                }
            }
            kept = have - at;
            if (more && kept) std::memmove(block, block + at, kept);
        }
    }
    reader.Finish();
    return reader.Dropped();
}

int WriteBezRecords(OutStream& out, const Path& path, float xFactor, float yFactor) {
    BezRecordWriter writer(out, xFactor, yFactor);
    for (const SubPath& sp : path.subPaths) {
        if (!sp.members.Filled()) continue;
        writer.Put(PC_MOVETO, sp.members[0].start);
        for (const PathMember& m : sp.members) {
            if (m.IsCurve()) {
                writer.Put(PC_CURVETO, m.ctrl1);
                writer.Put(PC_CURVEPOINT, m.ctrl2);
                writer.Put(PC_CURVEPOINT, m.end);
            } else {
                writer.Put(PC_LINETO, m.end);
            }
        }
    }
    return writer.Flush();
}

int WriteBezFile(const char* fileName, const Path& path, float xFactor, float yFactor) {
    FileOutStream out(fileName);
    if (!out.IsOpen()) return -1;
    int result = WriteBezRecords(out, path, xFactor, yFactor);
    if (out.Close() != 0) result = -1;
    return result;
}
