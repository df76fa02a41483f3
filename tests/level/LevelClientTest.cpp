// A client role on the emulated link joins a level that a level manager's server plays from a real level
// file: it takes the whole tree from the server's state, builds the controller's layers and lists itself,
// makes no editor and no objects of its own, and keeps following the server while both tick.
#include <cmath>
#include <map>
#include <memory>

#include "LevelFixture.h"

#include "engine/kiv/Kiv.h"
#include "engine/net/Client.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetAddress.h"
#include "engine/net/NetConnection.h"
#include "engine/files/FileManager.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/overlays/Overlay.h"
#include "game/userdata/ProfileData.h"
#include "game/world/EditorObject.h"

namespace {

// The level's server on the emulated link, whatever the engine's configuration says.
class EmulatedLink {
public:
    EmulatedLink() : saved(Kiv::instance()->bEmulateLocalhost) { Kiv::instance()->bEmulateLocalhost = true; }
    ~EmulatedLink() { Kiv::instance()->bEmulateLocalhost = saved; }

private:
    bool saved;
};

GameController* controllerOf(const NetRole& role)
{
    auto* root = dynamic_cast<MyRootObject*>(role.root);
    return root != nullptr ? root->gameController : nullptr;
}

// Where every placed object of a role stands, by UID.
std::map<int32_t, V3> positionsOf(const NetRole& role)
{
    std::map<int32_t, V3> positions;
    for (const auto& [uid, object] : role.objectMap) {
        if (const auto* placed = dynamic_cast<const EditorObject*>(object)) {
            positions[uid] = placed->position;
        }
    }
    return positions;
}

// Every object of the server is on the client under the same UID, of the same class, under a parent of
// the same UID, and the client holds nothing more. Play is not streamed after the state a peer receives
// on joining (only spawns and calls follow), so what the server's physics moves since the level loaded
// is left out of the position check; everything else stands where it stands on the server.
void expectSameTree(const NetRole& server, const NetRole& client, const std::map<int32_t, V3>& loaded)
{
    EXPECT_EQ(client.objectMap.size(), server.objectMap.size());
    int still = 0;
    for (const auto& [uid, object] : server.objectMap) {
        SCOPED_TRACE(uid);
        KivBase* mirror = client.findObjectOrNull(uid);
        ASSERT_NE(mirror, nullptr) << wideToUtf8(object->getClass()->getName());
        ASSERT_EQ(mirror->getClass(), object->getClass());
        const KivBase* parent = object->getParent();
        const KivBase* mirrorParent = mirror->getParent();
        if (parent != nullptr && parent->objectUID > 0) {
            ASSERT_NE(mirrorParent, nullptr);
            EXPECT_EQ(mirrorParent->objectUID, parent->objectUID);
        }
        const auto* placed = dynamic_cast<const EditorObject*>(object);
        const auto before = loaded.find(uid);
        if (placed == nullptr || before == loaded.end() ||
            std::hypot(placed->position.x - before->second.x, placed->position.y - before->second.y) > 0.01f) {
            continue;
        }
        const auto* mirrorObject = static_cast<const EditorObject*>(mirror);
        EXPECT_NEAR(mirrorObject->position.x, placed->position.x, 0.5f);
        EXPECT_NEAR(mirrorObject->position.y, placed->position.y, 0.5f);
        ++still;
    }
    EXPECT_GT(still, 10);
}

} // namespace

