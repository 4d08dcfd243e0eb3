#include "tools/datagen/sound.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
void PutTag(std::vector<std::uint8_t>& v, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        v.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

// samples interleaved by channel, each in -1..1
std::vector<std::uint8_t> Wav(const std::vector<double>& samples, int channels, int rate) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, static_cast<std::uint32_t>(channels));
    Put32(out, static_cast<std::uint32_t>(rate));
    Put32(out, static_cast<std::uint32_t>(rate * channels * 2));
    Put16(out, static_cast<std::uint32_t>(channels * 2));
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataSize);
    for (double s : samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        Put16(out,
              static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))));
    }
    return out;
}

struct Lcg {
    std::uint32_t state;
    double Next() {  // -1..1
        state = state * 1664525u + 1013904223u;
        return ((state >> 9) / 4194304.0) * 2.0 - 1.0;
    }
};

}  // namespace

std::vector<std::uint8_t> LaserShotWav() {
    const int rate = 48000;
    const int frames = 39840;  // 0.83 s
    std::vector<double> s;
    s.reserve(frames * 2);
    double phaseL = 0, phaseR = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        // a fast falling sweep with a slow tail
        const double f = 160.0 + 2200.0 * std::exp(-t * 9.0);
        phaseL += 2 * kPi * f / rate;
        phaseR += 2 * kPi * f * 1.012 / rate;
        auto voice = [&](double ph) {
            // bright but not harsh: a few harmonics of a saw with vibrato
            double v = 0;
            for (int k = 1; k <= 5; ++k) {
                v += std::sin(ph * k + 0.3 * std::sin(t * 70)) / k;
            }
            return v * 0.5;
        };
        const double attack = std::min(1.0, t / 0.004);
        const double env = attack * std::exp(-t * 5.5) * (t > 0.80 ? (0.83 - t) / 0.03 : 1.0);
        s.push_back(0.55 * env * voice(phaseL));
        s.push_back(0.55 * env * voice(phaseR));
    }
    return Wav(s, 2, rate);
}

std::vector<std::uint8_t> HitWav() {
    const int rate = 44100;
    const int frames = 25137;  // 0.57 s
    std::vector<double> s;
    s.reserve(frames);
    Lcg noise{20211};
    double low = 0, phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        // rumble: noise through a one-pole low pass that closes as the blast fades
        const double cutoff = 0.08 + 0.5 * std::exp(-t * 12);
        low += cutoff * (noise.Next() - low);
        // thump: a sine falling from 110 Hz to 40 Hz
        phase += 2 * kPi * (40 + 70 * std::exp(-t * 14)) / rate;
        const double attack = std::min(1.0, t / 0.002);
        const double tail = t > 0.54 ? (0.57 - t) / 0.03 : 1.0;
        const double v =
            1.6 * low * std::exp(-t * 6.0) + 0.7 * std::sin(phase) * std::exp(-t * 9.0);
        s.push_back(std::tanh(1.3 * v) * attack * std::max(0.0, tail) * 0.85);
    }
    return Wav(s, 1, rate);
}

std::vector<std::uint8_t> AlarmWav() {
    const int rate = 44100;
    const int frames = 43659;  // 0.99 s: the loop length
    // A siren that sweeps up and down once per loop around 700 Hz. Its phase is written in
    // closed form, so the phase after the last sample continues exactly into the first one:
    // 693 whole periods of the carrier fit in the loop and the sweep term returns to its
    // start, hence no click at the seam.
    const double loop = static_cast<double>(frames) / rate;
    const double f0 = 693.0 / loop, depth = 230.0;
    std::vector<double> s;
    s.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double phase =
            2 * kPi * (f0 * t - depth * loop / (2 * kPi) * (std::cos(2 * kPi * t / loop) - 1.0));
        // odd harmonics for a hard, buzzing tone
        const double v = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 6;
        s.push_back(0.45 * v);
    }
    return Wav(s, 1, rate);
}

}  // namespace datagen

namespace datagen {

std::vector<std::uint8_t> BeepWav() {
    const int rate = 44100;
    const int frames = rate * 15 / 100;  // 0.15 s
    // A soft two-partial chime: 880 Hz with its fifth above, a 4 ms attack and an
    // exponential fall, so it is heard over the game's sounds without being harsh.
    std::vector<double> s;
    s.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::min(1.0, t / 0.004);
        const double fall = std::exp(-t / 0.045);
        const double v = std::sin(2 * kPi * 880 * t) + 0.4 * std::sin(2 * kPi * 1320 * t);
        s.push_back(0.35 * attack * fall * v);
    }
    return Wav(s, 1, rate);
}

}  // namespace datagen
