// Controls from a scripted keyboard and scripted joysticks.
#include "services/Input.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/joystick.h"
#include "platform/keyboard.h"

namespace MyApp {
namespace {

using platform::JOYCAPSW;
using platform::JOYINFO;
using platform::UINT;

class ScriptedJoysticks : public platform::JoystickBackend {
  public:
    struct Device {
        bool attached = false;
        bool capsOk = true;
        JOYINFO info;
        JOYCAPSW caps{0, 65535, 0, 65535, 0, 65535, 4};
    };
    UINT count = 0;
    Device devices[2];

    UINT NumDevs() override { return count; }
    UINT GetPos(UINT id, JOYINFO* info) override {
        if (id > 1 || !devices[id].attached) {
            return platform::JOYERR_UNPLUGGED;
        }
        *info = devices[id].info;
        return platform::JOYERR_NOERROR;
    }
    UINT GetDevCaps(UINT id, JOYCAPSW* caps) override {
        if (id > 1 || !devices[id].attached || !devices[id].capsOk) {
            return platform::JOYERR_PARMS;
        }
        *caps = devices[id].caps;
        return platform::JOYERR_NOERROR;
    }
    // A first joystick, centred, no button.
    void AttachCentred() {
        count = 2;
        devices[0].attached = true;
        devices[0].info = JOYINFO{32767, 32767, 32767, 0};
    }
};

const auto kMainWindow = reinterpret_cast<platform::HWND>(std::uintptr_t{0x100});
const auto kOtherWindow = reinterpret_cast<platform::HWND>(std::uintptr_t{0x200});

class InputTest : public ::testing::Test {
  protected:
    ScriptedJoysticks joysticks;
    InputTest() {
        platform::ReleaseAllKeys();
        platform::SetForegroundWindowHandle(kMainWindow);
        platform::SetJoystickBackend(&joysticks);
    }
    ~InputTest() override {
        platform::ReleaseAllKeys();
        platform::SetForegroundWindowHandle(nullptr);
        platform::SetJoystickBackend(nullptr);
    }
};

bool Any(const InputState& s) {
    return s.left || s.right || s.up || s.down || s.fire || s.start;
}

// Range ends (not clamped beyond), the dead band of 0.5 % around the centre, values above 2^31,
// an inverted range and ranges of no width (no division by zero).
TEST(JoystickAxisTest, ScalesToPlusMinusHundredWithADeadBand) {
    struct Case {
        std::uint32_t value, min, max;
        int scaled;
    };
    constexpr std::uint32_t kBig = 3000000000u, kTop = 0xFFFFFFFFu;
    const Case cases[] = {{0, 0, 65535, -100},   {65535, 0, 65535, 100},  {0, 100, 300, -200},
                          {33095, 0, 65535, 0},  {33096, 0, 65535, 1},    {32440, 0, 65535, 0},
                          {32439, 0, 65535, -1}, {kTop, kBig, kTop, 100}, {kBig, kBig, kTop, -100},
                          {kTop, 0, kTop, 100},  {65535, 65535, 0, -100}, {0, 65535, 0, 100},
                          {0, 0, 0, 0},          {500, 7, 7, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleJoystickAxis(c.value, c.min, c.max), c.scaled)
            << c.value << " in " << c.min << ".." << c.max;
    }
}

TEST_F(InputTest, FindJoystickPrefersTheFirstAndNeedsTwoDevicesForTheSecond) {
    EXPECT_EQ(FindJoystick(), -1);  // no devices at all

    joysticks.count = 1;
    joysticks.devices[1].attached = true;
    EXPECT_EQ(FindJoystick(), -1);  // only one device slot: the second does not count

    joysticks.count = 2;
    EXPECT_EQ(FindJoystick(), 1);

    joysticks.devices[0].attached = true;
    EXPECT_EQ(FindJoystick(), 0);
}

TEST_F(InputTest, PollJoystickScalesThreeAxesAndClearsOnFailure) {
    joysticks.AttachCentred();
    joysticks.devices[0].info = JOYINFO{0, 65535, 32767, 0x3};
    JoystickReading reading;
    reading.caps = joysticks.devices[0].caps;
    ASSERT_TRUE(PollJoystick(reading, 0));
    EXPECT_EQ(static_cast<std::int32_t>(reading.info.wXpos), -100);
    EXPECT_EQ(static_cast<std::int32_t>(reading.info.wYpos), 100);
    EXPECT_EQ(static_cast<std::int32_t>(reading.info.wZpos), 0);
    EXPECT_EQ(reading.info.wButtons, 0x3u);

    joysticks.devices[0].attached = false;
    EXPECT_FALSE(PollJoystick(reading, 0));
    EXPECT_TRUE(reading.info.wXpos == 0 && reading.info.wYpos == 0 && reading.info.wButtons == 0);
}

TEST_F(InputTest, EachKeySetsItsControl) {
    EXPECT_FALSE(Any(ReadInput(false, kMainWindow)));

    struct Case {
        int key;
        bool InputState::*field;
    };
    const Case cases[] = {
        {platform::VK_LEFT, &InputState::left},     {platform::VK_RIGHT, &InputState::right},
        {platform::VK_UP, &InputState::up},         {platform::VK_DOWN, &InputState::down},
        {platform::VK_LCONTROL, &InputState::fire}, {0x47, &InputState::start}};
    for (const Case& c : cases) {
        platform::ReleaseAllKeys();
        platform::SetKeyDown(c.key, true);
        const InputState s = ReadInput(false, kMainWindow);
        EXPECT_TRUE(s.*c.field) << "key " << c.key;
        int set = s.left + s.right + s.up + s.down + s.fire + s.start;
        EXPECT_EQ(set, 1) << "key " << c.key;
    }
    // The right Ctrl key does not fire.
    platform::ReleaseAllKeys();
    platform::SetKeyDown(platform::VK_RCONTROL, true);
    EXPECT_FALSE(ReadInput(false, kMainWindow).fire);

    // All held together, beside a centred stick: all reported.
    joysticks.AttachCentred();
    for (const Case& c : cases) {
        platform::SetKeyDown(c.key, true);
    }
    const InputState all = ReadInput(true, kMainWindow);
    EXPECT_TRUE(all.left && all.up && all.right && all.down && all.fire && all.start);
}

TEST_F(InputTest, KeyboardIgnoredOutsideTheForegroundButJoystickStillCounts) {
    platform::SetKeyDown(0x47, true);
    platform::SetKeyDown(platform::VK_LEFT, true);
    platform::SetForegroundWindowHandle(kOtherWindow);
    EXPECT_FALSE(Any(ReadInput(true, kMainWindow)));

    joysticks.AttachCentred();
    joysticks.devices[0].info.wButtons = 1;
    const InputState s = ReadInput(true, kMainWindow);
    EXPECT_TRUE(s.start);
    EXPECT_TRUE(s.fire);
    EXPECT_FALSE(s.left);  // the key is held, but the stick is centred
}

TEST_F(InputTest, JoystickDirectionsAndButtons) {
    joysticks.AttachCentred();
    EXPECT_FALSE(Any(ReadInput(true, kMainWindow)));  // centred, no button

    joysticks.devices[0].info = JOYINFO{0, 65535, 32767, 0};
    InputState s = ReadInput(true, kMainWindow);
    EXPECT_TRUE(s.left);
    EXPECT_TRUE(s.down);
    EXPECT_FALSE(s.right || s.up || s.fire || s.start);

    joysticks.devices[0].info = JOYINFO{65535, 0, 32767, 0};
    s = ReadInput(true, kMainWindow);
    EXPECT_TRUE(s.right);
    EXPECT_TRUE(s.up);

    // Switched off in the menu: ignored.
    EXPECT_FALSE(Any(ReadInput(false, kMainWindow)));
}

TEST_F(InputTest, UnusableJoystickLeavesOnlyTheKeyboard) {
    platform::SetKeyDown(platform::VK_UP, true);
    // Enabled, but none attached.
    InputState s = ReadInput(true, kMainWindow);
    EXPECT_TRUE(s.up);
    EXPECT_FALSE(s.left || s.right || s.down || s.fire || s.start);

    // Attached, but its capabilities cannot be read.
    joysticks.AttachCentred();
    joysticks.devices[0].info = JOYINFO{0, 32767, 32767, 1};
    joysticks.devices[0].capsOk = false;
    s = ReadInput(true, kMainWindow);
    EXPECT_TRUE(s.up);
    EXPECT_FALSE(s.left || s.fire || s.start);
}

}  // namespace
}  // namespace MyApp
