#include "engine/audio/Sound.h"

#include <cmath>

#include "engine/audio/KivAudio.h"
#include "engine/audio/SoundFile.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/KivRandom.h"
#include "engine/core/Format.h"
#include "engine/platform/VorbisDecoder.h"

const RuntimeClass Sound::classRecord(u"Sound", &KivBase::classRecord, nullptr);


Sound::Sound(int flags_, int maxPlaybacks_, const UString& fileName_)
    : flags(flags_), maxPlaybacks(maxPlaybacks_ > 0 ? maxPlaybacks_ : 1), fileName(fileName_)
{
    SoundFile::loadOrVerify(fileName, [this] { load(); });
    // Only a sound that exists joins the service's list (a failed load never finishes construction).
    KivAudio::instance()->add(this);
}

Sound::~Sound()
{
    releaseOutput();
    if (KivAudio* audio = KivAudio::instance()) {
        audio->remove(this);
    }
}

void Sound::releaseOutput()
{
    if (AudioOutput* out = AudioOutput::instance()) {
        for (AudioOutput::Handle v : voices) {
            out->deleteSource(v);
        }
        out->deleteBuffer(buffer);
    }
    voices.clear();
    voiceStarted.clear();
    buffer = 0;
}

void Sound::load()
{
    if (buffer != 0) {
        return;
    }
    AudioOutput* out = AudioOutput::instance();
    KIV_ASSERT(out != nullptr);
    const std::vector<std::uint8_t> bytes = SoundFile::read(fileName);
    VorbisDecoder decoder(bytes.data(), bytes.size());
    std::vector<std::int16_t> samples;
    if (!decoder.isOpen() || !decoder.readAll(samples)) {
        KIV_FATAL(formatString(u"Sound '%s' could not be decoded.", fileName));
    }
    const std::size_t frames = samples.size() / static_cast<std::size_t>(decoder.channels());
    buffer = out->createBuffer(samples.data(), frames, decoder.channels(), decoder.sampleRate());
    if (buffer == 0) {
        KIV_FATAL(formatString(u"Sound '%s' could not be loaded.", fileName));
    }
}

AudioOutput::Handle Sound::sampleBuffer()
{
    load();
    return buffer;
}

void Sound::play() { start(1.0f + pitchMin + (pitchMax - pitchMin) * KivRandom::nextFloat()); }

void Sound::playPitched(float ratio) { start(ratio); }

void Sound::playSemitones(int semitones)
{
    float ratio = 1.0f;
    if (semitones > 0) {
        ratio = std::pow(1.0595f, static_cast<float>(semitones));
    } else if (semitones < 0) {
        ratio = 1.0f / std::pow(1.0595f, static_cast<float>(-semitones));
    }
    start(ratio);
}

void Sound::start(float ratio)
{
    KivAudio* audio = KivAudio::instance();
    AudioOutput* out = AudioOutput::instance();
    if (audio == nullptr || out == nullptr) {
        return;
    }
    const double now = audio->now();
    if (started && now - lastStart < minInterval) {
        return;
    }
    load();
    // A free voice, else a new one, else the one that started longest ago.
    int chosen = -1;
    for (std::size_t i = 0; i < voices.size(); ++i) {
        if (!out->isPlaying(voices[i])) {
            chosen = static_cast<int>(i);
            break;
        }
    }
    if (chosen < 0 && static_cast<int>(voices.size()) < maxPlaybacks) {
        if (const AudioOutput::Handle v = out->createSource(); v != 0) {
            out->setBuffer(v, buffer);
            voices.push_back(v);
            voiceStarted.push_back(now);
            chosen = static_cast<int>(voices.size()) - 1;
        }
    }
    if (chosen < 0) {
        if (voices.empty()) {
            return; // the output has no voice left to give
        }
        chosen = 0;
        for (std::size_t i = 1; i < voices.size(); ++i) {
            if (voiceStarted[i] < voiceStarted[static_cast<std::size_t>(chosen)]) {
                chosen = static_cast<int>(i);
            }
        }
    }
    const AudioOutput::Handle v = voices[static_cast<std::size_t>(chosen)];
    out->stop(v);
    out->setLooping(v, (flags & FLAG_LOOP) != 0);
    out->setPitch(v, ratio);
    out->setGain(v, volume * audio->globalGain(KivAudio::GVOL_SAMPLE));
    out->play(v);
    voiceStarted[static_cast<std::size_t>(chosen)] = now;
    lastStart = now;
    started = true;
}

void Sound::stop()
{
    if (AudioOutput* out = AudioOutput::instance()) {
        for (AudioOutput::Handle v : voices) {
            out->stop(v);
        }
    }
}

int Sound::playingCount() const
{
    int n = 0;
    if (const AudioOutput* out = AudioOutput::instance()) {
        for (AudioOutput::Handle v : voices) {
            n += out->isPlaying(v) ? 1 : 0;
        }
    }
    return n;
}

void Sound::applyGain()
{
    KivAudio* audio = KivAudio::instance();
    AudioOutput* out = AudioOutput::instance();
    if (audio == nullptr || out == nullptr) {
        return;
    }
    for (AudioOutput::Handle v : voices) {
        out->setGain(v, volume * audio->globalGain(KivAudio::GVOL_SAMPLE));
    }
}
