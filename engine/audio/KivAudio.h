#pragma once
// The sound service: the output device, the global volumes of samples, streams and music (0 to 10000),
// the sample rate, and the current music. Each frame it refills the playing streams and moves volume
// slides on. All sound work runs on the main thread.
#include <vector>

class AudioOutput;
class Sound;
class SoundStream;

class KivAudio {
public:
    // The global volume settings.
    enum GlobalVolume { GVOL_SAMPLE = 4, GVOL_STREAM = 5, GVOL_MUSIC = 6 };

    explicit KivAudio(int sampleRate = 44100);
    ~KivAudio();
    KivAudio(const KivAudio&) = delete;
    KivAudio& operator=(const KivAudio&) = delete;

    static KivAudio* instance();
    AudioOutput& output() { return *out; }

    // Once per frame with the frame's time step.
    void update(double dt);
    // The audio clock: the sum of the frame steps so far (seconds).
    double now() const { return clock; }

    // Makes the stream the current music: stops the previous one and starts this one from its beginning
    // at full volume, unless it is already playing (one still fading out returns to full volume). The
    // same stream again changes nothing; null stops the music.
    void setMusic(SoundStream* stream);
    // Slides the current music's volume to `target` (clamped to 0..1) over `seconds`. A target of 0
    // forgets the current music at once; it still slides down and stops when silent.
    void fadeMusic(float target, double seconds);
    SoundStream* currentMusic = nullptr;

    // Stops all output, ending every sound, channel and stream that plays; starts the output again.
    void stopAll();
    void startAll();

    void setGlobalVolume(int which, int value);
    int getGlobalVolume(int which) const;
    // The gain that a global volume gives (0..1).
    float globalGain(int which) const;

    int sampleRate = 44100;

    // Book-keeping of the sounds and streams that exist.
    void add(Sound* sound);
    void remove(Sound* sound);
    void add(SoundStream* stream);
    void remove(SoundStream* stream);

private:
    void applyVolumes();

    AudioOutput* out = nullptr;
    double clock = 0.0;
    int volumeSample = 10000;
    int volumeStream = 10000;
    int volumeMusic = 10000;
    std::vector<Sound*> sounds;
    std::vector<SoundStream*> streams;
};
