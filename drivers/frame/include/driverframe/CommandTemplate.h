#pragma once
// One command template of a device section. The stored text is what the user wrote; the
// converted text is a format in which each '#' became "%ld" and the escapes became bytes:
//   \r \n \t         carriage return, line feed, tab
//   \<up to 3 digits> the byte of that decimal number (its low eight bits)
//   \ without digit   a byte 0, which ends the command where it stands
// Every '%' of the result is a literal character (written "%%" in the converted text), so
// no template can reach a conversion other than the numbers and, where a driver asks for
// it, "$" as "%s": the place of the command's one text argument.

#include <cstddef>
#include <string>
#include <utility>

class CommandTemplate {
public:
    // The longest command a template may produce.
    static constexpr std::size_t MaxCommandLength = 255;

    CommandTemplate() = default;
    explicit CommandTemplate(std::string stored) : stored_(std::move(stored)) {}

    // Replaces the stored text; the converted text is cleared until Convert runs.
    void Set(std::string stored);
    // Converts from the stored text, so converting again changes nothing.
    void Convert(bool dollarIsText = false);
    // Appends literal bytes to the converted text.
    void AppendLiteral(const std::string& bytes);

    const std::string& Stored() const { return stored_; }
    const std::string& Converted() const { return converted_; }
    bool IsEmpty() const { return stored_.empty(); }

    // Formats the converted text with the numbers in turn (missing numbers count as 0) into
    // out, which receives the command and a terminating zero; the command ends at the first
    // byte 0. False, with out empty, when the command would be longer than MaxCommandLength.
    // A "%s" takes `text` (empty when null).
    bool Format(char (&out)[MaxCommandLength + 1], const long* numbers = nullptr, int count = 0,
                const char* text = nullptr) const;

    // The conversion of one text, as Convert applies it.
    static std::string ConvertText(const std::string& text, bool dollarIsText = false);

private:
    std::string stored_;
    std::string converted_;
};
