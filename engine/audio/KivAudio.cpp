#include "engine/audio/KivAudio.h"

#include <algorithm>

#include "engine/audio/Sound.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/platform/AudioOutput.h"

namespace {
KivAudio* gAudio = nullptr;
}

KivAudio::KivAudio(int rate) : sampleRate(rate)
{
    Logger::logFrom("KivAudio::KivAudio", u"Starting...");
    KIV_ASSERT(gAudio == nullptr);
    out = new AudioOutput(sampleRate);
    Logger::logFrom("KivAudio::KivAudio", u"Output: %s, %d Hz", out->deviceName(), sampleRate);
    gAudio = this;
    Logger::logFrom("KivAudio::KivAudio", u"Started.");
}

KivAudio::~KivAudio()
{
    // Sounds and streams that outlive the service go quiet; they are owned elsewhere.
    for (SoundStream* s : streams) {
        s->releaseOutput();
    }
    for (Sound* s : sounds) {
        s->releaseOutput();
    }
    streams.clear();
    sounds.clear();
    currentMusic = nullptr;
    delete out;
    out = nullptr;
    if (gAudio == this) {
        gAudio = nullptr;
    }
}

KivAudio* KivAudio::instance() { return gAudio; }

void KivAudio::update(double dt)
{
    if (dt > 0.0) {
        clock += dt;
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
        streams[i]->update(dt);
    }
    out->update(dt);
}

void KivAudio::setMusic(SoundStream* stream)
{
    if (stream == currentMusic) {
        return;
    }
    if (currentMusic != nullptr) {
        currentMusic->stop();
    }
    currentMusic = stream;
    if (stream == nullptr) {
        return;
    }
    if (!stream->isPlaying()) {
        stream->setVolume(1.0f);
        stream->play(true);
    } else if (stream->isFadingOut()) {
        // Chosen again while it was still fading out: it would end silent, so it comes back instead.
        stream->setVolume(1.0f);
    }
}

void KivAudio::fadeMusic(float target, double seconds)
{
    if (currentMusic == nullptr) {
        return;
    }
    target = std::clamp(target, 0.0f, 1.0f);
    currentMusic->slideVolume(target, seconds, target <= 0.0f);
    if (target <= 0.0f) {
        currentMusic = nullptr;
    }
}

void KivAudio::stopAll()
{
    // Every playback ends, as on a stopped output: after startAll only what is played anew is heard.
    for (SoundStream* s : streams) {
        s->stop();
    }
    out->stopAllSources();
    out->pauseAll();
}

void KivAudio::startAll() { out->resumeAll(); }

void KivAudio::setGlobalVolume(int which, int value)
{
    value = std::clamp(value, 0, 10000);
    switch (which) {
    case GVOL_SAMPLE: volumeSample = value; break;
    case GVOL_STREAM: volumeStream = value; break;
    case GVOL_MUSIC: volumeMusic = value; break;
    default: return;
    }
    applyVolumes();
}

int KivAudio::getGlobalVolume(int which) const
{
    switch (which) {
    case GVOL_SAMPLE: return volumeSample;
    case GVOL_STREAM: return volumeStream;
    case GVOL_MUSIC: return volumeMusic;
    default: return 0;
    }
}

float KivAudio::globalGain(int which) const { return static_cast<float>(getGlobalVolume(which)) / 10000.0f; }

void KivAudio::applyVolumes()
{
    for (Sound* s : sounds) {
        s->applyGain();
    }
    for (SoundStream* s : streams) {
        s->applyGain();
    }
}

void KivAudio::add(Sound* sound) { sounds.push_back(sound); }
void KivAudio::remove(Sound* sound) { std::erase(sounds, sound); }
void KivAudio::add(SoundStream* stream) { streams.push_back(stream); }

void KivAudio::remove(SoundStream* stream)
{
    std::erase(streams, stream);
    if (currentMusic == stream) {
        currentMusic = nullptr;
    }
}
