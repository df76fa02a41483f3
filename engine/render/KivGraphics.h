#pragma once
// The graphics service: the game screen of W x H pixels shown in a viewport of the window (with letterbox
// or pillarbox bars when the aspect must be kept), the video-mode list, presentation changes with the
// device reset at the end of the frame, clearing, the transforms, the upload counter and screenshots.
// The device work itself is done by GLDevice.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/UString.h"
#include "engine/platform/DisplayArea.h"
#include "engine/platform/video/GLDevice.h"

class PlatformWindow;

class KivGraphics {
public:
    // The configuration the graphics start with (the engine reads it from its configuration files).
    struct Settings {
        int videoModeWidth = 800;
        int videoModeHeight = 600;
        bool bFullScreen = false;
        bool bAllowLetterbox = true;
        bool bBilinearFilter = true;
        bool bUseVSync = false;
        bool bEnableFontCache = true;
        bool bSimulate256x256TextureHW = false;
        bool bReleaseBuild = false; // without it the small test modes 320x240 and 480x360 are offered
        // The display (bounds 0 x 0: not known): a full-screen mode larger than it, or a window larger than
        // the room its free part leaves the client area, is not opened.
        DisplayArea display;
    };

    struct VideoMode {
        int width = 0;
        int height = 0;
        int usedWidth = 0; // the game screen this mode gives (differs with letterbox bars)
        int usedHeight = 0;
    };

    // The viewport in window pixels.
    struct ViewportRect {
        int left = 0, top = 0, right = 0, bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
    };

    // The window must have been created with SDL_WINDOW_OPENGL and the GL 3.3 core attributes.
    KivGraphics(SDL_Window* window, const Settings& settings);
    ~KivGraphics();
    KivGraphics(const KivGraphics&) = delete;
    KivGraphics& operator=(const KivGraphics&) = delete;

    // The graphics service of the running engine (null when there is none).
    static KivGraphics* instance();

    GLDevice& getDevice() { return *device; }

    // The aspect (height per width) the game is designed for.
    static constexpr float DESIGN_ASPECT = 0.75f;

    // Where a screen of screenW x screenH is shown in a window of windowW x windowH.
    static ViewportRect computeViewport(int windowW, int windowH, int screenW, int screenH, bool keepAspect);
    // The game screen a mode gives: with letterbox the design aspect, else the mode itself.
    static void computeScreenSize(int modeW, int modeH, bool letterbox, int& screenW, int& screenH);

    // The size a window of width x height opens at on a display of displayWidth x displayHeight: its own when
    // it fits (or the display's size is not known), else the last of the modes (in their ascending order)
    // that fits, else the default size. A window standing at `standing` (0 x 0: none) that fits is kept in
    // place of a mode that is not at least as large both ways, so a size too large never shrinks it.
    static std::pair<int, int> windowSizeForDisplay(int width, int height, int displayWidth, int displayHeight,
                                                    const std::vector<VideoMode>& modes,
                                                    std::pair<int, int> standing = {0, 0});
    // The size a window of width x height is given on the engine window's display, as windowSizeForDisplay
    // picks it from the listed modes for the room the display leaves the client area, the window open now
    // (or, while full screen, the last one shown) standing; a size replaced is logged. The size itself when
    // the display is not known.
    std::pair<int, int> windowSizeThatFits(int width, int height) const;

    const std::vector<VideoMode>& getVideoModes() const { return videoModes; }
    UString getVideoModeName(const VideoMode& mode) const;

    // A negative width or height keeps the current one. Changes of mode, full screen, vsync or letterbox
    // restart the device at the end of the frame; the filter applies at once. Back from full screen, the
    // window takes the size windowSizeThatFits gives.
    void changePresentationParameters(int width, int height, bool fullScreen, bool letterbox, bool bilinearFilter,
                                      bool vsync);
    bool isResetPending() const { return bResetPending; }
    // Runs a pending reset (the engine calls it at the end of the frame).
    void resetIfPending();
    // Lays the window and the viewport out anew (after a reset or a change of the window's size).
    void reset();

