#pragma once
// A device list (the master list "Devices.mst" or the device file "Devices.ini") as text
// lines, each kept with its own bytes and line end, so that a rewrite changes only the
// sections it adds or removes.
//
// Lines and headers are read as the profile engine reads them: lines end at LF, CR LF or a
// lone CR; a leading UTF-8 byte-order mark is kept apart; bytes after a NUL take no part in
// the meaning of a line; a header is a line whose text, blanks trimmed, begins with '[', and
// its name is what follows up to the first ']' (or the end), blanks trimmed. Names match
// whole, without case. A header naming "Universal" or "Readable" anywhere is the printer's
// own and never listed, removed or copied.

#include <string>
#include <string_view>
#include <vector>

struct DeviceLine {
    std::string raw; // without the line end
    std::string eol; // "\r\n", "\n", "\r", or "" on a last line without one
    bool header = false;
    std::string name; // the header's name
};

class DeviceText {
public:
    DeviceText() = default;
    explicit DeviceText(std::string_view bytes);

    // The names of the headers that may be listed, each once (first spelling), in file order.
    // With cutAtComma a name ends at its first comma (the spooler's reading).
    std::vector<std::string> ListedNames(bool cutAtComma = false) const;
    // Whether a header of this name exists.
    bool HasSection(std::string_view name) const;
    // The lines of the first section of this name: its header and the lines after it up to
    // the next header, empty lines left out. Empty when there is none, or it is protected.
    std::vector<DeviceLine> SectionLines(std::string_view name) const;

    // Removes every section of each name (header up to the next header); returns how many.
    int RemoveSections(const std::vector<std::string>& names);
    // Appends an empty line and the lines; the last line of the file and of the section are
    // ended with the file's line end first.
    void AppendSection(std::vector<DeviceLine> lines);

    // The file's own line end (its first), or CR LF for a file that has none.
    std::string NewLine() const;
    std::string Text() const;
    const std::vector<DeviceLine>& Lines() const { return lines_; }

    static bool SameName(std::string_view a, std::string_view b);
    static bool IsProtected(const DeviceLine& header);
    // The key of an entry line ("Key = value" gives "Key"); empty for other lines.
    static std::string KeyName(std::string_view raw);

private:
    std::string byteOrderMark_;
    std::vector<DeviceLine> lines_;
};

// Splits text into lines as the profile engine does (no byte-order-mark handling).
std::vector<std::pair<std::string, std::string>> SplitTextLines(std::string_view bytes);
