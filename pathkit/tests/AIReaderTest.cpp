#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/AIParser.h"
#include "pathkit/AIReader.h"
#include "pathkit/ColorPath.h"
#include "pathkit/Exceptions.h"
#include "pathkit/InStrStream.h"

using namespace std::string_literals;
using pathtest::Describe;

namespace {

std::string DataFile(const char* name) {
    std::ifstream file(std::string(SD_TEST_DATA_DIR "/ai/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Shape {
    ColorPath path;
    std::uint32_t strokeColour;
    float lineWidth;
    int fill;
    int stroke;
};

// Reads shapes until the reader stops; eof tells whether it stopped by throwing Eof.
struct ReadResult {
    std::vector<Shape> shapes;
    bool eof = false;
};

ReadResult ReadAll(const std::string& text) {
    InStrStream in(text.data(), long(text.size()));
    AIReader reader(in);
    ReadResult result;
    try {
        for (int guard = 0; guard < 100000; ++guard) {
            ColorPath cp;
            if (!(reader >> cp)) break;
            result.shapes.push_back(
                {cp, reader.strokeColour, reader.lineWidth, reader.fill, reader.stroke});
        }
    } catch (Eof&) {
        result.eof = true;
    }
    return result;
}

// One letter per member: S when its start node is smooth, else -.
std::string SmoothNodes(const SubPath& sp) {
    std::string s;
    for (const PathMember& m : sp.members)
        s += m.IsSmooth() ? 'S' : '-';
    return s;
}

std::string SmoothNodes(const Path& path) {
    std::string s;
    for (const SubPath& sp : path.subPaths) {
        if (!s.empty()) s += " | ";
        s += SmoothNodes(sp);
    }
    return s;
}

// Every point of every member is finite and within the parser's range.
bool PointsInRange(const Path& path) {
    auto ok = [](const floatPoint& p) {
        return std::fabs(p.x) <= AIParser::MaxCoord && std::fabs(p.y) <= AIParser::MaxCoord;
    };
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members)
            if (!ok(m.start) || !ok(m.end) || !ok(m.ctrl1) || !ok(m.ctrl2)) return false;
    return true;
}

// Records every operation with its arguments.
class RecordingParser : public AIParser {
public:
    explicit RecordingParser(InStream* in) : AIParser(in) {}

    int UnImplemented() override { return Log("?"); }
    int Creator() override { return Log("Creator"); }
    int BoundingBox(const floatBBox& b) override {
        box = b;
        return Log("BoundingBox") && boxResult;
    }
    int BeginGroup(int clip) override { return Log("BeginGroup" + Args({double(clip)})); }
    int EndGroup(int clip) override { return Log("EndGroup" + Args({double(clip)})); }
    int SetFillColor(float r, float g, float b) override {
        return Log("SetFillColor" + Args({r, g, b}));
    }
    int SetStrokeColor(float r, float g, float b) override {
        return Log("SetStrokeColor" + Args({r, g, b}));
    }
    int SetFlatness(int v) override { return Log("SetFlatness" + Args({double(v)})); }
    int SetLineJoin(int v) override { return Log("SetLineJoin" + Args({double(v)})); }
    int SetLineCap(int v) override { return Log("SetLineCap" + Args({double(v)})); }
    int SetMiterLimit(int v) override { return Log("SetMiterLimit" + Args({double(v)})); }
    int SetLineWidth(float w) override { return Log("SetLineWidth" + Args({w})); }
    int MoveTo(const floatPoint& p) override { return Log("MoveTo" + Args({p.x, p.y})); }
    int LineTo(const floatPoint& p, int smooth) override {
        return Log("LineTo" + Args({p.x, p.y, double(smooth)}));
    }
    int CurveTo(const floatPoint& a, const floatPoint& b, const floatPoint& c,
                int smooth) override {
        return Log("CurveTo" + Args({a.x, a.y, b.x, b.y, c.x, c.y, double(smooth)}) +
                   (compound ? "*" : ""));
    }
    int Fill(int v) override { return Log("Fill" + Args({double(v)})); }
    int Stroke(int v) override { return Log("Stroke" + Args({double(v)})); }
    int SectionWithClipPath() override { return Log("Clip"); }

    int Log(const std::string& call) {
        if (!log.empty()) log += ' ';
        log += call;
        return stopAt.empty() || call.rfind(stopAt, 0) != 0;
    }
    static std::string Args(std::initializer_list<double> values) {
        std::string s = "(";
        for (double v : values) {
            char b[32];
            std::snprintf(b, sizeof b, "%s%g", s.size() > 1 ? "," : "", v);
            s += b;
        }
        return s + ")";
    }

    std::string log;
    std::string stopAt; // an operation whose name begins so returns 0
    floatBBox box;
    int boxResult = 1;
};

struct Parse {
    explicit Parse(std::string text)
        : bytes(std::move(text)), in(bytes.data(), long(bytes.size())), parser(&in) {}
    std::string bytes;
    InStrStream in;
    RecordingParser parser;
};

// ---- tokens

struct TokenCase {
    const char* name;
    std::string input;
    std::vector<std::pair<int, std::string>> tokens; // kind and text, up to the end
};

TEST(AIParserTest, NextTokSplitsTheInputIntoTokensOfTheRightKinds) {
    const TokenCase cases[] = {
        {"comment without its first percent sign",
         "%%EndSetup\r\n%!PS\n",
         {{1, "%EndSetup"}, {1, "!PS"}}},
        {"CR, LF and CR LF end a comment; blank lines between",
         "%a\r%b\n\n%c\r\n%d",
         {{1, "a"}, {1, "b"}, {1, "c"}, {1, "d"}}},
        {"names, numbers and separators",
         "0 0.5\t-1e3\b+.5\f1a\x1A m\x04*u",
         {{3, "0"}, {3, "0.5"}, {3, "-1e3"}, {3, "+.5"}, {2, "1a"}, {2, "m"}, {2, "*u"}}},
        {"delimiters end names",
         "[]0 d{m}/name/x<<1>>f%c\n(s)l",
         {{2, "["},
          {2, "]"},
          {3, "0"},
          {2, "d"},
          {2, "{"},
          {2, "m"},
          {2, "}"},
          {2, "/name"},
          {2, "/x"},
          {2, "<<"},
          {3, "1"},
          {2, ">>"},
          {2, "f"},
          {1, "c"},
          {4, "s"},
          {2, "l"}}},
        {"string escapes, nesting and continuation",
         "(a(b)c\\)\\n\\r\\t\\b\\f\\\\\\101\\7x\\q\\\r\nz)",
         {{4, "a(b)c)\n\r\t\b\f\\A\x07xqz"}}},
        {"hexadecimal strings, odd last digit, control characters skipped",
         "<48 65\r\n6c6C6f> <414>",
         {{4, "Hello"}, {4, "A@"}}},
        {"base-85 strings are skipped with the byte after the tilde",
         "<~87cURD]i,~>1 g",
         {{4, ""}, {3, "1"}, {2, "g"}}},
        {"bytes above 127: own tokens outside, data inside comments and strings",
         "caf\xE9 %\xFF\xE9\n(\xFF)\xFF"
         "1",
         {{2, "caf"}, {5, "\xE9"}, {1, "\xFF\xE9"}, {4, "\xFF"}, {5, "\xFF"}, {3, "1"}}},
        {"zero bytes in a string", "(a\\000b)"s, {{4, "a\0b"s}}},
        {"a token ended by the end of input is complete", "1 l f", {{3, "1"}, {2, "l"}, {2, "f"}}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        Parse p(c.input);
        std::vector<std::pair<int, std::string>> got;
        for (int kind; (kind = p.parser.NextTok()) != AIParser::TK_END;) {
            char* text;
            int length;
            p.parser.GetToken(text, length);
            got.emplace_back(kind, std::string(text, std::size_t(length)));
        }
        EXPECT_EQ(got, c.tokens);
    }
}

TEST(AIParserTest, UnterminatedTokensThrowEof) {
    for (const char* text : {"(abc", "(a(b)", "(abc\\", "<4142", "<~abc", "<~"}) {
        SCOPED_TRACE(text);
        Parse p(text);
        EXPECT_THROW(p.parser.NextTok(), Eof);
        EXPECT_EQ(p.parser.NextTok(), AIParser::TK_END);
    }
    AIParser none(nullptr);
    EXPECT_EQ(none.Get(), -1);
    EXPECT_EQ(none.NextTok(), AIParser::TK_END);
    EXPECT_THROW(none.GetNext(), Eof);
}

TEST(AIParserTest, TokensAreCutAtTheLimitAndTheRestOfTheTokenIsDropped) {
    const int n = AIParser::MaxToken + 1000;
    for (char lead : {'%', '(', 'x', '1'}) {
        SCOPED_TRACE(lead);
        std::string text(1, lead);
        text += std::string(n, lead == '(' ? 'a' : lead);
        if (lead == '(') text += ')';
        text += "\nnext";
        Parse p(text);
        int kind = p.parser.NextTok();
        char* token;
        int length;
        p.parser.GetToken(token, length);
        EXPECT_EQ(length, AIParser::MaxToken);
        EXPECT_EQ(token[length], 0);
        EXPECT_EQ(kind, lead == '%' ? 1 : lead == '(' ? 4 : lead == '1' ? 3 : 2);
        EXPECT_EQ(p.parser.NextTok(), AIParser::TK_NAME);
        p.parser.GetToken(token, length);
        EXPECT_EQ(std::string(token, std::size_t(length)), "next");
    }
}

// ---- operators

struct ScriptCase {
    const char* script;
    const char* calls;
};

TEST(AIParserTest, OperatorsCallTheirOperationsWithPointsInMillimetres) {
    const ScriptCase cases[] = {
        {"0 0 m 72 0 l 72 72 L", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(25.4,25.4,0)"},
        {"0 0 m 18 0 36 18 36 36 c 72 0 72 72 0 72 C",
         "MoveTo(0,0) CurveTo(6.35,0,12.7,6.35,12.7,12.7,1) CurveTo(25.4,0,25.4,25.4,0,25.4,0)"},
        {"0 0 m 18 0 36 36 v 18 72 72 72 V",
         "MoveTo(0,0) CurveTo(0,0,6.35,0,12.7,12.7,1) CurveTo(12.7,12.7,6.35,25.4,25.4,25.4,0)"},
        {"0 0 m 18 0 36 36 y 18 72 72 72 Y", "MoveTo(0,0) CurveTo(6.35,0,12.7,12.7,12.7,12.7,1) "
                                             "CurveTo(6.35,25.4,25.4,25.4,25.4,25.4,0)"},
        {"1 2 3 4 5 6 *c", "CurveTo(0.352778,0.705556,1.05833,1.41111,1.76389,2.11667,1)*"},
        {"0 0 m 72 0 l h h", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0)"},
        {"0 0 m 72 0 l f 0 0 m 72 0 l F", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0) Fill(1) "
                                          "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0) Fill(1)"},
        {"0 0 m 72 0 l b", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0) Fill(0) Stroke(1)"},
        {"0 0 m 72 0 l B", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0) Fill(0) Stroke(1)"},
        {"0 0 m 72 0 l s", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,0) Stroke(1)"},
        {"0 0 m 72 0 l 0 0 l s", "MoveTo(0,0) LineTo(25.4,0,1) LineTo(0,0,1) Stroke(1)"},
        {"0 0 m 72 0 l S", "MoveTo(0,0) LineTo(25.4,0,1) Stroke(1)"},
        {"W u q U Q *u *U", "Clip BeginGroup(0) BeginGroup(1) EndGroup(0) EndGroup(1) "
                            "BeginGroup(0) EndGroup(0)"},
        {"0.5 g 0.25 G", "SetFillColor(0.5,0.5,0.5) SetStrokeColor(0.25,0.25,0.25)"},
        {"0.1 0.2 0.3 0.4 k 1 0 0.5 0 K", "SetFillColor(0.5,0.4,0.3) SetStrokeColor(0,1,0.5)"},
        {"0 1 1 0 (Red) 1 x 1 0 1 0 (Magenta) 0.5 X", "SetFillColor(1,0,0) SetStrokeColor(0,1,0)"},
        {"1.9 i 2 j 1 J 4 M 2 w", "SetFlatness(1) SetLineJoin(2) SetLineCap(1) SetMiterLimit(4) "
                                  "SetLineWidth(0.705556)"},
        {"n N I O P R T a d o p r t z", "? ? ? ? ? ? ? ? ? ? ? ? ? ?"},
        {"D E H Z A \\ ^ _ ` e ! @ | ~ Tx To mo 0 0 mm", ""},
        {"%%Trailer\n0 0 m", ""},
        {"(0 0 m) <30> 0 0 m", "MoveTo(0,0)"},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.script);
        Parse p(c.script);
        EXPECT_EQ(p.parser.ProcessScript(), 0);
        EXPECT_EQ(p.parser.log, c.calls);
    }
}

TEST(AIParserTest, AZeroResultReturnsFromTheScriptAndReadingGoesOnAfterIt) {
    Parse p("0 0 m 72 0 l S 0 0 m %%Trailer\n1 1 m");
    p.parser.stopAt = "Stroke";
    EXPECT_EQ(p.parser.ProcessScript(), 1);
    EXPECT_EQ(p.parser.log, "MoveTo(0,0) LineTo(25.4,0,1) Stroke(1)");
    EXPECT_EQ(p.parser.ProcessScript(), 0);
    EXPECT_EQ(p.parser.log, "MoveTo(0,0) LineTo(25.4,0,1) Stroke(1) MoveTo(0,0)");
    EXPECT_EQ(p.parser.ProcessScript(), 0);
    EXPECT_EQ(p.parser.log, "MoveTo(0,0) LineTo(25.4,0,1) Stroke(1) MoveTo(0,0) MoveTo(0.352778,"
                            "0.352778)");
}

TEST(AIParserTest, TheOperandStackHoldsFortyNumbersAndMissingOnesAreStale) {
    std::string many;
    for (int i = 1; i <= 41; ++i)
        many += "0." + std::to_string(i % 10) + " ";
    Parse forty(many + "g g");
    forty.parser.ProcessScript();
    EXPECT_EQ(forty.parser.log, "SetFillColor(0.1,0.1,0.1) SetFillColor(0.1,0.1,0.1)");

    std::string flood(200000, ' ');
    for (std::size_t i = 0; i < flood.size(); i += 2)
        flood[i] = '7';
    Parse deep(flood + "l 72 0 l 36 l");
    deep.parser.ProcessScript();
    EXPECT_EQ(deep.parser.log, "LineTo(2.46944,2.46944,1) LineTo(25.4,0,1) LineTo(12.7,0,1)");
}

TEST(AIParserTest, NumbersOutOfRangeNeverReachTheOperations) {
    Parse p("1e999 0 m 0 -1e999 l 1e300 1e300 L 0 0 1 1 1e40 0 c 1e999 0 v 1 1 m "
            "1e999 i -1e999 j 1e999 M -1e999 w 1e999 w 1e999 g -1e999 G "
            "1e999 0 0 -1e999 k -1 0 0 0 K 1e999 1e999 1e999 1e999 k");
    p.parser.ProcessScript();
    EXPECT_EQ(p.parser.log,
              "MoveTo(0.352778,0.352778) SetFlatness(2.14748e+09) SetLineJoin(-2.14748e+09) "
              "SetMiterLimit(2.14748e+09) SetLineWidth(100000) SetLineWidth(100000) "
              "SetFillColor(1,1,1) SetStrokeColor(0,0,0) SetFillColor(0,1,1) "
              "SetStrokeColor(1,1,1) SetFillColor(0,0,0)");
}

// ---- header

// A binary EPS header of 30 bytes and two more before the PostScript section, followed by a
// preview.
std::string BinaryEPS(const std::string& postScript) {
    std::string header(32, '(');
    const unsigned char fields[12] = {0xC5, 0xD0, 0xD3, 0xC6, 32, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        header[std::size_t(i)] = char(fields[i]);
    header[8] = char(postScript.size());
    return header + postScript + "(\xFF\x00 preview";
}

struct HeaderCase {
    const char* name;
    std::string text;
    int result;
    const char* calls; // the operations of the script that follows
};

TEST(AIParserTest, ProcessHeaderEndsAtTheMarkerThatTheVersionChooses) {
    const std::string prolog = "%%BeginProlog\n0 0 m\n%%EndProlog\n%%BeginSetup\n1 1 m\n"
                               "%%EndSetup\n2 2 m\n";
    const HeaderCase cases[] = {
        {"version 2.0 ends at EndProlog", "%!PS-Adobe-2.0 EPSF-1.2\n" + prolog, 0,
         "MoveTo(0.352778,0.352778) MoveTo(0.705556,0.705556)"},
        {"version 3.0 ends at EndSetup", "%!PS-Adobe-3.0 \r\n" + prolog, 0,
         "MoveTo(0.705556,0.705556)"},
        {"no version: read on after the last header end", prolog, -1, "MoveTo(0.705556,0.705556)"},
        {"3.0 without EndSetup: read on after EndProlog", "%!PS-Adobe-3.0\n%%EndProlog\n1 1 m\n",
         -1, "MoveTo(0.352778,0.352778)"},
        {"no header end at all: read from the start", "%!PS-Adobe-3.0\n0 0 m 1 1 l\n", -1,
         "MoveTo(0,0) LineTo(0.352778,0.352778,1)"},
        {"only the version", "%!PS-Adobe", -1, ""},
        {"empty input", "", -1, ""},
        {"binary EPS header points at the PostScript",
         BinaryEPS("%!PS-Adobe-2.0\n%%EndProlog\n0 0 m\n%%Trailer\n(\xFF"), 0, "MoveTo(0,0)"},
        {"binary EPS header with a bad offset", "\xC5\xD0\xD3\xC6\xFF\xFF\xFF\x7F"s + "\n0 0 m", -1,
         "MoveTo(0,0)"},
        {"a first byte like the binary header", "\xC5 %!PS-Adobe-2.0\n%%EndProlog\n0 0 m", 0,
         "MoveTo(0,0)"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Parse p(c.text);
        EXPECT_EQ(p.parser.ProcessHeader(), c.result);
        EXPECT_EQ(p.parser.log, "");
        p.parser.ProcessScript();
        EXPECT_EQ(p.parser.log, c.calls);
    }
}

TEST(AIParserTest, BoundingBoxAndCreatorComments) {
    Parse p("%!PS-Adobe-2.0\n%%Creator: me\n%%BoundingBox: 72 144 0 0\n%%EndProlog\n");
    EXPECT_EQ(p.parser.ProcessHeader(), 0);
    EXPECT_EQ(p.parser.log, "Creator BoundingBox");
    EXPECT_FLOAT_EQ(p.parser.box.left, 0);
    EXPECT_FLOAT_EQ(p.parser.box.right, 25.4f);
    EXPECT_FLOAT_EQ(p.parser.box.bottom, 0);
    EXPECT_FLOAT_EQ(p.parser.box.top, 50.8f);

    Parse atEnd("%%BoundingBox: (atend)\n%%BoundingBox:1 2 3\n%%BoundingBox:-72 0 0 "
                "99999999999999999999\n");
    atEnd.parser.ProcessHeader();
    EXPECT_EQ(atEnd.parser.log, "BoundingBox");
    EXPECT_FLOAT_EQ(atEnd.parser.box.left, -25.4f);
    EXPECT_GT(atEnd.parser.box.top, 1e8f);

    Parse stop("%%BoundingBox:0 0 1 1\n%%EndProlog\n0 0 m");
    stop.parser.boxResult = 0;
    EXPECT_EQ(stop.parser.ProcessHeader(), -1);
    stop.parser.ProcessScript();
    EXPECT_EQ(stop.parser.log, "BoundingBox MoveTo(0,0)");

    Parse creatorStops("%%Creator\n%%EndProlog\n");
    creatorStops.parser.stopAt = "Creator";
    EXPECT_EQ(creatorStops.parser.ProcessHeader(), -1);
}

// ---- AIReader

TEST(AIReaderTest, ReadsAHandWrittenIllustratorFileIntoColouredPaths) {
    std::string text = DataFile("shapes-ai3.ai");
    ASSERT_FALSE(text.empty());
    ReadResult r = ReadAll(text);
    EXPECT_FALSE(r.eof);
    ASSERT_EQ(r.shapes.size(), 3u);

    // The compound path: an outer square and a hole, the hole closed by the fill.
    const Shape& compound = r.shapes[0];
    EXPECT_EQ(Describe(compound.path), "0,0 L25.4,0 L25.4,25.4 L0,25.4 L0,0 | "
                                       "6.35,6.35 L6.35,19.05 L19.05,19.05 L19.05,6.35 L6.35,6.35");
    EXPECT_EQ(compound.path.colour, 0x0000FFu); // 0 1 1 0 k
    EXPECT_EQ(compound.path.layer, 1);
    EXPECT_EQ(compound.fill, 1);
    EXPECT_EQ(compound.stroke, 0);
    EXPECT_EQ(compound.strokeColour, 0x00FFFFu); // 0 0 1 0 K
    EXPECT_FLOAT_EQ(compound.lineWidth, 2 * 25.4f / 72);

    // Smooth nodes: lower-case operators mark the node at their end; the last one, back at
    // the start, marks the first member.
    const Shape& curve = r.shapes[1];
    EXPECT_EQ(Describe(curve.path), "38.1,0 C44.45,0 50.8,6.35 50.8,12.7 "
                                    "C50.8,19.05 44.45,25.4 38.1,25.4 "
                                    "C31.75,25.4 25.4,12.7 25.4,12.7 "
                                    "C25.4,12.7 31.75,0 38.1,0");
    EXPECT_EQ(SmoothNodes(curve.path), "SSS-");
    EXPECT_EQ(curve.stroke, 1);
    EXPECT_EQ(curve.fill, 0);
    EXPECT_EQ(curve.path.colour, 0x0000FFu); // the fill colour stays set

    const Shape& triangle = r.shapes[2];
    EXPECT_EQ(Describe(triangle.path), "0,31.75 L12.7,34.925 L25.4,31.75 L0,31.75");
    EXPECT_EQ(SmoothNodes(triangle.path), "-S-");
    EXPECT_EQ(triangle.path.colour, 0x7F7F7Fu); // 0.5 g
    EXPECT_EQ(triangle.fill, 1);
    EXPECT_EQ(triangle.stroke, 0);
}

TEST(AIReaderTest, PaintOperatorsSetTheFillAndStrokeFlags) {
    struct {
        const char* body;
        int fill, stroke, subPaths;
    } cases[] = {
        {"0 0 m 9 0 l 9 9 l f", 1, 0, 1},
        {"0 0 m 9 0 l 9 9 l b", 1, 1, 1},
        {"0 0 m 9 0 l 9 9 l s", 0, 1, 1},
        {"0 0 m 9 0 l 9 9 l S", 0, 1, 1},
        {"*u 0 0 m 9 0 l 9 9 l f 1 1 m 2 1 l 2 2 l f *U", 1, 0, 2},
        {"*u 0 0 m 9 0 l 9 9 l B 1 1 m 2 1 l 2 2 l B *U", 1, 1, 2},
        {"0 0 m 9 9 l W n 1 1 m 2 1 l 2 2 l F", 1, 0, 2}, // a clip path is geometry
        {"u 0 0 m 9 0 l 9 9 l f U", 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        ReadResult r = ReadAll(std::string("%!PS-Adobe-2.0\n%%EndProlog\n") + c.body);
        ASSERT_EQ(r.shapes.size(), 1u);
        EXPECT_EQ(r.shapes[0].fill, c.fill);
        EXPECT_EQ(r.shapes[0].stroke, c.stroke);
        EXPECT_EQ(r.shapes[0].path.subPaths.Filled(), c.subPaths);
    }
}

TEST(AIReaderTest, TheTargetIsReplacedAndKeptAtTheEnd) {
    std::string text = "%!PS-Adobe-2.0\n%%EndProlog\n0 0 m 72 0 l 72 72 l f\n%%Trailer\n";
    InStrStream in(text.data(), long(text.size()));
    AIReader reader(in);
    ColorPath target;
    pathtest::Square(target, 100, 100, 5, false);
    pathtest::Square(target, 200, 100, 5, false);
    target.layer = 7;
    EXPECT_TRUE(reader >> target);
    EXPECT_EQ(Describe(target), "0,0 L25.4,0 L25.4,25.4 L0,0");
    EXPECT_EQ(target.layer, 1);
    EXPECT_EQ(reader.path.subPaths.Filled(), 0);

    EXPECT_FALSE(reader >> target);
    EXPECT_EQ(Describe(target), "0,0 L25.4,0 L25.4,25.4 L0,0");
}

// Bad input ends in shapes or Eof, never in a crash, a hang or a point out of range.
TEST(AIReaderTest, SurvivesBadInput) {
    const std::string head = "%!PS-Adobe-2.0\n%%EndProlog\n";
    const std::string square = "0 0 m 72 0 l 72 72 l 0 72 l f\n";
    struct {
        const char* name;
        std::string text;
        std::size_t shapes;
        bool eof;
    } cases[] = {
        {"empty", "", 0, false},
        {"only blanks and control bytes", "\x01\x02\x03 \t\r\n\x1A\x7F", 0, false},
        {"no final line end", head + "0 0 m 72 0 l 72 72 l f", 1, false},
        {"0xFF and Latin-1 bytes in comments, strings and names",
         "%!PS-Adobe-2.0\n%%Title: (caf\xE9 \xFF)\n%%EndProlog\n(\xFF\xFF) pop caf\xE9 \xFF\xFE" +
             square,
         1, false},
        {"truncated inside a string", head + square + "(abc", 1, true},
        {"truncated inside a hex string", head + square + "<41", 1, true},
        {"truncated inside a base-85 string", head + square + "<~abc", 1, true},
        {"a string that never closes swallows the rest", head + "(((" + square, 0, true},
        {"truncated in the middle of a path", head + square + "0 0 m 72 0 l 72", 1, false},
        {"truncated in the header", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0", 0, false},
        {"compound end without a start", head + "*U *U " + square, 3, false},
        {"compound start without an end", head + "*u " + square + square, 0, false},
        {"unbalanced groups", head + "Q Q q U u u " + square + "Q U *u *u *U", 2, false},
        {"paint without a path", head + "f S b B s F", 6, false},
        {"operators without operands", head + "l c v y m k K g w j " + square, 1, false},
        {"numbers out of range",
         head + "1e999 1e999 m -1e999 0 l 1e38 1e38 l 0 0 m 1e39 1e39 1e999 1 2 3 c f\n" +
             "1e999 w 1e999 i -1e999 j 1e999 g 1e999 1e999 1e999 1e999 k " + square,
         2, false},
        {"a 100000-digit number", head + std::string(100000, '9') + " 0 m " + square, 1, false},
        {"a long comment line", head + "%" + std::string(100000, '%') + "\n" + square, 1, false},
        {"the trailer ends the script", head + square + "%%Trailer\n" + square, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadResult r = ReadAll(c.text);
        EXPECT_EQ(r.shapes.size(), c.shapes);
        EXPECT_EQ(r.eof, c.eof);
        for (const Shape& s : r.shapes)
            EXPECT_TRUE(PointsInRange(s.path));
    }
}

TEST(AIReaderTest, ColourComponentsAreClampedAndTruncatedToBytes) {
    struct {
        const char* body;
        std::uint32_t colour;
    } cases[] = {
        {"0.5 g", 0x7F7F7F},
        {"1 g", 0xFFFFFF},
        {"2 g", 0xFFFFFF},
        {"-1 g", 0x000000},
        {"0 0 0 1 k", 0x000000},
        {"0 0 0 0 k", 0xFFFFFF},
        {"0 1 1 0 k", 0x0000FF},
        {"1 0 1 0 k", 0x00FF00},
        {"0.5 0.25 0 0.5 k", 0x7F3F00},
        {"0 0 0 -1 k", 0xFFFFFF},
        {"0 0.992157 0 0 k", 0xFF02FF}, // 2/255 written with six digits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        ReadResult r =
            ReadAll(std::string("%!PS-Adobe-2.0\n%%EndProlog\n") + c.body + " 0 0 m 9 0 l f");
        ASSERT_EQ(r.shapes.size(), 1u);
        EXPECT_EQ(r.shapes[0].path.colour, c.colour);
    }
}

} // namespace
