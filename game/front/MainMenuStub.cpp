#include "game/front/MainMenuStub.h"

#include "game/front/ContextIntro.h"
#include "game/front/ContextSnow.h"
#include "game/front/Global.h"

MainMenuStub::MainMenuStub()
{
    bDeleteWhenClosed = true;
    if (Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
        pPostObject = global->contextSnow;
    }
}

void MainMenuStub::onActivate(bool firstActivation)
{
    Context::onActivate(firstActivation);
    if (Global* global = Global::instance()) {
        global->saveUserData();
    }
}
