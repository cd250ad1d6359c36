#include "CutterTexts.h"

#include <climits>

#include "DeviceText.h"

namespace {

const char* const kDefaults[CutterTexts::Count + 1] = {
    "",
    "Cutter Update / remover",
    "List of Cutters",
    "Installed Cutters",
    "ADD >>",
    "<<Remove",
    "Update",
    "Quit",
    "Active",
    "Cutter Installer",
    "Active Plotter",
    "Cutter Port",
    "Select Cutter and click Active TO set",
    "Next >",
    "Please select an active plotter",
    "Unable to read INI file",
    "Unable to write INI file",
    "Oops",
    "Something Broke!",
    "Plotter definition file missing",
    ":Program will close",
    "",
    "",
    "Select Program",
    "Please select the program to update the cutter file for.",
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

long long LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + unsigned(text[i] - '0');
        if (magnitude > (unsigned long long)LLONG_MAX) {
            magnitude = (unsigned long long)LLONG_MAX;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
            break;
        }
    }
    return negative ? -(long long)magnitude : (long long)magnitude;
}

CutterTexts::CutterTexts() {
    for (int i = 0; i <= Count; ++i)
        texts_[std::size_t(i)] = kDefaults[i];
}

void CutterTexts::Parse(std::string_view bytes) {
    for (std::string& text : texts_)
        text.clear();
    for (const auto& [line, eol] : SplitTextLines(bytes)) {
        if (line.empty() || line.front() == ';') continue;
        if (line.find("[END]") != std::string::npos) break;
        long long number = LeadingNumber(line);
        if (number < 1 || number > Count) continue;
        std::size_t colon = line.find(':');
        texts_[std::size_t(number)] = colon == std::string::npos ? line : line.substr(colon + 1);
    }
}

const std::string& CutterTexts::operator[](int number) const {
    static const std::string none;
    return number >= 1 && number <= Count ? texts_[std::size_t(number)] : none;
}

long long CutterTexts::Number(int number) const {
    return LeadingNumber((*this)[number]);
}
