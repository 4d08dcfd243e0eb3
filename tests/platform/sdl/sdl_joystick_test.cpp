// Joysticks and game pads: raw joystick positions and buttons in the game's ranges, and pads
// through SDL's game-controller API, driven by SDL's virtual joystick: the mapping of stick,
// D-pad and buttons to the game's controls, hot-plug at any time, pads kept out of the raw
// joysticks.
#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/sdl/sdl_joystick.h"

namespace platform::sdl {
namespace {

// Attaches a virtual pad with the standard layout, which SDL maps as a game controller;
// its SDL device index, or -1.
int AttachPad() {
    return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                     SDL_CONTROLLER_BUTTON_MAX, 0);
}

class VirtualPad : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        pads_ = new SdlGamepadBackend;
        index_ = AttachPad();
        ASSERT_GE(index_, 0) << SDL_GetError();
        ASSERT_TRUE(SDL_IsGameController(index_));
        pads_->Read();
        ASSERT_EQ(pads_->Attached(), 1);
        // The device as the test drives it (the backend opened its own handle).
        stick_ = SDL_JoystickOpen(index_);
        ASSERT_NE(stick_, nullptr);
    }
    void TearDown() override {
        if (stick_ != nullptr) {
            SDL_JoystickClose(stick_);
        }
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) {
            SDL_JoystickDetachVirtual(i);
        }
        delete pads_;
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    void Button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(stick_, b, down ? 1 : 0);
    }
    void Axis(SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(stick_, a, static_cast<Sint16>(value));
    }
    SdlGamepadBackend* pads_ = nullptr;
    SDL_Joystick* stick_ = nullptr;
    int index_ = -1;
};

TEST_F(VirtualPad, StickAndDPadMoveFaceButtonsFireStartIsStart) {
    // A stick resting a little off centre is no direction; past the dead zone it is.
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -kPadDeadZone + 100);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, kPadDeadZone + 100);
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);  // the right stick moves nothing
    PadControls c = pads_->Read();
    EXPECT_TRUE(c.down);
    EXPECT_FALSE(c.left || c.right || c.up || c.fire || c.start);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);

    Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    c = pads_->Read();
    EXPECT_TRUE(c.up && c.left);
    EXPECT_FALSE(c.down || c.right || c.fire || c.start);

    for (auto b : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
                   SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                   SDL_CONTROLLER_BUTTON_START}) {
        Button(b, true);
        c = pads_->Read();
        EXPECT_EQ(c.fire, b <= SDL_CONTROLLER_BUTTON_Y) << b;
        EXPECT_EQ(c.start, b == SDL_CONTROLLER_BUTTON_START) << b;
        Button(b, false);
    }
}

TEST_F(VirtualPad, PadsComeAndGoAtAnyTimeAndStayOutOfTheRawJoysticks) {
    EXPECT_EQ(pads_->TakeUnplugged(), 0);
    // The pad is no raw joystick: slot 0 stays empty.
    SdlJoystickBackend raw;
    JOYINFO info;
    EXPECT_EQ(raw.GetPos(0, &info), JOYERR_UNPLUGGED);

    // A second pad plugged in later counts at once.
    const int second = AttachPad();
    ASSERT_GE(second, 0);
    SDL_Joystick* stick = SDL_JoystickOpen(second);
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_TRUE(pads_->Read().fire);
    EXPECT_EQ(pads_->Attached(), 2);

    // Unplugged: counted once, and its buttons no longer count.
    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(second), 0);
    EXPECT_FALSE(pads_->Read().fire);
    EXPECT_EQ(pads_->Attached(), 1);
    EXPECT_EQ(pads_->TakeUnplugged(), 1);
    EXPECT_EQ(pads_->TakeUnplugged(), 0);
}

TEST(SdlJoystick, AxesFillTheCapsRangeAndButtonsTheirBits) {
    EXPECT_EQ(AxisToPosition(INT16_MIN), kAxisMin);
    EXPECT_EQ(AxisToPosition(INT16_MAX), kAxisMax);
    EXPECT_EQ(AxisToPosition(0), 32768u);
    EXPECT_EQ(AxisToPosition(-1), 32767u);  // a resting stick reads 0 or -1: both centred
    EXPECT_EQ(AxisToPosition(400), 33168u);
    // A bit per button; the buttons past the 32nd share the top bit.
    bool down[40] = {};
    EXPECT_EQ(ButtonMask(down, 40), 0u);
    down[0] = down[3] = true;
    EXPECT_EQ(ButtonMask(down, 40), 0x9u);
    down[35] = true;
    EXPECT_EQ(ButtonMask(down, 40), 0x80000009u);
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
