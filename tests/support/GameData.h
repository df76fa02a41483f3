#pragma once
#include <string>

// The game's data in a test engine: mounts the built archives and registers every resource of the
// catalogue (textures with their frames, sounds, music and the six fonts) under its name, as the loader
// does, so that levels can be loaded and played. Load once per program; the resources live until exit.
class KivHarness;

namespace GameData {
// Mounts the archives of the folder and registers the resources; answers the seconds it took.
double load(KivHarness& harness, const std::string& archiveFolder);
} // namespace GameData
