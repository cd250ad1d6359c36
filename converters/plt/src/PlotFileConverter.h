#pragma once
// HP-GL plot files into the text path format (mm, y as in the plot file, 0.025 mm a unit).
//
// Commands read: IN PU PD PA PR RO PG SP; label text (LB up to the terminator DT sets, ETX by
// default) and device-control escapes are passed over; other commands are skipped with their
// parameters. Pen-down strokes that turn smoothly are gathered into runs and fitted with cubic
// curves; each pen's colour comes from the pen table.

#include <string>
#include <vector>

class AbortHandler;
class InStream;
class OutStream;
class PenTable;

namespace plt {

constexpr int MaxRunPoints = 1000;

// Writes the text path file; the progress: before every command, when the whole percent read
// changed, SetProgress then CheckAbort. Reports (texts the plug-in discards) are appended.
void ConvertPlot(InStream& in, long size, OutStream& out, AbortHandler* progress,
                 const PenTable& pens, std::vector<std::string>* reports = nullptr);

} // namespace plt
