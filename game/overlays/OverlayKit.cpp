#include "game/overlays/OverlayKit.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"
#include "game/language/StringIds.h"
#include "game/level/LevelServices.h"

namespace OverlayKit {

FontQuad* fontLarge() { return LevelServices::font(u"fontLarge"); }
FontQuad* fontMedium() { return LevelServices::font(u"fontMedium"); }
FontQuad* fontSmall() { return LevelServices::font(u"fontSmall"); }

int screenWidth()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr ? graphics->width : 800;
}

int screenHeight()
{
    const KivGraphics* graphics = KivGraphics::instance();
    return graphics != nullptr ? graphics->height : 600;
}

int deviceClass()
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr ? kiv->deviceClass : 1;
}

bool touchMode()
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->input != nullptr && kiv->input->getInputMode() == KivInput::INPUT_TOUCH;
}

TextSprite* text(float x, float y, const UString& content, FontQuad* font, std::uint32_t colour, std::uint32_t flags)
{
    auto* sprite = new TextSprite(x, y, 0.0f, content, font, UColor(colour));
    sprite->flags = flags;
    sprite->bShadow = false;
    sprite->bAutoDelete = false;
    return sprite;
}

UString continuePrompt(int keyCode)
{
    if (touchMode()) {
        return LevelServices::text(STR_IOS_PRESSXKEYTOCONTINUE);
    }
    const Kiv* kiv = Kiv::instance();
    UString name;
    if (kiv != nullptr && kiv->input != nullptr && keyCode >= 0 && keyCode < KivInput::NUMINPUTCODES) {
        name = kiv->input->keyNames[static_cast<std::size_t>(keyCode)];
    }
    return formatString(LevelServices::text(STR_PRESSXKEYTOCONTINUE), name);
}

std::uint32_t runColour(std::uint32_t markupColour)
{
    return markupColour == TextLine::DEFAULT_COLOR ? TEXT_DARK : markupColour;
}

Skin* sprite(UStringView name)
{
    auto* skin = dynamic_cast<Skin*>(LevelServices::resource(name));
    KIV_ASSERT(skin != nullptr);
    return skin;
}

} // namespace OverlayKit
