#pragma once
// A sound effect: one sample decoded from an Ogg Vorbis file, played fire-and-forget on up to
// `maxPlaybacks` voices at once (a further start takes over the oldest voice). Flag bit 0 makes the
// sample loop. With the engine's delayed loading the file is only verified at first and decoded at its
// first playback.
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"
#include "engine/platform/AudioOutput.h"

class Sound : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    enum Flags { FLAG_LOOP = 0x1 };

    Sound(int flags, int maxPlaybacks, const UString& fileName);
    ~Sound() override;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // One playback at the ratio 1 + pitchMin + (pitchMax - pitchMin) x r, r from the shared random
    // generator; nothing when the previous start is less than minInterval ago.
    void play();
    // One playback at the given frequency ratio (0.5 is an octave lower).
    void playPitched(float ratio);
    // One playback `semitones` half tones up (or down, below 0).
    void playSemitones(int semitones);
    // Stops every playback of the sound.
    void stop();
    // Playbacks still sounding.
    int playingCount() const;

    // Decodes the sample when that has not happened yet. A file that is not Ogg Vorbis is fatal.
    void load();
    bool isLoaded() const { return buffer != 0; }

    int flags = 0;
    int maxPlaybacks = 1;
    UString fileName;
    double minInterval = 0.0; // seconds between two starts
    float pitchMin = 0.0f;
    float pitchMax = 0.0f;
    float volume = 1.0f;

    // For the sound service and SoundChannel.
    AudioOutput::Handle sampleBuffer();
    void applyGain();
    void releaseOutput();

private:
    void start(float ratio);

    AudioOutput::Handle buffer = 0;
    std::vector<AudioOutput::Handle> voices;
    std::vector<double> voiceStarted;
    double lastStart = 0.0;
    bool started = false;
};
