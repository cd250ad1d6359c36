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
#include "ObjectArchive.h"
#include "TextTestSupport.h"
#include "mfc/CWinApp.h"
#include "mfc/CWnd.h"
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

// The object part of a record: schema 6, the attributes of a new object, the serial.
inline ByteWriter& SignObjPart(ByteWriter& w, std::uint32_t serial) {
    w.u16(6).f32(0).u32(0);          // outline width and colour
    w.u8(0).u8(0).u8(1).u8(0);       // fixed width, the two flags, locked
    w.u32(0xFFFFFFFF).u16(0).f32(0); // no fill, no transparency
    w.u32(0xFFFFFFFF).u16(0);        // no transparency fill
    return w.u32(serial);
}

// The baseline record of a free line from (x, y): one line member 0.1 mm long.
inline ByteWriter& FreeBaseline(ByteWriter& w, float x, float y) {
    w.u16(1).u16(0).f32(x).f32(y).f32(x + 0.1f).f32(y);
    w.f32(0.01f).u16(0x0400); // accuracy, state
    for (int box = 0; box < 2; ++box)
        w.f32(x).f32(x + 0.1f).f32(y).f32(y); // the control and the exact box
    return w.u16(0).u8(0);                    // depth, rotation
}

// A line's fields after its baseline: alignment, pitch, anchor, arc radius, arc side, auto
// and custom kerning, mirrored, auto baseline shift.
inline ByteWriter& LineFields(ByteWriter& w, unsigned align, float pitch, float anchor,
                              float radius, unsigned side, unsigned autoKerning,
                              unsigned customKerning, unsigned mirrored, unsigned autoShift) {
    w.u8(align).f32(pitch).f32(anchor).f32(radius);
    return w.u8(side).u8(autoKerning).u8(customKerning).u8(mirrored).u8(autoShift);
}

// A character's own fields after its object part: schema 2, colour, layer word, code,
// width, font index, the style (size, aspect, shift, spacing, kerning, italic, slant,
// alignment).
inline ByteWriter& CharacterFields(ByteWriter& w, std::uint32_t colour, unsigned layer,
                                   unsigned code, float width, unsigned fontIndex,
                                   const CharStyle& s) {
    w.u16(2).u32(colour).u16(layer).u16(code).f32(width).u8(fontIndex);
    w.f32(s.size).f32(s.aspect).f32(s.baselineShift).f32(s.charSpacing).f32(s.kerning);
    return w.f32(s.italicAngle).u32(s.slant).u8(s.charAlign);
}

// Every record cut short ends the file.
template <class T> void ExpectEveryCutEndsTheFile(const Bytes& record) {
    for (std::size_t n = 0; n < record.size(); ++n) {
        T cut;
        const Bytes part(record.begin(), record.begin() + std::ptrdiff_t(n));
        EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause([&] { LoadObj(cut, part); })) << n;
    }
}

// The commands the object's Edit posts to a window.
inline std::vector<WPARAM> CommandsPostedByEdit(CSignObj& obj) {
    CWnd target;
    std::vector<WPARAM> commands;
    if (!target.CreateEx(0, nullptr, "target", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr))
        return commands;
    obj.Edit(&target);
    MSG msg;
    while (PeekMessageA(&msg, target.GetSafeHwnd(), 0, 0, PM_REMOVE))
        if (msg.message == WM_COMMAND) commands.push_back(msg.wParam);
    target.DestroyWindow();
    return commands;
}

inline floatBBox BoxOf(Path& p) {
    p.RefreshBBoxes();
    return p.accBox;
}
