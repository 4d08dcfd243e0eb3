// Identifiers of the executable's resources (see platform/resources.h for the lookup).
#pragma once

namespace resources {

constexpr int kWaveShot = 1023;        // WAVE: the player's laser shot
constexpr int kWaveHit = 1024;         // WAVE: a hit / explosion
constexpr int kWaveAlarm = 1026;       // WAVE: the alarm, loops cleanly
constexpr int kWaveBeep = 1027;        // WAVE: the system beep (platform::kAlertWaveId)
constexpr int kEnergyBarSheet = 1025;  // RCDATA: 128 x 168 PNG, seven 24-pixel energy bands
constexpr int kMainIcon = 1005;        // ICON: the ship
constexpr int kAboutBitmap = 1006;     // BITMAP: the 164 x 50 About picture

}  // namespace resources
