#include "engine/platform/AudioOutput.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"

namespace {
AudioOutput* gOutput = nullptr;

ALCdevice* dev(void* p) { return static_cast<ALCdevice*>(p); }
ALCcontext* ctx(void* p) { return static_cast<ALCcontext*>(p); }

// Keeps what the audio libraries print on standard error to themselves while it lives: with no sound card
// they report every device they fail to open, and the engine's log says in one line what came of it.
// A user who set ALSOFT_LOGLEVEL asked to see those lines and gets them.
class QuietStandardError {
public:
    QuietStandardError()
    {
        if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) {
            return;
        }
        std::fflush(stderr);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere < 0) {
            return;
        }
        saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved >= 0) {
            ::dup2(nowhere, STDERR_FILENO);
        }
        ::close(nowhere);
    }
    ~QuietStandardError()
    {
        if (saved >= 0) {
            std::fflush(stderr);
            ::dup2(saved, STDERR_FILENO);
            ::close(saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

template <class Fn>
Fn alcFunction(ALCdevice* device, const char* name)
{
    return reinterpret_cast<Fn>(alcGetProcAddress(device, name));
}
} // namespace

AudioOutput::AudioOutput(int sampleRate) : rate(sampleRate > 0 ? sampleRate : 44100)
{
    KIV_ASSERT(gOutput == nullptr);
    {
        QuietStandardError quiet;
        device = alcOpenDevice(nullptr);
    }
    if (device != nullptr) {
        const ALCint attributes[] = {ALC_FREQUENCY, rate, 0};
        context = alcCreateContext(dev(device), attributes);
        if (context == nullptr) {
            alcCloseDevice(dev(device));
            device = nullptr;
        }
    }
    if (device == nullptr) {
        // No sound device: a loopback device that nobody hears, rendered by update().
        auto openLoopback = alcFunction<LPALCLOOPBACKOPENDEVICESOFT>(nullptr, "alcLoopbackOpenDeviceSOFT");
        if (openLoopback != nullptr) {
            device = openLoopback(nullptr);
        }
        if (device == nullptr) {
            KIV_FATAL(u"Could not open a sound device or a loopback device.");
        }
        loopback = true;
        const ALCint attributes[] = {ALC_FREQUENCY,         rate,         ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, 0};
        context = alcCreateContext(dev(device), attributes);
        if (context == nullptr) {
            alcCloseDevice(dev(device));
            KIV_FATAL(u"Could not create the sound context.");
        }
    }
    alcMakeContextCurrent(ctx(context));
    const ALCchar* deviceName = alcGetString(dev(device), ALC_ALL_DEVICES_SPECIFIER);
    if (deviceName == nullptr) {
        deviceName = alcGetString(dev(device), ALC_DEVICE_SPECIFIER);
    }
    name = loopback ? std::string("null output (no sound device)") : std::string(deviceName ? deviceName : "unknown");
    gOutput = this;
}

AudioOutput::~AudioOutput()
{
    alcMakeContextCurrent(nullptr);
    if (context != nullptr) {
        alcDestroyContext(ctx(context));
    }
    if (device != nullptr) {
        alcCloseDevice(dev(device));
    }
    if (gOutput == this) {
        gOutput = nullptr;
    }
}

AudioOutput* AudioOutput::instance() { return gOutput; }

void AudioOutput::update(double dt)
{
    if (!loopback || dt <= 0.0) {
        return;
    }
    pendingRender += std::min(dt, 1.0) * rate;
    const auto frames = static_cast<ALCsizei>(pendingRender);
    if (frames <= 0) {
        return;
    }
    pendingRender -= frames;
    renderScratch.resize(static_cast<std::size_t>(frames) * 2);
    auto render = alcFunction<LPALCRENDERSAMPLESSOFT>(dev(device), "alcRenderSamplesSOFT");
    if (render != nullptr) {
        render(dev(device), renderScratch.data(), frames);
    }
}

void AudioOutput::pauseAll()
{
    if (auto pause = alcFunction<LPALCDEVICEPAUSESOFT>(dev(device), "alcDevicePauseSOFT"); pause && !loopback) {
        pause(dev(device));
    } else {
        alcSuspendContext(ctx(context));
    }
}

void AudioOutput::resumeAll()
{
    if (auto resume = alcFunction<LPALCDEVICERESUMESOFT>(dev(device), "alcDeviceResumeSOFT"); resume && !loopback) {
        resume(dev(device));
    } else {
        alcProcessContext(ctx(context));
    }
}

AudioOutput::Handle AudioOutput::createBuffer(const std::int16_t* samples, std::size_t frames, int channels, int sampleRate)
{
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        return 0;
    }
    const ALenum format = channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, samples, static_cast<ALsizei>(frames * static_cast<std::size_t>(channels) * 2), sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

void AudioOutput::deleteBuffer(Handle buffer)
{
    if (buffer != 0) {
        alDeleteBuffers(1, &buffer);
    }
}

AudioOutput::Handle AudioOutput::createSource()
{
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        return 0;
    }
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    sources.push_back(source);
    return source;
}

void AudioOutput::deleteSource(Handle source)
{
    if (source != 0) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        alDeleteSources(1, &source);
        std::erase(sources, source);
    }
}

void AudioOutput::stopAllSources()
{
    for (Handle source : sources) {
        alSourceStop(source);
    }
}

void AudioOutput::setBuffer(Handle source, Handle buffer) { alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer)); }
void AudioOutput::play(Handle source) { alSourcePlay(source); }
void AudioOutput::stop(Handle source) { alSourceStop(source); }

bool AudioOutput::isPlaying(Handle source) const
{
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

void AudioOutput::setPitch(Handle source, float ratio) { alSourcef(source, AL_PITCH, std::clamp(ratio, 0.01f, 16.0f)); }
void AudioOutput::setGain(Handle source, float gain) { alSourcef(source, AL_GAIN, std::max(gain, 0.0f)); }
void AudioOutput::setLooping(Handle source, bool looping) { alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE); }

void AudioOutput::queueBuffer(Handle source, Handle buffer)
{
    ALuint b = buffer;
    alSourceQueueBuffers(source, 1, &b);
}

int AudioOutput::processedBuffers(Handle source) const
{
    ALint n = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &n);
    return n;
}

int AudioOutput::queuedBuffers(Handle source) const
{
    ALint n = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &n);
    return n;
}

AudioOutput::Handle AudioOutput::unqueueBuffer(Handle source)
{
    ALuint b = 0;
    alSourceUnqueueBuffers(source, 1, &b);
    return alGetError() == AL_NO_ERROR ? b : 0;
}
