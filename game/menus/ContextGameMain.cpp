#include "game/menus/ContextGameMain.h"

#include "game/menus/MenuSupport.h"
#include "game/worldmap/ContextValley.h"

void ContextGameMain::openValley() { MenuSupport::pushScreen(new ContextValley()); }
