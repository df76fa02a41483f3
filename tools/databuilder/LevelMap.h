#pragma once
// A level's map picture for the mini-map overlay, drawn from its source: the ground, the ledges and
// branches, the gates, the water, acid and thorns, and the ladders, on parchment, 256 x 192 pixels with
// the playing area's left edge at column 0, its top at row 0.
#include "tools/databuilder/LevelSource.h"
#include "tools/databuilder/Picture.h"

inline constexpr int LEVEL_MAP_WIDTH = 256;
inline constexpr int LEVEL_MAP_HEIGHT = 192;

// The colours of the map, 0xRRGGBB.
namespace LevelMapColour {
inline constexpr unsigned AIR = 0xEADBB0, GROUND = 0x7E9450, ROCK = 0x9A7A48, BRANCH = 0x6E4424,
                          WATER = 0x3F8FD8, ACID = 0x86C83A, THORNS = 0x8A2A3A, LADDER = 0x5A3A1C, GATE = 0x8A8A84,
                          ICE = 0xB8DDF0;
}

Picture drawLevelMap(const LevelSource& level);
