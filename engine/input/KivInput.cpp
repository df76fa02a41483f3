#include "engine/input/KivInput.h"

#include <algorithm>

#include "engine/core/Logger.h"
#include "engine/platform/PlatformJoysticks.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/KivGraphics.h"

namespace {
constexpr int KEY_BACKSPACE = 0x0E;
constexpr int KEY_RETURN = 0x1C;
constexpr int KEY_NUMPADENTER = 0x9C;
constexpr int KEY_LSHIFT = 0x2A;
constexpr int KEY_RSHIFT = 0x36;
constexpr int KEY_LCONTROL = 0x1D;
constexpr int KEY_RCONTROL = 0x9D;
constexpr int KEY_LALT = 0x38;
constexpr int KEY_RALT = 0xB8;
constexpr std::int64_t MOUSE_SOURCE = -1; // mouse button b is source MOUSE_SOURCE - b

} // namespace

KivInput::KivInput()
{
    Logger::logFrom("KivInput::KivInput", u"Starting...");
    if (PlatformWindow* window = PlatformWindow::instance()) {
        window->setEventSink([this](const PlatformEvent& e) { handleEvent(e); });
    }
    Logger::logFrom("KivInput::KivInput", u"Started.");
}

KivInput::~KivInput()
{
    if (PlatformWindow* window = PlatformWindow::instance()) {
        window->setEventSink(nullptr);
    }
}

V3 KivInput::toPointer(float windowX, float windowY) const
{
    // Window pixels (from the top-left) to game-screen pixels from the left and the bottom edge.
    if (const KivGraphics* graphics = KivGraphics::instance();
        graphics != nullptr && graphics->viewport.width() > 0 && graphics->viewport.height() > 0) {
        const auto& vp = graphics->viewport;
        const float w = static_cast<float>(graphics->width);
        const float h = static_cast<float>(graphics->height);
        const float x = (windowX - static_cast<float>(vp.left)) * w / static_cast<float>(vp.width());
        const float yTop = (windowY - static_cast<float>(vp.top)) * h / static_cast<float>(vp.height());
        return V3(std::clamp(x, 0.0f, w), std::clamp(h - yTop, 0.0f, h), 0.0f);
    }
    const PlatformWindow* window = PlatformWindow::instance();
    if (window == nullptr) {
        return V3(windowX, windowY, 0.0f);
    }
    const float w = static_cast<float>(window->width());
    const float h = static_cast<float>(window->height());
    return V3(std::clamp(windowX, 0.0f, w), std::clamp(h - windowY, 0.0f, h), 0.0f);
}

void KivInput::toWindow(const V3& point, int& windowX, int& windowY) const
{
    if (const KivGraphics* graphics = KivGraphics::instance();
        graphics != nullptr && graphics->width > 0 && graphics->height > 0) {
        const auto& vp = graphics->viewport;
        windowX = vp.left + static_cast<int>(point.x * static_cast<float>(vp.width()) / static_cast<float>(graphics->width));
        windowY = vp.top + static_cast<int>((static_cast<float>(graphics->height) - point.y) *
                                            static_cast<float>(vp.height()) / static_cast<float>(graphics->height));
        return;
    }
    const PlatformWindow* window = PlatformWindow::instance();
    windowX = static_cast<int>(point.x);
    windowY = window != nullptr ? static_cast<int>(static_cast<float>(window->height()) - point.y) : static_cast<int>(point.y);
}

void KivInput::type(char16_t unit)
{
    if (typedChar == 0) {
        typedChar = unit;
    } else if (typedAhead.size() < MAX_TYPED_AHEAD) {
        typedAhead.push_back(unit);
    }
}

void KivInput::endFrame()
{
    typedChar = 0;
    if (!typedAhead.empty()) {
        typedChar = typedAhead.front();
        typedAhead.pop_front();
    }
}

bool KivInput::isModifierKey(int key)
{
    return key == KEY_LSHIFT || key == KEY_RSHIFT || key == KEY_LCONTROL || key == KEY_RCONTROL || key == KEY_LALT ||
           key == KEY_RALT;
}

unsigned KivInput::liveModifiers() const
{
    const bool shift = liveKeys[KEY_LSHIFT] || liveKeys[KEY_RSHIFT];
    const bool ctrl = liveKeys[KEY_LCONTROL] || liveKeys[KEY_RCONTROL];
    const bool alt = liveKeys[KEY_LALT] || liveKeys[KEY_RALT];
    return (shift ? 1u : 0u) | (ctrl ? 2u : 0u) | (alt ? 4u : 0u);
}

