#pragma once
// The menu fixture with the helpers of the option pages: the top screen as a page type, opening a page
// from a button, and restoring the configuration the pages edit and the video mode.
#include "MenuFixture.h"

#include <cstring>

#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuItem.h"

class OptionsFixture : public MenuFixture {
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        std::memcpy(savedConfig, static_cast<const void*>(&global().config), sizeof savedConfig);
        savedWidth = KivGraphics::instance()->videoModeWidth;
        savedHeight = KivGraphics::instance()->videoModeHeight;
    }
    void TearDown() override
    {
        MenuFixture::TearDown();
        std::memcpy(static_cast<void*>(&global().config), savedConfig, sizeof savedConfig);
        global().applySettings(savedWidth, savedHeight);
        KivGraphics::instance()->resetIfPending();
    }

    template <class T>
    static T* topAs()
    {
        return dynamic_cast<T*>(top());
    }
    // Clicks a button and returns the page it opened (null when the top is not a T).
    template <class T>
    static T* open(MenuItem* button)
    {
        clickItem(button);
        frames(1);
        return topAs<T>();
    }
    template <class T>
    static T* childOf(Context* screen, int skip = 0)
    {
        for (KivBase* child = screen->getFirstChild(); child != nullptr; child = child->getNext()) {
            if (auto* found = dynamic_cast<T*>(child)) {
                if (skip-- == 0) {
                    return found;
                }
            }
        }
        return nullptr;
    }
    static MenuBackButton* backOf(Context* screen) { return childOf<MenuBackButton>(screen); }

    static constexpr int ESCAPE = 1;
    static constexpr int SPACE = 57;

private:
    unsigned char savedConfig[sizeof(GameConfiguration)];
    int savedWidth = 0;
    int savedHeight = 0;
};
