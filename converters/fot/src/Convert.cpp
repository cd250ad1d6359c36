#include "converters/ConverterProgress.h"
#include "pathkit/FileStreams.h"

#include "OutlineConverter.h"

CONVERTER_ENTRY int Convert(const char* source, const char* target, AbortHandler* progress) {
    FileInStream in(source);
    if (!in.IsOpen()) return outline::FileFailure;
    long size = in.Size();
    FileOutStream out(target);
    if (!out.IsOpen()) return outline::FileFailure;
    int result = outline::ConvertOutline(in, size, out, progress);
    if (out.Close() != 0 && result == outline::Converted) result = outline::FileFailure;
    return result;
}