void KivInput::handleEvent(const PlatformEvent& e)
{
    using T = PlatformEvent::Type;
    switch (e.type) {
    case T::KeyDown:
        if (e.key > 0 && e.key < 256) {
            liveKeys[e.key] = 0x80;
            pressedKeys[e.key] = 0x80;
            pendingButtonPress = e.key;
            if (!isModifierKey(e.key)) {
                chordModifiers |= liveModifiers();
            }
        }
        if (e.key == KEY_BACKSPACE) {
            type(8);
        } else if (e.key == KEY_RETURN || e.key == KEY_NUMPADENTER) {
            type(13);
        }
        break;
    case T::KeyUp:
        if (e.key > 0 && e.key < 256) {
            liveKeys[e.key] = 0;
        }
        break;
    case T::Text:
        for (const char16_t unit : utf8ToWide(e.text)) {
            if (unit != 0) {
                type(unit);
            }
        }
        break;
    case T::MouseMove: {
        const V3 p = toPointer(e.x, e.y);
        motionSincePoll += V3(p.x - livePointer.x, p.y - livePointer.y, 0.0f);
        livePointer = p;
        if (inputMode == INPUT_POINTER) {
            pointerMoved = true;
        }
        for (int b = 0; b < 4; ++b) {
            if (liveButtons[b] != 0) {
                queueTouch(TouchAction::Move, MOUSE_SOURCE - b, p);
            }
        }
        break;
    }
    case T::MouseDown:
    case T::MouseUp: {
        if (e.button < 0 || e.button > 3) {
            break;
        }
        const V3 p = toPointer(e.x, e.y);
        livePointer = p;
        pointerMoved = true;
        if (e.type == T::MouseDown) {
            liveButtons[e.button] = 0x80;
            pressedButtons[e.button] = 0x80;
            setInputMode(INPUT_POINTER);
            queueTouch(TouchAction::Down, MOUSE_SOURCE - e.button, p);
        } else {
            liveButtons[e.button] = 0;
            queueTouch(TouchAction::Up, MOUSE_SOURCE - e.button, p);
        }
        break;
    }
    case T::MouseWheel:
        wheelSincePoll += e.wheel;
        break;
    case T::FingerDown:
    case T::FingerMove:
    case T::FingerUp: {
        const V3 p = toPointer(e.x, e.y);
        if (e.type == T::FingerDown) {
            setInputMode(INPUT_TOUCH);
            if (!pointerFingerDown) {
                pointerFingerDown = true;
                pointerFinger = e.finger;
            }
        }
        if (pointerFingerDown && e.finger == pointerFinger) {
            motionSincePoll += V3(p.x - livePointer.x, p.y - livePointer.y, 0.0f);
            livePointer = p;
            pointerMoved = true;
            if (e.type == T::FingerUp) {
                pointerFingerDown = false;
            }
        }
        queueTouch(e.type == T::FingerDown   ? TouchAction::Down
                   : e.type == T::FingerMove ? TouchAction::Move
                                             : TouchAction::Up,
                   e.finger, p);
        break;
    }
    }
}

void KivInput::queueTouch(TouchAction::Kind kind, std::int64_t source, const V3& position)
{
    pendingTouches.push_back(TouchAction{kind, source, position});
}

KivTouchPoint* KivInput::findLive(std::int64_t source)
{
    for (KivTouchPoint& t : touches) {
        if (t.source == source && t.state != KivTouchPoint::STATE_ENDED) {
            return &t;
        }
    }
    return nullptr;
}

void KivInput::poll(double time)
{
    keyStatePrev = keyState;

    // Keyboard: a key that went down and up again since the last poll still counts as down once.
    for (int k = 0; k < 256; ++k) {
        keyState[k] = liveKeys[k] | pressedKeys[k];
    }
    pressedKeys.fill(0);
    buttonPress = pendingButtonPress;
    pendingButtonPress = 0;

    // The modifiers held now and those held when a key went down since the last poll: a chord that began and
    // ended between two frames (Ctrl+S typed fast, or sent by a tool) keeps its Ctrl in the frame its key counts.
    const unsigned held = liveModifiers() | chordModifiers;
    chordModifiers = 0;
    static const int MODIFIERS[8] = {
        0, // none
        1, // shift
        2, // ctrl
        5, // ctrl + shift
        3, // alt
        6, // alt + shift
        4, // ctrl + alt
        7, // ctrl + alt + shift
    };
    modifierState = MODIFIERS[held];

    readJoysticks();

    // Mouse: pointer, motion, wheel, direction codes and buttons.
    if (pointerMoved) {
        pointer.x = livePointer.x;
        pointer.y = livePointer.y;
        pointerMoved = false;
    }
    pointer.z += wheelSincePoll;
    pointerMotion = V3(motionSincePoll.x, motionSincePoll.y, wheelSincePoll);
    motionSincePoll = V3();
    wheelSincePoll = 0.0f;
    keyState[MOUSE_UP] = pointerMotion.y > 0.0f ? 0x80 : 0;
    keyState[MOUSE_DOWN] = pointerMotion.y < 0.0f ? 0x80 : 0;
    keyState[MOUSE_LEFT] = pointerMotion.x < 0.0f ? 0x80 : 0;
    keyState[MOUSE_RIGHT] = pointerMotion.x > 0.0f ? 0x80 : 0;
    for (int b = 0; b < 4; ++b) {
        mouseButtons[b] = liveButtons[b] | pressedButtons[b];
        keyState[MOUSE_BUTTON0 + b] = mouseButtons[b];
    }
    pressedButtons.fill(0);

    // Touch points: ended ones go, began ones are held (or end, when released in their first frame).
    std::erase_if(touches, [](const KivTouchPoint& t) { return t.state == KivTouchPoint::STATE_ENDED; });
    for (KivTouchPoint& t : touches) {
        if (t.state == KivTouchPoint::STATE_BEGAN) {
            t.setState(t.releasePending ? KivTouchPoint::STATE_ENDED : KivTouchPoint::STATE_HELD);
            t.releasePending = false;
        }
    }
    for (const TouchAction& a : pendingTouches) {
        KivTouchPoint* live = findLive(a.source);
        switch (a.kind) {
        case TouchAction::Down: {
            if (live != nullptr) {
                live->setState(KivTouchPoint::STATE_ENDED); // a lost release
            }
            KivTouchPoint t;
            t.id = nextTouchId++;
            t.source = a.source;
            t.start = a.position;
            t.position = a.position;
            t.time = time;
            t.setState(KivTouchPoint::STATE_BEGAN);
            touches.push_back(t);
            break;
        }
        case TouchAction::Move:
            if (live != nullptr) {
                live->moveTo(a.position);
            }
            break;
        case TouchAction::Up:
            if (live != nullptr) {
                live->moveTo(a.position);
                if (live->state == KivTouchPoint::STATE_BEGAN) {
                    live->releasePending = true;
                } else {
                    live->setState(KivTouchPoint::STATE_ENDED);
                }
            }
            break;
        }
    }
    pendingTouches.clear();
    lastPollTime = time;
}

