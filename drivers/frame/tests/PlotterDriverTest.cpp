#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

#include <driverframe/SaturatingBez3Base.h>
#include <plotterdriver/PlotterDriver.h>

namespace {

// The virtual-table slot of a virtual member function (a pointer to it holds 1 + the
// slot's byte offset).
template <class F> std::ptrdiff_t Slot(F f) {
    struct {
        std::uintptr_t ptr;
        std::ptrdiff_t adjust;
    } rep;
    static_assert(sizeof f == sizeof rep);
    std::memcpy(&rep, &f, sizeof rep);
    return std::ptrdiff_t((rep.ptr - 1) / sizeof(void*));
}

TEST(PlotterDriverTest, VirtualSlotsKeepTheirOrder) {
    using D = PlotterDriver;
    const std::ptrdiff_t slots[] = {Slot(&D::Setup),
                                    Slot(&D::Release),
                                    Slot(&D::Reset),
                                    Slot(&D::Abort),
                                    Slot(&D::Init),
                                    Slot(&D::Exit),
                                    Slot(&D::HPStart),
                                    Slot(&D::HPEnd),
                                    Slot(&D::Start),
                                    Slot(&D::SetOrigin),
                                    Slot(&D::End),
                                    Slot(&D::SelectPen),
                                    Slot(&D::SetSpeed),
                                    Slot(&D::MoveTo),
                                    Slot(&D::LineTo),
                                    Slot(&D::CurveTo),
                                    Slot(&D::GetHeadPos),
                                    Slot(&D::SetHeadPos),
                                    Slot(&D::ReadSheetSize),
                                    Slot(&D::ReadHeadPos),
                                    Slot(&D::GetOrientation),
                                    Slot(&D::GetDeviceName),
                                    Slot(&D::Write),
                                    Slot(&D::CanAutoCalibrate),
                                    Slot(&D::AutoCalibrate),
                                    Slot(&D::ReadWithTimeout),
                                    Slot(&D::WriteWithTimeout)};
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(std::size(slots)); ++i)
        EXPECT_EQ(slots[i], i);
    EXPECT_EQ(Slot(&SaturatingBez3Base::Output), 0);
    EXPECT_EQ(Slot(&SaturatingBez3Base::CheckEntry), 1);
    EXPECT_EQ(Slot(&SaturatingBez3Base::CheckOutput), 2);
}

TEST(PlotterDriverTest, BaseOperationsAnswerNeutrally) {
    struct Bare : PlotterDriver {
    } d;
    EXPECT_EQ(d.owner, nullptr);
    EXPECT_FLOAT_EQ(d.stepSize, 0.025f);
    EXPECT_EQ(d.maxX, 6000);
    EXPECT_EQ(d.maxY, 5600);
    EXPECT_EQ(d.pageSize, 4000);
    EXPECT_EQ(d.numberOfPens, 8);
    EXPECT_EQ(d.plotSpeed, 20);
    EXPECT_EQ(d.cutSpeed, 20);
    EXPECT_EQ(d.headPosDelay, 0);
    EXPECT_STREQ(d.jobName, "");

    EXPECT_EQ(d.Setup(nullptr), 0);
    EXPECT_EQ(d.Start(1), 0);
    EXPECT_EQ(d.ReadSheetSize(), 0);
    EXPECT_EQ(d.ReadHeadPos(), 0);
    EXPECT_EQ(d.GetOrientation(), 1);
    EXPECT_STREQ(d.GetDeviceName(), "");
    EXPECT_EQ(d.CanAutoCalibrate(), 0);
    LONG r[6] = {};
    EXPECT_EQ(d.AutoCalibrate(1, 2, 3, 4, 5, 6, r[0], r[1], r[2], r[3], r[4], r[5]), 0);
    char buffer[4];
    EXPECT_EQ(d.ReadWithTimeout(buffer, 4, 10, nullptr), -1);
    EXPECT_EQ(d.WriteWithTimeout(10, "x", 1), 0);

    LONG x = 12, y = -34;
    d.SetHeadPos(x, y);
    LONG gx = 0, gy = 0;
    d.GetHeadPos(gx, gy);
    EXPECT_EQ(gx, 12);
    EXPECT_EQ(gy, -34);
}

} // namespace
