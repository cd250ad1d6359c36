// Lettering end to end in DejaVu Sans Bold, against FreeType reading the same font file:
// placement with the font's pair kerning, the record, painting, conversion to paths, and the
// merged outline with its offset.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "LetteringTestSupport.h"
#include "ObjectArchive.h"
#include "RasterCanvas.h"
#include "model/CGroupObj.h"
#include "pathkit/ParalelPath.h"
#include "pathkit/PathDraw.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/GeneralFont.h"
#include "text/KernPair.h"

namespace {

constexpr float Size = 25;
constexpr char WordText[] = "AVToWa";
constexpr int Letters = 6;
constexpr float PixelsPerMm = 4;

// The font file as FreeType reads it: unscaled outlines, advances and pair kerning.
class FreeTypeFace {
public:
    FreeTypeFace() {
        ok_ = FT_Init_FreeType(&library_) == 0 &&
              FT_New_Face(library_, DejaVuBoldFile, 0, &face_) == 0;
        if (ok_) mHeight_ = float(Box('M').yMax);
    }
    ~FreeTypeFace() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    bool ok() const { return ok_; }
    FT_Library library() const { return library_; }
    // Millimetres per font unit at the test's size.
    float Scale() const { return Size / mHeight_; }
    float MHeight() const { return mHeight_; }

