#pragma once
// A music track: an Ogg Vorbis file decoded piece by piece while it plays, through a short queue of
// buffers that the sound service refills every frame. Flag bit 0 makes it loop.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"
#include "engine/platform/AudioOutput.h"

class VorbisDecoder;

class SoundStream : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    enum Flags { FLAG_LOOP = 0x1 };

    SoundStream(int flags, const UString& fileName);
    ~SoundStream() override;
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Starts from the beginning (restart) or from where it stands.
    void play(bool restart);
    void stop();
    bool isPlaying() const { return playing; }

    // Volume 0..1 (before the global stream volume).
    void setVolume(float volume);
    float getVolume() const { return volume; }
    // Moves the volume to `target` over `seconds`; with stopWhenSilent the stream stops on reaching 0.
    void slideVolume(float target, double seconds, bool stopWhenSilent = false);
    bool isSliding() const { return slideSpeed != 0.0; }
    // Sliding down to stop once silent (music that was faded out and forgotten).
    bool isFadingOut() const { return stopWhenSilent && slideSpeed < 0.0; }

    void load();
    bool isLoaded() const { return decoder != nullptr; }

    int flags = 0;
    UString fileName;

    // For the sound service.
    void update(double dt);
    void applyGain();
    void releaseOutput();

private:
    static constexpr int BUFFER_COUNT = 4;
    static constexpr long BUFFER_FRAMES = 16384;

    // Decodes the next piece into `scratch`; the frames decoded, 0 at the end of a track that does not loop.
    long decodePiece();

    std::vector<std::uint8_t> bytes;
    std::unique_ptr<VorbisDecoder> decoder;
    AudioOutput::Handle voice = 0;
    std::array<AudioOutput::Handle, BUFFER_COUNT> buffers{};
    std::vector<std::int16_t> scratch;
    bool playing = false;
    bool ended = false; // the decoder has delivered the last piece
    float volume = 1.0f;
    float slideTarget = 1.0f;
    double slideSpeed = 0.0; // volume per second, signed
    bool stopWhenSilent = false;
};
