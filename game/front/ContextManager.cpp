#include "game/front/ContextManager.h"

#include "engine/core/Format.h"
#include "engine/core/TimeKeeper.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/text/FontQuad.h"
#include "game/front/Global.h"
#include "game/front/MousePointer.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/ScreenFit.h"

const RuntimeClass ContextManager::classRecord(u"ContextManager", &Context::classRecord, nullptr);

namespace {
constexpr int ESCAPE_KEY = 1;
constexpr double READOUT_PERIOD = 0.125;

void clearHovered()
{
    if (Kiv* engine = Kiv::instance(); engine != nullptr && engine->pointerDispatcher != nullptr) {
        engine->pointerDispatcher->setHovered(nullptr);
    }
}
} // namespace

ContextManager::ContextManager()
{
    pointerLayer = new Context();
    mousePointer = new MousePointer();
    pointerLayer->addChild(mousePointer);
    wipeLayer = new Context();
    transitionWipe = new TransitionWipe();
    wipeLayer->addChild(transitionWipe);
}

ContextManager::~ContextManager()
{
    delete pointerLayer;
    pointerLayer = nullptr;
    mousePointer = nullptr;
    delete wipeLayer;
    wipeLayer = nullptr;
    transitionWipe = nullptr;
    // Screens still on the stack: the stack owns those marked delete-when-closed; the others belong to
    // whoever made them.
    while (KivBase* child = getLastChild()) {
        removeChild(child);
        auto* screen = dynamic_cast<Context*>(child);
        if (screen != nullptr && screen->bDeleteWhenClosed) {
            delete screen;
        }
    }
    activeScreen = nullptr;
    topScreen = nullptr;
}

void ContextManager::addContext(Context* screen)
{
    if (screen == nullptr) {
        return;
    }
    screen->bClosed = false;
    addChild(screen);
}

Context* ContextManager::getTop() const { return dynamic_cast<Context*>(getLastChild()); }

void ContextManager::popClosedScreens()
{
    while (Context* top = getTop()) {
        if (!top->bClosed) {
            break;
        }
        removeChild(top);
        top->onDeactivate(true);
        clearHovered();
        activeScreen = nullptr;
        if (topScreen == top) {
            topScreen = nullptr;
        }
        if (top->bDeleteWhenClosed) {
            delete top;
        }
    }
}

void ContextManager::activateTop()
{
    topScreen = getTop();
    if (topScreen == activeScreen) {
        return;
    }
    if (activeScreen != nullptr) {
        activeScreen->onDeactivate(false);
    }
    clearHovered();
    const bool first = topScreen->bFirstActivation;
    topScreen->onActivate(first);
    topScreen->bFirstActivation = false;
    transitionWipe->targetLevel = 0.0f;
    activeScreen = topScreen;
}

void ContextManager::tickContents(double tickTime, double dt)
{
    fitToScreen();
    popClosedScreens();
    if (getLastChild() == nullptr) {
        topScreen = nullptr;
        bQuit = true;
        return;
    }
    activateTop();
    pointerLayer->tickEntry(tickTime, dt);
    wipeLayer->tickEntry(tickTime, dt);
    Context* top = topScreen;
    top->tickEntry(tickTime, dt);
    // The tick may have pushed screens; Escape and continue belong to the screen that was ticked.
    handleEscapeAndContinue(top);
    if (confirmAnswer == 0) {
        // YES on the close question: close the screen that asked, only while it is still directly below
        // the question.
        auto* asking = confirmAsking.getAs<Context>();
        const KivBase* question = confirmQuestion.get();
        if (asking != nullptr && question != nullptr && question->getPrev() == asking) {
            asking->bClosed = true;
        }
        confirmAnswer = -1;
        confirmAsking.set(nullptr);
        confirmQuestion.set(nullptr);
    }
}

