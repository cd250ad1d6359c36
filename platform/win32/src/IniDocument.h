#pragma once
// The INI engine behind the private-profile functions.
//
// A document is the file's lines, each kept with its own bytes and line end, so that an edit
// rewrites only the lines it touches: comments, blank lines, unreadable lines and binary bytes
// come back out unchanged. Section and key names match without case (ASCII) and with blanks
// around them trimmed. Sections of the same name act as one, in file order; the first entry of
// a key wins. Lines without '=' and entries above the first section take no part in lookups.
// Lines end at LF, CR LF or a lone CR; a leading UTF-8 byte-order mark is skipped and kept.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/base.h"

class IniDocument {
public:
    explicit IniDocument(std::string_view bytes);

    // The value of `key`, blanks around it trimmed and one pair of enclosing quotes removed;
    // nullopt when the section or key is missing. "Key=" gives "".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Names in file order, each once (first spelling), empty names left out.
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    // Edits; each returns whether the text changed. A new key goes after the last non-blank
    // line of the section's first occurrence; a new section goes at the end of the file.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);
    // A new section `to` at the end of the file holding a copy of every line of `from` (all
    // its blocks, trailing blank lines left out). False, and nothing changed, when `from` is
    // missing or `to` exists.
    bool copySection(std::string_view from, std::string_view to);
    bool hasSection(std::string_view section) const { return !sectionsNamed(section).empty(); }

    std::string text() const;

    // Whether a section or key name written as it stands comes back as that name and changes
    // nothing else: no ']' or '=', no line break, and not starting with '[' or ';'.
    static bool isSafeName(std::string_view name);

    // A profile integer: optional sign, then decimal digits, or hexadecimal digits followed by
    // 'h' or 'H'. Trailing text is ignored, text without digits is 0, the magnitude saturates
    // at 0xFFFFFFFF and a minus sign gives the two's complement.
    static UINT parseInt(std::string_view text);

private:
    enum class Kind { Other, Blank, Comment, Section, Entry };
    struct Line {
        std::string raw; // without the line end
        std::string eol; // "\r\n", "\n", "\r", or "" on a last line without one
        Kind kind = Kind::Other;
        std::string name; // section or key name
        std::string value;
    };
    struct Range {
        std::size_t header;
        std::size_t end; // one past the section's last line
    };

    static Line parseLine(std::string raw, std::string eol);
    std::vector<Range> sectionsNamed(std::string_view section) const;
    // Line end for new lines: the file's own, or CR LF for a file that has none yet.
    std::string newline() const;
    void insertLine(std::size_t at, std::string raw);

    std::string byteOrderMark_;
    std::vector<Line> lines_;
};
