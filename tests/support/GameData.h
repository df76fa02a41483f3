#pragma once
#include <string>

// The game's data in a test engine: mounts the built archives and registers every resource of the
// catalogue (textures with their frames, sounds, music and the six fonts) under its name, as the loader
// does, so that levels can be loaded and played. Load once per program; the resources live until exit.
class KivHarness;
class MyGlobal;

namespace GameData {
// Makes the game object (a MyGlobal with one player) when there is none, mounts the archives of the folder and registers the resources; answers the seconds it took.
double load(KivHarness& harness, const std::string& archiveFolder);
// Starts the game as the player does, over the archives of the folder: the game object made, the loader
// run to its end (the intro made, the loader off the stack). The game object is the caller's to delete.
MyGlobal* startThroughLoader(KivHarness& harness, const std::string& archiveFolder);
} // namespace GameData
