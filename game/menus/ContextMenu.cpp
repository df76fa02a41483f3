#include "game/menus/ContextMenu.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Logger.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Rect.h"
#include "engine/render/Renderable.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuNavigationEntry.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/Navigable.h"

const RuntimeClass ContextMenu::classRecord(0x4229753au, &Context::classRecord,
                                           &RuntimeClass::factoryOf<ContextMenu>);

namespace {
// Input codes read by the navigation: keyboard, first joystick, second joystick.
constexpr int KEYS_UP[] = {200, 256, 304};
constexpr int KEYS_DOWN[] = {208, 257, 305};
constexpr int KEYS_LEFT[] = {203, 258, 306};
constexpr int KEYS_RIGHT[] = {205, 259, 307};
constexpr int KEYS_CONFIRM[] = {28, 272, 320};
constexpr int KEYS_BACK[] = {273, 321};

template <std::size_t N>
bool anyPressed(const KivInput& input, const int (&codes)[N])
{
    return std::any_of(std::begin(codes), std::end(codes), [&](int c) { return input.wasKeyPressed(c); });
}

template <std::size_t N>
bool anyReleased(const KivInput& input, const int (&codes)[N])
{
    return std::any_of(std::begin(codes), std::end(codes), [&](int c) { return !input.isDown(c) && input.wasDown(c); });
}

KivInput* engineInput()
{
    Kiv* engine = Kiv::instance();
    return engine != nullptr ? engine->input : nullptr;
}
} // namespace

int ContextMenu::screenWidth()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr && graphics->width > 0 ? graphics->width : 800;
}

int ContextMenu::screenHeight()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr && graphics->height > 0 ? graphics->height : 600;
}

V3 ContextMenu::planeToPointer(const Context* context, const V3& p)
{
    const float w = static_cast<float>(screenWidth());
    const float h = static_cast<float>(screenHeight());
    if (context == nullptr || context->camera == nullptr) {
        return V3(p.x + w / 2, p.y + h / 2, p.z);
    }
    float sx = 0.0f, sy = 0.0f;
    context->camera->worldToScreen(p, w, h, sx, sy);
    return V3(sx, h - sy, p.z);
}

V3 ContextMenu::pointerToPlane(const Context* context, const V3& p)
{
    const float w = static_cast<float>(screenWidth());
    const float h = static_cast<float>(screenHeight());
    if (context == nullptr || context->camera == nullptr) {
        return V3(p.x - w / 2, p.y - h / 2, p.z);
    }
    return context->camera->screenToWorld(p.x, h - p.y, w, h, p.z);
}

Context* ContextMenu::contextOf(const KivBase* object)
{
    for (const KivBase* node = object != nullptr ? object->getParent() : nullptr; node != nullptr;
         node = node->getParent()) {
        if (const auto* context = dynamic_cast<const Context*>(node)) {
            return const_cast<Context*>(context);
        }
    }
    return Context::getCurrent();
}

ContextMenu::ContextMenu()
{
    cornerX = screenWidth() / 2 + rowHeight / 2 - marginX;
    cornerY = screenHeight() / 2 - marginY;
    fittedSize.update();
    savedPointer = pointerHome();
    const Kiv* engine = Kiv::instance();
    const bool rightToLeft = engine != nullptr && engine->language != nullptr && engine->language->bRightToLeft != 0;
    ALIGN_READING_START = rightToLeft ? 6 : 4;
    READING_DIRECTION_X = rightToLeft ? -1.0f : 1.0f;
}

ContextMenu::~ContextMenu() = default;

V3 ContextMenu::pointerHome() const
{
    return planeToPointer(this, V3(0.0f, static_cast<float>(screenHeight() / 2), 0.0f));
}

void ContextMenu::addItem(Renderable* item)
{
    appendChild(item);
    (navigationOwner != nullptr ? navigationOwner : this)->addNavigationEntry(item);
}

void ContextMenu::addNavigationEntry(Renderable* item)
{
    if (auto* navigable = dynamic_cast<Navigable*>(item)) {
        navigationEntries.appendChild(new MenuNavigationEntry(item, navigable));
    }
}

void ContextMenu::clearNavigationEntries() { navigationEntries.destroyAllChildren(); }

void ContextMenu::keepToEdges(Renderable* item, bool horizontally, bool vertically)
{
    auto side = [](bool keep, float at) { return !keep || at == 0.0f ? 0.0f : at < 0.0f ? -1.0f : 1.0f; };
    EdgeAnchor& anchor = edgeAnchors.emplace_back();
    anchor.item.set(item);
    anchor.sideX = side(horizontally, item->position.x);
    anchor.sideY = side(vertically, item->position.y);
}

TextSprite* ContextMenu::addTitle(int titleId)
{
    auto* title = new TextSprite(0.0f, static_cast<float>(cornerY), 0.0f, MenuSupport::text(titleId),
                                 MenuSupport::font(MenuSupport::FONT_LARGE), UColor(0xFFFFFFFFu));
    title->flags = 5 + 16;
    appendChild(title);
    keepToEdges(title, false, true);
    return title;
}

