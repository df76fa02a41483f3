// Every level file of the level archive loads through the level manager into a full tree: the root with
// UID 1, the controller with its layers and eighteen lists in drawing order, the pig and the house, and
// objects whose UIDs are their keys in the role's map.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "LevelFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetConnection.h"
#include "engine/net/RPC.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Skin.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/level/LevelBuilder.h"
#include "game/overlays/OverlayPause.h"
#include "game/userdata/ProfileData.h"
#include "game/world/Apple.h"
#include "game/world/EditorObject.h"
#include "game/world/EditorProxy.h"
#include "game/world/Hull.h"
#include "game/world/HullVertex.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Pig.h"
#include "game/world/Switch.h"
#include "game/world/Terrain.h"
#include "game/world/TriggerHint.h"
#include "game/world/WingedHat.h"
#include "support/EditedLevel.h"
#include "support/ObjectChain.h"
#include "support/TempDir.h"

namespace {
// A level with a chain of nested objects in its object list, saved to `path`.
void saveLevelWithChain(const std::string& path, int depth)
{
    LevelBuilder builder;
    KivBase* top = addChain(builder.server(), builder.controller().objectList, depth);
    ASSERT_TRUE(builder.save(path));
    THEROLE = &builder.server();
    removeChain(top);
}

void writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A level built and changed in code, as its stored stream.
std::vector<char> builtLevel(const std::function<void(LevelBuilder&)>& change)
{
    LevelBuilder builder;
    change(builder);
    const Packet stream = builder.stream();
    return std::vector<char>(stream.data(), stream.data() + stream.size());
}

// The stream with the first text `text` (written as its one-byte length and its bytes) replaced by `with`.
std::vector<char> withText(std::vector<char> bytes, const std::string& text, const std::string& with)
{
    const std::string written = static_cast<char>(text.size()) + text;
    const auto at = std::search(bytes.begin(), bytes.end(), written.begin(), written.end());
    EXPECT_NE(at, bytes.end()) << text;
    if (at == bytes.end()) {
        return bytes;
    }
    Packet length(Packet::FLAG_COMMANDS, 8);
    uint32_t size = static_cast<uint32_t>(with.size());
    length.doVarUInt(size);
    std::vector<char> replacement(length.data(), length.data() + length.size());
    replacement.insert(replacement.end(), with.begin(), with.end());
    const auto offset = at - bytes.begin();
    bytes.erase(at, at + static_cast<std::ptrdiff_t>(written.size()));
    bytes.insert(bytes.begin() + offset, replacement.begin(), replacement.end());
    return bytes;
}

// A stream of one command's bits followed by the given bytes.
std::vector<char> commandWith(uint8_t command, const std::vector<uint8_t>& after)
{
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, 16);
    stream.doBit(command, 0);
    stream.doBit(command, 1);
    std::vector<char> bytes(stream.data(), stream.data() + stream.size());
    bytes.insert(bytes.end(), after.begin(), after.end());
    return bytes;
}

// A stored stream of spawn commands, each a class number and a UID, then copies of UIDs.
std::vector<char> spawnsWith(const std::vector<std::pair<uint32_t, uint32_t>>& spawns,
                             const std::vector<uint32_t>& copies = {})
{
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED, 16);
    for (auto [index, uid] : spawns) {
        uint8_t command = NetRole::SPAWNNAMED;
        stream.doBit(command, 0);
        stream.doBit(command, 1);
        stream.doVarUInt(index);
        stream.doVarUInt(uid);
    }
    for (uint32_t uid : copies) {
        uint8_t command = NetRole::COPYOBJ;
        stream.doBit(command, 0);
        stream.doBit(command, 1);
        stream.doVarUInt(uid);
    }
    return std::vector<char>(stream.data(), stream.data() + stream.size());
}

// A level object whose level-start set-up fails as a damaged level's would: through the stream's error
// while the level is untrusted, else through the fatal path. Its name sorts after every class of the game,
// so the class numbers in the level files stay as they are.
class FailingSetUp : public EditorObject {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netPostReplicateGlobal() override
    {
        if (THEROLE != nullptr && THEROLE->isReadingUntrusted()) {
            throw PacketDecodeError(u"Set-up failed.");
        }
        KIV_FATAL(u"Set-up failed.");
    }
};
const RuntimeClass FailingSetUp::classRecord(u"zFailingSetUp", &EditorObject::classRecord,
                                             &RuntimeClass::factoryOf<FailingSetUp>);
} // namespace

