#include "platform/sdl/sdl_joystick.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace platform::sdl {
namespace {

// The game's scaling of an axis position against the caps range.
int Scaled(UINT p, UINT min, UINT max) {
    return static_cast<int>((static_cast<double>(p) - (min + max) * 0.5) * 200.0 /
                            static_cast<double>(max - min));
}

TEST(SdlJoystick, AxisEdgesFillTheCapsRange) {
    EXPECT_EQ(AxisToPosition(INT16_MIN), kAxisMin);
    EXPECT_EQ(AxisToPosition(INT16_MAX), kAxisMax);
    EXPECT_EQ(AxisToPosition(0), 32768u);
    EXPECT_EQ(AxisToPosition(-1), 32767u);
}

TEST(SdlJoystick, ScaledPositionsGiveFullDeflectionAndACentre) {
    EXPECT_EQ(Scaled(AxisToPosition(INT16_MIN), kAxisMin, kAxisMax), -100);
    EXPECT_EQ(Scaled(AxisToPosition(INT16_MAX), kAxisMin, kAxisMax), 100);
    // A resting stick reads 0 or -1 in SDL: both are no direction.
    EXPECT_EQ(Scaled(AxisToPosition(0), kAxisMin, kAxisMax), 0);
    EXPECT_EQ(Scaled(AxisToPosition(-1), kAxisMin, kAxisMax), 0);
    // Just past half a percent of the range is a direction.
    EXPECT_EQ(Scaled(AxisToPosition(400), kAxisMin, kAxisMax), 1);
    EXPECT_EQ(Scaled(AxisToPosition(-400), kAxisMin, kAxisMax), -1);
}

TEST(SdlJoystick, ButtonMaskHasABitPerButtonAndKeepsHighButtons) {
    bool down[40] = {};
    EXPECT_EQ(ButtonMask(down, 40), 0u);
    down[0] = true;
    down[3] = true;
    EXPECT_EQ(ButtonMask(down, 40), 0x9u);
    bool high[40] = {};
    high[35] = true;
    EXPECT_EQ(ButtonMask(high, 40), 0x80000000u);
    EXPECT_EQ(ButtonMask(nullptr, 4), 0u);
}

TEST(SdlJoystick, NoAttachedDeviceReadsAsUnplugged) {
    SdlJoystickBackend backend;
    JOYINFO info;
    JOYCAPSW caps;
    // The machines the tests run on have no joystick; slots beyond 1 are always invalid.
    EXPECT_EQ(backend.GetPos(2, &info), JOYERR_PARMS);
    EXPECT_EQ(backend.GetDevCaps(5, &caps), JOYERR_PARMS);
    if (backend.NumDevs() > 0) {
        const UINT result = backend.GetPos(1, &info);
        EXPECT_TRUE(result == JOYERR_UNPLUGGED || result == JOYERR_NOERROR);
    }
}

}  // namespace
}  // namespace platform::sdl