MenuBackButton* ContextMenu::addBackButton(int captionId)
{
    auto* back = new MenuBackButton(static_cast<float>(80 - cornerX), static_cast<float>(-cornerY), 0.0f,
                                    MenuSupport::text(captionId), UString());
    back->setWidth(160);
    addItem(back);
    keepToEdges(back, true, true);
    return back;
}

void ContextMenu::fitToScreen(bool steering)
{
    const int oldWidth = fittedSize.width, oldHeight = fittedSize.height;
    if (!fittedSize.update()) {
        return;
    }
    // The items under the saved pointer and under the steered pointer are found in the old layout, where
    // the pointer's pixels still mean what they meant when it was put there.
    auto oldPlace = [&](const V3& p) {
        return camera->screenToWorld(p.x, static_cast<float>(oldHeight) - p.y, static_cast<float>(oldWidth),
                                     static_cast<float>(oldHeight), p.z);
    };
    KivInput* input = engineInput();
    const bool steered = steering && input != nullptr && menuNavigationMode == NAVIGATION_KEYBOARD;
    const HotSpot saved = nearestHotSpot(oldPlace(savedPointer));
    const HotSpot underPointer = steered ? nearestHotSpot(oldPlace(input->pointer)) : HotSpot();

    ScreenFit::fitCamera(*camera);
    const int dx = fittedSize.width / 2 - oldWidth / 2, dy = fittedSize.height / 2 - oldHeight / 2;
    cornerX += dx;
    cornerY += dy;
    for (auto anchor = edgeAnchors.begin(); anchor != edgeAnchors.end();) {
        auto* item = anchor->item.getAs<Renderable>();
        if (item == nullptr) {
            anchor = edgeAnchors.erase(anchor);
            continue;
        }
        item->setPosition(item->position + V3(anchor->sideX * static_cast<float>(dx),
                                              anchor->sideY * static_cast<float>(dy), 0.0f));
        ++anchor;
    }
    savedPointer = saved.navigable != nullptr ? saved.navigable->getNavigationPoint(saved.index)
                                              : pointerHome();
    if (underPointer.navigable != nullptr) {
        const V3 moved = underPointer.navigable->getNavigationPoint(underPointer.index);
        input->warpCursor(moved);
        Context::setInputPointer(moved.x, static_cast<float>(fittedSize.height) - moved.y);
    }
}

ContextMenu::HotSpot ContextMenu::nearestHotSpot(const V3& planePoint)
{
    HotSpot best;
    float bestDistance = 0.0f;
    walkNavigation([&](Renderable&, Navigable& navigable) {
        for (int i = 0;; ++i) {
            const V3 p = navigable.getNavigationPoint(i);
            if (p == Navigable::NONE) {
                break;
            }
            const V3 d = pointerToPlane(this, p) - planePoint;
            const float distance = d.x * d.x + d.y * d.y;
            if (best.navigable == nullptr || distance < bestDistance) {
                best = {&navigable, i};
                bestDistance = distance;
            }
        }
    });
    return best;
}

void ContextMenu::setMenuNavigationMode(int mode)
{
    if (mode == menuNavigationMode) {
        return;
    }
    Logger::logFrom("ContextMenu::setMenuNavigationMode", u"Setting menu navigation mode to %d", mode);
    menuNavigationMode = mode;
    const Kiv* engine = Kiv::instance();
    navigationModeFrame = engine != nullptr ? static_cast<int64_t>(engine->frameCounter) : 0;
}

void ContextMenu::onInputModeChange()
{
    Context::onInputModeChange();
    const KivInput* input = engineInput();
    if (input != nullptr && input->getInputMode() == KivInput::INPUT_TOUCH) {
        setMenuNavigationMode(NAVIGATION_POINTER);
    }
}

template <class Visit>
void ContextMenu::walkNavigation(Visit visit)
{
    KivBase* node = navigationEntries.getFirstChild();
    while (node != nullptr) {
        KivBase* next = node->getNext();
        auto* entry = static_cast<MenuNavigationEntry*>(node);
        Navigable* navigable = entry->getNavigable();
        if (navigable == nullptr) {
            delete entry;
        } else if (!entry->getItem()->bHidden) {
            visit(*entry->getItem(), *navigable);
        }
        node = next;
    }
}

