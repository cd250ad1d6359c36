#include "IniDocument.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view trim(std::string_view s) {
    std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

void addOnce(std::vector<std::string>& names, const std::string& name) {
    if (name.empty()) return;
    for (const auto& known : names)
        if (sameName(known, name)) return;
    names.push_back(name);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes) {
    // A UTF-8 byte-order mark is no part of the first line; it goes back out in front.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark)) {
        byteOrderMark_ = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    // Lines end at LF, CR LF or a lone CR.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back(parseLine(std::string(bytes.substr(start)), ""));
            break;
        }
        std::size_t eolSize =
            bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
        lines_.push_back(parseLine(std::string(bytes.substr(start, end - start)),
                                   std::string(bytes.substr(end, eolSize))));
        start = end + eolSize;
    }
}

bool IniDocument::isSafeName(std::string_view name) {
    name = trim(name);
    if (name.find_first_of("]=\r\n") != std::string_view::npos) return false;
    return name.empty() || (name.front() != '[' && name.front() != ';');
}

IniDocument::Line IniDocument::parseLine(std::string raw, std::string eol) {
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    // Bytes after a NUL take no part in the meaning of the line, but stay in the file.
    std::string_view text = line.raw;
    text = trim(text.substr(0, text.find('\0')));
    if (text.empty()) {
        line.kind = Kind::Blank;
    } else if (text.front() == ';') {
        line.kind = Kind::Comment;
    } else if (text.front() == '[') {
        line.kind = Kind::Section;
        std::string_view inner = text.substr(1);
        line.name = trim(inner.substr(0, inner.find(']')));
    } else if (std::size_t eq = text.find('='); eq != std::string_view::npos) {
        line.kind = Kind::Entry;
        line.name = trim(text.substr(0, eq));
        std::string_view value = trim(text.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        line.value = value;
    }
    return line;
}

std::vector<IniDocument::Range> IniDocument::sectionsNamed(std::string_view section) const {
    section = trim(section);
    std::vector<Range> ranges;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section) continue;
        if (!ranges.empty() && ranges.back().end == lines_.size()) ranges.back().end = i;
        if (sameName(lines_[i].name, section)) ranges.push_back({i, lines_.size()});
    }
    return ranges;
}

std::string IniDocument::newline() const {
    for (const auto& line : lines_)
        if (!line.eol.empty()) return line.eol;
    return "\r\n";
}

void IniDocument::insertLine(std::size_t at, std::string raw) {
    std::string eol = newline();
    if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), parseLine(std::move(raw), eol));
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    key = trim(key);
    for (const Range& range : sectionsNamed(section))
        for (std::size_t i = range.header + 1; i < range.end; ++i)
            if (lines_[i].kind == Kind::Entry && sameName(lines_[i].name, key))
                return lines_[i].value;
    return std::nullopt;
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const auto& line : lines_)
        if (line.kind == Kind::Section) addOnce(names, line.name);
    return names;
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    for (const Range& range : sectionsNamed(section))
        for (std::size_t i = range.header + 1; i < range.end; ++i)
            if (lines_[i].kind == Kind::Entry) addOnce(names, lines_[i].name);
    return names;
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    std::vector<Range> ranges = sectionsNamed(section);
    for (const Range& range : ranges) {
        for (std::size_t i = range.header + 1; i < range.end; ++i) {
            Line& line = lines_[i];
            if (line.kind != Kind::Entry || !sameName(line.name, key)) continue;
            std::string raw = line.name + "=" + std::string(value);
            if (raw == line.raw) return false;
            line = parseLine(std::move(raw), std::move(line.eol));
            return true;
        }
    }
    std::string entry = std::string(key) + "=" + std::string(value);
    if (ranges.empty()) {
        if (!lines_.empty() && lines_.back().kind != Kind::Blank) insertLine(lines_.size(), "");
        std::string header(1, '[');
        header.append(section).push_back(']');
        insertLine(lines_.size(), std::move(header));
        insertLine(lines_.size(), std::move(entry));
        return true;
    }
    std::size_t last = ranges.front().header;
    for (std::size_t i = last + 1; i < ranges.front().end; ++i)
        if (lines_[i].kind != Kind::Blank) last = i;
    insertLine(last + 1, std::move(entry));
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    key = trim(key);
    std::vector<Range> ranges = sectionsNamed(section);
    bool changed = false;
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        for (std::size_t i = range->end; i-- > range->header + 1;) {
            if (lines_[i].kind == Kind::Entry && sameName(lines_[i].name, key)) {
                lines_.erase(lines_.begin() + std::ptrdiff_t(i));
                changed = true;
            }
        }
    }
    return changed;
}

bool IniDocument::removeSection(std::string_view section) {
    std::vector<Range> ranges = sectionsNamed(section);
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range)
        lines_.erase(lines_.begin() + std::ptrdiff_t(range->header),
                     lines_.begin() + std::ptrdiff_t(range->end));
    return !ranges.empty();
}

bool IniDocument::copySection(std::string_view from, std::string_view to) {
    std::vector<Range> ranges = sectionsNamed(from);
    if (ranges.empty() || hasSection(to)) return false;
    std::vector<std::string> body;
    for (const Range& range : ranges)
        for (std::size_t i = range.header + 1; i < range.end; ++i)
            body.push_back(lines_[i].raw);
    while (!body.empty() && parseLine(body.back(), "").kind == Kind::Blank)
        body.pop_back();
    if (!lines_.empty() && lines_.back().kind != Kind::Blank) insertLine(lines_.size(), "");
    std::string header(1, '[');
    header.append(trim(to)).push_back(']');
    insertLine(lines_.size(), std::move(header));
    for (std::string& raw : body)
        insertLine(lines_.size(), std::move(raw));
    return true;
}

std::string IniDocument::text() const {
    std::string out = byteOrderMark_;
    for (const auto& line : lines_) {
        out += line.raw;
        out += line.eol;
    }
    return out;
}

UINT IniDocument::parseInt(std::string_view text) {
    constexpr std::uint64_t kMax = 0xFFFFFFFFu;
    text = trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';

    std::uint64_t magnitude = 0;
    std::size_t j = i;
    for (; j < text.size() && hexDigit(text[j]) >= 0; ++j)
        magnitude =
            std::min<std::uint64_t>(magnitude * 16 + std::uint64_t(hexDigit(text[j])), kMax);
    bool hex = j > i && j < text.size() && (text[j] == 'h' || text[j] == 'H');
    if (!hex) {
        magnitude = 0;
        for (j = i; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j)
            magnitude =
                std::min<std::uint64_t>(magnitude * 10 + std::uint64_t(text[j] - '0'), kMax);
    }
    UINT value = UINT(magnitude);
    return negative ? 0u - value : value;
}