    void beginScene();
    void endScene();
    // Scenes begun since the device started: a texture made during the current scene cannot be read by
    // the rendering of an earlier one, which the GPU may still be doing.
    std::uint64_t getSceneCount() const { return sceneCount; }
    void present();

    void clear(std::uint32_t flags, std::uint32_t color, float z = 1.0f, std::uint32_t stencil = 0);

    // Row-vector matrices (v' = v x M), row-major.
    void setView(const float* matrix16);
    void setProjection(const float* matrix16);
    const float* getView() const { return view; }
    const float* getProjection() const { return projection; }

    // Queues a draw of vertices through the world matrix (null: identity) with the current view and projection.
    void draw(const Vertex* vertices, int count, Primitive primitive, const float* world16, TextureHandle texture,
              BlendMode blend, bool wrap = false);
    bool useBilinearFilter() const { return bBilinearFilter; }

    // Counts one copy of vertices into a device buffer.
    void countUpload() { ++uploadCount; }
    std::uint64_t getUploadCount() const { return uploadCount; }
    // Every draw queued since the device started (the debug overlays count the draws of a phase with it).
    std::uint64_t getDrawCount() const { return drawCount; }

    // The game screen's pixels as 0xAARRGGBB, rows top-down, viewport size.
    std::vector<std::uint32_t> readScreen(int& width, int& height);
    // Writes the viewport's image as JPG (quality 0..100) or TGA. Returns false when the file failed.
    bool saveScreenshot(const std::string& path, bool tga, int quality = 90);
    // The screenshot key: F9 writes "%Y-%m-%d %H.%M.%S" plus ".jpg", or ".tga" with right Shift held, into
    // the screenshot folder. Returns the file written, empty when none.
    std::string handleScreenshotKey(bool f9Pressed, bool rightShiftHeld);
    void setScreenshotFolder(const std::string& folder) { screenshotFolder = folder; }
    // For the fatal path: the last frame as a JPG crash image. Never fails loudly.
    void saveCrashScreenshot(const std::string& path) noexcept;

    // The game screen.
    int width = 0;
    int height = 0;
    ViewportRect viewport;
    float displayScale = 1.0f;      // viewport width / screen width
    float pixelFactor[3] = {1, 1, 1}; // screen units per window pixel, per axis
    float aspectCorrection = 1.0f;  // keeps round things round on a stretched screen
    float aspectFactor = DESIGN_ASPECT; // height per width of the screen, copied by new cameras

    bool bFullScreen = false;
    bool bLetterbox = true;
    bool bBilinearFilter = true;
    bool bVSync = false;
    bool bDetail = true;
    bool bEnableFontCache = true;
    bool bSimulate256x256TextureHW = false;
    int videoModeWidth = 800;
    int videoModeHeight = 600;
    // 1 (the engine's default): fonts keep their own scale; 0: fonts scale with the display's pixel factors.
    int fontScaleMode = 1;
    // Rows of a font cache are this many times the font's height (plus one).
    int heightRenderMode = 1;

private:
    void buildVideoModes(bool releaseBuild);
    // The engine's window when the device draws on it (not on one that a test made for the device alone).
    PlatformWindow* engineWindow() const;
    // What width x height becomes on the display: full screen a size the display shows, a window one that fits
    // with its frame in what the window manager leaves free (or the window shown now, as windowSizeForDisplay
    // keeps it); logged from the caller when it changes.
    std::pair<int, int> sizeForDisplay(const DisplayArea& display, bool fullScreen, int width, int height,
                                       const char* caller) const;
    // The window mode last taken by the display.
    bool bShownFullScreen = false;
    int shownWidth = 0;
    int shownHeight = 0;
    // The size of the last window shown (0 x 0 before the first): kept in place of a size too large for the
    // display, also when full screen is left.
    std::pair<int, int> lastWindow{0, 0};
    void applyLayout();
    void updateViewProjection();

    std::unique_ptr<GLDevice> device;
    std::vector<VideoMode> videoModes;
    bool bResetPending = false;
    bool bInScene = false;
    std::uint64_t uploadCount = 0;
    std::uint64_t drawCount = 0;
    std::uint64_t sceneCount = 0;
    float view[16];
    float projection[16];
    std::string screenshotFolder;
    KivGraphics* previous = nullptr;
};