float ContextMenu::navigationScore(const V3& from, const V3& to, int direction)
{
    const V3 d = to - from;
    const float length = d.length();
    if (direction == NEAREST) {
        return 256.0f / std::max(length, 1.0f);
    }
    if (length < 4.0f) {
        return -1.0f;
    }
    static constexpr V3 units[] = {{0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};
    if (direction < 0 || direction > 3) {
        return -1.0f;
    }
    const V3 n = d * (1.0f / length);
    return 256.0f * n.dot(units[direction]) / length;
}

V3 ContextMenu::findNavigationTarget(const V3& from, int direction)
{
    const float w = static_cast<float>(screenWidth());
    const float h = static_cast<float>(screenHeight());
    V3 best = Navigable::NONE;
    float bestScore = 0.0f;
    bool found = false;
    walkNavigation([&](Renderable&, Navigable& navigable) {
        for (int i = 0;; ++i) {
            const V3 p = navigable.getNavigationPoint(i);
            if (p == Navigable::NONE) {
                break;
            }
            if (p.x < 0.0f || p.x >= w || p.y <= 0.0f || p.y > h) {
                continue;
            }
            const float score = navigationScore(from, p, direction);
            if (score <= 0.0f) {
                continue;
            }
            if (!found || score > bestScore) {
                best = p;
                bestScore = score;
                found = true;
            }
        }
    });
    return found ? best : from;
}

void ContextMenu::tickContents(double tickTime, double dt)
{
    // The keys are read before the items tick: a synthetic touch made by the confirm key is down only for
    // the rest of this frame, and the items must see it go down.
    readNavigationKeys();
    Context::tickContents(tickTime, dt);
}

void ContextMenu::readNavigationKeys()
{
    Kiv* engine = Kiv::instance();
    KivInput* input = engineInput();
    if (engine == nullptr || input == nullptr || bClosed) {
        return;
    }
    // The keys wait for the frame after the mode changed. A change marked by the engine before a restart,
    // whose count starts again at 0, holds them back no longer.
    const auto frame = static_cast<int64_t>(engine->frameCounter);
    if (bNavigationEnabled && (navigationModeFrame < frame - 1 || navigationModeFrame > frame)) {
        const bool up = anyPressed(*input, KEYS_UP);
        const bool down = anyPressed(*input, KEYS_DOWN);
        const bool left = anyPressed(*input, KEYS_LEFT);
        const bool right = anyPressed(*input, KEYS_RIGHT);
        const bool confirmPressed = anyPressed(*input, KEYS_CONFIRM);
        const bool confirmReleased = anyReleased(*input, KEYS_CONFIRM);
        if (bEscapeCloses && !bConfirmClose && anyPressed(*input, KEYS_BACK)) {
            bClosed = true;
        }
        if (confirmPressed) {
            bConfirmArmed = true;
        }
        if (up || down || left || right || confirmPressed || confirmReleased) {
            setMenuNavigationMode(NAVIGATION_KEYBOARD);
            const V3 from = input->pointer;
            V3 target = from;
            const bool directions[] = {up, down, left, right};
            for (int d = 0; d < 4; ++d) {
                if (directions[d]) {
                    target = findNavigationTarget(from, d);
                }
            }
            input->setInputMode(KivInput::INPUT_POINTER);
            input->warpCursor(target);
            if (confirmReleased && bConfirmArmed) {
                input->addPointerTouch();
            }
        }
    }
    if (menuNavigationMode == NAVIGATION_KEYBOARD && input->pointerMotion.x * input->pointerMotion.x +
                                                             input->pointerMotion.y * input->pointerMotion.y >
                                                         4.0f) {
        setMenuNavigationMode(NAVIGATION_POINTER);
    }
}

void ContextMenu::tickEntry(double tickTime, double dt)
{
    fitToScreen(true);
    Context::tickEntry(tickTime, dt);
}

void ContextMenu::renderEntry()
{
    fitToScreen(false);
    Context::renderEntry();
}

void ContextMenu::onActivate(bool firstActivation)
{
    Context::onActivate(firstActivation);
    bConfirmArmed = false;
    KivInput* input = engineInput();
    if (input == nullptr) {
        return;
    }
    if (menuNavigationMode == NAVIGATION_POINTER && input->getInputMode() == KivInput::INPUT_TOUCH) {
        input->warpCursor(pointerHome());
    } else if (menuNavigationMode == NAVIGATION_KEYBOARD) {
        input->warpCursor(savedPointer);
        Context::setInputPointer(savedPointer.x, static_cast<float>(screenHeight()) - savedPointer.y);
        updatePointer();
        const V3 target = findNavigationTarget(input->pointer, NEAREST);
        input->setInputMode(KivInput::INPUT_POINTER);
        input->warpCursor(target);
    }
}

void ContextMenu::onDeactivate(bool closing)
{
    Context::onDeactivate(closing);
    const V3 saved = planeToPointer(this, pointer);
    savedPointer = V3(saved.x, saved.y, pointer.z);
}

void ContextMenu::renderContents()
{
    Context::renderContents();
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && !engine->bRelease) {
        drawHotSpotMarkers();
    }
}

void ContextMenu::drawHotSpotMarkers()
{
    UColor color(0xFF000000u);
    if (menuNavigationMode == NAVIGATION_KEYBOARD && static_cast<int64_t>(std::floor(time * 5.0)) % 2 != 0) {
        color = UColor(0xFFFF00FFu);
    }
    walkNavigation([&](Renderable&, Navigable& navigable) {
        for (int i = 0;; ++i) {
            const V3 p = navigable.getNavigationPoint(i);
            if (p == Navigable::NONE) {
                break;
            }
            const V3 c = pointerToPlane(this, p);
            Rect r{c.x - 5.0f, c.y + 5.0f, c.x + 5.0f, c.y - 5.0f};
            r.drawOutline(color, c.z);
        }
    });
}
