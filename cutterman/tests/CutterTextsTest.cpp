#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "CutterTexts.h"
#include "Cutterman.h"

namespace {

TEST(CutterTextsTest, TheFileReplacesTheWholeTable) {
    CutterTexts texts;
    EXPECT_EQ(texts[CutterTexts::AddButton], "ADD >>");
    EXPECT_EQ(texts[CutterTexts::MediaWidth], "");
    texts.Parse("; comment\r\n"
                "\r\n"
                "4: Add me\r\n"
                "  7:Quit:now\n"
                "9 without a colon\n"
                "0:zero\n"
                "-3:negative\n"
                "25:past the table\n"
                "99999999999999999999999:huge\n"
                "abc:no number\n"
                "21:250 mm\n"
                "22:x\n"
                "4:second wins\n"
                "x[END]x\n"
                "5:after the end\n");
    EXPECT_EQ(texts[CutterTexts::AddButton], "second wins");
    EXPECT_EQ(texts[CutterTexts::QuitButton], "Quit:now");
    EXPECT_EQ(texts[CutterTexts::SetupCaption], "9 without a colon");
    EXPECT_EQ(texts[CutterTexts::RemoveButton], "");
    EXPECT_EQ(texts[CutterTexts::MaintenanceCaption], "");
    EXPECT_EQ(texts[0], "");
    EXPECT_EQ(texts[25], "");
    EXPECT_EQ(texts.Number(CutterTexts::MediaWidth), 250);
    EXPECT_EQ(texts.Number(CutterTexts::MediaHeight), 0);

    texts.Parse("4: keeps its blank\n");
    EXPECT_EQ(texts[CutterTexts::AddButton], " keeps its blank");
}

TEST(CutterTextsTest, LeadingNumbersSaturate) {
    EXPECT_EQ(LeadingNumber(" +12x"), 12);
    EXPECT_EQ(LeadingNumber("-7"), -7);
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), LLONG_MAX);
    EXPECT_EQ(LeadingNumber("x1"), 0);
}

TEST(CommandLineTest, FolderAndWord) {
    struct Case {
        std::vector<std::string> args;
        bool setup, valid;
        const char* folder;
        const char* word;
    } cases[] = {
        {{}, false, true, "", ""},
        {{"/opt/sign desk/signdesk.ini"}, true, true, "/opt/sign desk", "signdesk.ini"},
        {{"/opt/sign/ /signdesk.ini"}, true, true, "/opt/sign/", "signdesk.ini"},
        {{"C:\\Sign Desk /signdesk.ini/more"}, true, true, "/Sign Desk", "signdesk.ini"},
        {{"\\\\server\\share/x.ini"}, true, true, "//server/share", "x.ini"},
        {{"/opt/sign", "signdesk.ini"}, true, true, "/opt/sign", "signdesk.ini"},
        {{"signdesk.ini"}, true, false, "", ""},
        {{"/opt/sign/"}, true, false, "", ""},
        {{"a", "b", "c"}, true, false, "", ""},
        {{"/opt", "a/b"}, true, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.setup, c.setup);
        EXPECT_EQ(line.valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(line.folder, c.folder);
            EXPECT_EQ(line.word, c.word);
        }
    }
}

} // namespace
