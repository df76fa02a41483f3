#include "engine/render/KivGraphics.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <numeric>
#include <tuple>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/MemoryImageFile.h"

namespace {
KivGraphics* gGraphics = nullptr;

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void multiply(float* out, const float* a, const float* b)
{
    float r[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i * 4 + j] = a[i * 4] * b[j] + a[i * 4 + 1] * b[4 + j] + a[i * 4 + 2] * b[8 + j] + a[i * 4 + 3] * b[12 + j];
        }
    }
    std::memcpy(out, r, sizeof(r));
}
} // namespace

KivGraphics* KivGraphics::instance() { return gGraphics; }

KivGraphics::KivGraphics(SDL_Window* window, const Settings& settings)
    : bFullScreen(settings.bFullScreen), bLetterbox(settings.bAllowLetterbox), bBilinearFilter(settings.bBilinearFilter),
      bVSync(settings.bUseVSync), bEnableFontCache(settings.bEnableFontCache),
      bSimulate256x256TextureHW(settings.bSimulate256x256TextureHW), videoModeWidth(settings.videoModeWidth),
      videoModeHeight(settings.videoModeHeight)
{
    Logger::logFrom("KivGraphics::KivGraphics", u"Starting...");
    device = std::make_unique<GLDevice>(window);
    std::memcpy(view, kIdentity, sizeof(view));
    std::memcpy(projection, kIdentity, sizeof(projection));
    buildVideoModes(settings.bReleaseBuild);
    if (videoModeWidth <= 0 || videoModeHeight <= 0) {
        videoModeWidth = Settings().videoModeWidth;
        videoModeHeight = Settings().videoModeHeight;
    }
    // A size kept from a larger monitor would put the menus out of reach.
    std::tie(videoModeWidth, videoModeHeight) =
        sizeForDisplay(settings.display, bFullScreen, videoModeWidth, videoModeHeight, "KivGraphics::KivGraphics");
    reset();
    previous = gGraphics;
    gGraphics = this;
    Logger::logFrom("KivGraphics::KivGraphics", u"Started.");
}

KivGraphics::~KivGraphics()
{
    if (gGraphics == this) {
        gGraphics = previous;
    }
}

void KivGraphics::computeScreenSize(int modeW, int modeH, bool letterbox, int& screenW, int& screenH)
{
    screenW = modeW;
    screenH = modeH;
    if (!letterbox || modeW <= 0 || modeH <= 0) {
        return;
    }
    // Keep the design aspect: pillarbox a wide mode, letterbox a tall one.
    const long long designW = 4, designH = 3;
    if (static_cast<long long>(modeW) * designH > static_cast<long long>(modeH) * designW) {
        screenW = static_cast<int>(modeH * designW / designH);
    } else if (static_cast<long long>(modeW) * designH < static_cast<long long>(modeH) * designW) {
        screenH = static_cast<int>(modeW * designH / designW);
    }
}

KivGraphics::ViewportRect KivGraphics::computeViewport(int windowW, int windowH, int screenW, int screenH, bool keepAspect)
{
    ViewportRect r{0, 0, windowW, windowH};
    if (!keepAspect || windowW <= 0 || windowH <= 0 || screenW <= 0 || screenH <= 0) {
        return r;
    }
    const long long lhs = static_cast<long long>(windowW) * screenH;
    const long long rhs = static_cast<long long>(windowH) * screenW;
    if (lhs > rhs) { // window wider than the screen: bars left and right
        const int w = static_cast<int>(rhs / screenH);
        r.left = (windowW - w) / 2;
        r.right = r.left + w;
    } else if (lhs < rhs) { // window taller: bars above and below
        const int h = static_cast<int>(lhs / screenW);
        r.top = (windowH - h) / 2;
        r.bottom = r.top + h;
    }
    return r;
}

std::pair<int, int> KivGraphics::windowSizeForDisplay(int width, int height, int displayWidth, int displayHeight,
                                                      const std::vector<VideoMode>& modes, std::pair<int, int> standing)
{
    auto fits = [&](int w, int h) { return w <= displayWidth && h <= displayHeight; };
    if (displayWidth <= 0 || displayHeight <= 0 || fits(width, height)) {
        return {width, height};
    }
    std::pair<int, int> fit(Settings().videoModeWidth, Settings().videoModeHeight);
    for (auto mode = modes.rbegin(); mode != modes.rend(); ++mode) {
        if (fits(mode->width, mode->height)) {
            fit = {mode->width, mode->height};
            break;
        }
    }
    const bool keepStanding = standing.first > 0 && standing.second > 0 && fits(standing.first, standing.second) &&
                              (fit.first < standing.first || fit.second < standing.second);
    return keepStanding ? standing : fit;
}

