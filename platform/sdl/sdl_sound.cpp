#include "platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/resources.h"

namespace platform::sdl {

namespace {

// Opens a device with the game's preferred format, accepting whatever the driver offers.
SDL_AudioDeviceID OpenDevice(SDL_AudioSpec* obtained, void* self, SDL_AudioCallback callback) {
    SDL_AudioSpec wanted{};
    wanted.freq = 48000;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = callback;
    wanted.userdata = self;
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
}

}  // namespace

SdlSoundOutput::SdlSoundOutput() {
    SDL_AudioSpec obtained{};
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        ownsAudio_ = true;
        device_ = OpenDevice(&obtained, this, &SdlSoundOutput::Callback);
    }
    if (device_ == 0) {
        // No sound card (SDL picked a driver that cannot open a device): go on with the
        // dummy driver, which consumes sound silently, or with none at all.
        if (ownsAudio_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            ownsAudio_ = false;
        }
        if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_AudioInit("dummy") == 0) {
            device_ = OpenDevice(&obtained, this, &SdlSoundOutput::Callback);
            if (device_ == 0) {
                SDL_AudioQuit();
            } else {
                ownsAudio_ = true;
            }
        }
    }
    if (device_ != 0) {
        format_ = obtained.format;
        channels_ = obtained.channels;
        frequency_ = obtained.freq;
        silence_ = obtained.silence;
        SDL_PauseAudioDevice(device_, 0);
    }
}

SdlSoundOutput::~SdlSoundOutput() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
    }
    if (ownsAudio_) {
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            SDL_AudioQuit();
        }
    }
}

std::optional<std::vector<std::uint8_t>> SdlSoundOutput::Convert(
    std::span<const std::uint8_t> wave) const {
    if (device_ == 0 || wave.empty()) {
        return std::nullopt;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size()));
    if (!rw) {
        return std::nullopt;
    }
    SDL_AudioSpec wavFormat{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &wavFormat, &buffer, &length)) {
        return std::nullopt;
    }
    SDL_AudioCVT cvt{};
    const int built = SDL_BuildAudioCVT(&cvt, wavFormat.format, wavFormat.channels, wavFormat.freq,
                                        static_cast<SDL_AudioFormat>(format_),
                                        static_cast<Uint8>(channels_), frequency_);
    if (built < 0) {
        SDL_FreeWAV(buffer);
        return std::nullopt;
    }
    std::vector<std::uint8_t> out(static_cast<std::size_t>(length) *
                                  static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(out.data(), buffer, length);
    SDL_FreeWAV(buffer);
    if (built == 1) {
        cvt.buf = out.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) {
            return std::nullopt;
        }
        out.resize(static_cast<std::size_t>(cvt.len_cvt));
    } else {
        out.resize(length);
    }
    // Whole sample frames only, so a looped sound never shifts its channels.
    const std::size_t frame =
        static_cast<std::size_t>(SDL_AUDIO_BITSIZE(format_) / 8 * std::max(channels_, 1));
    out.resize(out.size() - out.size() % frame);
    return out;
}

const std::vector<std::uint8_t>* SdlSoundOutput::Converted(int id) {
    if (auto it = converted_.find(id); it != converted_.end()) {
        return &it->second;
    }
    const auto bytes = FindResource(ResourceType::Wave, id);
    if (!bytes) {
        return nullptr;
    }
    auto samples = Convert(*bytes);
    if (!samples || samples->empty()) {
        return nullptr;
    }
    return &converted_.emplace(id, std::move(*samples)).first->second;
}

void SdlSoundOutput::Play(int waveResourceId, bool loop) {
    if (device_ == 0) {
        return;
    }
    const std::vector<std::uint8_t>* samples = Converted(waveResourceId);
    SDL_LockAudioDevice(device_);
    // A sound that cannot be had still cuts the one playing, as a new sound would.
    current_ = samples;
    position_ = 0;
    loop_ = loop;
    SDL_UnlockAudioDevice(device_);
}

void SdlSoundOutput::Stop() {
    if (device_ == 0) {
        return;
    }
    SDL_LockAudioDevice(device_);
    current_ = nullptr;
    position_ = 0;
    loop_ = false;
    SDL_UnlockAudioDevice(device_);
}

void SdlSoundOutput::SetLevel(bool mute, int volumePercent) {
    const int percent = std::clamp(volumePercent, 0, 100);
    const int gain = mute ? 0 : SDL_MIX_MAXVOLUME * percent / 100;
    if (device_ == 0) {
        gain_ = gain;
        return;
    }
    SDL_LockAudioDevice(device_);
    gain_ = gain;
    SDL_UnlockAudioDevice(device_);
}

void SdlSoundOutput::PlayAlert(int waveResourceId) {
    if (device_ == 0) {
        return;
    }
    const std::vector<std::uint8_t>* samples = Converted(waveResourceId);
    SDL_LockAudioDevice(device_);
    alert_ = samples;
    alertPosition_ = 0;
    SDL_UnlockAudioDevice(device_);
}

bool SdlSoundOutput::Playing() const {
    if (device_ == 0) {
        return false;
    }
    SDL_LockAudioDevice(device_);
    const bool playing = current_ != nullptr;
    SDL_UnlockAudioDevice(device_);
    return playing;
}

void SdlSoundOutput::Callback(void* self, std::uint8_t* stream, int length) {
    static_cast<SdlSoundOutput*>(self)->Mix(stream, length);
}

void SdlSoundOutput::Mix(std::uint8_t* stream, int length) {
    std::size_t done = 0;
    const std::size_t total = static_cast<std::size_t>(length);
    const bool fullLevel = gain_ >= SDL_MIX_MAXVOLUME;
    if (!fullLevel) {
        // Scaled mixing adds onto the buffer, so it starts from silence.
        std::memset(stream, silence_, total);
    }
    while (done < total && current_) {
        const std::size_t left = current_->size() - position_;
        const std::size_t n = std::min(left, total - done);
        if (fullLevel) {
            std::memcpy(stream + done, current_->data() + position_, n);
        } else if (gain_ > 0) {
            SDL_MixAudioFormat(stream + done, current_->data() + position_,
                               static_cast<SDL_AudioFormat>(format_), static_cast<Uint32>(n),
                               gain_);
        }
        done += n;
        position_ += n;
        if (position_ >= current_->size()) {
            position_ = 0;
            if (!loop_) {
                current_ = nullptr;
            }
        }
    }
    if (fullLevel) {
        std::memset(stream + done, silence_, total - done);
    }
    // The alert is mixed over the game's sound at the player's level, never replacing it.
    if (alert_ != nullptr) {
        const std::size_t n = std::min(alert_->size() - alertPosition_, total);
        SDL_MixAudioFormat(stream, alert_->data() + alertPosition_,
                           static_cast<SDL_AudioFormat>(format_), static_cast<Uint32>(n), gain_);
        alertPosition_ += n;
        if (alertPosition_ >= alert_->size()) {
            alert_ = nullptr;
            alertPosition_ = 0;
        }
    }
}

}  // namespace platform::sdl
