#include "engine/platform/VorbisDecoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace {

size_t readCallback(void* ptr, size_t size, size_t count, void* user)
{
    auto* src = static_cast<VorbisDecoder::Source*>(user);
    const std::size_t wanted = size * count;
    const std::size_t n = std::min(wanted, src->size - src->position);
    std::memcpy(ptr, src->data + src->position, n);
    src->position += n;
    return size == 0 ? 0 : n / size;
}

int seekCallback(void* user, ogg_int64_t offset, int whence)
{
    auto* src = static_cast<VorbisDecoder::Source*>(user);
    ogg_int64_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(src->position); break;
    case SEEK_END: base = static_cast<ogg_int64_t>(src->size); break;
    default: return -1;
    }
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(src->size)) {
        return -1;
    }
    src->position = static_cast<std::size_t>(target);
    return 0;
}

long tellCallback(void* user) { return static_cast<long>(static_cast<VorbisDecoder::Source*>(user)->position); }

OggVorbis_File* vf(void* p) { return static_cast<OggVorbis_File*>(p); }

} // namespace

VorbisDecoder::VorbisDecoder(const void* data, std::size_t size)
    : source{static_cast<const unsigned char*>(data), data != nullptr ? size : 0, 0}
{
    file = new OggVorbis_File{};
    const ov_callbacks callbacks{readCallback, seekCallback, nullptr, tellCallback};
    if (ov_open_callbacks(&source, vf(file), nullptr, 0, callbacks) != 0) {
        delete vf(file);
        file = nullptr;
        return;
    }
    const vorbis_info* info = ov_info(vf(file), -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        ov_clear(vf(file));
        delete vf(file);
        file = nullptr;
        return;
    }
    channelCount = info->channels;
    rate = static_cast<int>(info->rate);
    open = true;
}

VorbisDecoder::~VorbisDecoder()
{
    if (file != nullptr) {
        ov_clear(vf(file));
        delete vf(file);
    }
}

long VorbisDecoder::read(std::int16_t* out, long frames)
{
    if (!open) {
        return -1;
    }
    const long bytesWanted = frames * channelCount * 2;
    long done = 0;
    char* dst = reinterpret_cast<char*>(out);
    while (done < bytesWanted) {
        int section = 0;
        const long n = ov_read(vf(file), dst + done, static_cast<int>(bytesWanted - done), 0, 2, 1, &section);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (n == OV_HOLE) {
                continue;
            }
            return -1;
        }
        done += n;
    }
    return done / (channelCount * 2);
}

bool VorbisDecoder::rewind() { return open && ov_raw_seek(vf(file), 0) == 0; }

bool VorbisDecoder::readAll(std::vector<std::int16_t>& samples)
{
    samples.clear();
    if (!open) {
        return false;
    }
    std::int16_t chunk[4096 * 2];
    for (;;) {
        const long frames = read(chunk, 4096);
        if (frames < 0) {
            return false;
        }
        if (frames == 0) {
            return true;
        }
        samples.insert(samples.end(), chunk, chunk + frames * channelCount);
    }
}
