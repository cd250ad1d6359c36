#pragma once
// Reads paths of the text path format, one path per Read. The format has no error reports:
// unknown lines, malformed members and coordinates beyond MaxCoord are skipped.

#include "pathkit/InStrStream.h"
#include "pathkit/export.h"

class ColorPath;
class InStream;
class Path;

class PATHKIT_API WPFReader {
public:
    static constexpr int MaxLineLength = 255;
    // Coordinates of larger magnitude (after grid and scale) are not taken.
    static constexpr double MaxCoord = 100000;

    // grid != 0: every coordinate read is rounded to the nearest multiple of grid.
    WPFReader(InStream& in, float grid);
    WPFReader(const WPFReader&) = delete;
    WPFReader& operator=(const WPFReader&) = delete;

    // Skips to the next "Path" header and appends the sub-paths of that path to target, up to
    // "EndPath" or the end of input; never prepares the target. At the end of input the header
    // is taken as empty. Non-zero when a header was found.
    virtual int Read(Path& target);
    // The next line, without leading blanks and line ends, at most MaxLineLength characters
    // (the rest of a longer line comes as the next line): its length, or -1 at the end.
    virtual int GetLine();
    // Offered the lines the reader passes through; non-zero ends the current Read at once.
    virtual int IsExtention();
    virtual void BeginGroup();
    virtual void EndGroup();
    // Parses the current line as a member of the sub-path being built.
    virtual void ReadPathMember();
    // Starts a sub-path at the point of the current "SubPath" line; 0 when the point is out
    // of range, and the sub-path is skipped.
    virtual int ReadSPHeader();
    // Reads the sub-path that the current line begins, if it is a "SubPath" line; non-zero
    // when an extension ended it.
    virtual int ReadSubPath();
    // Takes what the path header says; nothing here.
    virtual void ReadPHeader();
    virtual ~WPFReader();

    // Read with the target's colour, layer and flags at hand for ReadPHeader.
    int Read(ColorPath& target);

    WPFReader& operator>>(Path& target);
    WPFReader& operator>>(ColorPath& target);

    // Set by a path header's "Scale=", initially 1; coordinates read are divided by it.
    double GetScale() const { return scale_; }

protected:
    const char* Line() const { return line_; }
    int LineLength() const { return lineLength_; }
    // The current line as a stream (tokens of at most 39 characters).
    InStream& LineStream() { return lineStream_; }
    // The path being read, null outside Read.
    Path* Target() { return target_; }
    // The same when it was given as a ColorPath, else null.
    ColorPath* ColorTarget() { return colorTarget_; }
    // Reads two numbers from the line stream, grid-rounded and scaled; false when either is
    // beyond MaxCoord.
    bool ReadPoint(double& x, double& y);

    InStream& in;
    float grid;

private:
    bool LineBegins(const char* keyword) const;
    double ReadCoord();
    void TakeScale();

    double scale_ = 1;
    char line_[MaxLineLength + 1] = {};
    int lineLength_ = 0;
    InStrStream lineStream_;
    Path* target_ = nullptr;
    ColorPath* colorTarget_ = nullptr;
    ColorPath* pendingColor_ = nullptr; // given to Read(ColorPath&)
};
