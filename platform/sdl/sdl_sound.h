// Sound output through an SDL2 audio device: WAVE resources converted once to the device's
// format and mixed by the audio callback, one at a time, once or looped, with an alert mixed
// over it. Without a usable audio device it stays silent.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "platform/sound.h"

namespace platform::sdl {

class SdlSoundOutput : public SoundOutput {
  public:
    // Opens the audio device (the environment's driver, else the dummy one, else none).
    SdlSoundOutput();
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    void Play(int waveResourceId, bool loop) override;
    void Stop() override;
    void SetLevel(bool mute, int volumePercent) override;
    void PlayAlert(int waveResourceId) override;

    // True when an audio device is open (sounds are heard or recorded).
    bool HasDevice() const { return device_ != 0; }
    // True while a sound is being mixed.
    bool Playing() const;

    // Converts a whole RIFF/WAVE file to the open device's format; nothing when it is not a
    // WAVE file SDL reads or there is no device.
    std::optional<std::vector<std::uint8_t>> Convert(std::span<const std::uint8_t> wave) const;

  private:
    static void Callback(void* self, std::uint8_t* stream, int length);
    void Mix(std::uint8_t* stream, int length);
    const std::vector<std::uint8_t>* Converted(int id);

    std::uint32_t device_ = 0;
    bool ownsAudio_ = false;
    int format_ = 0;
    int channels_ = 0;
    int frequency_ = 0;
    std::uint8_t silence_ = 0;
    std::map<int, std::vector<std::uint8_t>> converted_;  // by resource id
    // Shared with the callback, under the device lock.
    const std::vector<std::uint8_t>* current_ = nullptr;
    std::size_t position_ = 0;
    bool loop_ = false;
    int gain_ = 128;  // SDL_MIX_MAXVOLUME scaled by the volume; 0 while muted
    const std::vector<std::uint8_t>* alert_ = nullptr;  // mixed over current_
    std::size_t alertPosition_ = 0;
};

}  // namespace platform::sdl