TEST_F(LevelTest, EveryLevelFileBuildsItsTree)
{
    for (int number = 0; number < ProfileData::NUMLEVELS; ++number) {
        const UString file = ProfileData::levelNumberToFile(number);
        if (!Kiv::instance()->fileManager->exists(file)) {
            ADD_FAILURE() << "The level archive lacks " << wideToUtf8(file) << ".";
            continue;
        }
        SCOPED_TRACE(number);
        profile().currentLevel = number;
        manager = std::make_unique<ContextLevelManager>(number);
        stack().addContext(manager.get());
        EXPECT_TRUE(harness().logContains("Loading level: " + wideToUtf8(file)));
        MyRootObject* root = manager->getRoot();
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->objectUID, 1);
        GameController* gc = root->gameController;
        ASSERT_NE(gc, nullptr);
        EXPECT_EQ(gc->getParent(), root);
        EXPECT_EQ(root->getFirstChild(), root->playerInfoList);
        ASSERT_NE(gc->contextGame, nullptr);
        EXPECT_EQ(gc->contextGame->countChildren(), 18);
        EXPECT_EQ(gc->contextGame->getFirstChild(), gc->bgList);
        EXPECT_EQ(gc->contextGame->getLastChild(), gc->speechBubbleList);
        EXPECT_NE(gc->findHeroOrNull(), nullptr);
        EXPECT_NE(gc->findHouseOrNull(), nullptr);
        // Each list holds its own kind, as a saved copy must.
        for (std::size_t list = 0; list < std::size(GameController::LISTS); ++list) {
            const KivBase* holder = gc->*GameController::LISTS[list].list;
            for (const KivBase* object = holder->getFirstChild(); object != nullptr; object = object->getNext()) {
                EXPECT_TRUE(GameController::isOfListKind(list, *object))
                    << wideToUtf8(GameController::LISTS[list].name);
            }
        }
        EXPECT_NE(gc->editor, nullptr);
        EXPECT_EQ(gc->state, GameController::STATE_INTRO);
        std::set<int32_t> uids;
        for (const auto& [uid, object] : manager->server->objectMap) {
            EXPECT_EQ(object->objectUID, uid);
            uids.insert(uid);
        }
        EXPECT_LT(*uids.rbegin(), manager->server->nextObjectUID);
        frames(3);
        manager->bClosed = true;
        frames(1);
        manager.reset();
    }
}

TEST_F(LevelTest, LevelFileIsReadWholeAndReplayedWithItsLogLines)
{
    TempDir dir;
    {
        LevelBuilder builder;
        builder.controller().parTime = 77.0;
        ASSERT_TRUE(builder.save(dir.file("built.lev")));
    }
    const int from = static_cast<int>(harness().logLines().size());
    FileManager& files = *Kiv::instance()->fileManager;
    files.bForceDisk = true; // a loose file, not an archive entry
    manager = std::make_unique<ContextLevelManager>(toUString(dir.file("built.lev").c_str()));
    files.bForceDisk = false;
    stack().addContext(manager.get());
    const int loading = harness().logIndex("ContextLevelManager::ContextLevelManager(): Loading level: ", from);
    const int loadedAt = harness().logIndex("ContextLevelManager::ContextLevelManager(): Level loaded in ", from);
    EXPECT_GE(loading, 0);
    EXPECT_GT(loadedAt, loading);
    EXPECT_EQ(harness().logLines()[static_cast<std::size_t>(loadedAt)].back(), '.');
    ASSERT_NE(manager->getGameController(), nullptr);
    EXPECT_EQ(manager->getGameController()->parTime, 77.0);
    EXPECT_FALSE(manager->server->bEditing);
    // A restart ends the level like any other code: music stopped, the manager finished.
    frames(2);
    manager->server->levelResultCode = 6;
    frames(1);
    EXPECT_TRUE(manager->bClosed);
    EXPECT_EQ(manager->getResultCode(), 6);
}

