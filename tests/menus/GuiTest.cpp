// The level editor's themed elements: frames by theme and style, children that follow their parent,
// disabled subtrees, and the text box's editing.
#include "MenuFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Context.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "game/front/Global.h"
#include "game/menus/GUIitem.h"
#include "game/menus/GUItextBox.h"
#include "game/menus/GUIthemeMinimal.h"
#include "game/menus/GUIthemeStandard.h"

namespace {
// Records the "edited" events that bubble up to it.
class EditListener : public Renderable {
public:
    bool onEventBubble(KivEvent& event) override
    {
        if (event.type == GUItextBox::EVENT_EDITED) {
            ++edits;
            return true;
        }
        return false;
    }
    int edits = 0;
};

class Gui : public MenuFixture {
protected:
    GUIthemeStandard& standard() { return *global().themeStandard; }
    GUIthemeMinimal& minimal() { return *global().themeMinimal; }
};
} // namespace

TEST_F(Gui, FramesTakeTheThemesMarginAndStyleZeroHasNone)
{
    GUIitem standardItem(&standard(), 2);
    standardItem.setSize(100, 20);
    ASSERT_NE(nullptr, standardItem.normalFrame);
    EXPECT_EQ(102.0f, standardItem.normalFrame->width);
    EXPECT_EQ(22.0f, standardItem.focusFrame->height);
    EXPECT_EQ(22.0f, standardItem.disabledFrame->height);

    GUIitem minimalItem(&minimal(), 4);
    minimalItem.setSize(100, 20);
    EXPECT_EQ(100.0f, minimalItem.normalFrame->width);
    EXPECT_EQ(20.0f, minimalItem.normalFrame->height);

    GUIitem bare(&standard(), 0);
    bare.setSize(40, 10);
    EXPECT_EQ(nullptr, bare.normalFrame);
    EXPECT_EQ(40, bare.width);

    // The standard sheets are not part of the data: the minimal one stands in.
    EXPECT_EQ(ResourceManager::instance()->find(u"gui-minimal-generic:1", true), standardItem.normalFrame->pSource);

    // A thick frame has a margin of 2; elements made afterwards keep the theme's.
    GUIitem thick(&standard(), 3);
    thick.setSize(10, 10);
    EXPECT_EQ(14.0f, thick.normalFrame->width);
    GUIitem after(&standard(), 2);
    after.setSize(10, 10);
    EXPECT_EQ(12.0f, after.normalFrame->width);
}

TEST_F(Gui, UnknownStylesAndCaptionPlacesAreFatal)
{
    for (GUItheme* theme : {static_cast<GUItheme*>(&standard()), static_cast<GUItheme*>(&minimal())}) {
        try {
            GUIitem item(theme, 12);
            FAIL() << "no error";
        } catch (const FatalError& error) {
            EXPECT_EQ(u"Unhandled style", error.message);
        }
    }
    GUIitem item(&minimal(), 2);
    item.setSize(50, 10);
    item.captionLocation = 7;
    item.render(); // no caption: the place is never looked at
    item.caption = u"Text";
    try {
        item.render();
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_EQ(u"Invalid caption location.", error.message);
    }
}

TEST_F(Gui, ChildrenFollowTheirParentAndShareItsDisabledState)
{
    auto* screen = new Context();
    screen->bDeleteWhenClosed = true;
    auto* parent = new GUIitem(&minimal(), 2);
    parent->setSize(200, 100);
    screen->appendChild(parent);
    auto* child = new GUIitem(&minimal(), 2);
    child->setSize(20, 10);
    child->setPosition(V3(10, 5, 0));
    parent->addChild(child);
    parent->setPosition(V3(100, 50, 0));
    EXPECT_EQ(V3(110, 55, 0), child->world.getTranslation());

    push(screen);
    parent->bIgnoreEvents = true;
    frames(1);
    EXPECT_EQ(child->disabledColor, child->currentColor);
    frames(1);
    EXPECT_EQ(child->disabledFrame, child->pSkin);
    parent->bIgnoreEvents = false;
    frames(1);
    EXPECT_EQ(child->normalFrame, child->pSkin);
}

TEST_F(Gui, TextBoxEditsCommitsAndRestores)
{
    UString bound = u"start";
    auto* screen = new Context();
    screen->bDeleteWhenClosed = true;
    screen->bEscapeCloses = false; // Escape belongs to the box here
    auto* listener = new EditListener();
    screen->appendChild(listener);
    auto* box = new GUItextBox(&standard());
    box->pBound = &bound;
    listener->appendChild(box);
    push(screen);
    frames(1);
    EXPECT_EQ(u"start", box->text) << "idle, the box mirrors its string";
    EXPECT_EQ(u"start", box->caption);

    movePointerTo(screen, V3(0, 0, 0));
    frames(1);
    click();
    EXPECT_TRUE(box->bEditing);
    EXPECT_EQ(5, box->cursor);
    type(u'!');
    frames(1);
    EXPECT_EQ(u"start!", box->text);
    EXPECT_EQ(u"start", bound) << "not committed yet";
    tap(203); // left
    type(8);  // backspace removes the character before the caret
    frames(1);
    EXPECT_EQ(u"star!", box->text);
    EXPECT_NE(UString::npos, box->caption.find_first_of(u"\u0001\u0002")) << "the caret shows";

    tap(1); // Escape: the bound value again, still editing
    EXPECT_EQ(u"start", box->text);
    EXPECT_TRUE(box->bEditing);

    for (char16_t c : UString(u" with a long tail of words")) {
        type(c);
        frames(1);
    }
    EXPECT_EQ(0u, box->caption.find(u"...")) << "the caret stays in view";
    tap(15); // Tab commits
    EXPECT_FALSE(box->bEditing);
    EXPECT_EQ(box->text, bound);
    EXPECT_EQ(1, listener->edits);
}
