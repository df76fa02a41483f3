#include "OverlayFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/menus/MenuPanel.h"
#include "game/userdata/GameConfiguration.h"

void OverlayTest::SetUp()
{
    LevelTest::SetUp();
    if (IsSkipped()) {
        return;
    }
    ErrorManager::setThrowForTests(true);
    config().bTutorial = 1;
    config().detail = 1;
}

void OverlayTest::TearDown()
{
    if (env != nullptr) {
        Kiv::instance()->input->setInputMode(KivInput::INPUT_POINTER);
    }
    LevelTest::TearDown();
}

void OverlayTest::startPlaying()
{
    play(builder);
    ASSERT_TRUE(runToState(4));
    // Between frames the level's server stays the current role, so overlays can be made by hand.
    useLevelRole();
}

void OverlayTest::useLevelRole() { THEROLE = manager->server; }

void OverlayTest::tap(int key)
{
    pressKey(key);
    frames(1);
    releaseKey(key);
    frames(1);
}

Overlay* OverlayTest::overlay() { return manager->getRoot()->contextOverlay; }

bool OverlayTest::runUntilClosed(int limit)
{
    return runUntil([&] { return overlay() == nullptr; }, limit);
}

std::vector<TextSprite*> OverlayTest::texts(KivBase& parent)
{
    std::vector<TextSprite*> out;
    for (KivBase* child = parent.getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* text = dynamic_cast<TextSprite*>(child)) {
            out.push_back(text);
        }
    }
    return out;
}

MenuPanel* OverlayTest::panel(KivBase& parent)
{
    for (KivBase* child = parent.getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* found = dynamic_cast<MenuPanel*>(child)) {
            return found;
        }
    }
    return nullptr;
}

TextSprite* OverlayTest::findText(KivBase& parent, const UString& text)
{
    for (TextSprite* sprite : texts(parent)) {
        if (sprite->text == text) {
            return sprite;
        }
    }
    return nullptr;
}