std::pair<int, int> KivGraphics::sizeForDisplay(const DisplayArea& display, bool fullScreen, int width, int height,
                                                const char* caller) const
{
    const DisplayArea::Rect room = fullScreen ? display.bounds : display.clientRoom();
    // The window open now, or while the display shows full screen the one it had before; none before the
    // first window and for a full-screen mode.
    const std::pair<int, int> standing = fullScreen ? std::make_pair(0, 0) : lastWindow;
    const std::pair<int, int> fit = windowSizeForDisplay(width, height, room.width, room.height, videoModes, standing);
    if (fit != std::make_pair(width, height)) {
        Logger::logFrom(caller, u"Warning: %s of %dx%d does not fit the display (%dx%d); %s %dx%d.",
                        fullScreen ? u"a full-screen mode" : u"a window", width, height, room.width, room.height,
                        fit == standing ? u"keeping" : u"using", fit.first, fit.second);
    }
    return fit;
}

std::pair<int, int> KivGraphics::windowSizeThatFits(int width, int height) const
{
    const PlatformWindow* window = engineWindow();
    return sizeForDisplay(window != nullptr ? window->displayArea() : DisplayArea(), false, width, height,
                          "KivGraphics::windowSizeThatFits");
}

PlatformWindow* KivGraphics::engineWindow() const
{
    PlatformWindow* window = PlatformWindow::instance();
    return window != nullptr && window->sdlWindow() == device->window() ? window : nullptr;
}

void KivGraphics::buildVideoModes(bool releaseBuild)
{
    const PlatformWindow* window = engineWindow();
    std::vector<std::pair<int, int>> sizes =
        window != nullptr && window->standInModes() ? *window->standInModes() : device->displayModes();
    if (!releaseBuild) {
        sizes.emplace_back(320, 240);
        sizes.emplace_back(480, 360);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    videoModes.clear();
    Logger::logFrom("KivGraphics::buildVideoModes", u"Sorted adapter modes:");
    for (const auto& [w, h] : sizes) {
        VideoMode mode;
        mode.width = w;
        mode.height = h;
        computeScreenSize(w, h, true, mode.usedWidth, mode.usedHeight);
        videoModes.push_back(mode);
        Logger::logFrom("KivGraphics::buildVideoModes", u"%s", getVideoModeName(mode));
    }
}

UString KivGraphics::getVideoModeName(const VideoMode& mode) const
{
    if (mode.usedWidth == mode.width && mode.usedHeight == mode.height) {
        return formatString(u"%dx%d", mode.width, mode.height);
    }
    // The mode's own aspect, as its owner knows it ("16:9", "16:10").
    int a = mode.width, b = mode.height;
    const int g = std::gcd(a, b);
    if (g > 0) {
        a /= g;
        b /= g;
    }
    if (a == 8 && b == 5) {
        a = 16;
        b = 10;
    }
    return formatString(u"%dx%d (%d:%d)", mode.width, mode.height, a, b);
}

void KivGraphics::changePresentationParameters(int newWidth, int newHeight, bool fullScreen, bool letterbox,
                                               bool bilinearFilter, bool vsync)
{
    if (newWidth < 0) {
        newWidth = videoModeWidth;
    }
    if (newHeight < 0) {
        newHeight = videoModeHeight;
    }
    if (bFullScreen && !fullScreen) {
        // A full-screen mode may be as large as the display, and a window of that size would run under the
        // window manager's panels with its title bar off the screen.
        std::tie(newWidth, newHeight) = windowSizeThatFits(newWidth, newHeight);
    }
    const bool restart = fullScreen != bFullScreen || vsync != bVSync || letterbox != bLetterbox ||
                         newWidth != videoModeWidth || newHeight != videoModeHeight;
    bLetterbox = letterbox;
    bBilinearFilter = bilinearFilter;
    bVSync = vsync;
    if (restart) {
        bFullScreen = fullScreen;
        videoModeWidth = newWidth;
        videoModeHeight = newHeight;
        Logger::logFrom("KivGraphics::changePresentationParameters", u"Restarting to apply configuration.");
        bResetPending = true;
    }
    // The filter is taken per draw; nothing else to apply now.
}

void KivGraphics::resetIfPending()
{
    if (bResetPending) {
        bResetPending = false;
        reset();
    }
}

void KivGraphics::reset()
{
    // The engine's window is laid out on its display.
    PlatformWindow* window = engineWindow();
    if (window != nullptr && bFullScreen) {
        window->layOverDisplay();
    }
    if (device->setWindowMode(bFullScreen, videoModeWidth, videoModeHeight)) {
        bShownFullScreen = bFullScreen;
        shownWidth = videoModeWidth;
        shownHeight = videoModeHeight;
        if (!bFullScreen) {
            lastWindow = {shownWidth, shownHeight};
        }
    } else if (shownWidth > 0) {
        // A mode the display refuses is not kept: ".cfg" and the pages go on showing the one on screen.
        Logger::logFrom("KivGraphics::reset", u"The display refused %dx%d%s; keeping %dx%d.", videoModeWidth,
                        videoModeHeight, bFullScreen ? UString(u" full screen") : UString(), shownWidth, shownHeight);
        bFullScreen = bShownFullScreen;
        videoModeWidth = shownWidth;
        videoModeHeight = shownHeight;
        device->setWindowMode(bFullScreen, videoModeWidth, videoModeHeight);
    } else {
        Logger::logFrom("KivGraphics::reset", u"The display refused %dx%d%s.", videoModeWidth, videoModeHeight,
                        bFullScreen ? UString(u" full screen") : UString());
    }
    if (window != nullptr) {
        window->returnToPlace();
        if (!bFullScreen) {
            // A window grown in place may run past the display's edge, its corner buttons with it.
            window->keepOnDisplay();
        }
    }
    device->setVSync(bVSync);
    applyLayout();
}

void KivGraphics::applyLayout()
{
    const auto [windowW, windowH] = device->drawableSize();
    // Full screen with letterbox keeps the design aspect with bars; full screen without it stretches the
    // mode over the whole display. A window shows the mode as it is (fitted, should the window differ).
    computeScreenSize(videoModeWidth, videoModeHeight, bFullScreen && bLetterbox, width, height);
    viewport = computeViewport(windowW, windowH, width, height, bLetterbox || !bFullScreen);
    if (viewport.width() <= 0 || viewport.height() <= 0) {
        viewport = {0, 0, std::max(windowW, 1), std::max(windowH, 1)};
    }
    displayScale = static_cast<float>(viewport.width()) / static_cast<float>(width);
    pixelFactor[0] = static_cast<float>(width) / static_cast<float>(viewport.width());
    pixelFactor[1] = static_cast<float>(height) / static_cast<float>(viewport.height());
    pixelFactor[2] = pixelFactor[0];
    aspectCorrection = pixelFactor[1] / pixelFactor[0];
    aspectFactor = static_cast<float>(height) / static_cast<float>(width);
    device->setViewport(viewport.left, viewport.top, viewport.width(), viewport.height());
}

void KivGraphics::beginScene()
{
    bInScene = true;
    ++sceneCount;
    // The bars around the viewport are black.
    device->clear(GLDevice::ClearTarget, 0xFF000000u, 1.0f, 0, true);
}

void KivGraphics::endScene()
{
    device->flush();
    bInScene = false;
}

void KivGraphics::present() { device->present(); }

void KivGraphics::clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil)
{
    device->clear(flags, color, z, stencil);
}

