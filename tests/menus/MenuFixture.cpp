#include "MenuFixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/core/ErrorManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEvent.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Loader.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuItem.h"
#include "support/PngFile.h"

namespace {
std::unique_ptr<KivHarness> gHarness;
MyGlobal* gGlobal = nullptr;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void send(const PlatformEvent& event) { Kiv::instance()->input->handleEvent(event); }

PlatformEvent event(PlatformEvent::Type type, int key = 0)
{
    PlatformEvent e;
    e.type = type;
    e.key = key;
    return e;
}
} // namespace

void MenuFixture::SetUpTestSuite()
{
    if (gHarness) {
        return;
    }
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    const std::string runtime = TOBBLE_RUNTIME_DIR;
    // A stored language: the loader goes straight through to the menus. The window can take the largest
    // size the game is played at, for the pages' pictures at that size.
    gHarness = std::make_unique<KivHarness>(readText(runtime + "/.cfg.static"), "[Kiv]\ndefaultLanguage=0\n",
                                            LARGEST_WIDTH, LARGEST_HEIGHT);
    for (const char* suffix : {"", ".1252", ".language.v2", ".levels"}) {
        const std::string name = std::string("TobbleXmasdemo.dat") + suffix;
        std::filesystem::create_symlink(runtime + "/" + name, gHarness->dataFolder.file(name));
    }
    gGlobal = new MyGlobal();
    Global::setInstance(gGlobal);
    gGlobal->initPreLoader();
    for (int i = 0; i < 2000 && gGlobal->contextManager->getTop() != nullptr &&
                    dynamic_cast<Loader*>(gGlobal->contextManager->getTop()) != nullptr;
         ++i) {
        gHarness->frame(gGlobal->contextManager);
    }
    ASSERT_EQ(nullptr, dynamic_cast<Loader*>(gGlobal->contextManager->getTop())) << "the loader did not finish";
}

void MenuFixture::TearDownTestSuite()
{
    if (!gHarness) {
        return;
    }
    clearScreens();
    Kiv::instance()->forgetRoot();
    delete gGlobal;
    gGlobal = nullptr;
    Global::setInstance(nullptr);
    gHarness.reset();
    Kiv::setLanguageFactory(nullptr, nullptr);
}

void MenuFixture::SetUp()
{
    ErrorManager::setThrowForTests(true);
    clearScreens();
}

void MenuFixture::TearDown() { clearScreens(); }

KivHarness& MenuFixture::harness() { return *gHarness; }
Global& MenuFixture::global() { return *gGlobal; }
ContextManager& MenuFixture::screens() { return *gGlobal->contextManager; }
KivInput& MenuFixture::input() { return *Kiv::instance()->input; }

void MenuFixture::clearScreens()
{
    if (gGlobal == nullptr || gGlobal->contextManager == nullptr) {
        return;
    }
    ContextManager& manager = *gGlobal->contextManager;
    while (KivBase* screen = manager.getLastChild()) {
        delete screen;
    }
    manager.activeScreen = nullptr;
    manager.topScreen = nullptr;
    manager.confirmAnswer = -1;
    // Release whatever a test left held, and settle back into pointer input.
    KivInput& in = input();
    for (int k = 1; k < 256; ++k) {
        if (in.isDown(k)) {
            send(event(PlatformEvent::Type::KeyUp, k));
        }
    }
    PlatformEvent up = event(PlatformEvent::Type::MouseUp);
    up.button = 0;
    up.x = in.pointer.x;
    up.y = static_cast<float>(ContextMenu::screenHeight()) - in.pointer.y;
    send(up);
    in.setInputMode(KivInput::INPUT_POINTER);
    frames(2);
    ContextMenu::setMenuNavigationMode(ContextMenu::NAVIGATION_POINTER);
    ContextMenu::navigationModeFrame = -1;
    gGlobal->exitUrl.clear();
    manager.bQuit = false; // an empty stack asks to quit
}

void MenuFixture::frames(int count) { gHarness->frames(count, gGlobal->contextManager); }

void MenuFixture::push(Context* screen)
{
    screens().addContext(screen);
    frames(1);
}

Context* MenuFixture::top() { return screens().getTop(); }

void MenuFixture::hold(int code, bool down)
{
    send(event(down ? PlatformEvent::Type::KeyDown : PlatformEvent::Type::KeyUp, code));
}

