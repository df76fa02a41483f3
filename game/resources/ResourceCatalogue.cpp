#include "game/resources/ResourceCatalogue.h"

#include <initializer_list>

namespace ResourceCatalogue {
namespace {

constexpr const char* MAIN_ARCHIVE = "TobbleXmasdemo.dat";

constexpr TextureEntry PRE_LOADER_TEXTURES[] = {
    {0, "xmas-edition/gfx/gui/game/progressbar.tga", "gui-game-progressBar", 2, -1, 2},
    {0, "gfx/gui/game/mousepointer.tga", "mousePointer", 0, -1, 2},
};

// step, file, name, flags, origin code of skin 0, frames the game reads (, archive). A step may load
// several textures: the summer and autumn landscapes and the autumn leaf ride with their spring and
// winter kin, so the number of steps stays fixed.
constexpr TextureEntry TEXTURES[] = {
    {12, "gfx/system/kmstudios.tga", "kmstudios", 0, -1, 1},
    {13, "gfx/system/languageflags.tga", "languageFlags", 0, -1, 15, Archive::Language},
    {14, "gfx/system/editor_icons.tga", "editor_icons", 0, -1, 1},
    {15, "gfx/system/editor_symbols.tga", "editor_symbols", 0, -1, 1},
    {16, "gfx/system/editor_arrow.tga", "editor_arrow", 0, -1, 1},
    {17, "gfx/system/editor_circle.tga", "editor_circle", 0, -1, 1},
    {18, "gfx/system/editor_areas.tga", "editor_areas", 0, -1, 1},
    {19, "gfx/gui/standard/invisible.tga", "gui-invisible", 2, -1, 3},
    {20, "gfx/gui/minimal/generic.tga", "gui-minimal-generic", 2, -1, 3},
    {21, "xmas-edition/gfx/gui/game/editbox.tga", "gui-game-editbox", 2, -1, 2},
    {22, "xmas-edition/gfx/gui/game/button.tga", "gui-game-button", 2, -1, 2},
    {23, "xmas-edition/gfx/gui/game/square.tga", "gui-game-square", 2, -1, 1},
    {24, "xmas-edition/gfx/gui/game/square-opaque.tga", "gui-game-square-opaque", 2, -1, 1},
    {25, "xmas-edition/gfx/gui/game/speechbubble.tga", "gui-game-speechBubble", 0, -1, 3},
    {26, "xmas-edition/gfx/gui/game/hud.tga", "gui-game-hud", 0, -1, 3},
    {27, "xmas-edition/gfx/logo.tga", "logo", 0, -1, 1},
    {28, "xmas-edition/gfx/intro.jpg", "intro", 0, -1, 1},
    {29, "xmas-edition/gfx/intro-blurred.jpg", "intro-blurred", 1, -1, 1},
    {30, "xmas-edition/gfx/valley.jpg", "valley", 0, -1, 1},
    {31, "xmas-edition/gfx/gui/game/valleyDot.tga", "valleyDot", 0, -1, 2},
    {32, "xmas-edition/gfx/gui/game/valleyIcons.tga", "valleyIcons", 0, -1, 5},
    {33, "xmas-edition/gfx/gui/game/valleyArrow.tga", "valleyArrow", 0, -1, 1},
    {34, "xmas-edition/gfx/gui/game/dashedline.tga", "valleyDashedLine", 0, -1, 1},
    {35, "gfx/statsStar.tga", "statsStar", 0, -1, 3},
    {36, "gfx/statsTrophy.tga", "statsTrophy", 0, -1, 3},
    {37, "gfx/gui/game/horizontalRuler.tga", "horizontalRuler", 0, -1, 1},
    {39, "gfx/minimap/minimapBackground.tga", "minimapBackground", 0, -1, 1, Archive::Levels},
    {40, "gfx/minimap/minimapIcons.tga", "minimapIcons", 0, -1, 6, Archive::Levels},
    {48, "gfx/smoke.tga", "smoke", 0, -1, 1},
    {49, "gfx/explosion.tga", "explosion", 0, -1, 1},
    {50, "gfx/splash.tga", "splash", 0, -1, 1},
    {51, "gfx/splashCircular.tga", "splashCircular", 0, -1, 1},
    {52, "gfx/glint.tga", "glint", 0, -1, 1},
    {53, "gfx/flarebig.tga", "flareBig", 0, -1, 1},
    {54, "gfx/spark.tga", "spark", 0, 6, 1},
    {55, "gfx/pig-body.tga", "pig-body", 0, -1, 1},
    {56, "gfx/pig-tail.tga", "pig-tail", 0, -1, 1},
    {57, "gfx/pig-mouth.tga", "pig-mouth", 0, -1, 1},
    {58, "gfx/pig-eyes.tga", "pig-eyes", 0, -1, 1},
    {59, "gfx/pig-blink.tga", "pig-blink", 0, -1, 1},
    {60, "gfx/piglets.tga", "piglets", 0, -1, 1},
    {61, "gfx/chefhat.tga", "chefHat", 0, -1, 1},
    {62, "gfx/fishA.tga", "fishA", 0, -1, 1},
    {63, "gfx/rabbit.tga", "rabbit", 0, -1, 1},
    {64, "gfx/bee.tga", "bee", 2, -1, 1},
    {65, "gfx/butterfly.tga", "butterfly", 2, -1, 1},
    {66, "gfx/worm.tga", "worm", 0, -1, 1},
    {67, "gfx/snail.tga", "snail", 0, -1, 1},
    {68, "gfx/frog.tga", "frog", 0, -1, 1},
    {69, "xmas-edition/gfx/house.tga", "house", 0, -1, 1},
    {70, "gfx/sweets.tga", "sweets", 0, -1, 1},
    {71, "gfx/apple.tga", "apple", 0, -1, 1},
    {72, "gfx/raindrop.tga", "rainDrop", 0, -1, 1},
    {72, "gfx/autumnleaf.tga", "autumnLeaf", 0, -1, 2},
    {73, "gfx/snowflake3d.tga", "snowFlake", 0, -1, 1},
    {74, "gfx/sky4.jpg", "sky-spring", 0, -1, 1},
    {74, "gfx/sky1.jpg", "sky-summer", 0, -1, 1},
    {75, "gfx/hillsA-spring.tga", "hillsA-spring", 0, 1, 1},
    {75, "gfx/hillsA-summer.tga", "hillsA-summer", 0, 1, 1},
    {76, "gfx/hillsB-spring.tga", "hillsB-spring", 0, 1, 1},
    {76, "gfx/hillsB-summer.tga", "hillsB-summer", 0, 1, 1},
    {77, "gfx/house-roofsnow.tga", "house-roofsnow", 0, -1, 1},
    {78, "gfx/sky2.jpg", "sky-winter", 0, -1, 1},
    {78, "gfx/sky3.jpg", "sky-autumn", 0, -1, 1},
    {79, "gfx/hillsA-winter.tga", "hillsA-winter", 0, 1, 1},
    {79, "gfx/hillsA-autumn.tga", "hillsA-autumn", 0, 1, 1},
    {80, "gfx/hillsB-winter.tga", "hillsB-winter", 0, 1, 1},
    {80, "gfx/hillsB-autumn.tga", "hillsB-autumn", 0, 1, 1},
    {81, "gfx/trees-rigid.tga", "trees-rigid", 0, -1, 1},
    {82, "gfx/trees-bendable-1.tga", "trees-bendable-01", 6, -1, 1},
    {83, "gfx/trees-bendable-2.tga", "trees-bendable-02", 6, -1, 1},
    {84, "gfx/trees-bendable-3.tga", "trees-bendable-03", 6, -1, 1},
    {85, "gfx/trees-bendable-4.tga", "trees-bendable-04", 6, -1, 1},
    {86, "gfx/trees-bendable-5.tga", "trees-bendable-05", 6, -1, 1},
    {87, "gfx/trees-bendable-7.tga", "trees-bendable-07", 6, -1, 1},
    {88, "gfx/trees-bendable-9.tga", "trees-bendable-09", 6, -1, 1},
    {89, "gfx/trees-bendable-10.tga", "trees-bendable-10", 6, -1, 1},
    {90, "gfx/trees-rigid-winter.tga", "trees-rigid-winter", 0, -1, 1},
    {91, "gfx/flowers1.tga", "flowers1", 2, -1, 1},
    {92, "gfx/flowers2.tga", "flowers2", 2, -1, 1},
    {93, "gfx/cattail.tga", "flowers-cattail", 2, -1, 1},
    {94, "gfx/stones.tga", "stones", 0, -1, 1},
    {95, "gfx/pebbles.tga", "rockPebbles", 0, -1, 1},
    {96, "gfx/rocksA.tga", "rocksA", 0, -1, 1},
    {96, "gfx/iceslab.tga", "iceSlab", 0, -1, 1},
    {96, "gfx/stoneslab.tga", "stoneSlab", 0, -1, 2},
    {97, "gfx/pumpkin.tga", "pumpkin", 0, -1, 1},
    {98, "gfx/clouds.tga", "clouds", 0, -1, 1},
    {99, "gfx/terrain-grassy.tga", "terrain-grassy", 2, -1, 1},
    {100, "gfx/terrain-leafy.tga", "terrain-leafy", 2, -1, 1},
    {101, "gfx/terrain-snowy.tga", "terrain-snowy", 2, -1, 1},
    {102, "gfx/terrain-deco-roots.tga", "terrain-deco-roots", 2, -1, 1},
    {103, "gfx/terrain-deco-moss.tga", "terrain-deco-moss", 2, -1, 1},
    {104, "gfx/ground-dirt.tga", "ground-dirt", 2, -1, 1},
    {105, "gfx/ground-grass.tga", "ground-grass", 2, -1, 1},
    {106, "gfx/ground-gravel.tga", "ground-gravel", 2, -1, 1},
    {107, "gfx/ground-leaves.tga", "ground-leaves", 2, -1, 1},
    {108, "gfx/ground-snow.tga", "ground-snow", 2, -1, 1},
    {109, "gfx/crate.tga", "crate", 0, -1, 1},
    {110, "gfx/deco-grass.tga", "deco-grass", 0, -1, 1},
    {111, "gfx/deco-grass-tall.tga", "deco-grass-tall", 0, -1, 1},
    {112, "gfx/details1.tga", "details1", 0, -1, 1},
    {113, "gfx/cactus.tga", "cactus", 6, -1, 2},
    {114, "gfx/basketA.tga", "basketA", 0, -1, 1},
    {115, "gfx/basketB.tga", "basketB", 0, -1, 1},
    {116, "gfx/fence.tga", "fence", 0, -1, 1},
    {117, "gfx/ladder.tga", "ladder", 2, -1, 1},
    {118, "gfx/rainbow.tga", "rainbow", 2, -1, 1},
    {119, "gfx/drawbridge.tga", "drawbridge", 0, -1, 1},
    {120, "gfx/water.tga", "water", 2, -1, 1},
    {121, "gfx/water-shallow.tga", "water-shallow", 2, -1, 1},
    {122, "gfx/shrubs.tga", "shrubs", 0, -1, 1},
    {123, "gfx/hotairballoon.tga", "hotairballoon", 0, -1, 1},
    {124, "gfx/treestumps.tga", "treestumps", 0, -1, 1},
    {125, "gfx/woodsign.tga", "woodsign", 0, -1, 1},
    {126, "gfx/paperNote.tga", "paperNote", 0, -1, 1},
    {127, "gfx/switch.tga", "switch", 0, -1, 1},
    {128, "gfx/dynamite.tga", "dynamite", 0, -1, 1},
    {129, "gfx/compass.tga", "compass", 0, -1, 1},
    {130, "gfx/telescope.tga", "telescope", 0, -1, 1},
    {131, "gfx/springboard.tga", "springboard", 0, -1, 1},
    {132, "xmas-edition/gfx/logoSubtitle.tga", "logoSubtitle", 0, -1, 2},
    {133, "xmas-edition/gfx/santahat.tga", "santaHat", 0, -1, 1},
    {134, "xmas-edition/gfx/santa-sleigh.tga", "santaSleigh", 0, -1, 1},
    {135, "xmas-edition/gfx/house-xmaslights.tga", "house-xmaslights", 0, -1, 1},
    {136, "xmas-edition/gfx/intro-xmaslights.tga", "intro-xmaslights", 0, -1, 2},
    {137, "xmas-edition/gfx/trees-bendable-1-xmas.tga", "trees-bendable-01-xmas", 6, -1, 1},
    {138, "xmas-edition/gfx/trees-bendable-4-xmas.tga", "trees-bendable-04-xmas", 6, -1, 1},
    {139, "xmas-edition/gfx/trees-bendable-5-xmas.tga", "trees-bendable-05-xmas", 6, -1, 1},
    {140, "xmas-edition/gfx/shrubs-cec.tga", "shrubs-cec", 0, -1, 1},
    {141, "xmas-edition/gfx/rocksA-xmas.tga", "rocksA-xmas", 0, -1, 1},
    {142, "xmas-edition/gfx/gui/game/hud-touchscreen.tga", "hud-touchscreen", 0, -1, 8},
    {143, "gfx/mobile/tutorial-iPhone.tga", "tutorial-iPhone", 0, -1, 6},
    {144, "gfx/mobile/tutorial-iPad.tga", "tutorial-iPad", 0, -1, 6},
};

// step, file, name, maximum playbacks, loop, minimum interval, pitch range
constexpr SoundEntry SOUNDS[] = {
    {10, "sfx/music/win.ogg", "soundWin", 2, false, 0.0f, 0.0f, 0.0f},
    {11, "sfx/music/lose.ogg", "soundLose", 2, false, 0.0f, 0.0f, 0.0f},
    {145, "sfx/clickXP.ogg", "mouseClick", 2, false, 0.0f, 0.0f, 0.0f},
    {146, "sfx/pop.ogg", "pop", 3, false, 0.025f, 0.0f, 0.5f},
    {147, "sfx/typewriter.ogg", "typewriter", 3, false, 0.025f, 0.0f, 0.5f},
    {148, "sfx/bee.ogg", "beeBuzz", 2, true, 0.0f, 0.0f, 0.0f},
    {149, "sfx/birds.ogg", "birds", 2, true, 0.0f, 0.0f, 0.0f},
    {150, "sfx/waterfall.ogg", "waterfall", 2, true, 0.0f, 0.0f, 0.0f},
    {151, "sfx/snailWalk.ogg", "snailWalk", 3, true, 0.0f, 0.0f, 0.0f},
    {152, "sfx/hedgehogSqueak.ogg", "hedgehogSqueak", 2, true, 0.0f, 0.0f, 0.0f},
    {153, "sfx/geyserErupt.ogg", "geyserErupt", 3, true, 0.0f, 0.0f, 0.5f},
    {154, "sfx/geyserRumble.ogg", "geyserRumble", 3, false, 0.0f, 0.0f, 0.0f},
    {155, "sfx/waterSplashSmall.ogg", "waterSplashSmall", 2, false, 0.025f, 0.0f, 0.0f},
    {156, "sfx/waterSplashLarge.ogg", "waterSplashLarge", 2, false, 0.1f, 0.0f, 0.0f},
    {157, "sfx/mudSplash.ogg", "mudSplash", 2, false, 0.0f, 0.0f, 0.0f},
    {158, "sfx/explosion.ogg", "explosionSound", 1, false, 0.0f, 0.0f, 0.0f},
    {159, "sfx/magicHat.ogg", "magicHat", 2, false, 0.0f, 0.0f, 0.0f},
    {160, "sfx/umbrellaOpen.ogg", "umbrellaOpen", 2, false, 0.0f, 0.0f, 0.0f},
    {161, "sfx/footstepDirt.ogg", "footstepDirt", 2, false, 0.0f, 0.0f, 0.5f},
    {162, "sfx/footstepLeaves.ogg", "footstepLeaves", 2, false, 0.0f, 0.0f, 0.5f},
    {163, "sfx/footstepSnow.ogg", "footstepSnow", 2, false, 0.0f, 0.0f, 0.5f},
    {164, "sfx/footstepStone.ogg", "footstepStone", 2, false, 0.0f, 0.0f, 0.5f},
    {165, "sfx/footstepWood.ogg", "footstepWood", 2, false, 0.0f, 0.0f, 1.0f},
    {166, "sfx/drawbridgeRaise.ogg", "drawbridgeRaise", 2, false, 0.0f, 0.0f, 0.0f},
    {167, "sfx/drawbridgeLower.ogg", "drawbridgeLower", 2, false, 0.0f, 0.0f, 0.0f},
    {168, "sfx/switchButton.ogg", "switchButton", 2, false, 0.0f, 0.0f, 0.0f},
    {169, "sfx/switchRaise.ogg", "switchRaise", 2, false, 0.0f, 0.0f, 0.0f},
    {170, "sfx/switchLower.ogg", "switchLower", 2, false, 0.0f, 0.0f, 0.0f},
    {171, "sfx/switchActivate.ogg", "switchActivate", 2, false, 0.0f, 0.0f, 0.0f},
    {172, "sfx/rotatorGear.ogg", "rotatorGear", 2, false, 0.0f, 0.0f, 0.0f},
    {173, "sfx/sweetPickup.ogg", "sweetPickup", 8, false, 0.0f, 0.0f, 0.0f},
    {174, "sfx/secretArea.ogg", "secretArea", 1, false, 0.0f, 0.0f, 0.0f},
    {175, "sfx/pigletJump.ogg", "pigletJump", 2, false, 0.0f, 0.0f, 0.5f},
    {176, "sfx/pigFaint.ogg", "pigFaint", 1, false, 0.0f, 0.0f, 0.0f},
    {177, "sfx/pigJump.ogg", "pigJump", 2, false, 0.0f, 0.0f, 0.5f},
    {178, "sfx/pigSlurp.ogg", "pigSlurp", 2, false, 0.0f, 0.0f, 0.25f},
    {179, "sfx/pigCarry.ogg", "pigCarry", 2, false, 0.0f, 0.0f, 0.25f},
    {180, "sfx/pigSpawn.ogg", "pigSpawn", 1, false, 0.0f, 0.0f, 0.0f},
    {181, "sfx/horseIdle.ogg", "horseIdle", 2, false, 0.0f, 0.0f, 0.0f},
    {182, "sfx/horseAlert.ogg", "horseAlert", 2, false, 0.0f, 0.0f, 0.0f},
    {183, "sfx/horseDigest.ogg", "horseDigest", 1, false, 0.0f, 0.0f, 0.0f},
    {184, "sfx/frogIdle.ogg", "frogIdle", 2, false, 0.0f, 0.0f, 0.0f},
    {185, "sfx/frogAlert.ogg", "frogAlert", 2, false, 0.0f, 0.0f, 0.0f},
    {186, "sfx/frogDigest.ogg", "frogDigest", 2, false, 0.0f, 0.0f, 0.0f},
    {187, "sfx/frogAttack.ogg", "frogAttack", 2, false, 0.0f, 0.0f, 0.0f},
    {188, "sfx/fishIdle.ogg", "fishIdle", 2, false, 0.0f, 0.0f, 0.0f},
    {189, "sfx/wormDie.ogg", "wormDie", 2, false, 0.0f, 0.0f, 0.5f},
    {190, "sfx/rabbitAppear.ogg", "rabbitAppear", 3, false, 0.0f, 0.0f, 0.5f},
    {191, "sfx/appleBite.ogg", "appleBite", 3, false, 0.0f, 0.0f, 0.5f},
    {192, "sfx/appleBite.ogg", "appleBiteBig", 3, false, 0.0f, -0.5f, -0.5f},
    {193, "sfx/appleMud.ogg", "appleMud", 3, false, 0.0f, 0.0f, 0.25f},
    {194, "sfx/appleAcid.ogg", "appleAcid", 3, false, 0.0f, 0.0f, 0.25f},
    {195, "sfx/appleWorm.ogg", "appleWorm", 3, false, 0.0f, 0.0f, 0.25f},
    {196, "sfx/appleBasket.ogg", "appleBasket", 2, false, 0.0f, 0.0f, 0.25f},
    {197, "sfx/appleSquish.ogg", "appleSquish", 2, false, 0.0f, 0.0f, 0.5f},
    {198, "sfx/appleBounce.ogg", "appleBounce", 6, false, 0.025f, 0.0f, 0.0f},
    {199, "sfx/appleBig.ogg", "appleBig", 3, false, 0.025f, 0.0f, 0.0f},
    {200, "sfx/appleCollect.ogg", "appleCollect", 3, false, 0.0f, 0.0f, 0.0f},
    {201, "sfx/doorOpen.ogg", "doorOpen", 1, false, 0.0f, 0.0f, 0.0f},
    {202, "sfx/doorClose.ogg", "doorClose", 1, false, 0.0f, 0.0f, 0.0f},
    {203, "sfx/springboard.ogg", "springboardSound", 2, false, 0.0f, 0.0f, 0.5f},
    {204, "sfx/bellsmall.ogg", "bellSmall", 2, false, 0.0f, 0.0f, 0.0f},
    {205, "sfx/vibe.ogg", "vibe", 2, false, 0.0f, 0.0f, 0.0f},
    {206, "sfx/saveProgress.ogg", "saveProgress", 2, false, 0.0f, 0.0f, 0.0f},
    {207, "sfx/fireworkbang.ogg", "fireworkBang", 2, false, 0.0f, 0.0f, 0.0f},
};

constexpr FileEntry MUSIC[] = {
    {2, "xmas-edition/sfx/music/title.ogg", "musicMenu"},
    {5, "sfx/music/game1.ogg", "musicGame1"},
    {6, "sfx/music/game2.ogg", "musicGame2"},
    {7, "sfx/music/game3.ogg", "musicGame3"},
    {8, "sfx/music/bonus.ogg", "musicBonus"},
    {9, "sfx/music/silence.ogg", "musicNone"},
};

// The maps of the 24 levels that are not bonus levels (3, 7, 11, ... 31), four to a step.
constexpr FileEntry MINIMAP_IMAGES[] = {
    {41, "gfx/minimap/map00.tga", "minimap00"},
    {41, "gfx/minimap/map01.tga", "minimap01"},
    {41, "gfx/minimap/map02.tga", "minimap02"},
    {41, "gfx/minimap/map04.tga", "minimap04"},
    {42, "gfx/minimap/map05.tga", "minimap05"},
    {42, "gfx/minimap/map06.tga", "minimap06"},
    {42, "gfx/minimap/map08.tga", "minimap08"},
    {42, "gfx/minimap/map09.tga", "minimap09"},
    {43, "gfx/minimap/map10.tga", "minimap10"},
    {43, "gfx/minimap/map12.tga", "minimap12"},
    {43, "gfx/minimap/map13.tga", "minimap13"},
    {43, "gfx/minimap/map14.tga", "minimap14"},
    {44, "gfx/minimap/map16.tga", "minimap16"},
    {44, "gfx/minimap/map17.tga", "minimap17"},
    {44, "gfx/minimap/map18.tga", "minimap18"},
    {44, "gfx/minimap/map20.tga", "minimap20"},
    {45, "gfx/minimap/map21.tga", "minimap21"},
    {45, "gfx/minimap/map22.tga", "minimap22"},
    {45, "gfx/minimap/map24.tga", "minimap24"},
    {45, "gfx/minimap/map25.tga", "minimap25"},
    {46, "gfx/minimap/map26.tga", "minimap26"},
    {46, "gfx/minimap/map28.tga", "minimap28"},
    {46, "gfx/minimap/map29.tga", "minimap29"},
    {46, "gfx/minimap/map30.tga", "minimap30"},
};

// load step, build step, name, texture base, path prefix, file name, space advance, glyph spacing, accent
// offsets over capitals and small letters, cached drawing allowed, cache flag, composite characters,
// enable font cache
constexpr FontEntry FONTS[] = {
    {211, 219, "fontTiny", "fontTinyTex", "", "font-tiny", 3, 1, 0, 0, true, true, false, true},
    {212, 220, "fontSmall", "fontSmallTex", "", "font-small", 3, 0, 2, 5, true, true, true, true},
    {213, 221, "fontSmallOutline", "fontSmallOutlineTex", "", "font-small-outline", 3, -1, 2, 5, true, false, true, true},
    {214, 222, "fontMedium", "fontMediumTex", "", "font-medium", 6, 0, 6, 10, true, true, true, false},
    {215, 223, "fontMediumOutline", "fontMediumOutlineTex", "", "font-medium-outline", 6, -1, 6, 10, true, false, true, false},
    {216, 224, "fontLarge", "fontLargeTex", "xmas-edition/", "font-large", 16, -4, 8, 14, false, false, true, false},
};

// step, file, name, flags, first code, font
constexpr SymbolPageEntry SYMBOL_PAGES[] = {
    {217, "gfx/font/font-tiny-GUIsymbols.tga", "fontTinyGUIsymbolsTex", 10, 0, "fontTiny"},
    {217, "gfx/font/font-small-GUIsymbols.tga", "fontSmallGUIsymbolsTex", 10, 0, "fontSmall"},
    {217, "gfx/font/font-small-outline-GUIsymbols.tga", "fontSmallOutlineGUIsymbolsTex", 10, 0, "fontSmallOutline"},
    {217, "gfx/font/font-medium-GUIsymbols.tga", "fontMediumGUIsymbolsTex", 10, 0, "fontMedium"},
    {217, "gfx/font/font-medium-outline-GUIsymbols.tga", "fontMediumOutlineGUIsymbolsTex", 10, 0, "fontMediumOutline"},
    {218, "gfx/font/font-tiny-editorsymbols.tga", "fontTinyEditorSymbolsTex", 10, 128, "fontTiny"},
};

constexpr const char* LEVEL_FILES[] = {
    "./levels/a1xmas.lev", "./levels/a2xmas.lev", "./levels/a3xmas.lev", "./levels/a9.lev",
    "./levels/b1.lev",     "./levels/b2.lev",     "./levels/b3.lev",     "./levels/b9.lev",
};

constexpr const char* CODE_PAGES[] = {"1252"};

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

} // namespace

std::span<const TextureEntry> preLoaderTextures() { return PRE_LOADER_TEXTURES; }
std::span<const TextureEntry> textures() { return TEXTURES; }
std::span<const SoundEntry> sounds() { return SOUNDS; }
std::span<const FileEntry> music() { return MUSIC; }
std::span<const FileEntry> minimapImages() { return MINIMAP_IMAGES; }
std::span<const FontEntry> fonts() { return FONTS; }
std::span<const SymbolPageEntry> symbolPages() { return SYMBOL_PAGES; }
std::span<const char* const> levelFiles() { return LEVEL_FILES; }

const FontEntry* findFont(std::string_view name) {
    for (const FontEntry& font : FONTS)
        if (name == font.name)
            return &font;
    return nullptr;
}
std::span<const char* const> codePages() { return CODE_PAGES; }

std::string archiveSuffix(Archive archive, std::string_view codePage) {
    switch (archive) {
    case Archive::Main: return {};
    case Archive::Language: return ".language.v2";
    case Archive::Levels: return ".levels";
    case Archive::CodePage: return concat({".", codePage});
    }
    return {};
}

std::string archiveFileName(Archive archive, std::string_view codePage) {
    return MAIN_ARCHIVE + archiveSuffix(archive, codePage);
}

std::string glyphPageFile(const FontEntry& font, std::string_view codePage, int page) {
    return concat({font.pathPrefix, "gfx/font/", codePage, "/", font.fileName, "-", std::to_string(page), ".tga"});
}

std::string extraGlyphPageFile(const FontEntry& font, std::string_view codePage, int page) {
    return concat({font.pathPrefix, "gfx/font/", codePage, "/extra-", font.fileName, "-", std::to_string(page), ".tga"});
}

std::string glyphPageName(const FontEntry& font, int page) { return font.textureBase + std::to_string(page); }

std::string extraGlyphPageName(const FontEntry& font, int page) {
    return concat({font.textureBase, "Extra", std::to_string(page)});
}

std::string codePointTableFile(std::string_view pathPrefix, std::string_view codePage) {
    return concat({pathPrefix, "gfx/font/", codePage, "/", codePage, ".codepointLUT.bin"});
}

std::string codePointTableName(std::string_view codePage) { return concat({codePage, ".codepointLUT"}); }

std::string frameName(std::string_view sheet, int frame) { return concat({sheet, ":", std::to_string(frame)}); }

} // namespace ResourceCatalogue
