#pragma once
// Makes a level file from a level source on the game's own objects: a game server on the emulated local
// link in editing mode (so the level-start set-up stays out of the file), the empty world of
// MyRootObject::start with its starter content reshaped to the source, every further thing registered,
// constructed and post-replicated as the editor would, and the server's saved level file.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/databuilder/LevelSource.h"

class KivBase;
class ResourceManager;

// Stand-ins for the catalogue's sprites while the builder makes levels: one quad of the frame's size per
// frame name ("basketA:0"), so that the objects' sprite references resolve and the level files name them.
class PlaceholderResources {
public:
    PlaceholderResources();
    ~PlaceholderResources();
    PlaceholderResources(const PlaceholderResources&) = delete;
    PlaceholderResources& operator=(const PlaceholderResources&) = delete;

    // Registers "name:0" ... "name:n-1" with the frames' sizes.
    void addSheet(const std::string& name, const std::vector<std::pair<int, int>>& frameSizes);
    bool has(const std::string& frameName) const;

private:
    std::unique_ptr<ResourceManager> manager;
    std::unique_ptr<KivBase> holder;
};

// The level file's bytes. `scratchFile` is where the server may write it on the way. Throws a
// LevelSourceError (with the source's line) for a thing the game cannot make.
std::vector<std::uint8_t> writeLevelFile(const LevelSource& level, const std::string& scratchFile);
