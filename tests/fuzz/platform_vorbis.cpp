// Damages a valid Ogg Vorbis file with the fuzzer's bytes and hands it to the decoder as a sound file:
// whole decoding, piecewise decoding and rewinding. A damaged file must be refused or end early, never
// crash. The input is read as (position, value) pairs written over the seed file; an odd first byte also
// cuts the file short.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/platform/VorbisDecoder.h"
#include "platform_vorbis_seed.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> file(VORBIS_SEED, VORBIS_SEED + sizeof(VORBIS_SEED));
    for (std::size_t i = 1; i + 2 < size; i += 3) {
        const std::size_t position = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % file.size();
        file[position] = data[i + 2];
    }
    if (size > 0 && (data[0] & 1) != 0) {
        file.resize(file.size() * data[0] / 256);
    }
    VorbisDecoder decoder(file.data(), file.size());
    if (!decoder.isOpen()) {
        return 0;
    }
    std::vector<std::int16_t> samples;
    decoder.readAll(samples);
    if (decoder.rewind()) {
        std::int16_t piece[512 * 2];
        for (int i = 0; i < 64 && decoder.read(piece, 512) > 0; ++i) {
        }
    }
    return 0;
}
