#include "game/options/ContextAlternativeControls.h"

#include "game/language/Language.h"

ContextAlternativeControls::ContextAlternativeControls() : ContextPlayerControls(STR_CONTROLS2, 1) {}
