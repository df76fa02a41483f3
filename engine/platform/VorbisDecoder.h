#pragma once
// Ogg Vorbis decoding from a block of memory (libvorbisfile), to interleaved 16-bit samples. The block
// must outlive the decoder.
#include <cstddef>
#include <cstdint>
#include <vector>

class VorbisDecoder {
public:
    VorbisDecoder(const void* data, std::size_t size);
    ~VorbisDecoder();
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // False when the block is not an Ogg Vorbis stream.
    bool isOpen() const { return open; }
    int channels() const { return channelCount; }
    int sampleRate() const { return rate; }
    // Decodes up to `frames` frames into `out` (frames x channels samples); returns the frames written,
    // 0 at the end of the stream, -1 on a damaged stream.
    long read(std::int16_t* out, long frames);
    bool rewind();
    // The whole stream; false when it cannot be decoded.
    bool readAll(std::vector<std::int16_t>& samples);

    struct Source {
        const unsigned char* data;
        std::size_t size;
        std::size_t position;
    };

private:
    Source source;
    void* file = nullptr; // OggVorbis_File
    bool open = false;
    int channelCount = 0;
    int rate = 0;
};
