#include "converters/ConverterProgress.h"
#include "pathkit/FileStreams.h"

#include "DxfConverter.h"

CONVERTER_ENTRY int Convert(const char* source, const char* target, AbortHandler* progress) {
    FileInStream in(source);
    if (!in.IsOpen()) return -1;
    long size = in.Size();
    FileOutStream out(target);
    if (!out.IsOpen()) return -1;
    dxf::Stats stats;
    int result = dxf::ConvertDxf(in, size, out, progress, &stats);
    if (out.Close() != 0) result = -1;
    // A drawing read wrongly leaves nothing behind.
    if (stats.badNumber) FileOutStream(target).Close();
    return result;
}
