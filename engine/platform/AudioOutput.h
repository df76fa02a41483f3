#pragma once
// The sound output over OpenAL Soft: one device and context, buffers of 16-bit samples and sources that
// play them (one buffer, or a queue of buffers for streams). With no sound device it runs on a loopback
// device that the engine's frame drives, so sounds start, play out and end as they would with sound.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AudioOutput {
public:
    using Handle = unsigned;

    explicit AudioOutput(int sampleRate);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    static AudioOutput* instance();
    const std::string& deviceName() const { return name; }
    bool isLoopback() const { return loopback; }

    // Once per frame: renders the time that passed on a loopback device.
    void update(double dt);
    // Stops and restarts the whole output (every source pauses with it).
    void pauseAll();
    void resumeAll();
    // Stops every source there is.
    void stopAllSources();

    Handle createBuffer(const std::int16_t* samples, std::size_t frames, int channels, int rate);
    void deleteBuffer(Handle buffer);

    // 0 when no further source can be made.
    Handle createSource();
    void deleteSource(Handle source);
    void setBuffer(Handle source, Handle buffer); // 0 detaches
    void play(Handle source);                     // from where it stands (from the start after stop)
    void stop(Handle source);
    bool isPlaying(Handle source) const;
    void setPitch(Handle source, float ratio);
    void setGain(Handle source, float gain);
    void setLooping(Handle source, bool looping);
    // Streams: a queue of buffers per source.
    void queueBuffer(Handle source, Handle buffer);
    int processedBuffers(Handle source) const;
    Handle unqueueBuffer(Handle source);
    int queuedBuffers(Handle source) const;

private:
    void* device = nullptr;  // ALCdevice
    void* context = nullptr; // ALCcontext
    bool loopback = false;
    int rate = 44100;
    double pendingRender = 0.0;
    std::vector<std::int16_t> renderScratch;
    std::string name;
    std::vector<Handle> sources;
};
