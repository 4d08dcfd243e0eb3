// Game pads through SDL's game-controller API, driven by SDL's virtual joystick: the mapping
// of stick, D-pad and buttons to the game's controls, hot-plug at any time, and pads kept out
// of the raw joysticks.
#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/sdl_joystick.h"

namespace platform::sdl {
namespace {

// Attaches a virtual pad with the standard layout; its SDL device index, or -1.
int AttachPad() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                                SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index >= 0 && !SDL_IsGameController(index)) {
        // Older SDLs have no automatic mapping for virtual pads: give it the plain one.
        char guid[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
        const std::string mapping =
            std::string(guid) +
            ",Virtual pad,a:b0,b:b1,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,"
            "rightstick:b8,leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,"
            "dpright:b14,leftx:a0,lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,righttrigger:a5,";
        SDL_GameControllerAddMapping(mapping.c_str());
    }
    return index;
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
    PadControls c = pads_->Read();
    EXPECT_FALSE(c.left || c.right || c.up || c.down || c.fire || c.start);

    // A stick resting a little off centre is no direction; past the dead zone it is.
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -kPadDeadZone + 100);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, kPadDeadZone + 100);
    c = pads_->Read();
    EXPECT_FALSE(c.left);
    EXPECT_TRUE(c.down);
    EXPECT_FALSE(c.up);
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    // The right stick moves nothing.
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    c = pads_->Read();
    EXPECT_TRUE(c.left);
    EXPECT_FALSE(c.right || c.down);
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);

    Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    c = pads_->Read();
    EXPECT_TRUE(c.up && c.right);
    EXPECT_FALSE(c.fire || c.start);
    Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);

    for (auto b : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
                   SDL_CONTROLLER_BUTTON_Y}) {
        Button(b, true);
        c = pads_->Read();
        EXPECT_TRUE(c.fire) << b;
        EXPECT_FALSE(c.start) << b;
        Button(b, false);
    }
    Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    EXPECT_FALSE(pads_->Read().fire);
    Button(SDL_CONTROLLER_BUTTON_START, true);
    c = pads_->Read();
    EXPECT_TRUE(c.start);
    EXPECT_FALSE(c.fire);
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

}  // namespace
}  // namespace platform::sdl
