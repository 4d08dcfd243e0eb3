// Sound output with the meaning of PlaySound on a WAVE resource: one sound at a time,
// played asynchronously once or looped; a new sound cuts the one playing; Stop silences.
#pragma once

namespace platform {

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    virtual void Play(int waveResourceId, bool loop) = 0;
    virtual void Stop() = 0;
};

// Installs the output (not owned); nullptr makes the program silent (the default).
void SetSoundOutput(SoundOutput* output);
SoundOutput* CurrentSoundOutput();

void PlaySoundResource(int waveResourceId, bool loop);
void StopSound();

}  // namespace platform