TEST_F(LevelTest, SavedCopyThatCannotBePlayedLeavesItInPlaceAndPlaysTheArchiveLevel)
{
    int number = 0;
    while (number < ProfileData::NUMLEVELS &&
           !Kiv::instance()->fileManager->exists(ProfileData::levelNumberToFile(number))) {
        ++number;
    }
    if (number == ProfileData::NUMLEVELS) {
        GTEST_SKIP() << "The level archive holds no level files.";
    }
    const UString archiveFile = ProfileData::levelNumberToFile(number);
    const std::string path = EditorSession::savedLevelPath(archiveFile);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<char> archived;
    {
        FileBlock block(0, archiveFile);
        archived.assign(reinterpret_cast<const char*>(block.data()),
                        reinterpret_cast<const char*>(block.data()) + block.size());
    }
    // A level with a hint whose icon is the sprite "editor_circle:0".
    auto hintWithIcon = [] {
        return builtLevel([](LevelBuilder& b) {
            auto* hint = new TriggerHint();
            b.add(b.controller().objectList, hint);
            hint->construct();
            hint->pIconSkin = static_cast<Skin*>(ResourceManager::instance()->find(u"editor_circle:0", false));
        });
    };
    // Each copy with (part of) the reason it is refused for; the reason of a cut copy depends on where the
    // cut falls.
    struct Copy {
        const char* what;
        const char* reason;
        std::function<void()> make;
    };
    const std::vector<Copy> copies = {
        {"truncated", "",
         [&] { writeBytes(path, std::vector<char>(archived.begin(), archived.begin() + archived.size() / 2)); }},
        {"cut among the spawn records", "",
         [&] { writeBytes(path, std::vector<char>(archived.begin(), archived.begin() + 100)); }},
        {"folder", "it is a folder", [&] { std::filesystem::create_directory(path); }},
        {"fifo", "it is not a regular file", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"link to /dev/zero", "it is not a regular file", [&] { std::filesystem::create_symlink("/dev/zero", path); }},
        {"16 MB of zero bytes", "more than", [&] { writeBytes(path, std::vector<char>(16u << 20, 0)); }},
        {"root only", "it holds no level controller",
         [&] {
             LevelBuilder builder;
             THEROLE = &builder.server();
             builder.clear(&builder.root());
             builder.root().gameController = nullptr;
             builder.root().playerInfoList = nullptr;
             ASSERT_TRUE(builder.save(path));
         }},
        {"no pig", "it holds no pig",
         [&] {
             LevelBuilder builder;
             builder.clear(builder.controller().pigList);
             ASSERT_TRUE(builder.save(path));
         }},
        {"no house", "it holds no house",
         [&] {
             LevelBuilder builder;
             builder.clear(builder.controller().houseList);
             ASSERT_TRUE(builder.save(path));
         }},
        {"overlay open", "it was saved with an overlay open",
         [&] {
             LevelBuilder builder;
             auto* pause = new OverlayPause();
             builder.server().registerObject(pause, 0);
             builder.root().contextOverlay = pause;
             ASSERT_TRUE(builder.save(path));
         }},
        {"chain of 60,000", "deeper than", [&] { saveLevelWithChain(path, 60000); }},
        {"chain of 200,000", "deeper than", [&] { saveLevelWithChain(path, 200000); }},
        // What the stream itself cannot give, each said as its reason for the user.
        {"a command and no more", "The data ends too soon: it holds 1 bytes, and 1 more were wanted at byte 1.",
         [&] { writeBytes(path, commandWith(NetRole::SPAWNNAMED, {})); }},
        {"a number running on beyond 32 bits", "The data holds a damaged number at byte 5: it runs on beyond 32 bits.",
         [&] { writeBytes(path, commandWith(NetRole::SPAWNNAMED, {0xFF, 0xFF, 0xFF, 0xFF, 0x7F})); }},
        {"an unknown class", "The data names a kind of object that this game does not know (class number 268435455).",
         [&] { writeBytes(path, commandWith(NetRole::SPAWNNAMED, {0xFF, 0xFF, 0xFF, 0x7F, 0x01})); }},
        {"a class a level cannot hold", "The data asks for an object of a kind that a level cannot hold (class number ",
         [&] { writeBytes(path, spawnsWith({{static_cast<uint32_t>(RPC::classRecord.getIndex()), 5}})); }},
        {"object number 0", "The data names object 0; objects are numbered from 1 to 2147483647.",
         [&] { writeBytes(path, spawnsWith({{static_cast<uint32_t>(KivBase::classRecord.getIndex()), 0}})); }},
        {"two objects under one number", "The data makes two objects under the number 7.",
         [&] {
             const auto plain = static_cast<uint32_t>(KivBase::classRecord.getIndex());
             writeBytes(path, spawnsWith({{plain, 7}, {plain, 7}}));
         }},
        {"a copy of an object never made", "The data changes object 9, which it never made.",
         [&] { writeBytes(path, spawnsWith({}, {9})); }},
        {"a text too long", "The text of 'levelName' is 70000 bytes long, longer than the 1023 bytes a text may hold.",
         [&] {
             const auto level = builtLevel([](LevelBuilder& b) { b.controller().editor->levelName = u"Named level"; });
             writeBytes(path, withText(level, "Named level", std::string(70000, 'n')));
         }},
        {"a pointer to an object of another class", "'editor' cannot name object ",
         [&] {
             writeBytes(path, builtLevel([](LevelBuilder& b) {
                            GameController& gc = b.controller();
                            gc.editor = reinterpret_cast<ContextEditor*>(static_cast<Context*>(gc.contextHUD));
                        }));
         }},
        {"a par time past what the clock shows", "'parTime' 1e+39 is out of range 0 to 5999",
         [&] { writeBytes(path, builtLevel([](LevelBuilder& b) { b.controller().parTime = 1.0e39; })); }},
        {"a resource of another kind", "'pIconSkin' cannot name 'pop' (Sound)",
         [&] { writeBytes(path, withText(hintWithIcon(), "editor_circle:0", "pop")); }},
        {"a resource name with a control byte", "Could not find resource 'editor\\x01circle:0'.",
         [&] {
             writeBytes(path, withText(hintWithIcon(), "editor_circle:0", "editor\x01" "circle:0"));
         }},
    };
    // Started with "-editor" for this test only.
    struct EditorAllowed {
        MyGlobal& global;
        explicit EditorAllowed(MyGlobal& g) : global(g) { global.bEditorAllowed = true; }
        ~EditorAllowed() { global.bEditorAllowed = false; }
    } allowed(*env->global);
    for (const auto& [what, reason, make] : copies) {
        SCOPED_TRACE(what);
        make();
        THEROLE = nullptr;
        const int from = static_cast<int>(harness().logLines().size());
        manager = std::make_unique<ContextLevelManager>(number);
        stack().addContext(manager.get());
        const int refused =
            harness().logIndex("ContextLevelManager::ContextLevelManager(): The edited level " + path, from);
        EXPECT_GE(refused, 0);
        if (refused >= 0) {
            const std::string& line = harness().logLines()[static_cast<std::size_t>(refused)];
            EXPECT_NE(line.find("the archive's is used"), std::string::npos);
            EXPECT_NE(line.find(reason), std::string::npos) << line;
        }
        EXPECT_GT(harness().logIndex("Loading level: " + wideToUtf8(archiveFile), from), refused);
        ASSERT_NE(manager->getGameController(), nullptr);
        EXPECT_NE(manager->getGameController()->findHeroOrNull(), nullptr);
        frames(2);
        manager->bClosed = true;
        frames(1);
        manager.reset();
        // The copy is the user's to mend: it stays as it was, and one that could be read is kept aside too.
        EXPECT_TRUE(std::filesystem::symlink_status(path).type() != std::filesystem::file_type::not_found);
        std::vector<std::uint8_t> copy;
        std::vector<std::uint8_t> keptAside;
        if (std::filesystem::is_regular_file(path)) {
            EXPECT_TRUE(FileIO::readWholeFile(path, copy));
            EXPECT_TRUE(FileIO::readWholeFile(path + ".bad", keptAside));
            EXPECT_TRUE(copy == keptAside);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path + ".bad"));
        }
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".bad");
    }
}

