// Glyph outlines of two installed faces recorded member for member
// (tests/data/identity-glyphs.txt): every code of the ANSI code page of DejaVu Sans (quadratic
// outlines) and of Nimbus Sans (cubic ones). Faster ways to the same outlines must keep them.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "../../../pathkit/tests/IdentityFixture.h"
#include "TextTestSupport.h"
#include "text/TrueTypeFont.h"

using pathtest::Identity;
using pathtest::IdentityTable;

namespace {

class GlyphIdentityTest : public TextTest {};

TEST_F(GlyphIdentityTest, InstalledFacesGiveTheRecordedOutlines) {
    IdentityTable table(SD_TEST_DATA_DIR "/identity-glyphs.txt");
    struct Face {
        const char* name;
        const char* key;
    };
    for (Face face : {Face{"DejaVu Sans Book", "dejavu"}, Face{"Nimbus Sans", "nimbus"}}) {
        std::unique_ptr<GeneralFont> font(CreateFontByName(face.name));
        ASSERT_NE(nullptr, font) << face.name << " is installed by the setup";
        ASSERT_TRUE(font->IsKindOf(RUNTIME_CLASS(TrueTypeFont)));
        // A path that held something before: GetCharPath starts it afresh.
        Path p;
        for (int code = 0x20; code < 0x100; ++code) {
            Identity id;
            id.code = font->GetCharPath(std::uint16_t(code), p);
            id.Add(p);
            char name[32];
            std::snprintf(name, sizeof name, "%s/%02X", face.key, code);
            table.Check(name, id);
        }
    }
}

} // namespace
