#pragma once
// The address of the recipe page on the maker's web site: it names the recipe parts a player has unlocked
// by a 32-bit mask (bit n for level n at full points) and a digest that the site checks.
#include <cstdint>

#include "engine/core/UString.h"

struct ProfileData;

namespace RecipeLink {
// Bit n is set when level n has been finished with all its points.
std::uint32_t maskOf(const ProfileData& profile);
// 40 lower-case hexadecimal digits: the MD5 of "J%08x" with the mask, then the mask itself.
UString identifier(std::uint32_t mask);
// "http://" + host + "/tobble/recipe.php?id=" + identifier.
UString url(UStringView host, std::uint32_t mask);
} // namespace RecipeLink
