// Edit boxes: the characters they take, the length limit in UTF-16 units, Backspace, the caret, writing
// back only while highlighted and enabled, and the fixed 32-byte fields.
#include "OptionsFixture.h"

#include <cstring>

#include "game/menus/ContextMenu.h"
#include "game/options/EditBox.h"
#include "game/options/FixedTextEditBox.h"
#include "game/userdata/FixedText.h"

namespace {
class EditBoxes : public OptionsFixture {
protected:
    template <class T>
    T* show(T* box)
    {
        auto* page = new ContextMenu();
        page->bDeleteWhenClosed = true;
        page->addItem(box);
        push(page);
        movePointerTo(page, box->position);
        frames(1);
        return box;
    }
    static void typeText(const UString& text)
    {
        for (char16_t c : text) {
            type(c);
            frames(1);
        }
    }
};
} // namespace

TEST_F(EditBoxes, TheSetHoldsTheNinetyFourPrintableCharacters)
{
    const UString& set = EditBox::PRINTABLE;
    EXPECT_EQ(94u, set.size());
    EXPECT_EQ(UString::npos, set.find(u'`'));
    EXPECT_EQ(UString::npos, set.find(u'~'));
    for (char16_t c : {u' ', u'!', u'}', u'a', u'Z', u'0', u'\''}) {
        EXPECT_NE(UString::npos, set.find(c)) << static_cast<int>(c);
    }

    UString name;
    auto* box = show(new EditBox(V3(), &name, 8, u"Name", UString()));
    typeText(u"a~`b }!\u00e9");
    EXPECT_EQ(u"ab }!", name);
    EXPECT_EQ(u"ab }!", box->text);
    screenshot("edit-box");
}

TEST_F(EditBoxes, LengthLimitBackspaceAndOneCharacterPerFrame)
{
    UString name = u"Longer than four";
    auto* box = show(new EditBox(V3(), &name, 4, u"Name", UString()));
    typeText(u"x");
    EXPECT_EQ(u"Longer than four", name) << "a longer text stays as it came";
    for (int i = 0; i < 13; ++i) {
        type(8);
        frames(1);
    }
    EXPECT_EQ(u"Lon", name);
    typeText(u"gXY");
    EXPECT_EQ(u"Long", name);
    for (int i = 0; i < 6; ++i) {
        type(8);
        frames(1);
    }
    EXPECT_EQ(UString(), box->text) << "Backspace on an empty text is ignored";

    UString fixed = u"ab";
    auto* zero = new EditBox(V3(0.0f, -60.0f, 0.0f), &fixed, 0, u"Zero", UString());
    top()->appendChild(zero);
    movePointerTo(top(), zero->position);
    frames(1);
    typeText(u"c");
    EXPECT_EQ(u"ab", fixed) << "a zero limit takes nothing";
    type(8);
    frames(1);
    EXPECT_EQ(u"a", fixed) << "Backspace still works";
}

TEST_F(EditBoxes, TheCaretBlinksEveryEighthOfASecondAndOnlyAHighlightedBoxEdits)
{
    UString name = u"Ann";
    auto* box = show(new EditBox(V3(), &name, 10, u"Name", UString()));
    auto caretAt = [&](double t) {
        box->tick(t, 0.0);
        return box->bCaretVisible;
    };
    EXPECT_TRUE(caretAt(0.0));
    EXPECT_TRUE(caretAt(0.124));
    EXPECT_FALSE(caretAt(0.125));
    EXPECT_FALSE(caretAt(0.249));
    EXPECT_TRUE(caretAt(0.25));

    // Away from the pointer: no keys, no caret, no write-back.
    movePointerTo(top(), V3(0.0f, 200.0f, 0.0f));
    frames(1);
    name = u"Set elsewhere";
    typeText(u"x");
    EXPECT_FALSE(box->bCaretVisible);
    EXPECT_EQ(u"Set elsewhere", name);
    EXPECT_EQ(u"Ann", box->text);

    movePointerTo(top(), box->position);
    box->bDisabled = true;
    frames(1);
    typeText(u"x");
    EXPECT_FALSE(box->bCaretVisible);
    EXPECT_EQ(u"Set elsewhere", name);
}

TEST_F(EditBoxes, AFixedFieldIsWrittenWithoutSplittingACharacter)
{
    char field[32] = {};
    // 30 bytes: ten three-byte characters.
    FixedText32::assign(field, u"\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac");
    auto* box = show(new FixedTextEditBox(V3(), &field, 31, u"Name", UString()));
    EXPECT_EQ(10u, box->text.size());
    typeText(u"ab");
    // "a" fits in the 31st byte; "b" would need a 32nd and is kept in the box only.
    EXPECT_EQ(u"\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac" u"ab", box->text);
    EXPECT_EQ(31u, std::strlen(field));
    EXPECT_EQ('a', field[30]);
    EXPECT_EQ(u"\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac" u"a", FixedText32::read(field));
    type(8);
    frames(1);
    type(8);
    frames(1);
    type(8);
    frames(1);
    EXPECT_EQ(27u, std::strlen(field)) << "a whole three-byte character went";
}
