#pragma once
// The help page: the documentation page written beside the program and the maker's on-line help. Both
// are links: choosing one ends the game and opens the page in the browser.
#include "game/options/ContextOptionPage.h"

class MenuLinkButton;

class ContextHelp : public ContextOptionPage {
public:
    ContextHelp();

    // A page on the maker's web host (".cfg.static" [Network] webHost), e.g. "/tobble/onlinehelp.php".
    static UString makerPage(const UString& path);
    // The documentation beside the program file, by absolute path, so the working folder does not matter.
    static UString documentationPath();

    MenuLinkButton* pDocumentationButton = nullptr;
    MenuLinkButton* pOnlineHelpButton = nullptr;
};
