#pragma once
// The main menu, the bottom screen for the whole run: the logo over the intro backdrop and the snowfall,
// the greeting of the current player, Start Game, High Scores, Options..., Credits, a link to the web site
// and Quit. Closing it empties the stack and ends the program; each return to it saves the user data.
#include "game/menus/ContextMenu.h"

class MenuButton;
class MenuLinkButton;

class ContextMain : public ContextMenu {
public:
    ContextMain();

    void onActivate(bool firstActivation) override;
    void onDeactivate(bool closing) override;
    void tickContents(double time, double dt) override;
    // Start Game; the game's main menu opens its world map here.
    virtual void startGame() {}

    // The web site the link button opens: the configured web host, path "/" and the edition's query.
    static UString websiteUrl();

    MenuButton* startButton = nullptr;
    MenuButton* highScoresButton = nullptr;
    MenuButton* optionsButton = nullptr;
    MenuButton* creditsButton = nullptr;
};
