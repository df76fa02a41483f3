#include "engine/audio/SoundStream.h"

#include <algorithm>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundFile.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/platform/VorbisDecoder.h"

const RuntimeClass SoundStream::classRecord(u"SoundStream", &KivBase::classRecord, nullptr);

SoundStream::SoundStream(int flags_, const UString& fileName_) : flags(flags_), fileName(fileName_)
{
    SoundFile::loadOrVerify(fileName, [this] { load(); });
    // Only a sound that exists joins the service's list (a failed load never finishes construction).
    KivAudio::instance()->add(this);
}

SoundStream::~SoundStream()
{
    releaseOutput();
    if (KivAudio* audio = KivAudio::instance()) {
        audio->remove(this);
    }
}

void SoundStream::releaseOutput()
{
    if (AudioOutput* out = AudioOutput::instance()) {
        if (voice != 0) {
            out->stop(voice);
            out->setBuffer(voice, 0);
            out->deleteSource(voice);
        }
        for (AudioOutput::Handle b : buffers) {
            out->deleteBuffer(b);
        }
    }
    voice = 0;
    buffers.fill(0);
    playing = false;
}

void SoundStream::load()
{
    if (decoder != nullptr) {
        return;
    }
    bytes = SoundFile::read(fileName);
    auto d = std::make_unique<VorbisDecoder>(bytes.data(), bytes.size());
    if (!d->isOpen()) {
        KIV_FATAL(formatString(u"Music '%s' could not be decoded.", fileName));
    }
    decoder = std::move(d);
}

long SoundStream::decodePiece()
{
    const int channels = decoder->channels();
    scratch.resize(static_cast<std::size_t>(BUFFER_FRAMES) * static_cast<std::size_t>(channels));
    long frames = 0;
    bool rewound = false;
    while (frames < BUFFER_FRAMES && !ended) {
        const long n = decoder->read(scratch.data() + frames * channels, BUFFER_FRAMES - frames);
        if (n > 0) {
            frames += n;
            rewound = false;
        } else if ((flags & FLAG_LOOP) != 0 && n == 0 && !rewound && decoder->rewind()) {
            rewound = true; // a looping track starts over; an empty one cannot spin here
        } else {
            ended = true; // the end, or a damaged stream
        }
    }
    return frames;
}

void SoundStream::play(bool restart)
{
    AudioOutput* out = AudioOutput::instance();
    KivAudio* audio = KivAudio::instance();
    if (out == nullptr || audio == nullptr) {
        return;
    }
    load();
    if (playing && !restart) {
        return;
    }
    if (voice == 0) {
        voice = out->createSource();
        if (voice == 0) {
            return;
        }
    }
    out->stop(voice);
    out->setBuffer(voice, 0);
    for (AudioOutput::Handle& b : buffers) {
        out->deleteBuffer(b);
        b = 0;
    }
    decoder->rewind();
    ended = false;
    const int channels = decoder->channels();
    for (AudioOutput::Handle& b : buffers) {
        const long frames = decodePiece();
        if (frames == 0) {
            break;
        }
        b = out->createBuffer(scratch.data(), static_cast<std::size_t>(frames), channels, decoder->sampleRate());
        out->queueBuffer(voice, b);
    }
    applyGain();
    out->play(voice);
    playing = true;
}

void SoundStream::stop()
{
    if (AudioOutput* out = AudioOutput::instance(); out != nullptr && voice != 0) {
        out->stop(voice);
    }
    playing = false;
}

void SoundStream::setVolume(float v)
{
    volume = std::clamp(v, 0.0f, 1.0f);
    slideSpeed = 0.0;
    stopWhenSilent = false;
    applyGain();
}

void SoundStream::slideVolume(float target, double seconds, bool stopSilent)
{
    slideTarget = std::clamp(target, 0.0f, 1.0f);
    stopWhenSilent = stopSilent;
    if (seconds <= 0.0) {
        volume = slideTarget;
        slideSpeed = 0.0;
        applyGain();
        if (stopWhenSilent && volume <= 0.0f) {
            stop();
        }
        return;
    }
    slideSpeed = (slideTarget - volume) / seconds;
    if (slideSpeed == 0.0 && stopWhenSilent && volume <= 0.0f) {
        stop();
    }
}

void SoundStream::applyGain()
{
    AudioOutput* out = AudioOutput::instance();
    KivAudio* audio = KivAudio::instance();
    if (out != nullptr && audio != nullptr && voice != 0) {
        out->setGain(voice, volume * audio->globalGain(KivAudio::GVOL_STREAM));
    }
}

void SoundStream::update(double dt)
{
    if (slideSpeed != 0.0 && dt > 0.0) {
        volume = static_cast<float>(volume + slideSpeed * dt);
        if ((slideSpeed > 0.0 && volume >= slideTarget) || (slideSpeed < 0.0 && volume <= slideTarget)) {
            volume = slideTarget;
            slideSpeed = 0.0;
            if (stopWhenSilent && volume <= 0.0f) {
                stop();
            }
        }
        applyGain();
    }
    AudioOutput* out = AudioOutput::instance();
    if (!playing || out == nullptr || voice == 0) {
        return;
    }
    // Refill the buffers that have played.
    const int channels = decoder->channels();
    int processed = out->processedBuffers(voice);
    while (processed-- > 0) {
        const AudioOutput::Handle done = out->unqueueBuffer(voice);
        auto slot = std::find(buffers.begin(), buffers.end(), done);
        if (slot == buffers.end()) {
            out->deleteBuffer(done);
            continue;
        }
        out->deleteBuffer(*slot);
        *slot = 0;
        if (ended) {
            continue;
        }
        const long frames = decodePiece();
        if (frames > 0) {
            *slot = out->createBuffer(scratch.data(), static_cast<std::size_t>(frames), channels, decoder->sampleRate());
            out->queueBuffer(voice, *slot);
        }
    }
    if (!out->isPlaying(voice)) {
        if (out->queuedBuffers(voice) > 0) {
            out->play(voice); // ran dry during a long frame: go on with what is queued
        } else {
            playing = false;
        }
    }
}
