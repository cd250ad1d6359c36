#pragma once
// The pen colours of PLTPENS.INI, section "HPGL Pens", keys "Pen<n>".

#include <string>

class PenTable {
public:
    // The file in the settings folder ($XDG_CONFIG_HOME/signdesk, else ~/.config/signdesk)
    // when it exists there, else the one in the program folder.
    static std::string DefaultFile();

    explicit PenTable(std::string file) : file_(std::move(file)) {}
    virtual ~PenTable() = default;

    // The colour text of pen n (at most 19 characters), "R0G0B0" when it has no entry.
    virtual std::string Colour(long pen) const;

private:
    std::string file_;
};
