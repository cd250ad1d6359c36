#include "GpglCheck.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace gpglcheck {

namespace {

// Numbers a command takes; -1 for TB, whose count depends on its first number.
int Arity(const std::string& name) {
    static const std::map<std::string, int> arity = {
        {"M", 2}, {"D", 2},  {"FM", 1}, {"L", 1},  {"!", 1}, {"*", 2},
        {"FX", 2}, {"&", 3}, {"FO", 1}, {"U", 0}, {"G", 0}, {"TB", -1}};
    auto it = arity.find(name);
    return it == arity.end() ? -2 : it->second;
}

int TBArity(long first) {
    switch (first) {
    case 50: case 55: return 2;
    case 99: return 1;
    case 23: return 3;
    default: return -2;
    }
}

bool ParseNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

bool Opens(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '!' || c == '*' || c == '&';
}

std::vector<std::string> Split(const std::string& piece) {
    std::vector<std::string> tokens(1);
    for (char c : piece) {
        if (c == ',')
            tokens.emplace_back();
        else
            tokens.back() += c;
    }
    return tokens;
}

} // namespace

Stream Read(const std::string& bytes, double step) {
    Stream s;
    auto fail = [&](const std::string& why) {
        s.ok = false;
        s.error = why;
        return s;
    };
    if (bytes.empty() || bytes.back() != '\3') return fail("the stream does not end with ETX");
    std::string piece;
    for (char c : bytes) {
        if (c == '\3') {
            s.pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    bool penDown = false;
    Point at;
    for (const std::string& p : s.pieces) {
        if (p.empty()) return fail("an empty piece");
        std::vector<std::string> tokens = Split(p);
        // A comma may close the last command of a piece ("L0,").
        if (tokens.size() > 1 && tokens.back().empty()) tokens.pop_back();
        Command* open = nullptr;
        int wanted = 0;
        auto closeCommand = [&]() -> bool {
            if (!open) return true;
            if (int(open->numbers.size()) != wanted) return false;
            const Command& c = *open;
            if (c.name == "M" || c.name == "D") {
                Point to{c.numbers[0] * step, c.numbers[1] * step};
                if (c.name == "D") {
                    if (!penDown) s.cuts.push_back({at});
                    s.cuts.back().push_back(to);
                }
                penDown = c.name == "D";
                at = to;
            }
            return true;
        };
        for (const std::string& token : tokens) {
            if (token.empty()) return fail("an empty token in \"" + p + "\"");
            std::string numberText = token;
            if (Opens(token[0])) {
                if (!closeCommand()) return fail("wrong count of numbers before \"" + token + "\"");
                std::string name;
                if (std::isalpha(static_cast<unsigned char>(token[0]))) {
                    std::size_t n = 0;
                    while (n < token.size() && std::isupper(static_cast<unsigned char>(token[n])))
                        ++n;
                    name = token.substr(0, n);
                } else {
                    name = token.substr(0, 1);
                }
                wanted = Arity(name);
                if (wanted == -2) return fail("unknown command \"" + token + "\"");
                s.commands.push_back({name, {}});
                open = &s.commands.back();
                numberText = token.substr(name.size());
                if (numberText.empty()) continue;
            }
            long value = 0;
            if (!open || !ParseNumber(numberText, value))
                return fail("a stray \"" + token + "\" in \"" + p + "\"");
            open->numbers.push_back(value);
            if (open->name == "TB" && open->numbers.size() == 1) {
                wanted = TBArity(value);
                if (wanted < 0) return fail("unknown TB" + numberText);
            }
            if (int(open->numbers.size()) > wanted)
                return fail("too many numbers for " + open->name + " in \"" + p + "\"");
        }
        if (!closeCommand()) return fail("wrong count of numbers in \"" + p + "\"");
    }
    s.ok = true;
    return s;
}

} // namespace gpglcheck
