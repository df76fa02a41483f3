#include "game/front/MyGlobal.h"

#include "game/front/ContextManager.h"
#include "game/menus/ContextGameMain.h"

MyGlobal* MyGlobal::instance() { return static_cast<MyGlobal*>(Global::instance()); }

void MyGlobal::createContexts() { contextManager->addContext(new ContextGameMain()); }
