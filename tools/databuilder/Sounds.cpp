#include "tools/databuilder/Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <vorbis/vorbisenc.h>

namespace {

constexpr int RATE = 22050;

// One voice of a sound: a tone sweeping exponentially from f0 to f1 with `harmonics` overtones, mixed with
// low-passed noise, under an envelope: `attack` seconds up, then an exponential decay at `decay` per second
// (0: held to the end, with a short release).
struct Voice {
    float start, length;
    float f0, f1;
    int harmonics;
    float noise;   // 0 tone only .. 1 noise only
    float lowpass; // one-pole coefficient of the noise, 0..1 (1 = unfiltered)
    float attack, decay;
    float vibrato; // Hz of a 3 % frequency wobble, 0 for none
    float gain;
};

struct Recipe {
    const char* file;
    bool loop;
    Voice voices[4];
};

// clang-format off
const Recipe RECIPES[] = {
    // interface
    {"sfx/clickXP.ogg", false, {{0, 0.03f, 2400, 1800, 1, 0.3f, 0.8f, 0.001f, 120, 0, 0.6f}}},
    {"sfx/pop.ogg", false, {{0, 0.09f, 900, 320, 1, 0.05f, 0.5f, 0.002f, 35, 0, 0.8f}}},
    {"sfx/typewriter.ogg", false, {{0, 0.05f, 1800, 1200, 1, 0.7f, 0.9f, 0.001f, 70, 0, 0.6f}, {0.005f, 0.04f, 300, 200, 1, 0, 0, 0.001f, 60, 0, 0.4f}}},
    {"sfx/saveProgress.ogg", false, {{0, 0.5f, 880, 880, 2, 0, 0, 0.005f, 6, 0, 0.4f}, {0.12f, 0.6f, 1318, 1318, 2, 0, 0, 0.005f, 5, 0, 0.4f}}},
    {"sfx/secretArea.ogg", false, {{0, 0.5f, 784, 784, 2, 0, 0, 0.005f, 5, 0, 0.35f}, {0.15f, 0.5f, 988, 988, 2, 0, 0, 0.005f, 5, 0, 0.35f}, {0.3f, 0.5f, 1175, 1175, 2, 0, 0, 0.005f, 5, 0, 0.35f}, {0.45f, 0.9f, 1568, 1568, 2, 0, 0, 0.005f, 3, 0, 0.35f}}},
    {"sfx/bellsmall.ogg", false, {{0, 0.9f, 1760, 1760, 1, 0, 0, 0.002f, 4, 0, 0.4f}, {0, 0.9f, 4400, 4400, 1, 0, 0, 0.002f, 7, 0, 0.15f}}},
    {"sfx/vibe.ogg", false, {{0, 0.6f, 523, 523, 1, 0, 0, 0.01f, 4, 6, 0.4f}, {0, 0.6f, 784, 784, 1, 0, 0, 0.01f, 4, 6, 0.3f}}},
    {"sfx/music/win.ogg", false, {{0, 0.2f, 523, 523, 3, 0, 0, 0.005f, 6, 0, 0.4f}, {0.18f, 0.2f, 659, 659, 3, 0, 0, 0.005f, 6, 0, 0.4f}, {0.36f, 0.2f, 784, 784, 3, 0, 0, 0.005f, 6, 0, 0.4f}, {0.54f, 0.8f, 1047, 1047, 3, 0, 0, 0.005f, 3, 5, 0.45f}}},
    {"sfx/music/lose.ogg", false, {{0, 0.3f, 392, 392, 3, 0, 0, 0.01f, 4, 0, 0.4f}, {0.28f, 0.3f, 370, 370, 3, 0, 0, 0.01f, 4, 0, 0.4f}, {0.56f, 0.3f, 349, 349, 3, 0, 0, 0.01f, 4, 0, 0.4f}, {0.84f, 0.9f, 330, 300, 3, 0, 0, 0.01f, 2, 5, 0.45f}}},
    // ambience loops
    {"sfx/bee.ogg", true, {{0, 1.0f, 210, 210, 6, 0.1f, 0.5f, 0.05f, 0, 9, 0.35f}}},
    {"sfx/birds.ogg", true, {{0.1f, 0.12f, 3200, 4200, 1, 0, 0, 0.01f, 20, 25, 0.25f}, {0.3f, 0.1f, 3600, 2800, 1, 0, 0, 0.01f, 20, 25, 0.25f}, {1.1f, 0.15f, 2900, 4100, 1, 0, 0, 0.01f, 15, 30, 0.25f}, {1.4f, 0.1f, 4000, 3000, 1, 0, 0, 0.01f, 20, 25, 0.2f}}},
    {"sfx/waterfall.ogg", true, {{0, 2.0f, 100, 100, 1, 1, 0.35f, 0.05f, 0, 0, 0.5f}}},
    {"sfx/snailWalk.ogg", true, {{0, 0.6f, 180, 120, 1, 0.6f, 0.2f, 0.05f, 3, 0, 0.3f}, {0.6f, 0.6f, 170, 110, 1, 0.6f, 0.2f, 0.05f, 3, 0, 0.3f}}},
    {"sfx/hedgehogSqueak.ogg", true, {{0, 0.15f, 2200, 2600, 2, 0, 0, 0.01f, 10, 20, 0.3f}, {0.5f, 0.12f, 2400, 2000, 2, 0, 0, 0.01f, 10, 20, 0.3f}, {0.9f, 0.2f, 0, 0, 1, 0, 0, 0.01f, 0, 0, 0.0f}}},
    {"sfx/geyserErupt.ogg", true, {{0, 1.5f, 100, 100, 1, 1, 0.6f, 0.1f, 0, 0, 0.55f}}},
    {"sfx/geyserRumble.ogg", false, {{0, 1.2f, 60, 45, 2, 0.6f, 0.08f, 0.2f, 1.5f, 4, 0.6f}}},
    // water and mud
    {"sfx/waterSplashSmall.ogg", false, {{0, 0.3f, 600, 200, 1, 0.85f, 0.5f, 0.002f, 12, 0, 0.6f}}},
    {"sfx/waterSplashLarge.ogg", false, {{0, 0.7f, 400, 120, 1, 0.9f, 0.45f, 0.005f, 5, 0, 0.7f}, {0.05f, 0.5f, 200, 80, 1, 0.3f, 0.3f, 0.01f, 6, 0, 0.4f}}},
    {"sfx/mudSplash.ogg", false, {{0, 0.35f, 220, 90, 2, 0.6f, 0.15f, 0.003f, 10, 0, 0.6f}}},
    {"sfx/explosion.ogg", false, {{0, 1.2f, 80, 30, 1, 0.9f, 0.25f, 0.002f, 3.5f, 0, 0.9f}}},
    // objects
    {"sfx/magicHat.ogg", false, {{0, 0.6f, 600, 2400, 2, 0.1f, 0.9f, 0.02f, 3, 8, 0.35f}, {0.1f, 0.5f, 1200, 3600, 1, 0, 0, 0.02f, 4, 0, 0.25f}}},
    {"sfx/umbrellaOpen.ogg", false, {{0, 0.25f, 400, 1200, 1, 0.95f, 0.7f, 0.02f, 10, 0, 0.5f}}},
    {"sfx/drawbridgeRaise.ogg", false, {{0, 1.2f, 90, 110, 4, 0.5f, 0.2f, 0.05f, 0, 12, 0.45f}}},
    {"sfx/drawbridgeLower.ogg", false, {{0, 1.2f, 110, 80, 4, 0.5f, 0.2f, 0.05f, 0, 12, 0.45f}}},
    {"sfx/switchButton.ogg", false, {{0, 0.06f, 1400, 900, 2, 0.4f, 0.8f, 0.001f, 60, 0, 0.6f}}},
    {"sfx/switchRaise.ogg", false, {{0, 0.4f, 200, 400, 3, 0.3f, 0.3f, 0.02f, 5, 0, 0.45f}}},
    {"sfx/switchLower.ogg", false, {{0, 0.4f, 400, 200, 3, 0.3f, 0.3f, 0.02f, 5, 0, 0.45f}}},
    {"sfx/switchActivate.ogg", false, {{0, 0.08f, 1000, 800, 2, 0.3f, 0.8f, 0.001f, 40, 0, 0.5f}, {0.1f, 0.4f, 660, 660, 2, 0, 0, 0.005f, 6, 0, 0.35f}}},
    {"sfx/rotatorGear.ogg", false, {{0, 0.05f, 900, 700, 2, 0.5f, 0.7f, 0.001f, 50, 0, 0.5f}, {0.12f, 0.05f, 900, 700, 2, 0.5f, 0.7f, 0.001f, 50, 0, 0.5f}, {0.24f, 0.05f, 900, 700, 2, 0.5f, 0.7f, 0.001f, 50, 0, 0.5f}}},
    {"sfx/doorOpen.ogg", false, {{0, 0.5f, 300, 500, 5, 0.2f, 0.3f, 0.02f, 4, 14, 0.35f}}},
    {"sfx/doorClose.ogg", false, {{0, 0.25f, 140, 90, 3, 0.5f, 0.2f, 0.002f, 14, 0, 0.7f}}},
    {"sfx/springboard.ogg", false, {{0, 0.5f, 180, 520, 2, 0, 0, 0.002f, 6, 14, 0.5f}}},
    {"sfx/fireworkbang.ogg", false, {{0, 0.8f, 120, 40, 1, 0.95f, 0.4f, 0.001f, 5, 0, 0.8f}, {0.1f, 0.6f, 3000, 3000, 1, 1, 1, 0.05f, 4, 0, 0.15f}}},
    // footsteps
    {"sfx/footstepDirt.ogg", false, {{0, 0.12f, 150, 90, 1, 0.8f, 0.12f, 0.003f, 30, 0, 0.7f}}},
    {"sfx/footstepLeaves.ogg", false, {{0, 0.16f, 150, 90, 1, 0.95f, 0.7f, 0.005f, 22, 0, 0.5f}}},
    {"sfx/footstepSnow.ogg", false, {{0, 0.18f, 150, 90, 1, 0.95f, 0.35f, 0.01f, 18, 0, 0.5f}}},
    {"sfx/footstepStone.ogg", false, {{0, 0.08f, 500, 300, 2, 0.6f, 0.6f, 0.001f, 45, 0, 0.6f}}},
    {"sfx/footstepWood.ogg", false, {{0, 0.14f, 260, 200, 3, 0.35f, 0.3f, 0.001f, 28, 0, 0.7f}}},
    // creatures
    {"sfx/sweetPickup.ogg", false, {{0, 0.12f, 1200, 1200, 2, 0, 0, 0.002f, 15, 0, 0.35f}, {0.08f, 0.25f, 1800, 1800, 2, 0, 0, 0.002f, 10, 0, 0.35f}}},
    {"sfx/pigletJump.ogg", false, {{0, 0.18f, 600, 1100, 3, 0, 0, 0.005f, 10, 0, 0.4f}}},
    {"sfx/pigFaint.ogg", false, {{0, 0.8f, 500, 150, 4, 0.1f, 0.3f, 0.01f, 2, 6, 0.45f}}},
    {"sfx/pigJump.ogg", false, {{0, 0.2f, 350, 700, 3, 0.05f, 0.5f, 0.005f, 9, 0, 0.45f}}},
    {"sfx/pigSlurp.ogg", false, {{0, 0.3f, 300, 900, 2, 0.5f, 0.3f, 0.01f, 6, 20, 0.45f}}},
    {"sfx/pigCarry.ogg", false, {{0, 0.2f, 250, 200, 4, 0.2f, 0.3f, 0.01f, 8, 0, 0.4f}}},
    {"sfx/pigSpawn.ogg", false, {{0, 0.4f, 400, 1600, 2, 0.1f, 0.8f, 0.01f, 5, 8, 0.35f}}},
    {"sfx/horseIdle.ogg", false, {{0, 0.6f, 180, 140, 5, 0.4f, 0.2f, 0.02f, 4, 10, 0.4f}}},
    {"sfx/horseAlert.ogg", false, {{0, 0.5f, 500, 700, 5, 0.1f, 0.4f, 0.02f, 3, 18, 0.4f}}},
    {"sfx/horseDigest.ogg", false, {{0, 0.7f, 120, 90, 3, 0.5f, 0.1f, 0.05f, 3, 5, 0.45f}}},
    {"sfx/frogIdle.ogg", false, {{0, 0.25f, 160, 140, 6, 0.1f, 0.2f, 0.01f, 8, 30, 0.4f}}},
    {"sfx/frogAlert.ogg", false, {{0, 0.2f, 240, 320, 6, 0.1f, 0.2f, 0.01f, 8, 30, 0.45f}}},
    {"sfx/frogDigest.ogg", false, {{0, 0.4f, 130, 100, 4, 0.3f, 0.1f, 0.02f, 5, 12, 0.45f}}},
    {"sfx/frogAttack.ogg", false, {{0, 0.15f, 800, 300, 2, 0.3f, 0.6f, 0.002f, 15, 0, 0.5f}}},
    {"sfx/fishIdle.ogg", false, {{0, 0.2f, 500, 900, 1, 0.2f, 0.4f, 0.01f, 10, 0, 0.35f}}},
    {"sfx/wormDie.ogg", false, {{0, 0.35f, 900, 300, 2, 0.05f, 0.5f, 0.005f, 6, 15, 0.4f}}},
    {"sfx/rabbitAppear.ogg", false, {{0, 0.25f, 300, 900, 2, 0.4f, 0.6f, 0.01f, 8, 0, 0.4f}}},
    // apples
    {"sfx/appleBite.ogg", false, {{0, 0.12f, 900, 400, 1, 0.9f, 0.8f, 0.001f, 25, 0, 0.6f}, {0.1f, 0.1f, 900, 400, 1, 0.9f, 0.8f, 0.001f, 30, 0, 0.4f}}},
    {"sfx/appleMud.ogg", false, {{0, 0.3f, 200, 80, 2, 0.7f, 0.15f, 0.003f, 10, 0, 0.55f}}},
    {"sfx/appleAcid.ogg", false, {{0, 0.5f, 2000, 1500, 1, 0.9f, 0.9f, 0.01f, 5, 40, 0.4f}}},
    {"sfx/appleWorm.ogg", false, {{0, 0.3f, 700, 1100, 2, 0.1f, 0.5f, 0.01f, 8, 18, 0.4f}}},
    {"sfx/appleBasket.ogg", false, {{0, 0.15f, 300, 200, 3, 0.5f, 0.3f, 0.001f, 20, 0, 0.6f}}},
    {"sfx/appleSquish.ogg", false, {{0, 0.25f, 300, 120, 2, 0.7f, 0.3f, 0.002f, 14, 0, 0.6f}}},
    {"sfx/appleBounce.ogg", false, {{0, 0.1f, 260, 180, 2, 0.3f, 0.3f, 0.001f, 30, 0, 0.6f}}},
    {"sfx/appleBig.ogg", false, {{0, 0.3f, 120, 60, 2, 0.5f, 0.2f, 0.001f, 12, 0, 0.8f}}},
    {"sfx/appleCollect.ogg", false, {{0, 0.15f, 1047, 1047, 2, 0, 0, 0.002f, 10, 0, 0.35f}, {0.1f, 0.35f, 1568, 1568, 2, 0, 0, 0.002f, 7, 0, 0.35f}}},
};
// clang-format on

// Deterministic white noise.
struct Noise {
    std::uint32_t state = 0x1234567u;
    float next() {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / 8388608.0f - 1.0f;
    }
};

void addVoice(std::vector<float>& out, const Voice& v, Noise& noise) {
    int first = int(v.start * RATE), count = int(v.length * RATE);
    double phase = 0;
    float filtered = 0;
    for (int i = 0; i < count; ++i) {
        double t = double(i) / RATE, u = t / v.length;
        double f = v.f0 > 0 ? v.f0 * std::pow(double(v.f1) / v.f0, u) : 0;
        if (v.vibrato > 0)
            f *= 1 + 0.03 * std::sin(2 * M_PI * v.vibrato * t);
        phase += 2 * M_PI * f / RATE;
        double tone = 0;
        for (int k = 1; k <= v.harmonics; ++k)
            tone += std::sin(phase * k) / k;
        filtered += v.lowpass * (noise.next() - filtered);
        double sample = tone * (1 - v.noise) + filtered * v.noise * 2.5;
        double env = t < v.attack ? t / v.attack : 1.0;
        if (v.decay > 0)
            env *= std::exp(-v.decay * std::max(0.0, t - v.attack));
        double release = std::min(1.0, (v.length - t) / 0.01); // no click at the end
        std::size_t at = std::size_t(first + i);
        if (at >= out.size())
            out.resize(at + 1, 0.0f);
        out[at] += float(sample * env * release * v.gain);
    }
}

// Joins the end of a loop to its start: the last `fade` samples are blended into the first ones.
void makeSeamless(std::vector<float>& samples, int fade) {
    if (int(samples.size()) <= 2 * fade)
        return;
    std::size_t tail = samples.size() - std::size_t(fade);
    for (int i = 0; i < fade; ++i) {
        float t = float(i) / float(fade);
        samples[std::size_t(i)] = samples[std::size_t(i)] * t + samples[tail + std::size_t(i)] * (1 - t);
    }
    samples.resize(tail);
}

// ---- music: short looping tunes ------------------------------------------------------------------------

struct Tune {
    const char* file;
    int tempo;        // eighth notes per minute
    int key;          // MIDI note of the tonic
    int chords[4];    // scale degrees of the four bars' chords
    std::uint32_t seed;
    bool bells;
    bool silent;
};

const Tune TUNES[] = {
    {"xmas-edition/sfx/music/title.ogg", 260, 67, {0, 3, 4, 0}, 3, true, false},
    {"sfx/music/game1.ogg", 280, 60, {0, 5, 3, 4}, 11, false, false},
    {"sfx/music/game2.ogg", 240, 62, {0, 3, 0, 4}, 23, false, false},
    {"sfx/music/game3.ogg", 300, 65, {5, 3, 0, 4}, 37, false, false},
    {"sfx/music/bonus.ogg", 340, 69, {0, 4, 5, 3}, 41, true, false},
    {"sfx/music/silence.ogg", 240, 60, {0, 0, 0, 0}, 0, false, true},
};

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

std::vector<float> renderTune(const Tune& tune) {
    static const int major[] = {0, 2, 4, 5, 7, 9, 11};
    double eighth = 60.0 / tune.tempo;
    int bars = 8, steps = bars * 8;
    std::vector<float> out(std::size_t(steps * eighth * RATE) + 1, 0.0f);
    if (tune.silent)
        return out;
    Noise noise;
    std::uint32_t state = tune.seed * 2654435761u + 7;
    auto roll = [&](int n) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 16) % std::uint32_t(n));
    };
    // A melody of two four-bar phrases; the second repeats the first with a new ending.
    int melody[32];
    int degree = 4;
    for (int& m : melody) {
        degree = std::clamp(degree + roll(5) - 2, 0, 9);
        m = roll(6) == 0 ? -1 : degree;
    }
    for (int s = 0; s < steps; ++s) {
        int bar = (s / 8) % 4, phraseStep = s % 32;
        int chordRoot = tune.chords[bar];
        float start = float(s * eighth);
        int m = melody[phraseStep];
        if (s >= 56)
            m = s % 2 ? -1 : chordRoot + (s - 56) / 2 % 3 * 2; // the ending walks up the chord
        if (m >= 0) {
            int note = tune.key + 12 + major[m % 7] + 12 * (m / 7);
            Voice v{start, float(eighth * 1.8), float(midiHz(note)), float(midiHz(note)), tune.bells ? 2 : 4, 0, 0,
                    0.005f, tune.bells ? 4.0f : 6.0f, 0, 0.22f};
            addVoice(out, v, noise);
        }
        if (s % 4 == 0) {
            int root = tune.key - 12 + major[chordRoot % 7];
            addVoice(out, Voice{start, float(eighth * 3.8), float(midiHz(root)), float(midiHz(root)), 2, 0, 0, 0.01f,
                                1.5f, 0, 0.25f},
                     noise);
        }
        if (s % 2 == 1) // a soft shaker on the off-beats
            addVoice(out, Voice{start, 0.05f, 100, 100, 1, 1, 0.9f, 0.001f, 60, 0, 0.06f}, noise);
    }
    out.resize(std::size_t(steps * eighth * RATE));
    return out;
}

