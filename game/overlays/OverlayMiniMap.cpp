#include "game/overlays/OverlayMiniMap.h"

#include <algorithm>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/MathUtil.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/MemoryImageResource.h"
#include "engine/render/Renderable.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/TextSprite.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/menus/MenuSupport.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/ProfileData.h"
#include "game/world/Apple.h"
#include "game/world/Basket.h"
#include "game/world/Cargo.h"
#include "game/world/Umbrella.h"
#include "game/world/WingedHat.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayMiniMap::classRecord(RuntimeClass::hashName(u"OverlayMiniMap"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayMiniMap>);
const RuntimeClass RPC_OverlayMiniMap_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayMiniMap_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayMiniMap_construct>);

OverlayMiniMap::OverlayMiniMap()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_MAP].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_MAP].joystick);
    }
    clickToClose = true;
}

void OverlayMiniMap::construct()
{
    RPC_OverlayMiniMap_construct call(this);
    RPC::send(call);
}

OverlayMiniMap::~OverlayMiniMap()
{
    delete texture;
    texture = nullptr;
}

OverlayMiniMap::MapPoint OverlayMiniMap::toMap(const PlayingArea& area, const V3& world)
{
    const float fx = linearStep(area.left, area.right, world.x);
    const float fy = linearStep(area.top, area.bottom, world.y);
    MapPoint p;
    p.column = std::clamp(truncateClamped<int>(fx * static_cast<float>(GameController::MINIMAP_WIDTH - 1)), 0,
                          GameController::MINIMAP_WIDTH - 1);
    p.row = std::clamp(truncateClamped<int>(fy * static_cast<float>(GameController::MINIMAP_HEIGHT - 1)), 0,
                       GameController::MINIMAP_HEIGHT - 1);
    p.x = -128.0f + 256.0f * fx;
    p.y = 96.0f - 192.0f * fy;
    return p;
}

float OverlayMiniMap::displayScale() { return OverlayKit::deviceClass() == 1 ? 1.0f : 2.0f; }

bool OverlayMiniMap::canOpen(int levelNumber)
{
    const ResourceManager* resources = ResourceManager::instance();
    const UString name = ProfileData::levelNumberToMinimap(levelNumber);
    if (resources == nullptr || dynamic_cast<MemoryImageResource*>(resources->find(name, false)) == nullptr) {
        Logger::logFrom("OverlayMiniMap::canOpen", u"No map picture '%s' for level %d; the map is not shown.", name,
                        levelNumber);
        return false;
    }
    return true;
}

