// The three sound effects and the system beep, synthesised as PCM WAVE files.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen {

std::vector<std::uint8_t> LaserShotWav();  // 16-bit stereo 48000 Hz, about 0.83 s
std::vector<std::uint8_t> HitWav();        // 16-bit mono 44100 Hz, about 0.57 s
std::vector<std::uint8_t> AlarmWav();      // 16-bit mono 44100 Hz, about 0.99 s, loops cleanly
std::vector<std::uint8_t> BeepWav();       // 16-bit mono 44100 Hz, 0.15 s

}  // namespace datagen
