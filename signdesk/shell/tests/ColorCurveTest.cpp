// Colour-correction curves: evaluation both ways and the stored form.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CMemFile.h>

#include "shell/CColorCurve.h"

namespace {

CColorCurve Curve(std::initializer_list<std::pair<float, float>> points) {
    CColorCurve c;
    for (auto [in, out] : points) {
        c.input.Append(in);
        c.output.Append(out);
    }
    return c;
}

} // namespace

TEST(ColorCurveTest, EvaluatesPiecewiseLinearBothWays) {
    const CColorCurve c = Curve({{0, 0}, {128, 200}, {255, 255}});
    EXPECT_DOUBLE_EQ(c.Evaluate(64), 100);
    EXPECT_DOUBLE_EQ(c.Evaluate(300), 255);
    EXPECT_DOUBLE_EQ(c.Evaluate(-1), 0);
    EXPECT_DOUBLE_EQ(c.EvaluateInverse(200), 128);
    EXPECT_DOUBLE_EQ(c.EvaluateInverse(100), 64);

    const CColorCurve one = Curve({{10, 42}});
    EXPECT_DOUBLE_EQ(one.Evaluate(10), 42);
    EXPECT_DOUBLE_EQ(one.Evaluate(1000), 42);

    // A vertical step takes the value after it.
    const CColorCurve step = Curve({{0, 0}, {100, 10}, {100, 90}, {200, 100}});
    EXPECT_DOUBLE_EQ(step.Evaluate(100), 10); // the first segment ends there
    EXPECT_DOUBLE_EQ(step.Evaluate(150), 95);

    EXPECT_DOUBLE_EQ(CColorCurve().Evaluate(5), 0) << "an empty curve";
}

TEST(ColorCurveTest, StoredFormAndRefusals) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << Curve({{0, 0}, {128, 200}});
    }
    const unsigned char expected[] = {1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0x43, 0, 0, 0x48, 0x43};
    ASSERT_EQ(file.GetLength(), sizeof expected);
    file.SeekToBegin();
    unsigned char bytes[sizeof expected];
    file.Read(bytes, sizeof bytes);
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));

    file.SeekToBegin();
    CColorCurve back = Curve({{1, 1}, {2, 2}, {3, 3}});
    {
        CArchive ar(&file, CArchive::load);
        ar >> back;
    }
    ASSERT_EQ(back.input.Filled(), 2);
    EXPECT_EQ(back.output[1], 200.0f);

    auto load = [](std::vector<unsigned char> data, CColorCurve& into) {
        CMemFile f;
        f.Write(data.data(), UINT(data.size()));
        f.SeekToBegin();
        CArchive ar(&f, CArchive::load);
        ar >> into;
    };
    CColorCurve c = Curve({{1, 1}});
    try {
        load({2, 0, 0, 0, 0, 0, 0, 0}, c);
        FAIL() << "version 2 read";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::badIndex);
        e->Delete();
    }
    EXPECT_EQ(c.input.Filled(), 0) << "reading empties the curve first";

    // A count far past the data: refused or ended, never a huge allocation, and nothing
    // half-read kept.
    for (std::vector<unsigned char> bad : {std::vector<unsigned char>{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F},
                                           std::vector<unsigned char>{1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}}) {
        CColorCurve d = Curve({{1, 1}});
        try {
            load(bad, d);
            FAIL() << "damaged curve read";
        } catch (CArchiveException* e) {
            e->Delete();
        }
        EXPECT_EQ(d.input.Filled(), 0);
    }
}
