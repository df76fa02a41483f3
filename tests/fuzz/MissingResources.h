#pragma once
// A running game has loaded every resource before a level's objects arrive; a fuzzing process loads none.
// So a screen object that a peer spawns finds its pictures missing there: that one fatal message is the
// data's absence, not a fault of the message, and the network targets let it through. An empty resource
// manager makes every look-up end in that message rather than in a null one.
#include <memory>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

inline ResourceManager& ensureEmptyResourceManager()
{
    static ResourceManager noResources;
    return noResources;
}

// Stand-ins under the names that a level's layers look up when they are made and set up (the sky's sleigh,
// the HUD's touch buttons, the hills and the weather of every season) and that the levels of the seeds
// name: a level then gets as far as it would with the game's data. Pictures ("name:frame") stand in as
// empty sprite frames, the rest as empty textures. Once per process; they live as long as it does.
inline void ensureLevelStandIns()
{
    static const bool made = [] {
        static const char16_t* const names[] = {
            // The layers and the level's set-up.
            u"santaSleigh:0", u"hud-touchscreen:1", u"hud-touchscreen:2", u"hud-touchscreen:3",
            u"hud-touchscreen:4", u"hud-touchscreen:5", u"hud-touchscreen:6", u"hud-touchscreen:7",
            u"hillsA-spring:0", u"hillsB-spring:0", u"hillsA-summer:0", u"hillsB-summer:0", u"hillsA-autumn:0",
            u"hillsB-autumn:0", u"hillsA-winter:0", u"hillsB-winter:0", u"rainDrop", u"autumnLeaf", u"snowFlake",
            // The objects of the seeds.
            u"pig-body:0", u"house:0", u"apple:0", u"sweets:0", u"stoneSlab:1", u"terrain-grassy:0",
            u"terrain-snowy:0", u"deco-grass:0", u"ground-grass:0", u"ground-snow:0", u"house-roofsnow:0",
            u"house-xmaslights:0", u"rocksA-xmas:0", u"shrubs-cec:0", u"trees-bendable-01-xmas:0",
            u"trees-bendable-04-xmas:0", u"trees-bendable-05-xmas:0", u"chefHat:0", u"drawbridge:0",
            u"flowers-cattail:0", u"shrubs:1", u"stoneSlab:0", u"trees-bendable-03:0", u"trees-bendable-04:0",
            u"trees-rigid:0"};
        static std::vector<std::unique_ptr<KivBase>> standIns;
        ResourceManager& resources = ensureEmptyResourceManager();
        for (const char16_t* name : names) {
            if (UStringView(name).find(u':') != UStringView::npos) {
                auto frame = std::make_unique<Quad>();
                frame->width = 16.0f;
                frame->height = 16.0f;
                standIns.push_back(std::move(frame));
            } else {
                standIns.push_back(std::make_unique<Texture>());
            }
            resources.addResource(name, standIns.back().get());
        }
        return true;
    }();
    (void)made;
}

inline bool isMissingResource(const FatalError& error)
{
    return error.message.rfind(u"Could not find resource", 0) == 0;
}