void KivGraphics::setView(const float* matrix16)
{
    std::memcpy(view, matrix16, sizeof(view));
    updateViewProjection();
}

void KivGraphics::setProjection(const float* matrix16)
{
    std::memcpy(projection, matrix16, sizeof(projection));
    updateViewProjection();
}

void KivGraphics::updateViewProjection()
{
    float vp[16];
    multiply(vp, view, projection);
    device->setViewProjection(vp);
}

void KivGraphics::draw(const Vertex* vertices, int count, Primitive primitive, const float* world16,
                       TextureHandle texture, BlendMode blend, bool wrap)
{
    DrawState state;
    state.texture = texture;
    state.blend = blend;
    state.bilinear = bBilinearFilter;
    state.wrap = wrap;
    ++drawCount;
    device->draw(vertices, count, primitive, world16, state);
}

std::vector<std::uint32_t> KivGraphics::readScreen(int& w, int& h)
{
    w = viewport.width();
    h = viewport.height();
    return device->readPixels(viewport.left, viewport.top, w, h);
}

bool KivGraphics::saveScreenshot(const std::string& path, bool tga, int quality)
{
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = readScreen(w, h);
    if (pixels.empty()) {
        return false;
    }
    return tga ? MemoryImageFile::writeTGA(path, pixels.data(), w, h)
               : MemoryImageFile::writeJPG(path, pixels.data(), w, h, quality);
}

std::string KivGraphics::handleScreenshotKey(bool f9Pressed, bool rightShiftHeld)
{
    if (!f9Pressed) {
        return {};
    }
    char stamp[64];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H.%M.%S", &local);
    std::string path = screenshotFolder + stamp + (rightShiftHeld ? ".tga" : ".jpg");
    if (!saveScreenshot(path, rightShiftHeld)) {
        Logger::logFrom("KivGraphics::handleScreenshotKey", u"Warning: could not write screenshot '%s'.", path);
        return {};
    }
    Logger::logFrom("KivGraphics::handleScreenshotKey", u"Screenshot saved to '%s'.", path);
    return path;
}

void KivGraphics::saveCrashScreenshot(const std::string& path) noexcept
{
    try {
        saveScreenshot(path, false, 75);
    } catch (...) {
        // The fatal path goes on without the picture.
    }
}