// ---- Ogg Vorbis ----------------------------------------------------------------------------------------

// Loud sounds are turned down to leave the encoder headroom: a clipped wave comes back from Vorbis louder
// than full scale.
void limitPeak(std::vector<float>& samples, float peak) {
    float loudest = 0;
    for (float s : samples)
        loudest = std::max(loudest, std::abs(s));
    if (loudest > peak)
        for (float& s : samples)
            s *= peak / loudest;
}

std::vector<std::uint8_t> encodeVorbis(std::vector<float> samples) {
    limitPeak(samples, 0.6f);
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, RATE, 0.3f) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("The Vorbis encoder refused its settings");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x7087);
    std::vector<std::uint8_t> out;
    ogg_page page;
    auto writePage = [&] {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page) != 0)
        writePage();
    std::size_t at = 0;
    bool ended = false;
    while (!ended) {
        std::size_t chunk = std::min<std::size_t>(4096, samples.size() - at);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, int(chunk));
            for (std::size_t i = 0; i < chunk; ++i)
                buffer[0][i] = std::clamp(samples[at + i], -1.0f, 1.0f);
            vorbis_analysis_wrote(&vd, int(chunk));
            at += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    writePage();
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

const Recipe* findRecipe(const std::string& file) {
    for (const Recipe& r : RECIPES)
        if (file == r.file)
            return &r;
    return nullptr;
}

const Tune* findTune(const std::string& file) {
    for (const Tune& t : TUNES)
        if (file == t.file)
            return &t;
    return nullptr;
}

} // namespace

bool hasSound(const std::string& file) { return findRecipe(file) || findTune(file); }

std::vector<std::uint8_t> makeSoundFile(const std::string& file) {
    if (const Tune* tune = findTune(file))
        return encodeVorbis(renderTune(*tune));
    const Recipe* recipe = findRecipe(file);
    if (!recipe)
        throw std::runtime_error("No recipe for the sound '" + file + "'");
    std::vector<float> samples;
    Noise noise;
    for (const Voice& v : recipe->voices)
        if (v.length > 0)
            addVoice(samples, v, noise);
    if (recipe->loop)
        makeSeamless(samples, RATE / 10);
    return encodeVorbis(samples);
}
