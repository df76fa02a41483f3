#pragma once
// The modal message and question box: a panel with an optional title, a wrapped text (with colour markup)
// and one or two buttons. The opener constructs it, sets the fields, calls buildContents once and pushes
// it; its answer integer then reads -1 while the dialog is open, 0 after the first button and 1 after the
// second, and stays -1 when the dialog is closed any other way.
#include "engine/core/Reference.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "game/menus/ContextMenu.h"

class MenuButton;

class ContextDialog : public ContextMenu {
public:
    ContextDialog();
    ~ContextDialog() override;

    // Where the answer goes. With an owner, nothing is written once the owner has been deleted.
    void setAnswer(int32_t* answer, KivBase* owner = nullptr);
    void buildContents();

    void onActivate(bool firstActivation) override;
    void tickContents(double time, double dt) override;
    void renderContents() override;

    V3 dialogPosition;
    UString title;
    UString text;
    UString firstCaption;
    UString secondCaption;
    int32_t* pAnswer = nullptr;
    MenuButton* pFirstButton = nullptr;
    MenuButton* pSecondButton = nullptr;
    // The panel's size after buildContents (without the 100-unit margin).
    float contentWidth = 0.0f;
    float contentHeight = 0.0f;

private:
    void answerWith(int32_t value);

    Reference answerOwner;
    bool bHasAnswerOwner = false;
};
