#include "driverframe/SetupValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <settings/CIniFile.h>
#include <settings/NumberFields.h>
#include <settings/NumericText.h>
#include <win32/ProfileTransaction.h>

namespace {

constexpr char kMissing[] = "\x01";

bool IsPresent(CIniFile& ini, const std::string& section, const char* key) {
    char text[8];
    ini.GetString(section.c_str(), key, kMissing, text, sizeof text);
    return std::string(text) != kMissing;
}

std::string ShortestFloat(double value) {
    return FormatShortestFloat(float(value));
}

} // namespace

SetupValues::SetupValues(std::string iniPath, std::string section)
    : iniPath_(std::move(iniPath)), section_(std::move(section)) {}

SetupValues::Field& SetupValues::Add(const char* key, Kind kind) {
    auto [it, inserted] = fields_.try_emplace(key);
    if (inserted) order_.push_back(key);
    it->second = Field();
    it->second.key = key;
    it->second.kind = kind;
    return it->second;
}

SetupValues::Field& SetupValues::AddText(CIniFile& ini, const char* key, const char* def) {
    Field& f = Add(key, Kind::Text);
    f.present = IsPresent(ini, section_, key);
    f.loadedText = static_cast<const char*>(ini.GetCString(section_.c_str(), key, def));
    f.text = f.loadedText.c_str();
    return f;
}

SetupValues::Field& SetupValues::AddInt(CIniFile& ini, const char* key, int def) {
    Field& f = Add(key, Kind::Int);
    f.present = IsPresent(ini, section_, key);
    f.loadedNumber = int(ini.GetInt(section_.c_str(), key, unsigned(def)));
    f.number = f.loadedNumber;
    return f;
}

SetupValues::Field& SetupValues::AddFloat(CIniFile& ini, const char* key, double def,
                                          double scale) {
    Field& f = Add(key, Kind::Float);
    f.present = IsPresent(ini, section_, key);
    f.scale = scale;
    double stored = ini.GetFloat(section_.c_str(), key, def);
    // The value as a field shows it: what reads back from its text.
    float shown = 0;
    if (!ParseFloatText(ShortestFloat(float(stored) * scale).c_str(), shown)) shown = 0;
    f.loadedReal = shown;
    f.real = shown;
    return f;
}

SetupValues::Field& SetupValues::AddFixed(CIniFile& ini, const char* key, const char* value) {
    Field& f = Add(key, Kind::Text);
    f.present = IsPresent(ini, section_, key);
    f.loadedText = static_cast<const char*>(ini.GetCString(section_.c_str(), key, ""));
    f.text = value;
    f.fixed = true;
    return f;
}

SetupValues::Field* SetupValues::Find(const std::string& key) {
    auto it = fields_.find(key);
    return it == fields_.end() ? nullptr : &it->second;
}

const SetupValues::Field* SetupValues::Find(const std::string& key) const {
    auto it = fields_.find(key);
    return it == fields_.end() ? nullptr : &it->second;
}

bool SetupValues::Changed(const Field& f) {
    if (f.fixed) return !f.present || f.loadedText != static_cast<const char*>(f.text);
    switch (f.kind) {
    case Kind::Text:
        return f.loadedText != static_cast<const char*>(f.text);
    case Kind::Int:
        return f.number != f.loadedNumber;
    case Kind::Float:
        if (f.length) return RoundToThousandths(f.real) != RoundToThousandths(f.loadedReal);
        return f.real != f.loadedReal;
    }
    return false;
}

std::string SetupValues::StoredText(const Field& f) {
    switch (f.kind) {
    case Kind::Text: {
        std::string text = static_cast<const char*>(f.text);
        if (text.empty()) return text;
        bool blankAround = text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                           text.back() == '\t';
        bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                      text.back() == text.front();
        return blankAround || quoted ? "\"" + text + "\"" : text;
    }
    case Kind::Int:
        return std::to_string(f.number);
    case Kind::Float:
        return ShortestFloat(double(f.real) / f.scale);
    }
    return {};
}

int SetupValues::Collect(ProfileTransaction& edits, const std::string& section, bool whole) const {
    int count = 0;
    for (const std::string& key : order_) {
        const Field& f = fields_.at(key);
        const Field* partner = f.partner.empty() ? nullptr : Find(f.partner);
        if (!whole && !Changed(f) && !(partner && Changed(*partner))) continue;
        edits.WriteString(section.c_str(), f.key.c_str(), StoredText(f).c_str());
        ++count;
    }
    return count;
}

void SetupValues::MarkSaved(const std::string& section) {
    section_ = section;
    for (auto& [key, f] : fields_) {
        f.loadedText = static_cast<const char*>(f.text);
        f.loadedNumber = f.number;
        f.loadedReal = f.real;
        f.present = true;
    }
}
