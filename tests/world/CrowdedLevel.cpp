#include "CrowdedLevel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/net/NetRole.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/world/A99Object.h"
#include "game/world/Apple.h"
#include "game/world/Hull.h"
#include "support/EditedLevel.h"

namespace {
// The top of the level's surfaces at x (the highest hull segment over it, in the world), or -infinity.
float groundAt(const GameController& gc, float x)
{
    float top = -std::numeric_limits<float>::infinity();
    for (const KivBase* h = gc.hullList->getFirstChild(); h != nullptr; h = h->getNext()) {
        const auto* hull = dynamic_cast<const Hull*>(h);
        const A99Object* owner = hull != nullptr && hull->bEnabled ? hull->getOwner() : nullptr;
        if (owner == nullptr) {
            continue;
        }
        const float c = std::cos(owner->rotation.z);
        const float s = std::sin(owner->rotation.z);
        for (const auto& run : hull->getRuns()) {
            for (std::size_t i = 1; i < run.size(); ++i) {
                const float ax = owner->position.x + run[i - 1].x * c - run[i - 1].y * s;
                const float ay = owner->position.y + run[i - 1].x * s + run[i - 1].y * c;
                const float bx = owner->position.x + run[i].x * c - run[i].y * s;
                const float by = owner->position.y + run[i].x * s + run[i].y * c;
                if (ax == bx || x < std::fmin(ax, bx) || x > std::fmax(ax, bx)) {
                    continue;
                }
                top = std::fmax(top, ay + (by - ay) * (x - ax) / (bx - ax));
            }
        }
    }
    return top;
}

// A new apple at the point, made and placed as the editor makes the class list's instance.
void addApple(NetRole& role, const V3& at)
{
    auto* apple = static_cast<Apple*>(Apple::classRecord.create());
    role.registerObject(apple, 0);
    apple->netPostReplicate();
    apple->netPostReplicateGlobal();
    apple->getHomeList()->addChild(apple);
    apple->editorSetPosition(at);
}
} // namespace

std::vector<std::uint8_t> CrowdedLevel::savedCopy(int levelNumber, int apples, Layout layout)
{
    return EditedLevel::save(levelNumber, [&](GameServer& server, GameController& gc) {
        const float r = Apple::RADIUS;
        const int added = std::max(0, apples - gc.appleList->countChildren());
        if (layout == Layout::ONE_SPOT) {
            // Right of the pig, just above the ground there.
            const float x = static_cast<const A99Object*>(gc.findHero())->position.x + 300.0f;
            const V3 spot(x, groundAt(gc, x) + 2.0f * r, 0.0f);
            for (int i = 0; i < added; ++i) {
                addApple(server, spot);
            }
            return;
        }
        const float pitch = 2.0f * r + GAP;
        std::vector<V3> columns; // x and the ground under it
        for (float x = gc.playingArea.left + pitch; x < gc.playingArea.right - pitch; x += pitch) {
            if (const float ground = groundAt(gc, x); std::isfinite(ground)) {
                columns.emplace_back(x, ground + r + 1.0f, 0.0f);
            }
        }
        for (int i = 0; i < added && !columns.empty(); ++i) {
            const V3& column = columns[static_cast<std::size_t>(i) % columns.size()];
            const auto row = static_cast<float>(static_cast<std::size_t>(i) / columns.size());
            addApple(server, V3(column.x, column.y + row * pitch, 0.0f));
        }
    });
}
