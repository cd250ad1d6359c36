#include <gtest/gtest.h>
#include <string>

#include <win32/user.h>

#include "PluginTest.h"

namespace {

class GarnetTest : public PluginTest {
protected:
    GarnetTest() : PluginTest("cutdrv-garnet.dll") {}
};

TEST_F(GarnetTest, TheAccelerationFollowsTheInitCommand) {
    struct Case {
        const char* keys;
        int cut;
        const char* expected;
    } cases[] = {
        {"SetAcceleration=AC$;\nAcceleration=2.1\n", 1, "PR;SP1;AC2.1;E;"},
        {"SetAcceleration=AC$;\nAcceleration=2.1\n", 0, "PR;SP2;AC2.1;E;"},
        {"SetAcceleration=AC$;\n", 1, "PR;SP1;AC0.7;E;"}, // the default
        {"SetAcceleration=\nAcceleration=2.1\n", 1, "PR;SP1;E;"},
        // A literal '%' stays literal; '#' still takes a number (none here: 0).
        {"SetAcceleration=AC$%#;\nAcceleration=1.4\n", 1, "PR;SP1;AC1.4%0;E;"},
    };
    for (const Case& c : cases) {
        PlotterDriver* d =
            Attach(std::string("CutInit=PR;SP1;\nPlotInit=PR;SP2;\nEnd=E;\n") + c.keys);
        EXPECT_EQ(JobOutput(
                      d, [](PlotterDriver*) {}, c.cut),
                  c.expected)
            << c.keys;
    }
}

TEST_F(GarnetTest, DollarInOtherTemplatesTakesNoText) {
    PlotterDriver* d = Attach("MoveRel=M$#,#;\nEnd=E$;");
    EXPECT_EQ(JobOutput(d, [](PlotterDriver* d) { d->MoveTo(70000, 10); }),
              "M32700,4;M32700,5;M4600,1;E;");
}

TEST_F(GarnetTest, NegativeCoordinatesAreReportedAndNoCompensation) {
    PlotterDriver* d = Attach("MoveRel=M#,#;\nLineRel=L#,#;\nToolOffset=0.5\nMuliplePoints=1\n"
                              "OrigoPos=1\nEnd=E;");
    PushMessageBoxAnswer(IDOK);
    d->Init();
    EXPECT_EQ(d->Start(1), 0);
    d->MoveTo(-5, 10);
    d->LineTo(100, 10);
    d->LineTo(100, 100);
    d->End();
    d->Exit();
    EXPECT_EQ(ReadFile(Out()), "M-5,10;L105,0;L0,90;E;");
    EXPECT_EQ(MessageBoxLog().size(), 1u);
}

} // namespace
