#include "shell/OutlineRecords.h"

#include "pathkit/BezRecordFile.h"

int WriteBinaryOutline(OutStream& out, const Path& path, float sx, float sy) {
    return WriteBezRecords(out, path, sx, sy);
}

int WriteOutlineRecord(OutStream& out, int kind, float x, float y) {
    BezRecordWriter writer(out, 1.0f, 1.0f);
    writer.Put(static_cast<PathCmd>(kind), x, y);
    return writer.Flush();
}
