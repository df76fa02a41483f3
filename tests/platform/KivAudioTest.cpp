// Sounds and music on OpenAL's null output: starts, intervals, voices, stopping, fades and music changes.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "OggWriter.h"
#include "engine/audio/KivAudio.h"
#include "engine/audio/Sound.h"
#include "engine/audio/SoundChannel.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "support/KivHarness.h"

class KivAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.kiv().fileManager->bForceDisk = true;
        writeBytes(h.dataFolder.file("short.ogg"), encodeToneOgg(0.05));
        writeBytes(h.dataFolder.file("long.ogg"), encodeToneOgg(2.0, 2));
        writeBytes(h.dataFolder.file("music.ogg"), encodeToneOgg(0.3, 2));
        writeBytes(h.dataFolder.file("broken.ogg"), {'O', 'g', 'g', 'S', 0, 1, 2, 3});
    }

    UString file(const char* name) { return utf8ToWide(h.dataFolder.file(name)); }

    // Frames at the harness's fixed step, with real time passing for the output.
    void playFor(double seconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            h.frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Frames as playFor's until `done` holds: the output plays as far as it has got, which on a busy machine
    // lags behind the clock. False when it does not hold after far longer than the test's sounds last.
    template <class Done>
    bool playUntil(Done done)
    {
        for (int i = 0; i < 3000 && !done(); ++i) {
            h.frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return done();
    }

    KivHarness h;
    KivAudio& audio() { return *h.kiv().audio; }
};

TEST_F(KivAudioTest, PlaybacksRespectTheIntervalAndTheVoiceLimit)
{
    Sound sound(0, 2, file("long.ogg"));
    EXPECT_TRUE(sound.isLoaded());
    sound.minInterval = 0.05;
    sound.play();
    sound.play(); // same moment: too soon
    EXPECT_EQ(sound.playingCount(), 1);
    h.frames(3); // 0.03 s
    sound.play();
    EXPECT_EQ(sound.playingCount(), 1);
    h.frames(3); // 0.06 s since the first start
    sound.play();
    EXPECT_EQ(sound.playingCount(), 2);

    // No more voices than the limit: a further start takes over the oldest.
    sound.minInterval = 0.0;
    for (int i = 0; i < 5; ++i) {
        sound.playPitched(0.5f + 0.1f * static_cast<float>(i));
        sound.playSemitones(i - 2);
    }
    EXPECT_EQ(sound.playingCount(), 2);
    sound.stop();
    EXPECT_EQ(sound.playingCount(), 0);
}

TEST_F(KivAudioTest, FireAndForgetEndsButALoopingSoundGoesOn)
{
    Sound once(0, 1, file("short.ogg"));
    Sound looping(Sound::FLAG_LOOP, 1, file("short.ogg"));
    once.pitchMin = -0.1f;
    once.pitchMax = 0.1f;
    // Started after the looping sound, of its length and pitch: once it has ended, so would have the
    // looping sound without its loop.
    Sound witness(0, 1, file("short.ogg"));
    once.play();
    looping.play();
    witness.play();
    EXPECT_EQ(once.playingCount(), 1);
    ASSERT_TRUE(playUntil([&] { return once.playingCount() == 0 && witness.playingCount() == 0; }));
    EXPECT_EQ(looping.playingCount(), 1);
    looping.stop();
    EXPECT_EQ(looping.playingCount(), 0);
}

TEST_F(KivAudioTest, ChannelIsControlledByItsOwner)
{
    Sound sound(Sound::FLAG_LOOP, 1, file("short.ogg"));
    SoundChannel channel(&sound);
    EXPECT_FALSE(channel.isPlaying());
    channel.setVolume(0.5f);
    channel.setPitch(1.5f);
    channel.play();
    Sound witness(0, 1, file("short.ogg"));
    witness.play();
    // At a pitch of 1.5 the channel would have ended before the witness, without its loop.
    ASSERT_TRUE(playUntil([&] { return witness.playingCount() == 0; }));
    EXPECT_TRUE(channel.isPlaying());
    channel.stop();
    EXPECT_FALSE(channel.isPlaying());
}

TEST_F(KivAudioTest, MusicSwitchesFadesAndRestartsAtFullVolume)
{
    SoundStream a(SoundStream::FLAG_LOOP, file("music.ogg"));
    SoundStream b(SoundStream::FLAG_LOOP, file("music.ogg"));
    audio().setMusic(&a);
    EXPECT_EQ(audio().currentMusic, &a);
    EXPECT_TRUE(a.isPlaying());
    audio().setMusic(&a); // the same again changes nothing
    EXPECT_TRUE(a.isPlaying());

    audio().setMusic(&b);
    EXPECT_FALSE(a.isPlaying());
    EXPECT_TRUE(b.isPlaying());

    // Looping keeps it going past its length (0.3 s): a stream of it started later, without loop, has ended.
    SoundStream witness(0, file("music.ogg"));
    witness.play(true);
    ASSERT_TRUE(playUntil([&] { return !witness.isPlaying(); }));
    EXPECT_TRUE(b.isPlaying());

    audio().fadeMusic(0.5f, 0.1);
    EXPECT_EQ(audio().currentMusic, &b);
    h.frames(20);
    EXPECT_FLOAT_EQ(b.getVolume(), 0.5f);

    // Fading to silence forgets the music at once; it stops once silent.
    audio().fadeMusic(0.0f, 0.05);
    EXPECT_EQ(audio().currentMusic, nullptr);
    EXPECT_TRUE(b.isPlaying());
    h.frames(10);
    EXPECT_FALSE(b.isPlaying());

    // Chosen again, it is heard again.
    audio().setMusic(&b);
    EXPECT_TRUE(b.isPlaying());
    EXPECT_FLOAT_EQ(b.getVolume(), 1.0f);

    // Chosen again while still fading out, it keeps playing at full volume instead of ending silent.
    audio().fadeMusic(0.0f, 0.1);
    h.frames(2);
    audio().setMusic(&b);
    EXPECT_EQ(audio().currentMusic, &b);
    h.frames(20);
    EXPECT_TRUE(b.isPlaying());
    EXPECT_FLOAT_EQ(b.getVolume(), 1.0f);
    audio().setMusic(nullptr);
    EXPECT_FALSE(b.isPlaying());
}

TEST_F(KivAudioTest, StreamWithoutLoopEndsAndStopAllEndsEveryPlayback)
{
    SoundStream once(0, file("music.ogg"));
    once.play(true);
    EXPECT_TRUE(once.isPlaying());
    EXPECT_TRUE(playUntil([&] { return !once.isPlaying(); }));

    // Stopping the output ends what plays; starting it again brings none of it back.
    SoundStream music(SoundStream::FLAG_LOOP, file("music.ogg"));
    Sound looping(Sound::FLAG_LOOP, 1, file("short.ogg"));
    SoundChannel channel(&looping);
    audio().setMusic(&music);
    looping.play();
    channel.play();
    audio().stopAll();
    audio().startAll();
    playFor(0.1);
    EXPECT_FALSE(music.isPlaying());
    EXPECT_EQ(looping.playingCount(), 0);
    EXPECT_FALSE(channel.isPlaying());

    // A new play is heard.
    once.play(true);
    looping.play();
    EXPECT_TRUE(once.isPlaying());
    EXPECT_EQ(looping.playingCount(), 1);
}

TEST_F(KivAudioTest, GlobalVolumesStayInRange)
{
    audio().setGlobalVolume(KivAudio::GVOL_SAMPLE, 12000);
    audio().setGlobalVolume(KivAudio::GVOL_STREAM, -5);
    audio().setGlobalVolume(KivAudio::GVOL_MUSIC, 2500);
    EXPECT_EQ(audio().getGlobalVolume(KivAudio::GVOL_SAMPLE), 10000);
    EXPECT_EQ(audio().getGlobalVolume(KivAudio::GVOL_STREAM), 0);
    EXPECT_EQ(audio().getGlobalVolume(KivAudio::GVOL_MUSIC), 2500);
    EXPECT_EQ(audio().sampleRate, 44100);
}

TEST_F(KivAudioTest, MissingOrBrokenFilesFailWithTheirName)
{
    try {
        Sound missing(0, 1, file("nothing.ogg"));
        FAIL() << "a missing file must be fatal";
    } catch (const FatalError& e) {
        EXPECT_NE(wideToUtf8(e.message).find("Failed to open file '"), std::string::npos);
        EXPECT_NE(wideToUtf8(e.message).find("nothing.ogg"), std::string::npos);
    }
    try {
        SoundStream broken(0, file("broken.ogg"));
        FAIL() << "a broken file must be fatal";
    } catch (const FatalError& e) {
        EXPECT_NE(wideToUtf8(e.message).find("broken.ogg"), std::string::npos);
    }
}

TEST_F(KivAudioTest, DelayedLoadOnlyVerifiesUntilFirstPlayback)
{
    h.kiv().bEnableDelayedLoad = true;
    Sound sound(0, 1, file("short.ogg"));
    EXPECT_FALSE(sound.isLoaded());
    sound.play();
    EXPECT_TRUE(sound.isLoaded());
    SoundStream stream(0, file("music.ogg"));
    EXPECT_FALSE(stream.isLoaded());
    try {
        Sound missing(0, 1, file("nothing.ogg"));
        FAIL() << "verification must fail";
    } catch (const FatalError& e) {
        EXPECT_NE(wideToUtf8(e.message).find("verification failed"), std::string::npos);
    }
}