void ContextManager::handleEscapeAndContinue(Context* top)
{
    if (!top->bEscapeCloses || top->bClosed) {
        return;
    }
    const Kiv* engine = Kiv::instance();
    const KivInput* input = engine != nullptr ? engine->input : nullptr;
    if (input == nullptr) {
        return;
    }
    if (input->wasKeyPressed(ESCAPE_KEY)) {
        if (top->bConfirmClose) {
            openCloseConfirmation();
        } else {
            top->bClosed = true;
        }
        return;
    }
    if (top->bWaitForContinue) {
        bool pressed = input->isAnyTouchDown();
        if (const Global* global = Global::instance()) {
            const GameConfiguration::KeyBinding& jump = global->config.keyBindings[GameConfiguration::BIND_JUMP];
            pressed = pressed || (jump.keyboard != 0 && input->wasKeyPressed(static_cast<int>(jump.keyboard))) ||
                      (jump.joystick != 0 && input->wasKeyPressed(static_cast<int>(jump.joystick)));
        }
        if (pressed) {
            top->bClosed = true;
        }
    }
}

void ContextManager::openCloseConfirmation()
{
    Context* asking = getTop();
    auto* question = new ContextDialog();
    question->text = MenuSupport::text(STR_CONFIRM);
    question->firstCaption = MenuSupport::text(STR_YES);
    question->secondCaption = MenuSupport::text(STR_NO);
    question->setAnswer(&confirmAnswer, this);
    question->buildContents();
    confirmAsking.set(asking);
    confirmQuestion.set(question);
    addContext(question);
}

void ContextManager::renderContents()
{
    if (getLastChild() == nullptr || topScreen == nullptr) {
        return;
    }
    fitToScreen();
    topScreen->renderEntry();
    const Kiv* engine = Kiv::instance();
    if (topScreen->bShowPointer && (engine == nullptr || engine->bApplicationActive)) {
        pointerLayer->renderEntry();
    }
    wipeLayer->renderEntry();
    if (!topScreen->bHideFrameRate) {
        renderFrameRate();
    }
}

void ContextManager::fitToScreen()
{
    if (!fittedSize.update()) {
        return;
    }
    ScreenFit::fitCamera(*pointerLayer->camera);
    ScreenFit::fitCamera(*wipeLayer->camera);
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* menu = dynamic_cast<ContextMenu*>(child)) {
            menu->fitToScreen(menu == activeScreen);
        }
    }
}

void ContextManager::renderFrameRate()
{
    const Global* global = Global::instance();
    const Kiv* engine = Kiv::instance();
    if (global == nullptr || engine == nullptr || !global->config.bShowFps || global->fontSmall == nullptr) {
        return;
    }
    const double now = engine->timeKeeper->getPhysicalTime() - engine->timeKeeper->getStartTime();
    if (now > nextReadoutTime) {
        nextReadoutTime = now + READOUT_PERIOD;
        shownFrameRate = static_cast<float>(engine->frameRate);
    }
    const KivGraphics* graphics = KivGraphics::instance();
    if (graphics == nullptr) {
        return;
    }
    // Drawn in the pointer layer's plain screen view, whatever the top screen's camera.
    Context* previous = Context::getCurrent();
    Context::setCurrent(pointerLayer);
    pointerLayer->camera->render();
    const V3 at(static_cast<float>(graphics->width / 2 - 2),
                static_cast<float>(graphics->height / 2 - 2) - topScreen->frameRateDrop, 0.0f);
    // White digits in the dark rim of the texts on the pictures: they read on the pale sky as on the night.
    MenuSupport::printRimmed(global->fontSmall, at, UColor(0xFFFFFFFFu), 0x108,
                             formatString(u"%.1lf", static_cast<double>(shownFrameRate)));
    Context::setCurrent(previous);
}

KivBase* ContextManager::findObjectUnderPointer(const V3& point)
{
    KivBase* top = getLastChild();
    return top != nullptr ? top->findObjectUnderPointer(point) : nullptr;
}
