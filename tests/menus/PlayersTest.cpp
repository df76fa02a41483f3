// The players page and the name entry: picking, adding and deleting players, typing a name with the
// physical keyboard and the on-screen one.
#include "MenuFixture.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextPlayers.h"
#include "game/menus/KeyboardKeyButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuNavigationEntry.h"
#include "game/menus/ProfileListItem.h"

namespace {
class Players : public MenuFixture {
protected:
    ContextPlayers* open()
    {
        auto* page = new ContextPlayers();
        push(page);
        return page;
    }
    ContextEnterName* openEntry(bool mayCancel)
    {
        auto* page = new ContextEnterName(mayCancel);
        push(page);
        return page;
    }
    ProfileManager& profiles() { return global().profiles; }
    void pressAt(Context* page, const V3& plane)
    {
        movePointerTo(page, plane);
        frames(1);
        click();
    }
    void typeText(const UString& text)
    {
        for (char16_t c : text) {
            type(c);
            frames(1);
        }
    }
    KeyboardKeyButton* key(ContextEnterName* page, char16_t c)
    {
        for (KivBase* child = page->getFirstChild(); child != nullptr; child = child->getNext()) {
            auto* k = dynamic_cast<KeyboardKeyButton*>(child);
            if (k != nullptr && k->keyCharacter == c) {
                return k;
            }
        }
        return nullptr;
    }
    int navigationEntries(ContextMenu* page)
    {
        int count = 0;
        for (KivBase* e = page->navigationEntries.getFirstChild(); e != nullptr; e = e->getNext()) {
            count += static_cast<MenuNavigationEntry*>(e)->getNavigable() != nullptr;
        }
        return count;
    }
};
} // namespace

TEST_F(Players, RowsArePickedOncePerPressWithinTheirBounds)
{
    addPlayers(3);
    ContextPlayers* page = open();
    pressAt(page, V3(0, 150, 0));
    EXPECT_EQ(0, profiles().currentProfile);
    pressAt(page, V3(0, 120, 0));
    EXPECT_EQ(1, profiles().currentProfile);
    pressAt(page, V3(-150, 61, 0));
    EXPECT_EQ(2, profiles().currentProfile);
    pressAt(page, V3(150, 150, 0)); // just outside
    EXPECT_EQ(2, profiles().currentProfile);
    pressAt(page, V3(0, 31, 0)); // below the last row
    EXPECT_EQ(2, profiles().currentProfile);
    EXPECT_EQ(-1, ContextPlayers::rowAt(V3(0, 120, 0), 1));
    EXPECT_EQ(0, ContextPlayers::rowAt(V3(-150, 150, 0), 1));
    // Each row is a navigation hot spot, and nothing after the last.
    EXPECT_NE(Navigable::NONE, page->pList->getNavigationPoint(2));
    EXPECT_EQ(Navigable::NONE, page->pList->getNavigationPoint(3));
    screenshot("players");
}

TEST_F(Players, AddAndDeleteFollowTheNumberOfPlayers)
{
    addPlayers(8);
    ContextPlayers* page = open();
    frames(1);
    EXPECT_TRUE(page->pAddButton->bDisabled);
    EXPECT_FALSE(page->pDeleteButton->bDisabled);
    addPlayers(7);
    frames(1);
    EXPECT_FALSE(page->pAddButton->bDisabled);
    addPlayers(1);
    frames(1);
    EXPECT_TRUE(page->pDeleteButton->bDisabled);
    addPlayers(2);
    frames(1);
    EXPECT_FALSE(page->pDeleteButton->bDisabled);
}

TEST_F(Players, DeleteAsksAndRemovesTheCurrentPlayerOnlyOnYes)
{
    addPlayers(3);
    profiles().currentProfile = 1;
    ContextPlayers* page = open();
    clickItem(page->pDeleteButton);
    frames(1);
    auto* question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(u"Are you sure?", question->text);
    clickItem(question->pSecondButton);
    frames(2);
    EXPECT_EQ(3, profiles().countProfiles());

    clickItem(page->pDeleteButton);
    frames(1);
    question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    clickItem(question->pFirstButton);
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(2, profiles().countProfiles());
    EXPECT_EQ(u"Anna", profiles().getProfileName(0));
    EXPECT_EQ(u"Clara", profiles().getProfileName(1));
}

TEST_F(Players, TenPlayersAndNone)
{
    // Ten players from a file: the buttons take their presses, the rows under them are not picked.
    addPlayers(10);
    profiles().currentProfile = 0;
    ContextPlayers* page = open();
    frames(2);
    screenshot("players-ten");
    clickItem(page->pDeleteButton);
    frames(1);
    auto* question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(0, profiles().currentProfile) << "pressing Delete does not pick the row below it";
    question->bClosed = true;
    frames(2);
    pressAt(page, V3(0, -40, 0)); // row 7 of ten narrower rows
    EXPECT_EQ(7, profiles().currentProfile);
    // Ten rows close up to stay above the buttons; eight keep their full height.
    const float buttonTop = page->pAddButton->position.y + 24.0f;
    EXPECT_GE(ContextPlayers::rowMiddle(9, 10) - ContextPlayers::rowHeight(10) / 2.0f, buttonTop - 1.0f);
    EXPECT_EQ(9, ContextPlayers::rowAt(V3(0, ContextPlayers::rowMiddle(9, 10), 0), 10));
    EXPECT_EQ(30.0f, ContextPlayers::rowHeight(8));
    EXPECT_GE(ContextPlayers::rowMiddle(7, 8) - 15.0f, buttonTop);

    addPlayers(0);
    frames(2);
    EXPECT_TRUE(page->pDeleteButton->bDisabled);
    EXPECT_EQ(Navigable::NONE, page->pList->getNavigationPoint(0));
    pressAt(page, V3(0, 140, 0));
    EXPECT_EQ(0, profiles().countProfiles());
}

