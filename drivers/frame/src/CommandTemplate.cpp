#include "driverframe/CommandTemplate.h"

#include <cstdio>
#include <cstring>

void CommandTemplate::Set(std::string stored) {
    stored_ = std::move(stored);
    converted_.clear();
}

void CommandTemplate::Convert(bool dollarIsText) {
    converted_ = ConvertText(stored_, dollarIsText);
}

void CommandTemplate::AppendLiteral(const std::string& bytes) {
    for (char c : bytes)
        converted_ += c == '%' ? std::string("%%") : std::string(1, c);
}

std::string CommandTemplate::ConvertText(const std::string& text, bool dollarIsText) {
    std::string out;
    auto append = [&out](char c) {
        if (c == '%')
            out += "%%";
        else
            out += c;
    };
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '#') {
            out += "%ld";
            ++i;
        } else if (c == '$' && dollarIsText) {
            out += "%s";
            ++i;
        } else if (c != '\\') {
            append(c);
            ++i;
        } else if (i + 1 < text.size() &&
                   (text[i + 1] == 'r' || text[i + 1] == 'n' || text[i + 1] == 't')) {
            char e = text[i + 1];
            append(e == 'r' ? '\r' : e == 'n' ? '\n' : '\t');
            i += 2;
        } else {
            ++i;
            unsigned value = 0;
            for (int digits = 0; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '9';
                 ++digits, ++i)
                value = value * 10 + unsigned(text[i] - '0');
            append(char(value & 0xFF));
        }
    }
    return out;
}

bool CommandTemplate::Format(char (&out)[MaxCommandLength + 1], const long* numbers, int count,
                             const char* text) const {
    std::size_t length = 0;
    int next = 0;
    auto put = [&](const char* bytes, std::size_t n) {
        if (length + n > MaxCommandLength) return false;
        std::memcpy(out + length, bytes, n);
        length += n;
        return true;
    };
    const std::string& f = converted_;
    for (std::size_t i = 0; i < f.size() && f[i] != '\0'; ++i) {
        bool ok;
        if (f[i] == '%' && f.compare(i, 3, "%ld") == 0) {
            char number[24];
            long value = next < count && numbers ? numbers[next] : 0;
            ++next;
            int n = std::snprintf(number, sizeof number, "%ld", value);
            ok = put(number, std::size_t(n));
            i += 2;
        } else if (f[i] == '%' && i + 1 < f.size() && f[i + 1] == 's') {
            ok = !text || put(text, std::strlen(text));
            ++i;
        } else if (f[i] == '%' && i + 1 < f.size() && f[i + 1] == '%') {
            ok = put("%", 1);
            ++i;
        } else {
            ok = put(&f[i], 1);
        }
        if (!ok) {
            out[0] = '\0';
            return false;
        }
    }
    out[length] = '\0';
    return true;
}
