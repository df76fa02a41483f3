#pragma once
// The second page of the network wizard: the player's country. Next marks the network as configured,
// which the crash report and the score upload need; Cancel leaves that mark as it was (a country chosen
// is kept either way, the item writes it at once).
#include "game/menus/ContextMenu.h"

class CountryListItem;
class MenuButton;

class ContextNetworkConfig : public ContextMenu {
public:
    ContextNetworkConfig();

    void tickContents(double time, double dt) override;

    CountryListItem* pCountryItem = nullptr;
    MenuButton* pNextButton = nullptr;
};
