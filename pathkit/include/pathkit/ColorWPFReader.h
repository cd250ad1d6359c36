#pragma once
// The text path reader that takes layer, colour and frame attributes from each path header.

#include "pathkit/WPFReader.h"
#include "pathkit/export.h"

class PATHKIT_API ColorWPFReader : public WPFReader {
public:
    ColorWPFReader(InStream& in, float grid);

    // Sets the target's colour (0 without "Color="), layer (1 without "Layer=") and the flags
    // LinesOnly and SheetBorder from the header line, and the frame of the header. A target
    // not given as a ColorPath keeps its fields; the frame is taken all the same.
    void ReadPHeader() override;

    // The last path header line as read.
    const char* GetAttr() const { return attr_; }

    // Of the last header: -1 and 0 when it had none.
    int frameColor = -1; // 0x00BBGGRR
    float frameWidth = 0;

private:
    char attr_[MaxLineLength + 1] = {};
};
