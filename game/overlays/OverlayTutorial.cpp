#include "game/overlays/OverlayTutorial.h"

#include "engine/core/ErrorManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Renderable.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/TextBlockSprite.h"
#include "engine/text/TextSprite.h"
#include "game/language/StringIds.h"
#include "game/level/LevelServices.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayTutorial::classRecord(RuntimeClass::hashName(u"OverlayTutorial"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayTutorial>);
const RuntimeClass RPC_OverlayTutorial_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayTutorial_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayTutorial_construct>);

OverlayTutorial::OverlayTutorial()
{
    sheet = dynamic_cast<Texture*>(
        LevelServices::resource(OverlayKit::deviceClass() == 1 ? u"tutorial-iPad" : u"tutorial-iPhone"));
    KIV_ASSERT(sheet != nullptr);
}

void OverlayTutorial::construct()
{
    RPC_OverlayTutorial_construct call(this);
    RPC::send(call);
}

void OverlayTutorial::local_construct()
{
    using namespace OverlayKit;
    auto* background = new Renderable();
    background->setSkin(OverlayKit::sprite(u"minimapBackground:0"));
    background->setScale(V3(2.0f, 2.0f, 1.0f));
    appendChild(background);
    auto* frame = new Renderable();
    frame->setSkin(frameSkin(0));
    frame->setPosition(picturePosition);
    appendChild(frame);
    pageHolder = new KivBase();
    appendChild(pageHolder);
    appendChild(text(0.0f, static_cast<float>(screenHeight() / 2 - 100), LevelServices::text(STR_IOS_HOWTOPLAY),
                     fontLarge(), WHITE, 21));
    appendChild(text(0.0f, -210.0f, LevelServices::text(STR_IOS_PRESSXKEYTOCONTINUE), fontSmall(), TEXT_DARK, 20));
    page = 0;
    showPage();
}

Skin* OverlayTutorial::frameSkin(int index) const
{
    if (sheet == nullptr || index < 0 || static_cast<std::size_t>(index) >= sheet->skins.size()) {
        return nullptr;
    }
    return sheet->skins[static_cast<std::size_t>(index)];
}

int OverlayTutorial::pictureFor(int page, int arrowPlacement)
{
    int picture = page + 1;
    if (arrowPlacement == 1 && (picture == 1 || picture == 2)) {
        picture = 3 - picture;
    }
    return picture;
}

void OverlayTutorial::showPage()
{
    if (pageHolder == nullptr) {
        return;
    }
    pageHolder->destroyAllChildren();
    const GameConfiguration* config = LevelServices::configuration();
    auto* picture = new Renderable();
    picture->setSkin(frameSkin(pictureFor(page, config != nullptr ? config->touchArrowPlacement : 0)));
    picture->setPosition(picturePosition);
    pageHolder->appendChild(picture);
    TextSprite templateSprite(0.0f, -100.0f, 0.0f, LevelServices::text(STR_IOS_HOWTOPLAYTEXT1 + page),
                              OverlayKit::fontMedium(), UColor(OverlayKit::TEXT_DARK_SOLID));
    templateSprite.flags = 5;
    templateSprite.bShadow = false;
    pageHolder->appendChild(new TextBlockSprite(templateSprite, static_cast<float>(OverlayKit::screenWidth() / 2)));
}

void OverlayTutorial::tickContents(double time, double dt)
{
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->input != nullptr && kiv->input->isAnyTouchDown() && !closeRequested) {
        ++page;
        if (page < PAGES) {
            showPage();
        } else {
            closeRequested = true;
        }
    }
    Overlay::tickContents(time, dt);
}

void OverlayTutorial::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayTutorial_construct::RPC_OverlayTutorial_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayTutorial_construct::invoke() { static_cast<OverlayTutorial*>(target)->local_construct(); }
