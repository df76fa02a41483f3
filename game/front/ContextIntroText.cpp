#include "game/front/ContextIntroText.h"

#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/menus/MenuSupport.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSnow.h"
#include "game/front/Global.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/menus/GameLogo.h"

namespace {
FontQuad* findFont(const char16_t* name)
{
    ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<FontQuad*>(resources->find(name, true)) : nullptr;
}

UString text(const char16_t* key)
{
    const Kiv* engine = Kiv::instance();
    return engine != nullptr && engine->language != nullptr ? UString(engine->language->getTextByString(key, true))
                                                            : UString();
}

struct StoryLine {
    const char16_t* key;
    float y;
    float delay;
    float duration;
};

struct StoryGroup {
    double moment;
    StoryLine lines[3];
    int count;
};

constexpr StoryGroup STORY[] = {
    {19.0, {{u"INTRO11", 30, 0, 12}, {u"INTRO12", 0, 4, 8}, {u"INTRO13", -30, 8, 4}}, 3},
    {32.0, {{u"INTRO21", 0, 0, 4}}, 1},
    {37.0, {{u"INTRO31", 45, 0, 12}, {u"INTRO32", 15, 4, 8}, {u"INTRO33", -15, 8, 4}}, 3},
    {50.0, {{u"INTRO41", 0, 0, 4}}, 1},
    {55.0, {{u"INTRO51", 45, 0, 12}, {u"INTRO52", 15, 4, 8}, {u"INTRO53", -15, 8, 4}}, 3},
    {68.0, {{u"INTRO61", 45, 0, 12}, {u"INTRO62", 15, 4, 8}, {u"INTRO63", -15, 8, 4}}, 3},
    {81.0, {{u"INTRO71", 0, 0, 4}}, 1},
};

// True in the frame in which the clock first reaches the moment.
bool reaches(double time, double dt, double moment) { return time >= moment && time - dt < moment; }
} // namespace

ContextIntroText::ContextIntroText()
{
    bDeleteWhenClosed = true;
    bWaitForContinue = true;
    bShowPointer = false;
    if (Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
        pPostObject = global->contextSnow;
    }
}

void ContextIntroText::onActivate(bool firstActivation)
{
    Context::onActivate(firstActivation);
    if (Global* global = Global::instance(); global != nullptr && global->contextManager != nullptr) {
        TransitionWipe* wipe = global->contextManager->transitionWipe;
        wipe->level = 1.0f;
        wipe->targetLevel = 1.0f;
    }
}

void ContextIntroText::renderContents()
{
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (const auto* line = dynamic_cast<const TextSprite*>(child)) {
            MenuSupport::drawRim(*line, UColor(MenuSupport::DARK_RIM));
        }
    }
    Context::renderContents();
}

void ContextIntroText::addStoryLine(const UString& line, float y, float duration, float delay)
{
    auto* sprite = new TextSprite(0.0f, y, 0.0f, line, findFont(u"fontMedium"), UColor(0xFFFF8080u));
    sprite->flags = 0x14;
    sprite->bShadow = false;
    sprite->delay = delay;
    sprite->duration = duration;
    sprite->fadeIn = 0.5;
    sprite->fadeOut = 0.5;
    addChild(sprite);
}

void ContextIntroText::tickContents(double now, double dt)
{
    ContextIntro* backdrop = Global::instance() != nullptr ? Global::instance()->contextIntro : nullptr;
    if (reaches(now, dt, 2.0)) {
        auto* maker = new TextSprite(0.0f, 0.0f, 0.0f, text(u"KESTRELMOORSTUDIOS"), findFont(u"fontMediumOutline"),
                                     UColor(0xFFFFFFFFu));
        maker->flags = 0x25;
        maker->duration = 3.0;
        maker->fadeIn = 0.5;
        maker->fadeOut = 0.5;
        maker->bShadow = false;
        addChild(maker);
        auto* presents = new TextSprite(0.0f, -5.0f, 0.0f, text(u"PRESENTS"), findFont(u"fontMediumOutline"),
                                        UColor(0xFFFCB7B7u));
        presents->setScale(V3(0.5f, 0.5f, 1.0f));
        presents->duration = 3.0;
        presents->fadeIn = 0.5;
        presents->fadeOut = 0.5;
        presents->bShadow = false;
        addChild(presents);
    }
    if (reaches(now, dt, 6.0) && backdrop != nullptr) {
        backdrop->bBlurred = false;
    }
    if (reaches(now, dt, 9.0)) {
        auto* logo = new GameLogo();
        logo->setPosition(V3(0.0f, 40.0f, 0.0f));
        // Ten seconds in all, like the story lines, whose duration includes their fades: the logo's hold
        // is what is left between its fades, so it has gone when the first story line comes at 19 s.
        logo->fadeIn = 1.0;
        logo->fadeOut = 1.0;
        logo->duration = 10.0 - logo->fadeIn - logo->fadeOut;
        addChild(logo);
        const KivGraphics* graphics = KivGraphics::instance();
        const int h = graphics != nullptr ? graphics->height : 600;
        auto* copyright = new TextSprite(0.0f, static_cast<float>(10 - h / 2), 0.0f, text(u"COPYRIGHT"),
                                         findFont(u"fontSmall"), UColor(0xFFFCB7B7u));
        copyright->flags = 0x24;
        copyright->duration = 4.0;
        copyright->fadeIn = 1.0;
        copyright->fadeOut = 0.5;
        copyright->bShadow = false;
        addChild(copyright);
    }
    if (reaches(now, dt, 17.0) && backdrop != nullptr) {
        backdrop->bBlurred = true;
    }
    for (const StoryGroup& group : STORY) {
        if (reaches(now, dt, group.moment)) {
            for (int i = 0; i < group.count; ++i) {
                const StoryLine& line = group.lines[i];
                addStoryLine(text(line.key), line.y, line.duration, line.delay);
            }
        }
    }
    if (now > DURATION) {
        bClosed = true;
    }
    Context::tickContents(now, dt);
}