    const FT_Outline& Load(char c) {
        FT_Load_Glyph(face_, FT_Get_Char_Index(face_, FT_ULong(c)),
                      FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
        return face_->glyph->outline;
    }
    FT_BBox Box(char c) {
        FT_BBox box;
        FT_Outline_Get_BBox(const_cast<FT_Outline*>(&Load(c)), &box);
        return box;
    }
    long Advance(char c) {
        Load(c);
        return face_->glyph->metrics.horiAdvance;
    }
    long Kerning(char a, char b) {
        FT_Vector k{0, 0};
        FT_Get_Kerning(face_, FT_Get_Char_Index(face_, FT_ULong(a)),
                       FT_Get_Char_Index(face_, FT_ULong(b)), FT_KERNING_UNSCALED, &k);
        return k.x;
    }
    // Origins of the word's letters in font units: advances plus pair kerning.
    std::vector<long> Origins() {
        std::vector<long> x(1, 0);
        for (int k = 0; k + 1 < Letters; ++k)
            x.push_back(x.back() + Advance(WordText[k]) + Kerning(WordText[k], WordText[k + 1]));
        return x;
    }
    // The letters' outlines in one outline, each at the given origin (mm), mapped to pixels
    // (pixels per mm, then a shift in pixels).
    void RenderWord(FT_Bitmap& target, const std::vector<double>& originsMm, double perMm,
                    double shiftX, double shiftY, bool gray) {
        std::vector<FT_Vector> points;
        std::vector<char> tags;
        std::vector<short> contours;
        for (int k = 0; k < Letters; ++k) {
            const FT_Outline& o = Load(WordText[k]);
            const short base = short(points.size());
            for (int i = 0; i < o.n_points; ++i) {
                const double x =
                    (originsMm[std::size_t(k)] + o.points[i].x * Scale()) * perMm + shiftX;
                const double y = o.points[i].y * Scale() * perMm + shiftY;
                points.push_back({FT_Pos(std::lround(x * 64)), FT_Pos(std::lround(y * 64))});
                tags.push_back(o.tags[i]);
            }
            for (int c = 0; c < o.n_contours; ++c)
                contours.push_back(short(base + o.contours[c]));
        }
        FT_Outline all{};
        all.n_points = short(points.size());
        all.n_contours = short(contours.size());
        all.points = points.data();
        all.tags = tags.data();
        all.contours = contours.data();
        all.flags = FT_OUTLINE_NONE; // non-zero winding: overlapping letters are united
        if (gray) {
            FT_Raster_Params params{};
            params.target = &target;
            params.source = &all;
            params.flags = FT_RASTER_FLAG_AA;
            FT_Outline_Render(library_, &all, &params);
        } else {
            FT_Outline_Get_Bitmap(library_, &all, &target);
        }
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
    float mHeight_ = 1;
};

// Where the text placed each letter's origin, in mm along x.
std::vector<double> Origins(CTextObj& text) {
    std::vector<double> x;
    CTextLine* line = text.GetLine(0);
    for (int k = 0; k < line->GetCount(); ++k) {
        floatTMatrix m;
        line->GetCharMatrix(k, line->GetChar(k), m, 0);
        x.push_back(m.dx);
    }
    return x;
}

class EndToEndTest : public LetteringTest {
protected:
    void SetUp() override {
        LetteringTest::SetUp();
        ASSERT_TRUE(ft_.ok()) << DejaVuBoldFile << " (fonts-dejavu-core) cannot be read";
        // The font's kerning pairs as the kerning file holds them: what takes the next letter
        // from the end of this one's ink to the font's advance plus its kerning, in ems.
        GeneralFont table;
        table.fontName = "DejaVu Sans Bold";
        for (const char* pair : {"AV", "To", "Wa"}) {
            const float value = float(ft_.Advance(pair[0]) + ft_.Kerning(pair[0], pair[1]) -
                                      ft_.Box(pair[0]).xMax) /
                                ft_.MHeight();
            table.SetKerningPair(std::uint16_t(pair[0]), std::uint16_t(pair[1]), value);
        }
        table.WriteKerningFile();
    }

    // The word set as the text tool sets it: custom kerning only, spacing `spacing`.
    std::unique_ptr<CTextObj> Word(float spacing = 0) {
        DefaultFont = "DejaVu Sans Bold";
        CCharacter::DefaultStyle.size = Size;
        CCharacter::DefaultStyle.charSpacing = spacing;
        std::unique_ptr<CTextObj> text(new CTextObj(0, 0, nullptr, 0, 0));
        CTextLine* line = text->GetLine(0);
        line->m_bAutoKerning = 0;
        line->m_bCustomKerning = 1;
        line->m_nAlign = 0;
        CFontCache cache;
        for (const char* c = WordText; *c; ++c)
            line->m_children.Add(
                MakeCharacter(std::uint16_t(*c), nullptr, text.get(), line, cache));
        for (int i = 1; i < line->GetCount(); ++i)
            KernPair(line, i, text.get(), cache);
        text->LayoutText(0);
        return text;
    }

    FreeTypeFace ft_;
};

TEST_F(EndToEndTest, LettersStandAtTheFontsAdvancesAndKerning) {
    auto text = Word();
    CTextLine* line = text->GetLine(0);
    const std::vector<long> origins = ft_.Origins();
    for (int k = 0; k < Letters; ++k) {
        floatTMatrix m;
        line->GetCharMatrix(k, line->GetChar(k), m, 0);
        float x = 0, y = 0;
        m.Transform(x, y);
        EXPECT_NEAR(origins[std::size_t(k)] * ft_.Scale(), x, 0.1) << WordText[k];
        EXPECT_EQ(0, y);
    }
    // The pairs of the table are kerned by it: A and V closer than their advances.
    EXPECT_LT(ft_.Kerning('A', 'V'), 0);
}

TEST_F(EndToEndTest, StoredLoadedAndStoredAgainByteForByte) {
    auto text = Word();
    const Bytes stored = StoreObj([&](CArchive& ar) { text->Serialize(ar); });
    CTextObj loaded;
    {
        KeepSerials keep;
        LoadObj(loaded, stored);
    }
    EXPECT_EQ(stored, StoreObj([&](CArchive& ar) { loaded.Serialize(ar); }));

    // The record built by hand; widths and kerning are what the font gave the letters.
    CTextLine* line = text->GetLine(0);
    ByteWriter w;
    w.u16(1).newClass("CTextLine", 0).u16(Letters);
    for (int k = 0; k < Letters; ++k) {
        const CCharacter* ch = line->GetChar(k);
        if (k == 0)
            w.newClass("CCharacter", 0);
        else
            w.u16(0x8003); // the class read third: after CTextLine and the line itself
        SignObjPart(w, ch->m_nSerial);
        CharStyle style;
        style.size = Size;
        style.charSpacing = 0;
        style.kerning = ch->m_style.kerning;
        CharacterFields(w, 0, 1, std::uint8_t(WordText[k]), ch->m_fWidth, 0, style);
    }
    FreeBaseline(w.u16(4), 0, 0);
    LineFields(w, 0, 35, 0, 0, 0, 0, 1, 0, 0); // custom kerning only
    w.u16(1).u8(16).text("DejaVu Sans Bold").u16(4);
    SignObjPart(w, text->m_nSerial).u8(0);
    EXPECT_EQ(w.bytes, stored);
    // Widths are the letters' ink, to the font's outline.
    for (int k = 0; k < Letters; ++k)
        EXPECT_NEAR(ft_.Box(WordText[k]).xMax * ft_.Scale(), line->GetChar(k)->m_fWidth, 0.03)
            << WordText[k];
}

TEST_F(EndToEndTest, PaintedAsFreeTypeRendersTheFont) {
    auto text = Word();
    const floatBBox box = text->m_bbox;
    const double left = std::floor(box.left) - 2, bottom = std::floor(box.bottom) - 2;
    const int width = int((box.right - left + 2) * PixelsPerMm) + 1;
    const int height = int((box.top - bottom + 2) * PixelsPerMm) + 1;
    const double top = bottom + height / PixelsPerMm;

    Canvas canvas(width, height);
    // Logical units of a sixteenth of a pixel: curves are flattened that finely before the
    // drawing layer rounds their points to whole pixels, as the system's does.
    const float fine = 16;
    SetMapMode(canvas.dc.m_hDC, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc.m_hDC, int(fine), int(fine), nullptr);
    SetViewportExtEx(canvas.dc.m_hDC, 1, 1, nullptr);
    const floatTMatrix toDevice(PixelsPerMm * fine, 0, 0, -PixelsPerMm * fine,
                                float(-left * PixelsPerMm * fine), float(top * PixelsPerMm * fine));
    ::SelectObject(canvas.dc.m_hDC, GetStockObject(BLACK_BRUSH));
    ::SelectObject(canvas.dc.m_hDC, GetStockObject(NULL_PEN));
    CTextLine* line = text->GetLine(0);
    for (int k = 0; k < Letters; ++k)
        ::Paint(&canvas.dc, toDevice, line->GetChar(k)->m_path, PP_FILL);
    const SdGdiImage ours = canvas.Read();

    std::vector<unsigned char> mono(std::size_t((width + 7) / 8) * std::size_t(height));
    FT_Bitmap bitmap{};
    bitmap.rows = unsigned(height);
    bitmap.width = unsigned(width);
    bitmap.pitch = (width + 7) / 8;
    bitmap.buffer = mono.data();
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    // FreeType draws each letter where the text placed it (the placement is measured against
    // the font's own advances on its own).
    ft_.RenderWord(bitmap, Origins(*text), PixelsPerMm, -left * PixelsPerMm, -bottom * PixelsPerMm,
                   false);
    auto theirs = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        return (mono[std::size_t(y * bitmap.pitch + x / 8)] >> (7 - x % 8) & 1) != 0;
    };
    auto edge = [&](int x, int y) {
        bool in = false, out = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                (theirs(x + dx, y + dy) ? in : out) = true;
        return in && out;
    };
    int ink = 0, differ = 0, far = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool a = ours.at(x, y) == Black, b = theirs(x, y);
            ink += b;
            if (a == b) continue;
            ++differ;
            bool nearEdge = false;
            for (int dy = -1; dy <= 1 && !nearEdge; ++dy)
                for (int dx = -1; dx <= 1 && !nearEdge; ++dx)
                    nearEdge = edge(x + dx, y + dy);
            far += !nearEdge;
        }
    }
    ASSERT_GT(ink, 1000);
    // Points on whole pixels move diagonals and curves by up to half a pixel: about 1.5 % of
    // the ink at this resolution, every such pixel on an edge of FreeType's image.
    EXPECT_LT(differ, ink / 50) << differ << " of " << ink;
    EXPECT_EQ(0, far);
}

