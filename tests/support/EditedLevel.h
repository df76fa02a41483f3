#pragma once
// A level of the archive as the user saves it from the editor: loaded for editing, changed, and written as
// the server's full state (Ctrl+S). The server is the current role while the change runs; the role before
// is put back afterwards.
#include <cstdint>
#include <functional>
#include <vector>

class GameController;
class GameServer;

namespace EditedLevel {
// The saved copy of the level (0 to 31) after `change`; empty when the archive lacks the level.
std::vector<std::uint8_t> save(int levelNumber, const std::function<void(GameServer&, GameController&)>& change);
} // namespace EditedLevel
