#include "platform/sdl/sdl_joystick.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace platform::sdl {
namespace {

TEST(SdlJoystick, AxisEdgesFillTheCapsRange) {
    EXPECT_EQ(AxisToPosition(INT16_MIN), kAxisMin);
    EXPECT_EQ(AxisToPosition(INT16_MAX), kAxisMax);
    EXPECT_EQ(AxisToPosition(0), 32768u);
    EXPECT_EQ(AxisToPosition(-1), 32767u);  // a resting stick reads 0 or -1: both centred
    EXPECT_EQ(AxisToPosition(400), 33168u);
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