void MenuFixture::tap(int code)
{
    hold(code, true);
    frames(1);
    hold(code, false);
    frames(1);
}

void MenuFixture::movePointer(const V3& p)
{
    PlatformEvent move = event(PlatformEvent::Type::MouseMove);
    move.x = p.x;
    move.y = static_cast<float>(ContextMenu::screenHeight()) - p.y;
    send(move);
}

void MenuFixture::movePointerTo(const Context* screen, const V3& planePoint)
{
    movePointer(ContextMenu::planeToPointer(screen, planePoint));
}

void MenuFixture::pressMouse(bool down)
{
    PlatformEvent press = event(down ? PlatformEvent::Type::MouseDown : PlatformEvent::Type::MouseUp);
    press.button = 0;
    press.x = input().pointer.x;
    press.y = static_cast<float>(ContextMenu::screenHeight()) - input().pointer.y;
    send(press);
}

void MenuFixture::click()
{
    pressMouse(true);
    frames(1);
    pressMouse(false);
    frames(1);
}

void MenuFixture::type(char16_t c)
{
    PlatformEvent text = event(PlatformEvent::Type::Text);
    text.text = wideToUtf8(UString(1, c));
    send(text);
}

void MenuFixture::clickItem(MenuItem* item)
{
    movePointerTo(ContextMenu::contextOf(item), item->position);
    frames(1);
    click();
}

void MenuFixture::finger(int phase, const V3& p)
{
    static const PlatformEvent::Type types[] = {PlatformEvent::Type::FingerDown, PlatformEvent::Type::FingerMove,
                                                PlatformEvent::Type::FingerUp};
    PlatformEvent e = event(types[phase]);
    e.finger = 7;
    e.x = p.x;
    e.y = static_cast<float>(ContextMenu::screenHeight()) - p.y;
    send(e);
}

void MenuFixture::touch(const Context* screen, const V3& planePoint)
{
    const V3 p = ContextMenu::planeToPointer(screen, planePoint);
    finger(0, p);
    frames(1);
    finger(2, p);
    frames(1);
}

std::string MenuFixture::screenshot(const std::string& name) { return screenshot(name, readScreen()); }

std::string MenuFixture::screenshot(const std::string& name, const Screen& screen)
{
    const std::string folder = std::string(TOBBLE_SOURCE_DIR) + "/build/screens";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + name + ".png";
    writePng(path, screen.pixels, screen.width, screen.height);
    return path;
}

MenuFixture::Screen MenuFixture::readScreen()
{
    Screen screen;
    screen.pixels = KivGraphics::instance()->readScreen(screen.width, screen.height);
    return screen;
}

void MenuFixture::onWhite(Context* screen)
{
    screen->pPreObject = nullptr;
    screen->pPostObject = nullptr;
    screen->clearColor = UColor(0xFFFFFFFFu);
}

std::uint32_t MenuFixture::Screen::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

bool MenuFixture::Screen::differsFrom(const Screen& other, int x, int y) const
{
    const std::uint32_t a = pixel(x, y), b = other.pixel(x, y);
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24) {
            return true;
        }
    }
    return false;
}

int MenuFixture::Screen::darkPixels(int x0, int x1, int y0, int y1, int below) const
{
    const auto limit = static_cast<std::uint32_t>(below);
    const int left = std::max(0, x0), right = std::min(width, x1), bottom = std::min(height, y1);
    int dark = 0;
    for (int y = std::max(0, y0); y < bottom; ++y) {
        const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = left; x < right; ++x) {
            const std::uint32_t p = row[x];
            dark += ((p >> 16) & 0xFF) < limit && ((p >> 8) & 0xFF) < limit && (p & 0xFF) < limit;
        }
    }
    return dark;
}

void MenuFixture::addPlayers(int count)
{
    ProfileManager& profiles = gGlobal->profiles;
    while (profiles.countProfiles() > 0) {
        profiles.deleteProfile(0);
    }
    static const char16_t* const names[] = {u"Anna", u"Ben",  u"Clara", u"Dirk",  u"Emma",
                                            u"Finn", u"Greta", u"Hugo", u"Ida", u"Jonas"};
    for (int i = 0; i < count && i < 10; ++i) {
        profiles.addProfile(names[i]);
    }
    profiles.currentProfile = 0;
}
