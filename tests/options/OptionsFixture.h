#pragma once
// The menu fixture with the helpers of the option pages: the top screen as a page type, opening a page
// from a button, and restoring the configuration the pages edit and the video mode.
#include "MenuFixture.h"

#include <cstring>
#include <initializer_list>
#include <utility>

#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
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

    // Runs body("en" or "de", width) in English and in German, in a window of each of the sizes; English is the
    // language again afterwards.
    template <class Body>
    static void inEachLanguageAt(std::initializer_list<std::pair<int, int>> sizes, Body body)
    {
        KivGraphics& graphics = *KivGraphics::instance();
        for (int lang : {0, 1}) {
            Kiv::instance()->language->setLanguage(lang);
            for (const auto& [w, h] : sizes) {
                graphics.changePresentationParameters(w, h, false, graphics.bLetterbox, graphics.bBilinearFilter,
                                                      graphics.bVSync);
                frames(1);
                EXPECT_EQ(w, graphics.width);
                body(lang == 0 ? "en" : "de", w);
            }
        }
        Kiv::instance()->language->setLanguage(0);
    }

    static constexpr int ESCAPE = 1;
    static constexpr int SPACE = 57;

private:
    unsigned char savedConfig[sizeof(GameConfiguration)];
    int savedWidth = 0;
    int savedHeight = 0;
};
