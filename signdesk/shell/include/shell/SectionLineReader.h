#pragma once

#include <string>

// Hands the raw lines of one "[section]" of an INI-style text file to OnLine.
class SectionLineReader {
public:
    static constexpr int MaxLineChars = 199;

    explicit SectionLineReader(std::string file = {}) : fileName(std::move(file)) {}
    virtual ~SectionLineReader() = default;
    // One line of the section (at most MaxLineChars characters); nonzero to go on, 0 to stop.
    virtual int OnLine(const char* line) = 0;

    std::string fileName;
};

// -1 when the file has no such section header (or cannot be opened); otherwise the number of
// lines counted after the header. The section ends at a line starting with '[', an empty line
// or a 0 from the handler; a repeat of the header line counts but is not handed on.
int ReadSectionLines(SectionLineReader& reader, const char* section);
