#pragma once
// One controlled playback of a sound (an engine hum, a looping rustle): its own voice that the owner
// starts, stops, and changes in volume and pitch while it plays.
#include "engine/platform/AudioOutput.h"

class Sound;

class SoundChannel {
public:
    explicit SoundChannel(Sound* sound);
    ~SoundChannel();
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    void play();
    void stop();
    bool isPlaying() const;
    void setVolume(float volume);
    void setPitch(float ratio);
    void setLooping(bool looping);

private:
    void applyGain();

    Sound* sound = nullptr;
    AudioOutput::Handle voice = 0;
    float volume = 1.0f;
};
