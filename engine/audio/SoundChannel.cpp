#include "engine/audio/SoundChannel.h"

#include "engine/audio/KivAudio.h"
#include "engine/audio/Sound.h"

SoundChannel::SoundChannel(Sound* sound_) : sound(sound_)
{
    AudioOutput* out = AudioOutput::instance();
    if (out == nullptr || sound == nullptr) {
        return;
    }
    voice = out->createSource();
    if (voice != 0) {
        out->setBuffer(voice, sound->sampleBuffer());
        out->setLooping(voice, (sound->flags & Sound::FLAG_LOOP) != 0);
    }
}

SoundChannel::~SoundChannel()
{
    if (AudioOutput* out = AudioOutput::instance()) {
        out->deleteSource(voice);
    }
}

void SoundChannel::play()
{
    AudioOutput* out = AudioOutput::instance();
    if (out == nullptr || voice == 0) {
        return;
    }
    applyGain();
    if (!out->isPlaying(voice)) {
        out->play(voice);
    }
}

void SoundChannel::stop()
{
    if (AudioOutput* out = AudioOutput::instance(); out != nullptr && voice != 0) {
        out->stop(voice);
    }
}

bool SoundChannel::isPlaying() const
{
    const AudioOutput* out = AudioOutput::instance();
    return out != nullptr && voice != 0 && out->isPlaying(voice);
}

void SoundChannel::setVolume(float v)
{
    volume = v;
    applyGain();
}

void SoundChannel::setPitch(float ratio)
{
    if (AudioOutput* out = AudioOutput::instance(); out != nullptr && voice != 0) {
        out->setPitch(voice, ratio);
    }
}

void SoundChannel::setLooping(bool looping)
{
    if (AudioOutput* out = AudioOutput::instance(); out != nullptr && voice != 0) {
        out->setLooping(voice, looping);
    }
}

void SoundChannel::applyGain()
{
    AudioOutput* out = AudioOutput::instance();
    KivAudio* audio = KivAudio::instance();
    if (out != nullptr && audio != nullptr && voice != 0) {
        out->setGain(voice, volume * (sound != nullptr ? sound->volume : 1.0f) * audio->globalGain(KivAudio::GVOL_SAMPLE));
    }
}