void KivInput::readJoysticks()
{
    for (int j = 0; j < PlatformJoysticks::MAX_JOYSTICKS; ++j) {
        const int base = JOYSTICK_BASE + JOYSTICK_BLOCK * j;
        std::fill(keyState.begin() + base, keyState.begin() + base + JOYSTICK_BLOCK, std::uint8_t(0));
        const PlatformJoysticks::State s = PlatformJoysticks::read(j);
        if (!s.present) {
            continue;
        }
        keyState[base + 0] = s.y < -0.5f ? 0x80 : 0;
        keyState[base + 1] = s.y > 0.5f ? 0x80 : 0;
        keyState[base + 2] = s.x < -0.5f ? 0x80 : 0;
        keyState[base + 3] = s.x > 0.5f ? 0x80 : 0;
        for (int b = 0; b < 32; ++b) {
            keyState[base + JOYSTICK_BUTTONS + b] = (s.buttons >> b) & 1u ? 0x80 : 0;
        }
    }
}

KivTouchPoint* KivInput::getTouchPoint(int index)
{
    if (index < 0 || index >= static_cast<int>(touches.size())) {
        return nullptr;
    }
    return &touches[static_cast<std::size_t>(index)];
}

bool KivInput::isAnyTouchDown() const
{
    return std::any_of(touches.begin(), touches.end(),
                       [](const KivTouchPoint& t) { return t.hasFlag(KivTouchPoint::FLAG_BEGAN); });
}

bool KivInput::isTouchDown(int index) const
{
    return index >= 0 && index < static_cast<int>(touches.size()) &&
           touches[static_cast<std::size_t>(index)].hasFlag(KivTouchPoint::FLAG_BEGAN);
}

bool KivInput::getTouchFlag(int index) const
{
    return index >= 0 && index < static_cast<int>(touches.size()) &&
           touches[static_cast<std::size_t>(index)].hasFlag(KivTouchPoint::FLAG_DOWN);
}

const void* KivInput::getTouchHandled() const { return touches.empty() ? nullptr : touches.front().handled; }

void KivInput::setTouchHandled(int index, const void* value)
{
    if (index >= 0 && index < static_cast<int>(touches.size())) {
        touches[static_cast<std::size_t>(index)].handled = value;
    }
}

void KivInput::addPointerTouch()
{
    KivTouchPoint t;
    t.id = nextTouchId++;
    t.source = nextSyntheticSource--;
    t.start = V3(pointer.x, pointer.y, 0.0f);
    t.position = t.start;
    t.time = lastPollTime;
    t.setState(KivTouchPoint::STATE_BEGAN);
    t.releasePending = true;
    touches.push_back(t);
}

void KivInput::setInputMode(int mode)
{
    if (mode == inputMode) {
        return;
    }
    Logger::logFrom("KivInput::setInputMode", u"Setting input mode to %d", mode);
    inputMode = mode;
    if (PlatformWindow* window = PlatformWindow::instance()) {
        window->showCursor(mode == INPUT_POINTER);
    }
    if (onInputModeChange) {
        onInputModeChange();
    }
}

void KivInput::warpCursor(const V3& point)
{
    pointer = point;
    livePointer = V3(point.x, point.y, 0.0f);
    pointerMotion = V3();
    motionSincePoll = V3();
    pointerMoved = false;
    if (inputMode == INPUT_POINTER) {
        if (PlatformWindow* window = PlatformWindow::instance()) {
            int x = 0;
            int y = 0;
            toWindow(point, x, y);
            window->warpCursor(x, y);
        }
    }
}
