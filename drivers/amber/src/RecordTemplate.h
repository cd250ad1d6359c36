#pragma once
// A command template of the record language: the key's text parsed into three segments.
//   \<digits>  one byte, the number's low eight bits (no digits: a byte 0); all the
//              digits are taken, and a non-digit after them is an ordinary character
//   #          a number place: the next segment begins (later ones stay in the third)
// A coordinate template builds segment 1, the second coordinate (16 bits, big-endian),
// segment 2, the first coordinate, segment 3. With exactly two "#" it has accessors into
// its command: the flag byte (the last of segment 1) and the four number bytes after it.

#include <cstdint>
#include <string>

#include "BinaryString.h"

class CIniFile;

class RecordTemplate {
public:
    RecordTemplate(const char* key, std::string builtIn) : key_(key), builtIn_(std::move(builtIn)) {}

    // Reads the key: the built-in text when absent; a present but empty key gives empty
    // segments. A text past 255 characters cannot be a command: it is refused (tooLong, empty
    // segments). Returns the number of "#".
    int Load(CIniFile& ini, const char* section);
    int Parse(const std::string& text);
    // A marker text: escapes as above, every other character (even "#") copied.
    static BinaryString ParseMarker(const std::string& text);

    // Command = segment 1.
    const BinaryString& BuildPlain();
    // Command = segment 1, b, segment 2, a, segment 3.
    const BinaryString& BuildRecord(long a, long b);

    const char* Key() const { return key_; }
    const std::string& BuiltIn() const { return builtIn_; }
    BinaryString segment[3];
    BinaryString command;
    int flagIndex = -1;   // into command; -1: none
    int numberIndex = -1; // four bytes
    int places = 0;       // the number of "#"
    bool tooLong = false; // the key's text was refused

private:
    const char* key_;
    std::string builtIn_;
};
