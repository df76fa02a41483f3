#include "game/front/Loader.h"

#include "engine/core/Logger.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/resources/ResourceCatalogue.h"

Loader::Loader()
{
    Logger::logFrom("Loader::Loader", u"Loading resources...");
    bDeleteWhenClosed = true;
    bEscapeCloses = false;
    bShowPointer = false;
    bHideFrameRate = true;
    clearColor = UColor(0xFF000000u);
    totalSteps = loadStuff(true);
}

Loader::~Loader() = default;

void Loader::tickContents(double time, double dt)
{
    Context::tickContents(time, dt);
    while (currentStep < totalSteps) {
        loadStuff(false);
        if (bOneStep) {
            bOneStep = false;
            return;
        }
    }
}

int Loader::loadStuff(bool countOnly)
{
    if (countOnly) {
        return ResourceCatalogue::LOADER_STEP_COUNT;
    }
    if (currentStep >= ResourceCatalogue::LOADER_STEP_COUNT) {
        return currentStep;
    }
    ++currentStep;
    if (currentStep == ResourceCatalogue::STEP_POST_LOADER) {
        Global::instance()->initPostLoader();
        bClosed = true;
    }
    return currentStep;
}

void Loader::addResource(KivBase* resource, const UString& name)
{
    Global::instance()->resourceHolder->addChild(resource);
    ResourceManager::instance()->addResource(name, resource);
}

void Loader::addTexture(Texture* texture, const UString& name)
{
    addResource(texture, name);
    for (std::size_t i = 0; i < texture->skins.size(); ++i) {
        ResourceManager::instance()->addResource(utf8ToWide(ResourceCatalogue::frameName(wideToUtf8(name), static_cast<int>(i))),
                                                 texture->skins[i]);
    }
}