void OverlayMiniMap::local_construct()
{
    using namespace OverlayKit;
    GameController* level = GameController::getCurrent();
    if (level == nullptr) {
        return;
    }
    auto* image = dynamic_cast<MemoryImageResource*>(
        LevelServices::resource(ProfileData::levelNumberToMinimap(level->getLevelNumber())));
    KIV_ASSERT(image != nullptr);
    image->MemoryImageFile::unpurge();
    if (!image->isLoaded()) {
        Logger::logFrom("OverlayMiniMap::local_construct", u"The map picture of level %d has no pixels.",
                        level->getLevelNumber());
        return;
    }
    MemoryImageFile masked = MemoryImageFile::MemoryImageFileBlank(image->getWidth(), image->getHeight());
    if (image->getWidth() != GameController::MINIMAP_WIDTH) {
        ErrorManager::assertionFailed("mif.width == GameController::MINIMAP_WIDTH", __PRETTY_FUNCTION__, __FILE__,
                                      __LINE__);
    }
    if (image->getHeight() != GameController::MINIMAP_HEIGHT) {
        ErrorManager::assertionFailed("mif.height == GameController::MINIMAP_HEIGHT", __PRETTY_FUNCTION__, __FILE__,
                                      __LINE__);
    }
    for (int y = 0; y < GameController::MINIMAP_HEIGHT; ++y) {
        for (int x = 0; x < GameController::MINIMAP_WIDTH; ++x) {
            std::uint32_t argb = image->getPixel(x, y);
            if (level->minimapExplored[y][x] == 0) {
                argb &= 0x00FFFFFFu;
            }
            masked.setPixel(x, y, argb);
        }
    }
    delete texture;
    texture = Texture::TextureFromImage(masked, Texture::ALPHA_ALWAYS);

    const float s = displayScale();
    auto place = [&](Renderable* sprite, float x, float y, float z) {
        sprite->position = V3(s * x, 22.0f + s * y, s * z);
        sprite->setScaleXY(s);
        appendChild(sprite);
    };
    auto icon = [&](UStringView name, const MapPoint& p, float z) {
        auto* sprite = new Renderable();
        sprite->setSkin(OverlayKit::sprite(name));
        place(sprite, p.x, p.y, z);
    };
    auto explored = [&](const MapPoint& p) { return level->minimapExplored[p.row][p.column] != 0; };

    auto* background = new Renderable();
    background->setSkin(OverlayKit::sprite(u"minimapBackground:0"));
    background->setScaleXY(s);
    appendChild(background);

    auto* map = new Renderable();
    map->setSkin(texture->skins.empty() ? nullptr : texture->skins[0]);
    map->color = UColor(0x80808080u);
    place(map, 0.0f, 0.0f, 0.0f);

    if (auto* house = dynamic_cast<Renderable*>(level->findHouseOrNull())) {
        const MapPoint p = toMap(level->playingArea, house->position);
        if (explored(p)) {
            icon(u"minimapIcons:5", p, house->position.z);
        }
    }
    if (auto* hero = dynamic_cast<Renderable*>(level->findHeroOrNull())) {
        icon(u"minimapIcons:0", toMap(level->playingArea, hero->position), hero->position.z);
    }
    if (level->cargoList != nullptr) {
        for (KivBase* child = level->cargoList->getFirstChild(); child != nullptr; child = child->getNext()) {
            auto* cargo = dynamic_cast<Cargo*>(child);
            if (cargo == nullptr || child->bDeleted || cargo->carriedBy != nullptr) {
                continue;
            }
            const MapPoint p = toMap(level->playingArea, cargo->position);
            if (!explored(p)) {
                continue;
            }
            if (dynamic_cast<Basket*>(cargo) != nullptr) {
                icon(u"minimapIcons:2", p, cargo->position.z);
            } else if (dynamic_cast<WingedHat*>(cargo) != nullptr) {
                icon(u"minimapIcons:3", p, cargo->position.z);
            } else if (dynamic_cast<Umbrella*>(cargo) != nullptr) {
                icon(u"minimapIcons:4", p, cargo->position.z);
            }
        }
    }
    if (level->appleList != nullptr) {
        for (KivBase* child = level->appleList->getFirstChild(); child != nullptr; child = child->getNext()) {
            auto* apple = dynamic_cast<Apple*>(child);
            if (apple == nullptr || child->bDeleted || apple->pBasket != nullptr || apple->bLost) {
                continue;
            }
            const MapPoint p = toMap(level->playingArea, apple->position);
            if (explored(p)) {
                icon(u"minimapIcons:1", p, apple->position.z);
            }
        }
    }
    // The footer stands below the map, on whatever the level shows there (snow, sky, rock): light letters
    // in a dark rim read on all of them.
    footer = text(0.0f, -110.0f * s, continuePrompt(closeKey1), fontSmall(), 0xFFFFFFFFu, 20);
    appendChild(footer);
}

void OverlayMiniMap::renderContents()
{
    renderLevelBehind();
    if (footer != nullptr) {
        MenuSupport::drawRim(*footer, UColor(MenuSupport::DARK_RIM));
    }
    Overlay::renderContents();
}

RPC_OverlayMiniMap_construct::RPC_OverlayMiniMap_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayMiniMap_construct::invoke() { static_cast<OverlayMiniMap*>(target)->local_construct(); }