// A level the user saved, played without the editor, is refused with a reason of its own for each layer
// and list of the controller that is missing or out of its place, and for a set-up that cannot take it (the
// set-up runs as the level is read, still untrusted).
TEST_F(LevelTest, SavedLevelIsRefusedWithTheReasonOfEachLayerOrListOutOfPlaceAndOfItsSetUp)
{
    using Damage = std::function<void(LevelBuilder&, GameController&)>;
    auto expectRefused = [&](const std::string& reason, const Damage& damage) {
        std::vector<uint8_t> saved;
        {
            LevelBuilder builder;
            damage(builder, builder.controller());
            const Packet stream = builder.stream();
            saved.assign(stream.data(), stream.data() + stream.size());
        }
        THEROLE = nullptr;
        const int from = static_cast<int>(harness().logLines().size());
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
        stream.setReadData(saved.data(), saved.size());
        try {
            ContextLevelManager level(stream);
            EXPECT_EQ(level.getGameController(), nullptr) << reason;
        } catch (const FatalError& error) {
            ADD_FAILURE() << wideToUtf8(error.report);
        }
        THEROLE = nullptr;
        EXPECT_GE(harness().logIndex("The level (memory) cannot be used (" + reason + ").", from), 0) << reason;
    };
    auto putBelowAnEffect = [](LevelBuilder& builder, KivBase* part) {
        KivBase* effect = builder.add(part->getParent(), new ParticleEmitter());
        part->unlink();
        effect->appendChild(part);
    };
    expectRefused("its controller lacks its contextBackground",
                  [](LevelBuilder&, GameController& gc) { gc.contextBackground = nullptr; });
    expectRefused("its controller lacks its contextGame",
                  [](LevelBuilder&, GameController& gc) { gc.contextGame = nullptr; });
    expectRefused("its controller lacks its contextHUD",
                  [](LevelBuilder&, GameController& gc) { gc.contextHUD = nullptr; });
    expectRefused("its controller lacks its editor", [](LevelBuilder&, GameController& gc) { gc.editor = nullptr; });
    expectRefused("its controller's editor is out of its place",
                  [&](LevelBuilder& builder, GameController& gc) { putBelowAnEffect(builder, gc.editor); });
    // The layers are the controller's first three children.
    const std::string layers[] = {"contextBackground", "contextGame", "contextHUD"};
    for (int i = 0; i < 3; ++i) {
        expectRefused("its controller's " + layers[i] + " is out of its place",
                      [&](LevelBuilder& builder, GameController& gc) {
                          KivBase* layer = gc.getFirstChild();
                          for (int n = 0; n < i; ++n) {
                              layer = layer->getNext();
                          }
                          putBelowAnEffect(builder, layer);
                      });
    }
    for (const auto& [name, member] : GameController::LISTS) {
        const std::string list = wideToUtf8(name);
        expectRefused("its controller lacks its " + list,
                      [&](LevelBuilder&, GameController& gc) { gc.*member = nullptr; });
        expectRefused("its controller's " + list + " is not a list in its place",
                      [&](LevelBuilder& builder, GameController& gc) { putBelowAnEffect(builder, gc.*member); });
    }
    // An effect in a list's place would end at its first tick and leave the pointer behind.
    expectRefused("its controller's objectList is not a list in its place",
                  [](LevelBuilder& builder, GameController& gc) {
                      gc.objectList = builder.add(gc.contextGame, new ParticleEmitter());
                  });
    // The root holds its player list the same way.
    expectRefused("its root's playerInfoList is not a list in its place", [](LevelBuilder& builder, GameController&) {
        builder.root().playerInfoList = builder.add(&builder.root(), new ParticleEmitter());
    });
    // The baskets of the cargo list could never be picked up.
    expectRefused("its controller's appleList and cargoList are one list",
                  [](LevelBuilder&, GameController& gc) { gc.cargoList = gc.appleList; });
    // Each list standing for the other's: the HUD would count the pig as an apple, and the pig would not
    // answer.
    expectRefused("its controller's appleList holds an object of another kind",
                  [](LevelBuilder&, GameController& gc) { std::swap(gc.appleList, gc.pigList); });
    // One object of another kind in a list: an apple among the baskets, a level object among the effects, an
    // effect among the pigs.
    expectRefused("its controller's cargoList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.cargoList, new Apple()); });
    expectRefused("its controller's fgEffectsList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.fgEffectsList, new Apple()); });
    expectRefused("its controller's pigList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.pigList, new ParticleEmitter()); });
    // Level objects whose home is the object list, in a list of their own kind of level object.
    expectRefused("its controller's appleList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.appleList, new Terrain()); });
    expectRefused("its controller's cargoList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.cargoList, new Switch()); });
    // A hull among the effects, and an object's place in the drawing order among the hulls.
    expectRefused("its controller's bgEffectsList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.bgEffectsList, new Hull()); });
    expectRefused("its controller's hullList holds an object of another kind",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.hullList, new EditorProxy()); });
    expectRefused("Set-up failed.",
                  [](LevelBuilder& builder, GameController& gc) { builder.add(gc.objectList, new FailingSetUp()); });
}

TEST_F(LevelTest, SavedLevelCutOrChangedAnywhereIsRefusedOrPlayed)
{
    std::vector<uint8_t> saved;
    std::size_t spawnRecords = 0;
    {
        LevelBuilder builder;
        const Packet stream = builder.stream();
        saved.assign(stream.data(), stream.data() + stream.size());
        // At most three bytes an object: the command's bits, the class index and the UID.
        spawnRecords = std::min(saved.size(), 3 * builder.server().objectMap.size());
    }
    THEROLE = nullptr;
    frames(1);
    // Read as a level the user saved: refused with a reason, or played; never the fatal path. A played
    // level runs a few frames, and is then read again for the editor, where its set-up waits for the play
    // test, which starts after two frames of editing (F4). Answers whether it is played.
    auto load = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        bool played = true;
        for (const bool editing : {false, true}) {
            env->global->bEditorAllowed = editing;
            Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
            stream.setReadData(bytes.data(), bytes.size());
            try {
                ContextLevelManager level(stream);
                played = played && level.getGameController() != nullptr;
                for (int frame = 0; played && frame < 12; ++frame) {
                    if (editing && frame == 2) {
                        THEROLE = level.server;
                        level.editSession->toggleEditing(*level.server);
                    }
                    level.tickContents(harness().kiv().time, harness().kiv().frameTime);
                }
            } catch (const FatalError& error) {
                ADD_FAILURE() << what << (editing ? ", edited: " : ": ") << wideToUtf8(error.report);
            }
            THEROLE = nullptr;
            if (!played) {
                break;
            }
        }
        env->global->bEditorAllowed = false;
        return played;
    };
    // Every length over the spawn records and the copies of the first objects (the root, the player node,
    // the controller and its first layer), then a spread to the whole file.
    for (std::size_t length = 1; length < saved.size(); length += length < 400 ? 1 : 41) {
        load(std::vector<uint8_t>(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(length)),
             "cut to " + std::to_string(length));
    }
    EXPECT_TRUE(load(saved, "whole"));
    // Single bytes changed, spread over the whole file; among the spawn records also each of the two
    // lowest bits, which may name a neighbouring class (another kind of object in a list's place, say).
    auto change = [&](std::size_t at, uint8_t bits) {
        std::vector<uint8_t> changed = saved;
        changed[at] ^= bits;
        load(changed, "byte " + std::to_string(at) + " changed by " + std::to_string(bits));
    };
    for (std::size_t at = 0; at < saved.size(); at += 41) {
        change(at, 0xFF);
    }
    for (std::size_t at = 0; at < spawnRecords; ++at) {
        change(at, 0x01);
        change(at, 0x02);
    }
}

// A level the user saved with a value the physics cannot take (a hull point, a position, a speed, a scale, an
// angle or an edge of the playing area beyond its limit, or not a number) is refused with the object, the
// property and the value; with every such value at its limit it is played, the pig walking and jumping. The
// level is the archive's "Hat Trick" with one value changed, as the copy saved from the editor holds it.
TEST_F(LevelTest, SavedLevelWithAValueBeyondWhatThePhysicsTakesIsRefusedAndOneAtTheLimitIsPlayed)
{
    constexpr int HAT_TRICK = 12;
    const UString file = ProfileData::levelNumberToFile(HAT_TRICK);
    if (!Kiv::instance()->fileManager->exists(file)) {
        GTEST_SKIP() << "The level archive holds no " << wideToUtf8(file) << ".";
    }
    // The archive's level as the editor saves it with a change; `change` answers the reason the copy is
    // refused for, or nothing when it is played.
    using Change = std::function<std::string(GameServer&, GameController&)>;
    auto savedCopy = [&](const Change& change, std::string& reason) {
        return EditedLevel::save(HAT_TRICK, [&](GameServer& server, GameController& gc) { reason = change(server, gc); });
    };
    // The first object of the class (by UID), the terrain's point the tester changed, and the reasons.
    auto first = [](GameServer& server, const RuntimeClass& of) {
        KivBase* found = nullptr;
        for (const auto& [uid, object] : server.objectMap.entries()) {
            if (object->getClass() == &of && (found == nullptr || uid < found->objectUID)) {
                found = object;
            }
        }
        return found;
    };
    auto hullPoint = [&](GameServer& server) {
        const Hull* hull = static_cast<Terrain*>(first(server, Terrain::classRecord))->pHull;
        for (KivBase* c = hull->getFirstChild(); c != nullptr; c = c->getNext()) {
            if (auto* point = dynamic_cast<HullVertex*>(c); point != nullptr && point->point.x == -1350.0f) {
                return point;
            }
        }
        ADD_FAILURE() << "The terrain has no point at x = -1350.";
        return static_cast<HullVertex*>(hull->getFirstChild());
    };
    auto outOfRange = [](const KivBase* object, const char* className, const char* name, float value, float limit) {
        return wideToUtf8(formatString(u"object %d (%s): '%s' %g is out of range %g to %g", object->objectUID,
                                       className, name, static_cast<double>(value), -static_cast<double>(limit),
                                       static_cast<double>(limit)));
    };
    const float far = 2.49e22f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float coordinate = LevelDataCheck::MAX_COORDINATE;
    // The first terrain with `count` segments of `width` units, refused for the value `why` names.
    auto segments = [&](int32_t count, int32_t width, const char* why) -> Change {
        return [&first, count, width, why](GameServer& server, GameController&) {
            auto* terrain = static_cast<Terrain*>(first(server, Terrain::classRecord));
            terrain->segmentCount = count;
            terrain->segmentWidth = width;
            return "object " + std::to_string(terrain->objectUID) + " (Terrain): " + why;
        };
    };
    const struct {
        const char* what;
        Change change;
    } copies[] = {
        {"a hull point far out",
         [&](GameServer& server, GameController&) {
             HullVertex* point = hullPoint(server);
             point->point.x = far;
             return outOfRange(point, "HullVertex", "point.x", far, coordinate);
         }},
        {"a hull point that is no number",
         [&](GameServer& server, GameController&) {
             HullVertex* point = hullPoint(server);
             point->point.y = nan;
             return wideToUtf8(formatString(u"object %d (HullVertex): 'point.y' is not a number", point->objectUID));
         }},
        {"the pig far out",
         [&](GameServer&, GameController& gc) {
             auto* pig = static_cast<Pig*>(gc.findHero());
             pig->position.x = -1.0e6f;
             return outOfRange(pig, "Pig", "position.x", -1.0e6f, coordinate);
         }},
        {"the pig's safe spot far out",
         [&](GameServer&, GameController& gc) {
             auto* pig = static_cast<Pig*>(gc.findHero());
             pig->safeSpot.y = 3.0e38f;
             return outOfRange(pig, "Pig", "safeSpot.y", 3.0e38f, coordinate);
         }},
        {"the hat falling too fast",
         [&](GameServer& server, GameController&) {
             auto* hat = static_cast<WingedHat*>(first(server, WingedHat::classRecord));
             hat->velocity.y = -2.0f * LevelDataCheck::MAX_SPEED;
             return outOfRange(hat, "WingedHat", "velocity.y", -2.0f * LevelDataCheck::MAX_SPEED, LevelDataCheck::MAX_SPEED);
         }},
        {"the hat too large",
         [&](GameServer& server, GameController&) {
             auto* hat = static_cast<WingedHat*>(first(server, WingedHat::classRecord));
             hat->scale.x = 1.5f * LevelDataCheck::MAX_SCALE;
             return outOfRange(hat, "WingedHat", "scale.x", 1.5f * LevelDataCheck::MAX_SCALE, LevelDataCheck::MAX_SCALE);
         }},
        {"the hat turned too far",
         [&](GameServer& server, GameController&) {
             auto* hat = static_cast<WingedHat*>(first(server, WingedHat::classRecord));
             hat->rotation.z = 1.0e30f;
             return outOfRange(hat, "WingedHat", "rotation.z", 1.0e30f, LevelDataCheck::MAX_ANGLE);
         }},
        {"the hat's start far out",
         [&](GameServer& server, GameController&) {
             auto* hat = static_cast<WingedHat*>(first(server, WingedHat::classRecord));
             hat->startPosition.x = 1.0e22f;
             return outOfRange(hat, "WingedHat", "startPosition.x", 1.0e22f, coordinate);
         }},
        // Eight segments reach 200,000 units at 25,000 each; one to three are held to 65,536 each.
        {"a terrain wider than the coordinates reach",
         segments(8, 25001, "'segmentWidth' 25001 is out of range 1 to 25000")},
        {"one segment too wide", segments(1, 65537, "'segmentWidth' 65537 is out of range 1 to 65536")},
        {"two segments too wide", segments(2, 65537, "'segmentWidth' 65537 is out of range 1 to 65536")},
        {"three segments too wide", segments(3, 65537, "'segmentWidth' 65537 is out of range 1 to 65536")},
        // Too many segments for any width beyond 48: the count is named, not the width it leaves too wide.
        {"more segments than a terrain holds",
         segments(2147483647, 50, "'segmentCount' 2147483647 is out of range 1 to 4096")},
        {"the playing area far out",
         [&](GameServer&, GameController& gc) {
             gc.playingArea.right = 1.0e25f;
             return outOfRange(&gc, "GameController", "playingArea.right", 1.0e25f, coordinate);
         }},
        {"the playing area's top at 3e38",
         [&](GameServer&, GameController& gc) {
             gc.playingArea.top = 3.0e38f;
             return outOfRange(&gc, "GameController", "playingArea.top", 3.0e38f, coordinate);
         }},
        {"the playing area backwards",
         [&](GameServer&, GameController& gc) {
             gc.playingArea.left = 5000.0f;
             gc.playingArea.right = 1.0f;
             return wideToUtf8(formatString(u"object %d (GameController): 'playingArea.right' 1 is out of range: it "
                                            u"must be greater than 'playingArea.left' 5000",
                                            gc.objectUID));
         }},
        {"the playing area upside down",
         [&](GameServer&, GameController& gc) {
             gc.playingArea.bottom = gc.playingArea.top;
             return wideToUtf8(formatString(u"object %d (GameController): 'playingArea.top' %g is out of range: it "
                                            u"must be greater than 'playingArea.bottom' %g",
                                            gc.objectUID, static_cast<double>(gc.playingArea.top),
                                            static_cast<double>(gc.playingArea.top)));
         }},
        {"the par time below 0",
         [&](GameServer&, GameController& gc) {
             gc.parTime = -5.0;
             return wideToUtf8(formatString(u"object %d (GameController): 'parTime' -5 is out of range 0 to 5999",
                                            gc.objectUID));
         }},
        {"the par time infinite",
         [&](GameServer&, GameController& gc) {
             gc.parTime = std::numeric_limits<double>::infinity();
             return wideToUtf8(formatString(u"object %d (GameController): 'parTime' is infinite", gc.objectUID));
         }},
        {"the editor camera at no number",
         [&](GameServer&, GameController& gc) {
             gc.editor->editorCamera.x = nan;
             return wideToUtf8(formatString(u"object %d (ContextEditor): 'editorCamera.x' is not a number",
                                            gc.editor->objectUID));
         }},
        {"the editor camera far out",
         [&](GameServer&, GameController& gc) {
             gc.editor->editorCamera.y = 2.0e5f;
             return outOfRange(gc.editor, "ContextEditor", "editorCamera.y", 2.0e5f, coordinate);
         }},
        {"the editor camera far behind",
         [&](GameServer&, GameController& gc) {
             gc.editor->editorCamera.z = -3.0e38f;
             return wideToUtf8(formatString(u"object %d (ContextEditor): 'editorCamera.z' -3e+38 is out of range -6400 "
                                            u"to -25",
                                            gc.editor->objectUID));
         }},
    };
    // Each value at its limit, on both sides (the hat's size at the largest scale).
    for (const float side : {1.0f, -1.0f}) {
        SCOPED_TRACE(side);
        std::string none;
        const std::vector<uint8_t> limits = savedCopy(
            [&](GameServer& server, GameController& gc) {
                hullPoint(server)->point.x = side * coordinate;
                auto* pig = static_cast<Pig*>(gc.findHero());
                pig->safeSpot = V3(side * coordinate, -side * coordinate, 0.0f);
                auto* hat = static_cast<WingedHat*>(first(server, WingedHat::classRecord));
                hat->velocity = V3(side * LevelDataCheck::MAX_SPEED, -LevelDataCheck::MAX_SPEED, 0.0f);
                hat->scale = V3(LevelDataCheck::MAX_SCALE, side * LevelDataCheck::MAX_SCALE, 1.0f);
                hat->rotation.z = side * LevelDataCheck::MAX_ANGLE;
                hat->startPosition = V3(-side * coordinate, coordinate, 0.0f);
                (side > 0.0f ? gc.playingArea.right : gc.playingArea.left) = side * coordinate;
                gc.playingArea.bottom = -coordinate;
                gc.parTime = side > 0.0f ? GameController::MAX_PAR_TIME : 0.0;
                // What the level's start mends itself is mended there, not refused.
                gc.applesNeeded = -1;
                gc.weatherIntensity = side * 1.0e9f;
                return std::string();
            },
            none);
        THEROLE = nullptr;
        const int from = static_cast<int>(harness().logLines().size());
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
        stream.setReadData(limits.data(), limits.size());
        ContextLevelManager played(stream);
        GameController* gc = played.getGameController();
        ASSERT_NE(gc, nullptr);
        THEROLE = played.server;
        EXPECT_EQ(gc->parTime, side > 0.0f ? GameController::MAX_PAR_TIME : 0.0);
        EXPECT_EQ(gc->applesNeeded, 0);
        EXPECT_EQ(gc->weatherIntensity, side > 0.0f ? 1.0f : 0.0f);
        EXPECT_GE(harness().logIndex("'weatherIntensity' " + std::string(side > 0.0f ? "1e+09" : "-1e+09") +
                                         " is out of range 0 to 1; clamped.",
                                     from),
                  0);
        gc->gotoState(GameController::STATE_PLAYING, 0.0);
        auto* pig = static_cast<Pig*>(gc->findHero());
        PigInput input;
        input.right = true;
        pig->setInputOverride(&input);
        double clock = 0.0;
        for (int step = 0; step < 300; ++step) {
            input.jumpPressed = step % 45 == 0;
            clock += 1.0 / 60.0;
            THEROLE = played.server;
            gc->tickEntry(clock, 1.0 / 60.0);
        }
        EXPECT_GT(gc->physics->stepCount(), 250u);
        pig->setInputOverride(nullptr);
        THEROLE = played.server;
    }
    // Refused as it is read: for play, and for editing, where the level's set-up waits for the play test.
    for (const auto& [what, change] : copies) {
        SCOPED_TRACE(what);
        std::string reason;
        const std::vector<uint8_t> copy = savedCopy(change, reason);
        for (const bool editing : {false, true}) {
            SCOPED_TRACE(editing);
            env->global->bEditorAllowed = editing;
            THEROLE = nullptr;
            const int from = static_cast<int>(harness().logLines().size());
            Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
            stream.setReadData(copy.data(), copy.size());
            ContextLevelManager refused(stream);
            EXPECT_EQ(refused.getGameController(), nullptr);
            EXPECT_GE(harness().logIndex("The level (memory) cannot be used (" + reason + ").", from), 0) << reason;
            THEROLE = nullptr;
        }
        env->global->bEditorAllowed = false;
    }
}

// Each level of the game, saved as it is, is read as a level the user saved: all of its values are within
// what the checks take, so it is played and nothing is clamped.
TEST_F(LevelTest, EveryLevelOfTheGameReadAsASavedLevelIsPlayedWithoutAWarning)
{
    for (int number = 0; number < ProfileData::NUMLEVELS; ++number) {
        const UString file = ProfileData::levelNumberToFile(number);
        if (!Kiv::instance()->fileManager->exists(file)) {
            continue; // EveryLevelFileBuildsItsTree reports it
        }
        SCOPED_TRACE(wideToUtf8(file));
        FileBlock block(0, file);
        const int from = static_cast<int>(harness().logLines().size());
        Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
        stream.setReadData(block.data(), block.size());
        ContextLevelManager level(stream);
        EXPECT_NE(level.getGameController(), nullptr);
        EXPECT_LT(harness().logIndex("cannot be used", from), 0);
        EXPECT_LT(harness().logIndex("Warning:", from), 0);
        THEROLE = nullptr;
    }
}
