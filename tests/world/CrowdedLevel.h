#pragma once
// A level of the archive with a crowd of apples added, saved as the editor saves it: the level loaded for
// editing, each apple made through the class registry and put into the apple list as the editor's class list
// does (Ctrl+X), and the whole level written as the server's full state (Ctrl+S). The crowd stands all at one
// spot, or spread out: in rows on the level's ground with 20 units between neighbours, row above row.
#include <cstdint>
#include <vector>

namespace CrowdedLevel {
enum class Layout { ONE_SPOT, SPREAD };
// The gap between neighbours of a spread-out crowd (units).
constexpr float GAP = 20.0f;

// The saved copy of the level (0 to 31) with apples added until its apple list holds `apples` (none when
// it holds that many already); empty when the archive lacks the level.
std::vector<std::uint8_t> savedCopy(int levelNumber, int apples, Layout layout);
} // namespace CrowdedLevel