// Signed area of a contour (positive counter-clockwise), its curves flattened finely.
double Area(const SubPath& sp) {
    return ContourArea(sp);
}

double FreeTypeArea(const FT_Outline& o, int c) {
    const int first = c == 0 ? 0 : o.contours[c - 1] + 1;
    double a = 0;
    // The on-curve polygon is enough to tell the orientation.
    for (int i = first; i <= o.contours[c]; ++i) {
        const int j = i == o.contours[c] ? first : i + 1;
        a += double(o.points[i].x) * o.points[j].y - double(o.points[j].x) * o.points[i].y;
    }
    return a / 2;
}

TEST_F(EndToEndTest, ConvertedToSixPathsShapedAsTheFontsOutlines) {
    auto text = Word();
    std::unique_ptr<CSignObj> converted(text->ConvertToPaths());
    ASSERT_NE(nullptr, converted);
    auto* group = dynamic_cast<CGroupObj*>(converted.get());
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(Letters, group->m_children.GetSize());
    const std::vector<long> origins = ft_.Origins();
    for (int k = 0; k < Letters; ++k) {
        SCOPED_TRACE(WordText[k]);
        CSignObj* child = group->GetChild(k);
        ASSERT_STREQ("CPathObj", child->GetRuntimeClass()->m_lpszClassName);
        Path& p = *child->GetPath();
        const FT_BBox b = ft_.Box(WordText[k]);
        const float s = ft_.Scale();
        const floatBBox got = BoxOf(p);
        const float x0 = origins[std::size_t(k)] * s;
        EXPECT_NEAR((b.xMax - b.xMin) * s, got.right - got.left, 0.003 * Size);
        EXPECT_NEAR((b.yMax - b.yMin) * s, got.top - got.bottom, 0.003 * Size);
        EXPECT_NEAR(x0 + b.xMin * s, got.left, 0.003 * Size);
        EXPECT_NEAR(b.yMin * s, got.bottom, 0.003 * Size);
        // The same contours, outer ones counter-clockwise and holes clockwise: the font's
        // turned the other way (its outer contours run clockwise).
        const FT_Outline& o = ft_.Load(WordText[k]);
        ASSERT_EQ(o.n_contours, p.subPaths.Filled());
        int theirOuter = 0, ourOuter = 0;
        for (int c = 0; c < o.n_contours; ++c)
            theirOuter += FreeTypeArea(o, c) < 0;
        for (const SubPath& sp : p.subPaths)
            ourOuter += Area(sp) > 0;
        EXPECT_EQ(theirOuter, ourOuter);
    }
}