TEST_F(Players, AddOpensTheNameEntryAndTheNewPlayerComesBackCurrent)
{
    addPlayers(2);
    ContextPlayers* page = open();
    clickItem(page->pAddButton);
    frames(1);
    auto* entry = dynamic_cast<ContextEnterName*>(top());
    ASSERT_NE(nullptr, entry);
    EXPECT_TRUE(entry->bEscapeCloses);
    typeText(u"Zoe");
    hold(28);
    frames(1);
    hold(28, false);
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(3, profiles().countProfiles());
    EXPECT_EQ(u"Zoe", profiles().getProfileName(profiles().currentProfile));
}

TEST_F(Players, NameEntryLimitsTrimsAndConfirms)
{
    addPlayers(0);
    global().config.bTutorial = 0;
    ContextEnterName* entry = openEntry(false);
    typeText(u"                ");
    EXPECT_EQ(16u, entry->name.size());
    frames(1);
    EXPECT_TRUE(entry->pOkButton->bDisabled) << "blanks only";
    clickItem(entry->pOkButton);
    EXPECT_FALSE(entry->bClosed);
    for (int i = 0; i < 16; ++i) {
        type(8);
        frames(1);
    }
    EXPECT_TRUE(entry->name.empty());
    type(8); // on an empty name: nothing
    frames(1);
    typeText(u"  Max Mustermann1234");
    EXPECT_EQ(u"  Max Mustermann", entry->name) << "the 17th character is refused";
    frames(2);
    screenshot("enter-name");
    EXPECT_FALSE(entry->pOkButton->bDisabled);
    clickItem(entry->pOkButton);
    EXPECT_TRUE(entry->bClosed);
    EXPECT_EQ(u"Max Mustermann", profiles().getProfileName(profiles().currentProfile));
    EXPECT_EQ(1, global().config.bTutorial);
}

TEST_F(Players, ADisabledOkLeavesNoClickBehind)
{
    addPlayers(0);
    ContextEnterName* entry = openEntry(false);
    frames(1);
    entry->pOkButton->bClicked = true; // a click that arrived while the name was empty
    frames(1);
    EXPECT_FALSE(entry->pOkButton->bClicked);
    typeText(u"Al");
    frames(2);
    EXPECT_FALSE(entry->bClosed);
}

TEST_F(Players, TouchKeyboardTypesAndFollowsTheInputMode)
{
    addPlayers(0);
    ContextEnterName* entry = openEntry(false);
    EXPECT_EQ(0, entry->countKeys());
    touch(entry, V3(0, 300, 0)); // a finger anywhere: touch input
    frames(1);
    EXPECT_EQ(28, entry->countKeys());
    EXPECT_EQ(29, navigationEntries(entry));
    auto press = [&](char16_t c) {
        KeyboardKeyButton* k = key(entry, c);
        ASSERT_NE(nullptr, k);
        touch(entry, k->position);
    };
    press(u'h');
    press(u'i');
    EXPECT_EQ(u"hi", entry->name);
    press(8);
    EXPECT_EQ(u"h", entry->name);
    press(u' ');
    press(u'z');
    EXPECT_EQ(u"h z", entry->name);
    frames(2);
    screenshot("enter-name-touch");

    // An on-screen key and a typed character in one frame: the key's character counts.
    const V3 at = ContextMenu::planeToPointer(entry, key(entry, u'a')->position);
    finger(0, at);
    frames(1);
    finger(2, at);
    type(u'q');
    frames(1);
    EXPECT_EQ(u"h za", entry->name);

    // Back to the physical keyboard: the keys go, the name stays, navigation offers only OK.
    pressMouse(true);
    frames(1);
    pressMouse(false);
    frames(1);
    EXPECT_EQ(0, entry->countKeys());
    EXPECT_EQ(1, navigationEntries(entry));
    EXPECT_EQ(u"h za", entry->name);
    // Keyboard navigation reaches only what exists now: down from the old "a" key is OK, not "h".
    tap(208);
    const V3 ok = entry->pOkButton->getNavigationPoint(0);
    EXPECT_NEAR(ok.x, input().pointer.x, 1.5f);
    EXPECT_NEAR(ok.y, input().pointer.y, 1.5f);

    // Touch again, and OK on the screen makes the player.
    touch(entry, V3(0, 300, 0));
    frames(1);
    ASSERT_EQ(28, entry->countKeys());
    touch(entry, entry->pOkButton->position);
    EXPECT_TRUE(entry->bClosed);
    EXPECT_EQ(1, profiles().countProfiles());
    EXPECT_EQ(u"h za", profiles().getProfileName(profiles().currentProfile));
}
