#include "game/menus/ContextGameMain.h"

void ContextGameMain::openValley() {}