// Shortest distance from p to the outline (its curves flattened in 32 pieces).
double Distance(const Path& path, const floatPoint& p) {
    double best = 1e30;
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members) {
            const int n = m.IsCurve() ? 32 : 1;
            floatPoint a = m.start;
            for (int i = 1; i <= n; ++i) {
                floatPoint b = m.end;
                if (m.IsCurve()) {
                    const double t = double(i) / n, u = 1 - t;
                    b.x = float(u * u * u * m.start.x + 3 * u * u * t * m.ctrl1.x +
                                3 * u * t * t * m.ctrl2.x + t * t * t * m.end.x);
                    b.y = float(u * u * u * m.start.y + 3 * u * u * t * m.ctrl1.y +
                                3 * u * t * t * m.ctrl2.y + t * t * t * m.end.y);
                }
                const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
                double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0;
                t = std::clamp(t, 0.0, 1.0);
                best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
                a = b;
            }
        }
    return best;
}

TEST_F(EndToEndTest, OverlappingLettersMergeIntoOneShapeWithItsCounters) {
    // Letters a third of an em closer than their kerning sets them: every neighbour overlaps.
    const float spacing = -0.3f;
    auto text = Word(spacing);
    Path merged(0.01f); // the program's accuracy
    text->AddToPath(merged);
    std::vector<double> holes;
    int outer = 0;
    double area = 0;
    for (const SubPath& sp : merged.subPaths) {
        const double a = Area(sp);
        if (a > 0)
            ++outer;
        else
            holes.push_back(a);
        area += a;
    }
    EXPECT_EQ(1, outer);
    // The counters of A, o and a stay as they were; W and a close one more pocket between them.
    EXPECT_EQ(4u, holes.size());
    CTextLine* line = text->GetLine(0);
    int counters = 0;
    for (int k = 0; k < Letters; ++k)
        for (const SubPath& sp : line->GetChar(k)->m_path.subPaths) {
            const double a = Area(sp);
            if (a >= 0) continue;
            ++counters;
            EXPECT_TRUE(std::any_of(holes.begin(), holes.end(), [&](double h) {
                return std::fabs(h - a) < 0.001 * -a;
            })) << WordText[k];
        }
    EXPECT_EQ(3, counters);

    // FreeType's union of the same letters in place, by coverage at 20 pixels per mm.
    const double perMm = 20;
    const floatBBox box = merged.accBox;
    const int width = int((box.right - box.left + 2) * perMm),
              height = int((box.top - box.bottom + 2) * perMm);
    std::vector<unsigned char> gray(std::size_t(width) * std::size_t(height));
    FT_Bitmap bitmap{};
    bitmap.rows = unsigned(height);
    bitmap.width = unsigned(width);
    bitmap.pitch = width;
    bitmap.buffer = gray.data();
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    bitmap.num_grays = 256;
    ft_.RenderWord(bitmap, Origins(*text), perMm, -(box.left - 1) * perMm,
                   -(box.bottom - 1) * perMm, true);
    double coverage = 0;
    for (unsigned char v : gray)
        coverage += v / 255.0;
    const double theirs = coverage / (perMm * perMm);
    EXPECT_NEAR(theirs, area, 0.005 * theirs);

    // Its offset by 1 mm lies 1 mm from it, within the path's accuracy.
    Path offset;
    ParalelPath(merged, 1.0f, 0, 0, offset, 0);
    ASSERT_GT(offset.subPaths.Filled(), 0);
    const double accuracy = merged.accuracy;
    int checked = 0;
    for (const SubPath& sp : offset.subPaths)
        for (const PathMember& m : sp.members) {
            EXPECT_NEAR(1.0, Distance(merged, m.end), accuracy) << m.end.x << "," << m.end.y;
            ++checked;
        }
    EXPECT_GT(checked, 50);
}

} // namespace
