// The popup dialog: its size rules, its buttons, its answer and the page it is drawn over.
#include "MenuFixture.h"

#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuPanel.h"

namespace {
class Dialog : public MenuFixture {
protected:
    ContextDialog* open(const UString& title, const UString& text, const UString& first, const UString& second,
                        int32_t* answer)
    {
        auto* dialog = new ContextDialog();
        dialog->title = title;
        dialog->text = text;
        dialog->firstCaption = first;
        dialog->secondCaption = second;
        dialog->setAnswer(answer);
        dialog->buildContents();
        push(dialog);
        return dialog;
    }
};
} // namespace

TEST_F(Dialog, SizeRulesAndButtonPlaces)
{
    int32_t answer = 5;
    ContextDialog* message = open(UString(), u"Hi.", UString(), UString(), &answer);
    EXPECT_EQ(-1, answer) << "building writes -1";
    EXPECT_GE(message->contentWidth, 192.0f);
    EXPECT_GE(message->contentWidth, message->contentHeight);
    EXPECT_EQ(nullptr, message->pFirstButton);
    EXPECT_EQ(nullptr, message->pSecondButton);
    EXPECT_TRUE(message->bWaitForContinue);
    message->bClosed = true;
    frames(2);

    ContextDialog* one = open(UString(), u"Hi.", u"OK", UString(), &answer);
    EXPECT_GE(one->contentWidth, 330.0f);
    ASSERT_NE(nullptr, one->pFirstButton);
    EXPECT_EQ(0.0f, one->pFirstButton->position.x);
    EXPECT_EQ(160.0f, one->pFirstButton->frameWidth());
    EXPECT_TRUE(one->bWaitForContinue);
    one->bClosed = true;
    frames(2);

    ContextDialog* two = open(u"Title", u"Question?", u"Yes", u"No", &answer);
    EXPECT_EQ(-85.0f, two->pFirstButton->position.x);
    EXPECT_EQ(85.0f, two->pSecondButton->position.x);
    EXPECT_EQ(160.0f, two->pSecondButton->frameWidth());
    EXPECT_FALSE(two->bWaitForContinue);
    EXPECT_NE(nullptr, dynamic_cast<MenuPanel*>(two->getFirstChild())) << "the panel is drawn first";
}

TEST_F(Dialog, AnswersFirstSecondAndEscape)
{
    int32_t answer = 5;
    ContextDialog* dialog = open(UString(), u"Sure?", u"Yes", u"No", &answer);
    clickItem(dialog->pSecondButton);
    EXPECT_EQ(1, answer);
    frames(1);
    EXPECT_EQ(nullptr, top());

    dialog = open(UString(), u"Sure?", u"Yes", u"No", &answer);
    clickItem(dialog->pFirstButton);
    EXPECT_EQ(0, answer);
    frames(1);

    dialog = open(UString(), u"Sure?", u"Yes", u"No", &answer);
    tap(1);
    EXPECT_EQ(-1, answer);
    EXPECT_EQ(nullptr, top());
}

TEST_F(Dialog, NoAnswerPointerIsNeverWrittenAndAGoneOwnerIsNotWritten)
{
    ContextDialog* dialog = open(UString(), u"Note", u"OK", UString(), nullptr);
    clickItem(dialog->pFirstButton);
    frames(1);
    EXPECT_EQ(nullptr, top());

    auto* owner = new KivBase();
    int32_t answer = 7;
    dialog = new ContextDialog();
    dialog->text = u"Sure?";
    dialog->secondCaption = u"No";
    dialog->setAnswer(&answer, owner);
    dialog->buildContents();
    EXPECT_EQ(-1, answer);
    push(dialog);
    answer = 7;
    delete owner;
    clickItem(dialog->pSecondButton);
    EXPECT_EQ(7, answer);
}

TEST_F(Dialog, MarkupColoursCarryIntoTheTextAndUnmarkedTextIsHalfBlack)
{
    ContextDialog* dialog =
        open(UString(), u"Plain \u001e{ff0000}red\u001e{000001} plain", u"OK", UString(), nullptr);
    std::vector<std::pair<UString, std::uint32_t>> runs;
    for (KivBase* child = dialog->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* sprite = dynamic_cast<TextSprite*>(child)) {
            runs.emplace_back(sprite->text, sprite->color.argb);
        }
    }
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ(0x80000000u, runs[0].second);
    EXPECT_EQ(u"red", runs[1].first);
    EXPECT_EQ(0xFFFF0000u, runs[1].second);
    EXPECT_EQ(0x80000000u, runs[2].second);
}

TEST_F(Dialog, LongTextWrapsWithinTheScreenAndThePageStaysVisibleAround)
{
    // A bright page below the dialog.
    auto* page = new Context();
    page->clearColor = UColor(0xFF00FF00u);
    page->bDeleteWhenClosed = true;
    push(page);
    UString text;
    for (int i = 0; i < 40; ++i) {
        text += u"word ";
    }
    ContextDialog* dialog = open(u"A title", text, u"Yes", u"No", nullptr);
    frames(2);
    EXPECT_LE(dialog->contentWidth + 100.0f, static_cast<float>(ContextMenu::screenWidth()));
    screenshot("dialog");
    const std::uint32_t corner = readScreen().pixel(3, 3);
    EXPECT_EQ(0x0000FF00u, corner & 0x00FFFFFFu) << "the page below shows around the panel";
}

TEST_F(Dialog, YesOnTheCloseQuestionClosesOnlyTheScreenThatAsked)
{
    auto* below = new ContextMenu();
    below->bDeleteWhenClosed = true;
    push(below);
    auto* asking = new ContextMenu();
    asking->bDeleteWhenClosed = true;
    asking->bConfirmClose = true;
    push(asking);
    tap(1);
    auto* question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(asking, question->getPrev());
    clickItem(question->pFirstButton);
    frames(2);
    EXPECT_EQ(below, top()) << "YES closed the asking screen";

    // The asking screen goes away while the question is open: YES closes nothing else.
    asking = new ContextMenu();
    asking->bDeleteWhenClosed = true;
    asking->bConfirmClose = true;
    push(asking);
    tap(1);
    question = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, question);
    delete asking;
    clickItem(question->pFirstButton);
    frames(2);
    EXPECT_EQ(below, top());
    EXPECT_FALSE(below->bClosed);
}
