#pragma once
// The fixture of the lettering tests: the main program's resource library, a font set of
// DejaVu Sans (Book and Bold) and a fixture face whose glyphs are boxes of known size, and
// the text tool's current attributes put back after each test.
//
// "Fixture Sans": 2048 units to the em, GDI units equal font units, and the reference glyph
// 'M' 1600 units high, so a character of size 25 mm measures 1/64 mm per unit:
//   'M'  box 0..1280 x 0..1600, advance 1600     (20 x 25 mm, advance 25 mm)
//   'H'  box 128..1152 x 0..1600, advance 1280   (left side bearing 2 mm, ink to 18 mm)
//   'J'  box -320..640 x 0..1600, advance 640    (ink from -5 mm)
//   'o'  ring 64..960 x 0..1024 around a hole 320..704 x 256..768, advance 1024
//   '.'  box 64..320 x 0..256, advance 384
//   'A'  triangle (0,0) (1280,0) (640,1600), advance 1280
//   ' ', U+00A0  no contours, advance 512        (8 mm)
//   U+300C ("\x81\x75" under code page 932)  box 0..640 x 0..1600, advance 1600

#include <cstdint>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "TextTestSupport.h"
#include "mfc/CWinApp.h"
#include "testing/SfntWriter.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/TextSettings.h"
#include "win32/FontTesting.h"
#include "win32/module.h"

inline const char* const DejaVuBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const char* const DejaVuBookFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr float FixtureUnit = 25.0f / 1600; // mm per unit at size 25

class LetteringTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        resources_ = LoadLibraryA("signdesk.dll");
        ASSERT_NE(nullptr, resources_) << "the resource library is built beside the tests";
        previousResources_ = AfxGetResourceHandle();
        AfxSetResourceHandle(resources_);
        style_ = CCharacter::DefaultStyle;
        wordSpacing_ = CCharacter::WordSpacingFactor;
        pitch_ = CTextLine::CurrentPitch;
        align_ = CTextLine::CurrentAlign;
        autoKerning_ = CTextLine::CurrentAutoKerning;
        customKerning_ = CTextLine::CurrentCustomKerning;
        autoShift_ = CTextLine::CurrentAutoBLShift;
        defaultFont_ = DefaultFont;
        defaultLayer_ = DefaultLayer;
        UseFonts();
    }
    void TearDown() override {
        CCharacter::DefaultStyle = style_;
        CCharacter::WordSpacingFactor = wordSpacing_;
        CTextLine::CurrentPitch = pitch_;
        CTextLine::CurrentAlign = align_;
        CTextLine::CurrentAutoKerning = autoKerning_;
        CTextLine::CurrentCustomKerning = customKerning_;
        CTextLine::CurrentAutoBLShift = autoShift_;
        DefaultFont = defaultFont_;
        DefaultLayer = defaultLayer_;
        SdUseSystemFonts();
        AfxSetResourceHandle(previousResources_);
        if (resources_ != nullptr) FreeLibrary(resources_);
        TextTest::TearDown();
    }

    static std::vector<SfntPoint> Box(int x0, int y0, int x1, int y1) {
        return {{x0, y0, true}, {x1, y0, true}, {x1, y1, true}, {x0, y1, true}};
    }
    // The same box the other way round (a hole).
    static std::vector<SfntPoint> Hole(int x0, int y0, int x1, int y1) {
        return {{x0, y0, true}, {x0, y1, true}, {x1, y1, true}, {x1, y0, true}};
    }

    void UseFonts() {
        SfntWriter fixture("Fixture Sans", "Regular", 2048);
        fixture.winAscent = 1600;
        fixture.winDescent = 448;
        fixture.AddGlyph('M', {Box(0, 0, 1280, 1600)}, 1600);
        fixture.AddGlyph('H', {Box(128, 0, 1152, 1600)}, 1280);
        fixture.AddGlyph('J', {Box(-320, 0, 640, 1600)}, 640);
        fixture.AddGlyph('o', {Box(64, 0, 960, 1024), Hole(320, 256, 704, 768)}, 1024);
        fixture.AddGlyph('.', {Box(64, 0, 320, 256)}, 384);
        fixture.AddGlyph('A', {{{0, 0, true}, {1280, 0, true}, {640, 1600, true}}}, 1280);
        fixture.AddGlyph(' ', {}, 512);
        fixture.AddGlyph(0xA0, {}, 512);
        fixture.AddGlyph(0x300C, {Box(0, 0, 640, 1600)}, 1600);
        const std::string path = (DataFolder() / "fixture.ttf").string();
        ASSERT_TRUE(fixture.Write(path));
        SdUseFontFiles({path, DejaVuBookFile, DejaVuBoldFile});
    }

    // A character of the fixture face (font index 0 of a text whose first name is
    // "Fixture Sans"), size 25, spacing 0.
    static CCharacter* Fixture(std::uint16_t code) {
        auto* ch = new CCharacter;
        ch->m_nCode = code;
        ch->m_style.charSpacing = 0;
        return ch;
    }

private:
    HMODULE resources_ = nullptr;
    HINSTANCE previousResources_ = nullptr;
    CharStyle style_;
    float wordSpacing_ = 0;
    float pitch_ = 0;
    BYTE align_ = 0, autoKerning_ = 0, customKerning_ = 0, autoShift_ = 0;
    CString defaultFont_;
    int defaultLayer_ = 0;
};

inline floatBBox BoxOf(Path& p) {
    p.RefreshBBoxes();
    return p.accBox;
}
