#pragma once
// The OpenGL 3.3 core device behind KivGraphics. It owns the GL context on the platform's SDL window, the
// shaders that do what the fixed pipeline of the game needs (vertex colour times texture, blending off,
// alpha or additive, point or bilinear sampling, clamped or repeated addressing) and a batcher: consecutive
// draws with the same texture and state are collected, already transformed to world space, and sent to the
// GPU as one buffer with one draw call. Small runs in a row (a sprite, a label, each with its own texture,
// few pixels on screen) that differ only in texture or sampling share one call too, each vertex naming its
// texture's slot: the driver's work per call, not the work per pixel, is what a scene of many small
// sprites costs. Large runs (backdrops, hills, terrain) keep calls of their own: picking a slot by tests costs
// a software renderer a texture sample per slot for every pixel, so a call's program tests no more slots than
// it has, and where the driver shades one primitive at a time the slot indexes the textures instead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct SDL_Window;

// One vertex as the engine stores it: position, colour 0xAARRGGBB, texture coordinates.
struct Vertex {
    float x, y, z;
    std::uint32_t color;
    float u, v;
};
static_assert(sizeof(Vertex) == 24);
static_assert(offsetof(Vertex, color) == 12 && offsetof(Vertex, u) == 16);

// The engine's primitive codes.
enum class Primitive : int { PointList = 0, LineList = 1, LineStrip = 2, TriangleList = 3, TriangleStrip = 4, TriangleFan = 5 };

enum class BlendMode : std::uint8_t { Opaque, Alpha, Additive };

// A texture living on the device; 0 means "no texture" (drawn as plain white).
using TextureHandle = std::uint32_t;

struct DrawState {
    TextureHandle texture = 0;
    BlendMode blend = BlendMode::Alpha;
    bool bilinear = false;
    bool wrap = false; // repeat the texture outside 0..1 instead of clamping

    bool operator==(const DrawState&) const = default;
};

class GLDevice {
public:
    // Textures (each with its sampling) that one call of short runs can take.
    static constexpr int TEXTURE_SLOTS = 16;
    // A run of at most this many indices (four quads) covering at most this many pixels is small.
    static constexpr std::uint32_t SHORT_RUN_INDICES = 24;
    static constexpr float SMALL_RUN_PIXELS = 64.0f * 64.0f;

    // Makes a GL 3.3 core context on the window (created with SDL_WINDOW_OPENGL and the 3.3 core attributes).
    explicit GLDevice(SDL_Window* window);
    ~GLDevice();
    GLDevice(const GLDevice&) = delete;
    GLDevice& operator=(const GLDevice&) = delete;

    SDL_Window* window() const { return sdlWindow; }
    // Makes the device's context current again (after another context was used on this thread).
    void makeCurrent();
    // Size of the window's drawable area in pixels.
    std::pair<int, int> drawableSize() const;
    // Display modes of the window's display as width x height (unsorted, may repeat).
    std::vector<std::pair<int, int>> displayModes() const;
    // Full screen (at the given size when it is a display mode, else at the desktop size) or windowed at
    // the given size. False when the display refuses the switch; the window then stays as it was.
    bool setWindowMode(bool fullScreen, int width, int height);
    void setVSync(bool enabled);

    // Textures: pixels are 32-bit 0xAARRGGBB, rows top-down.
    TextureHandle createTexture(int width, int height, const std::uint32_t* pixels);
    void updateTexture(TextureHandle texture, int width, int height, const std::uint32_t* pixels);
    // Replaces a rectangle of the texture (pixels of w x h, rows top-down). Unlike updateTexture it sends
    // nothing queued first, so queued draws read the new pixels: a caller that rewrites pixels a queued
    // draw reads must flush before. A texture that rendering already sent still reads may make the driver
    // wait for that rendering.
    void updateTextureRect(TextureHandle texture, int x, int y, int w, int h, const std::uint32_t* pixels);
    void destroyTexture(TextureHandle texture);
    int maxTextureSize() const { return maxTexture; }
    // Textures made since the device was (the white one included); a screen drawn over and over should make
    // none after its first frames.
    std::uint64_t texturesCreated() const { return createdTextures; }

    // The viewport in window pixels, top-left origin.
    void setViewport(int left, int top, int width, int height);
    // Row-vector matrices (v' = v x M), row-major, as the engine keeps them.
    void setViewProjection(const float* matrix16);
    // Queues a draw; world may be null (vertices already in world space). Draws are collected for the
    // frame and sent by flush(), which clearing, presenting, reading back and texture changes run first.
    void draw(const Vertex* vertices, int count, Primitive primitive, const float* world16, const DrawState& state);
    // Sends what is queued.
    void flush();
    // Whether short runs share calls (on at the start); for measuring what the joining costs or saves.
    void setJoining(bool on) { bJoining = on; }
    // Whether a call's program may pick the vertex's texture by indexing with its slot (one texture sample a
    // pixel) rather than by testing it against each slot: where the driver shades one primitive at a time.
    bool canIndexSlots() const { return bCanIndexSlots; }
    // Picks by index where that can be done (the start), else by tests.
    void setSlotIndexing(bool on) { bIndexSlots = on && bCanIndexSlots; }

