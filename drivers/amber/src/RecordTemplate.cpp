#include "RecordTemplate.h"

#include <cctype>

#include <settings/CIniFile.h>

namespace {

// What a key that is not in the section reads as: no text can hold this byte sequence.
const char* const kAbsent = "\x01\x02<absent>";

// Appends the escape at text[i] (a backslash) and returns the index after it.
std::size_t Escape(const std::string& text, std::size_t i, BinaryString& out) {
    unsigned value = 0;
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        value = (value * 10 + unsigned(text[i++] - '0')) & 0xFF;
    out.Append(std::uint8_t(value));
    return i;
}

} // namespace

int RecordTemplate::Load(CIniFile& ini, const char* section) {
    char text[4096];
    ini.GetString(section, key_, kAbsent, text, sizeof text);
    std::string value = text;
    tooLong = value != kAbsent && value.size() > BinaryString::MaxLength;
    if (tooLong) return Parse("");
    return Parse(value == kAbsent ? builtIn_ : value);
}

int RecordTemplate::Parse(const std::string& text) {
    for (BinaryString& s : segment) s.Clear();
    command.Clear();
    places = 0;
    int current = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\\') {
            i = Escape(text, i, segment[current]);
        } else if (text[i] == '#') {
            ++places;
            if (current < 2) ++current;
            ++i;
        } else {
            segment[current].Append(std::uint8_t(text[i++]));
        }
    }
    flagIndex = numberIndex = -1;
    if (places == 2) {
        numberIndex = int(segment[0].Length());
        if (!segment[0].Empty()) flagIndex = numberIndex - 1;
    }
    return places;
}

BinaryString RecordTemplate::ParseMarker(const std::string& text) {
    BinaryString out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\\')
            i = Escape(text, i, out);
        else
            out.Append(std::uint8_t(text[i++]));
    }
    return out;
}

const BinaryString& RecordTemplate::BuildPlain() {
    command.Assign(segment[0]);
    return command;
}

const BinaryString& RecordTemplate::BuildRecord(long a, long b) {
    BinaryString built;
    built.Append(segment[0]);
    built.Append(std::uint8_t((b >> 8) & 0xFF));
    built.Append(std::uint8_t(b & 0xFF));
    built.Append(segment[1]);
    built.Append(std::uint8_t((a >> 8) & 0xFF));
    built.Append(std::uint8_t(a & 0xFF));
    built.Append(segment[2]);
    command.Assign(built);
    return command;
}
