#include "DeviceText.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
    std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The meaningful text of a line: up to a NUL, blanks trimmed.
std::string_view meaning(std::string_view raw) {
    return trim(raw.substr(0, raw.find('\0')));
}

DeviceLine parseLine(std::string raw, std::string eol) {
    DeviceLine line{std::move(raw), std::move(eol), false, {}};
    std::string_view text = meaning(line.raw);
    if (!text.empty() && text.front() == '[') {
        line.header = true;
        std::string_view inner = text.substr(1);
        line.name = std::string(trim(inner.substr(0, inner.find(']'))));
    }
    return line;
}

} // namespace

std::vector<std::pair<std::string, std::string>> SplitTextLines(std::string_view bytes) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(std::string(bytes.substr(start)), std::string());
            break;
        }
        std::size_t eolSize =
            bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
        lines.emplace_back(std::string(bytes.substr(start, end - start)),
                           std::string(bytes.substr(end, eolSize)));
        start = end + eolSize;
    }
    return lines;
}

DeviceText::DeviceText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        byteOrderMark_ = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    for (auto& [raw, eol] : SplitTextLines(bytes))
        lines_.push_back(parseLine(std::move(raw), std::move(eol)));
}

bool DeviceText::SameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool DeviceText::IsProtected(const DeviceLine& header) {
    return header.raw.find("Universal") != std::string::npos ||
           header.raw.find("Readable") != std::string::npos;
}

std::string DeviceText::KeyName(std::string_view raw) {
    std::string_view text = meaning(raw);
    if (text.empty() || text.front() == ';' || text.front() == '[') return {};
    std::size_t eq = text.find('=');
    return eq == std::string_view::npos ? std::string() : std::string(trim(text.substr(0, eq)));
}

std::vector<std::string> DeviceText::ListedNames(bool cutAtComma) const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const DeviceLine& line : lines_) {
        if (!line.header || IsProtected(line)) continue;
        std::string name = line.name;
        if (cutAtComma) name = std::string(trim(std::string_view(name).substr(0, name.find(','))));
        if (name.empty()) continue;
        std::string key = name;
        for (char& c : key)
            c = lower(c);
        if (seen.insert(key).second) names.push_back(name);
    }
    return names;
}

bool DeviceText::HasSection(std::string_view name) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const DeviceLine& line) {
        return line.header && SameName(line.name, name);
    });
}

std::vector<DeviceLine> DeviceText::SectionLines(std::string_view name) const {
    std::vector<DeviceLine> section;
    auto header = std::find_if(lines_.begin(), lines_.end(), [&](const DeviceLine& line) {
        return line.header && !line.name.empty() && SameName(line.name, name);
    });
    if (header == lines_.end() || IsProtected(*header)) return section;
    section.push_back(*header);
    for (auto it = header + 1; it != lines_.end() && !it->header; ++it)
        if (!it->raw.empty()) section.push_back(*it);
    return section;
}

int DeviceText::RemoveSections(const std::vector<std::string>& names) {
    int removed = 0;
    std::vector<DeviceLine> kept;
    kept.reserve(lines_.size());
    bool dropping = false;
    for (DeviceLine& line : lines_) {
        if (line.header) {
            dropping = !IsProtected(line) && !line.name.empty() &&
                       std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                           return SameName(name, line.name);
                       });
            removed += dropping;
        }
        if (!dropping) kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    return removed;
}

void DeviceText::AppendSection(std::vector<DeviceLine> lines) {
    const std::string newline = NewLine();
    if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = newline;
    lines_.push_back(DeviceLine{"", newline, false, {}});
    for (DeviceLine& line : lines) {
        if (line.eol.empty()) line.eol = newline;
        lines_.push_back(std::move(line));
    }
}

std::string DeviceText::NewLine() const {
    for (const DeviceLine& line : lines_)
        if (!line.eol.empty()) return line.eol;
    return "\r\n";
}

std::string DeviceText::Text() const {
    std::string text = byteOrderMark_;
    for (const DeviceLine& line : lines_) {
        text += line.raw;
        text += line.eol;
    }
    return text;
}