TEST_F(LevelTest, ClientOverTheEmulatedLinkFollowsRealLevels)
{
#if defined(__SANITIZE_ADDRESS__)
    // The bonus level alone: the checked build runs the same code far slower.
    static constexpr int LEVELS[] = {15};
#else
    // Spring, summer, autumn and winter, and a bonus level.
    static constexpr int LEVELS[] = {5, 10, 17, 30, 15};
#endif
    for (int number : LEVELS) {
        const UString file = ProfileData::levelNumberToFile(number);
        if (!Kiv::instance()->fileManager->exists(file)) {
            ADD_FAILURE() << "The level archive lacks " << wideToUtf8(file) << ".";
            continue;
        }
        SCOPED_TRACE(number);
        profile().currentLevel = number;
        {
            EmulatedLink link;
            manager = std::make_unique<ContextLevelManager>(number);
        }
        stack().addContext(manager.get());
        GameServer& server = *manager->server;
        ASSERT_TRUE(server.connection->isEmulated());
        const std::size_t loadedObjects = server.objectMap.size();
        const std::map<int32_t, V3> loaded = positionsOf(server);

        auto client = std::make_unique<Client>(2, u"TobbleXmasdemo", 1.25, u"Guest", 0.05);
        client->connection = new NetConnection(NetAddress(0x7F000001u, 0), true);
        client->bOwnsConnection = true;
        client->connectTo(server.connection->getLocalAddress());
        THEROLE = nullptr;
        Kiv& kiv = harness().kiv();
        auto both = [&](int count) {
            for (int i = 0; i < count; ++i) {
                tickOnly();
                client->tick(kiv.time, kiv.frameTime);
            }
        };
        both(60);
        ASSERT_EQ(client->getClientState(), NetHost::ClientState::Connected);
        ASSERT_TRUE(client->hasReceivedState());

        GameController* gc = controllerOf(*client);
        ASSERT_NE(gc, nullptr);
        EXPECT_EQ(client->root->objectUID, 1);
        // Layers and lists in place, the editor layer only as the server's data: the client runs no editor.
        ASSERT_NE(gc->contextGame, nullptr);
        EXPECT_NE(gc->contextBackground, nullptr);
        EXPECT_NE(gc->contextHUD, nullptr);
        EXPECT_EQ(gc->contextGame->countChildren(), 18);
        EXPECT_EQ(gc->contextGame->getFirstChild(), gc->bgList);
        EXPECT_EQ(gc->contextGame->getLastChild(), gc->speechBubbleList);
        EXPECT_NE(gc->findHeroOrNull(), nullptr);
        EXPECT_NE(gc->findHouseOrNull(), nullptr);
        EXPECT_FALSE(client->bEditing);
        EXPECT_FALSE(gc->isEditing());
        // The client made nothing of its own: every object it holds came from the server.
        EXPECT_EQ(client->nextObjectUID, server.nextObjectUID);
        EXPECT_EQ(server.objectMap.size(), loadedObjects);
        EXPECT_EQ(client->objectMap.size(), loadedObjects);
        expectSameTree(server, *client, loaded);

        // Both play on through the title into play, with a drawn frame at either end; the client follows
        // the server's states through their replicated calls.
        GameController* serverGc = controllerOf(server);
        ASSERT_NE(serverGc, nullptr);
        harness().frame(&stack());
        for (int i = 0; i < 1000 && serverGc->state != GameController::STATE_PLAYING; ++i) {
            both(1);
        }
        EXPECT_EQ(serverGc->state, GameController::STATE_PLAYING);
        // The input is shared: the pig walks right on the server for a second (the client's copy keeps
        // still), then the statistics key opens an overlay on the server only, which reaches the client
        // through its spawn and calls, as does its closing by Escape.
        auto frameBoth = [&] {
            harness().frame(&stack());
            client->tick(kiv.time, kiv.frameTime);
            client->render();
        };
        pressKey(205);
        frameBoth();
        both(100);
        releaseKey(205);
        frameBoth();
        pressKey(28);
        frameBoth();
        releaseKey(28);
        frameBoth();
        both(60);
        auto* serverRoot = static_cast<MyRootObject*>(server.root);
        auto* clientRoot = static_cast<MyRootObject*>(client->root);
        ASSERT_NE(serverRoot->contextOverlay, nullptr);
        ASSERT_NE(clientRoot->contextOverlay, nullptr);
        EXPECT_EQ(clientRoot->contextOverlay->objectUID, serverRoot->contextOverlay->objectUID);
        EXPECT_EQ(clientRoot->contextOverlay->getClass(), serverRoot->contextOverlay->getClass());
        expectSameTree(server, *client, loaded);
        pressKey(0x01);
        frameBoth();
        releaseKey(0x01);
        frameBoth();
        both(30);
        EXPECT_EQ(serverRoot->contextOverlay, nullptr);
        EXPECT_EQ(clientRoot->contextOverlay, nullptr);
        frameBoth();
        EXPECT_EQ(serverGc->state, GameController::STATE_PLAYING);
        EXPECT_EQ(gc->state, GameController::STATE_PLAYING);
        EXPECT_EQ(manager->getResultCode(), 0);
        EXPECT_EQ(client->getClientState(), NetHost::ClientState::Connected);
        EXPECT_EQ(client->levelResultCode, 0);
        expectSameTree(server, *client, loaded);

        // On a regular level and on the bonus level the run ends: the bonus timer runs out on both sides
        // (the server ends the level; the client's own timer only waits), a regular level is completed
        // on the server. The client follows through the level end and the results, where the continue
        // key (seen by both) moves only the server on, and the client after it.
        if (number == 5 || number == 15) {
            if (serverGc->bBonusLevel) {
                serverGc->bonusTimer = 0.05f;
                gc->bonusTimer = 0.02f;
            } else {
                deliverApples();
                setPigAtHome(true);
            }
            for (int i = 0; i < 1500 && serverGc->state != GameController::STATE_RESULTS; ++i) {
                both(1);
            }
            ASSERT_EQ(serverGc->state, GameController::STATE_RESULTS);
            both(20);
            EXPECT_EQ(gc->state, GameController::STATE_RESULTS);
            pressKey(57);
            frameBoth();
            releaseKey(57);
            frameBoth();
            both(5);
            EXPECT_GE(gc->state, GameController::STATE_FADEOUT);
            for (int i = 0; i < 300 && manager->getResultCode() == 0; ++i) {
                both(1);
            }
            EXPECT_EQ(manager->getResultCode(), 5);
        }

        client.reset();
        THEROLE = nullptr;
        manager->bClosed = true;
        harness().frame(&stack());
        manager.reset();
    }
}
