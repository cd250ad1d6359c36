#pragma once
// The installer's 24 numbered texts: captions, labels, button texts, messages, and the two
// media numbers (21, 22). "Cutters.txt" in the program folder replaces the whole table.

#include <array>
#include <string>
#include <string_view>

class CutterTexts {
public:
    enum {
        MaintenanceCaption = 1,
        MasterLabel,
        InstalledLabel,
        AddButton,
        RemoveButton,
        UpdateButton,
        QuitButton,
        ActiveButton,
        SetupCaption,
        ActiveLabel,
        PortLabel,
        HintLabel,
        NextButton,
        NoActiveCutter,
        ReadFailed,
        WriteFailed,
        ErrorTitle,
        TableFull,
        DefinitionMissing,
        WillClose,
        MediaWidth,
        MediaHeight,
        SelectCaption,
        SelectLabel,
        Count = 24
    };

    // The built-in table.
    CutterTexts();

    // Replaces the table with the texts of a "Cutters.txt": texts the file does not give are
    // empty. Each line, by the first rule that fits: ';' first or empty: skipped; "[END]"
    // anywhere: the end; else the decimal number at its start (0: skipped; outside 1..24:
    // ignored) numbers the text after its first ':' (the whole line without one).
    void Parse(std::string_view bytes);

    const std::string& operator[](int number) const;
    // Texts 21 and 22 as numbers: the decimal number at the start (0 without one).
    long long Number(int number) const;

private:
    std::array<std::string, Count + 1> texts_;
};

// The decimal number at the start of the text, as the C library's atoi reads it (leading
// white space, a sign), saturating instead of overflowing.
long long LeadingNumber(std::string_view text);
