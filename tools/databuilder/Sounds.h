#pragma once
// The game's sound effects and music, synthesised and encoded as Ogg Vorbis.
#include <cstdint>
#include <string>
#include <vector>

// The Ogg Vorbis file of a sound or music file of the catalogue, by its path. Throws when the path has no
// recipe.
std::vector<std::uint8_t> makeSoundFile(const std::string& file);
bool hasSound(const std::string& file);