    enum ClearFlags : std::uint32_t { ClearTarget = 1, ClearZBuffer = 2, ClearStencil = 4 };
    // Clears the current viewport (or the whole window) like Direct3D's clear.
    void clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil, bool wholeWindow = false);
    // Shows the frame. At most two frames are in flight: a fence follows each swap, and the fence of the
    // frame before is waited for, so a renderer slower than the caller cannot build up a backlog.
    void present();
    // True when the GPU has done the frame shown before the last one (after present, always).
    bool frameBeforeLastDone() const;
    // Frames shown so far. The GPU has done what was drawn while this read f once it reads f + 2.
    std::uint64_t framesPresented() const { return presentedFrames; }
    // Sends what is queued and waits until the GPU has done all of it (for timings that include rendering).
    void finish();

    // Reads the given rectangle (window pixels, top-left origin) as 0xAARRGGBB, rows top-down.
    std::vector<std::uint32_t> readPixels(int left, int top, int width, int height);

    // Statistics since the last reset.
    struct Stats {
        int drawCalls = 0;
        int verticesSent = 0;
    };
    const Stats& stats() const { return counters; }
    void resetStats() { counters = {}; }

private:
    enum class Batch : std::uint8_t { Points, Lines, Triangles };
    // A queued vertex: the engine's vertex and the slot of its texture in its call.
    struct SlotVertex {
        Vertex vertex;
        std::uint32_t slot;
    };
    // A run of queued indices drawn with one state and one view-projection matrix.
    struct Command {
        DrawState state;
        Batch kind = Batch::Triangles;
        std::uint32_t matrix = 0; // index into matrices (16 floats each)
        std::uint32_t firstIndex = 0;
        std::uint32_t indexCount = 0;
        std::uint32_t firstVertex = 0; // the vertices its indices use
        std::uint32_t lastVertex = 0;
        bool bSmall = false; // may share a call with other small runs (set when the calls are planned)
    };
    // One draw call: the commands [first, end) and the textures of its slots. A call of one slot is drawn
    // with the plain program, a call of several with the one that picks the vertex's slot.
    struct Call {
        std::uint32_t first = 0;
        std::uint32_t end = 0;
        int slotCount = 0;
        unsigned textures[TEXTURE_SLOTS] = {}; // GL names (plain white is a texture too)
        std::uint8_t samplers[TEXTURE_SLOTS] = {}; // bilinear * 2 + wrap
    };
    // Groups the queued commands into calls and writes the slots into the vertices.
    void planCalls();
    // The pixels a run's triangles cover in the viewport (0 for points and lines).
    float pixelArea(const Command& command) const;
    // Makes the program of calls with this many slots the one in use.
    void useProgram(int slots);
    void bindCall(const Call& call, BlendMode blend);
    // Binds the texture on unit 0 for an upload.
    void bindForUpload(unsigned texture);

    SDL_Window* sdlWindow;
    void* context = nullptr;
    // Program i picks among i + 1 slots by tests, program INDEX_PROGRAM among all of them by index; each is
    // made when first used.
    static constexpr int INDEX_PROGRAM = TEXTURE_SLOTS;
    static constexpr int PROGRAM_KINDS = TEXTURE_SLOTS + 1;
    unsigned vertexShaders[2] = {}; // without and with the slot
    unsigned programs[PROGRAM_KINDS] = {};
    int uniformViewProjection[PROGRAM_KINDS] = {};
    unsigned vao = 0, vbo = 0, ibo = 0, whiteTexture = 0;
    unsigned samplers[4] = {};
    // What the driver has bound now (0 or -1: unknown).
    unsigned boundTextures[TEXTURE_SLOTS] = {};
    int boundSamplers[TEXTURE_SLOTS] = {};
    int activeUnit = 0;
    int boundProgram = -1;
    int boundBlend = -1;
    int maxTexture = 2048;
    int viewport[4] = {0, 0, 0, 0};
    float viewProjection[16];
    std::vector<SlotVertex> queued;
    std::vector<std::uint32_t> queuedIndices;
    std::vector<Command> commands;
    std::vector<Call> calls;
    std::vector<float> matrices;
    bool bViewProjectionChanged = true;
    bool bJoining = true;
    bool bCanIndexSlots = false;
    bool bIndexSlots = false;
    std::size_t vboCapacity = 0;
    std::size_t vboOffset = 0;
    std::size_t iboCapacity = 0;
    std::size_t iboOffset = 0;
    // GLsync set after the last swap [0] and after the one before [1], which the last present waited for.
    void* frameFences[2] = {nullptr, nullptr};
    Stats counters;
    std::uint64_t createdTextures = 0;
    std::uint64_t presentedFrames = 0;
};

// A hidden window with a GL-capable surface, for programs and tests that run without the engine's window.
class OffscreenWindow {
public:
    OffscreenWindow(int width, int height);
    ~OffscreenWindow();
    OffscreenWindow(const OffscreenWindow&) = delete;
    OffscreenWindow& operator=(const OffscreenWindow&) = delete;
    SDL_Window* window() const { return sdlWindow; }
    // Makes the device's context current again (after another context was used on this thread).
    void makeCurrent();

private:
    SDL_Window* sdlWindow = nullptr;
};
