#include <string>
#include <vector>

#include "converters/ConverterProgress.h"
#include "pathkit/FileStreams.h"

#include "PenTable.h"
#include "PlotFileConverter.h"

// Reports go to a routine that discards them, as the import shows no window.
CONVERTER_ENTRY int Convert(const char* source, const char* target, AbortHandler* progress) {
    std::vector<std::string> reports;
    FileInStream in(source);
    if (!in.IsOpen()) {
        reports.push_back("Can't open the source file.");
        return 1;
    }
    FileOutStream out(target);
    if (!out.IsOpen()) {
        reports.push_back("Can't open the temporary file.");
        return 1;
    }
    long size = in.Size();
    if (size <= 0) {
        reports.push_back("Can't convert empty file.");
        return 1;
    }
    PenTable pens(PenTable::DefaultFile());
    plt::ConvertPlot(in, size, out, progress, pens, &reports);
    return out.Close() == 0 ? 0 : 1;
}
