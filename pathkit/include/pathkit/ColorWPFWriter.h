#pragma once
// The text path writer with layer, colour and frame attributes in each path header.

#include "pathkit/WPFWriter.h"
#include "pathkit/export.h"

class PATHKIT_API ColorWPFWriter : public WPFWriter {
public:
    static constexpr int MaxAttrLength = 255;

    ColorWPFWriter(OutStream& out, float grid);

    using WPFWriter::WriteHeader;
    // "Path Layer=... Color=R.G.B." with the flags, the frame and the pending attribute text.
    // A path not given as a ColorPath is written with the ColorPath defaults: no colour
    // (R255G255B255), layer 1, no flags.
    void WriteHeader(Path& path) override;

    // Stores up to MaxAttrLength characters for the next header line (which then clears them);
    // returns the stored text.
    const char* SetAttr(const char* text);

    // Written with each header while frameColor is not -1 and frameWidth is above 0.
    int frameColor = -1; // 0x00BBGGRR
    float frameWidth = 0;

private:
    void WriteRGB(unsigned long colour);

    char attr_[MaxAttrLength + 1] = {};
};
