#include "shell/SectionLineReader.h"

#include <fstream>

int ReadSectionLines(SectionLineReader& reader, const char* section) {
    const std::string header = std::string("[") + section + "]";
    std::ifstream in(reader.fileName);
    int count = -1;
    bool inSection = false;
    std::string line;
    // Whole lines are read, however long; the handler sees at most MaxLineChars of each.
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > static_cast<std::size_t>(SectionLineReader::MaxLineChars))
            line.resize(SectionLineReader::MaxLineChars);
        if (!inSection) {
            if (line.compare(0, header.size(), header) == 0) {
                count = 0;
                inSection = true;
            }
            continue;
        }
        if (line.empty() || line[0] == '[') {
            if (line != header)
                break;
            ++count;
            continue;
        }
        ++count;
        if (!reader.OnLine(line.c_str()))
            break;
    }
    return count;
}
