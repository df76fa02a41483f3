#include "tools/databuilder/LevelWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/core/KivRandom.h"
#include "engine/core/Property.h"
#include "engine/core/PropertyContainer.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/Quad.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/world/A99Object.h"
#include "game/world/Apple.h"
#include "game/world/BasketA.h"
#include "game/world/BasketB.h"
#include "game/world/BasketC.h"
#include "game/world/BasketD.h"
#include "game/world/Compass.h"
#include "game/world/DangerArea.h"
#include "game/world/Explodable.h"
#include "game/world/House.h"
#include "game/world/Hull.h"
#include "game/world/Ladder.h"
#include "game/world/Pig.h"
#include "game/world/SecretArea.h"
#include "game/world/Sweet.h"
#include "game/world/Switch.h"
#include "game/world/Telescope.h"
#include "game/world/Terrain.h"
#include "game/world/TerrainDeco.h"
#include "game/world/TriggerHint.h"
#include "game/world/Umbrella.h"
#include "game/world/WingedHat.h"

PlaceholderResources::PlaceholderResources()
    : manager(std::make_unique<ResourceManager>()), holder(std::make_unique<KivBase>()) {}

PlaceholderResources::~PlaceholderResources() = default;

void PlaceholderResources::addSheet(const std::string& name, const std::vector<std::pair<int, int>>& frameSizes) {
    for (std::size_t i = 0; i < frameSizes.size(); ++i) {
        auto* quad = new Quad();
        quad->width = float(frameSizes[i].first);
        quad->height = float(frameSizes[i].second);
        holder->appendChild(quad);
        manager->addResource(utf8ToWide(name + ":" + std::to_string(i)), quad);
    }
}

bool PlaceholderResources::has(const std::string& frameName) const {
    return manager->find(utf8ToWide(frameName), false) != nullptr;
}

namespace {

// The season's ground: the surface strip, the ground below it and the material underfoot.
struct Ground {
    const char* strip;
    const char* fill;
    int32_t material;
};

Ground groundOf(const LevelSource& level) {
    switch (level.season) {
    case 2: return {"terrain-leafy:0", "ground-leaves:0", A99Object::GROUND_LEAVES};
    case 3: return {"terrain-snowy:0", "ground-snow:0", level.ice ? A99Object::GROUND_ICE : A99Object::GROUND_SNOW};
    default: return {"terrain-grassy:0", "ground-grass:0", level.ice ? A99Object::GROUND_ICE : A99Object::GROUND_DIRT};
    }
}

Quad* sprite(const std::string& name, const LevelSource& level, int line) {
    auto* quad = dynamic_cast<Quad*>(ResourceManager::instance()->find(utf8ToWide(name), false));
    if (quad == nullptr)
        throw LevelSourceError(level.path, line, "no sprite is called \"" + name + "\"");
    return quad;
}

// Builds one level: the starter content reshaped, then the source's things.
class Writer {
public:
    explicit Writer(const LevelSource& level) : level(level), gc(builder.controller()) {}

    void run() {
        header();
        reshapeStarterContent();
        for (const LevelThing& t : level.things)
            thing(t);
        // The pig is drawn over the house and its trimmings: at the door it stays in sight until it goes in.
        pig->placeProxyAfter(lastHousePart != nullptr ? lastHousePart : house);
        for (auto& [sw, name, line] : switches) {
            auto found = named.find(name);
            if (found == named.end())
                throw LevelSourceError(level.path, line, "no thing is named \"@" + name + "\"");
            sw->pTarget.set(found->second);
        }
        for (auto& [hint, name, line] : laterHints) {
            auto* previous = dynamic_cast<TriggerHint*>(named[name]);
            if (previous == nullptr)
                throw LevelSourceError(level.path, line, "\"after\" must name a hint");
            hint->previousHint.set(previous);
        }
    }

    LevelBuilder builder;

private:
    void header() {
        gc.playingArea.left = level.left;
        gc.playingArea.top = level.top;
        gc.playingArea.right = level.right;
        gc.playingArea.bottom = level.bottom;
        gc.applesNeeded = level.applesNeeded;
        gc.bBonusLevel = level.bonus;
        gc.parTime = level.parTime;
        gc.season = GameController::Season(level.season);
        gc.weatherIntensity = level.weather;
    }

    template <class T> T* first(KivBase* list) {
        for (KivBase* c = list->getFirstChild(); c != nullptr; c = c->getNext())
            if (auto* t = dynamic_cast<T*>(c))
                return t;
        return nullptr;
    }

    // Registers, constructs and post-replicates a new object and adds it to its list, as the editor does.
    template <class T> T* add(T* object, KivBase* list, float x, float y) {
        make(object, x, y);
        object->construct();
        finish(object, list);
        return object;
    }

    template <class T> T* make(T* object, float x, float y) {
        THEROLE->registerObject(object, 0);
        object->position = V3{x, y, 0.0f};
        return object;
    }

    void finish(EditorObject* object, KivBase* list) {
        object->netCallPostReplicate();
        object->netCallPostReplicateGlobal();
        list->netAddChild(object);
    }

    void reshapeStarterContent() {
        const Ground ground = groundOf(level);
        const int32_t count = int32_t(level.heights.size()) - 1;
        const float centre = level.terrainX + 0.5f * float(level.segmentWidth) * float(count);
        Terrain* terrain = first<Terrain>(gc.objectList);
        if (terrain == nullptr) {
            terrain = new Terrain();
            THEROLE->registerObject(terrain, 0);
            terrain->construct(level.segmentWidth, count);
            finish(terrain, gc.objectList);
        } else if (terrain->segmentCount != count || terrain->segmentWidth != level.segmentWidth) {
            terrain->construct(level.segmentWidth, count);
        }
        terrain->position = V3{centre, level.terrainY, 0.0f};
        terrain->heights = level.heights;
        terrain->groundMaterial = ground.material;
        terrain->afterEdit();

        // The decorations along the ground: the season's surface strip and the ground below it; grass tufts
        // only where grass grows.
        std::vector<TerrainDeco*> decos;
        for (KivBase* c = gc.objectList->getFirstChild(); c != nullptr; c = c->getNext())
            if (auto* deco = dynamic_cast<TerrainDeco*>(c))
                decos.push_back(deco);
        if (decos.empty()) {
            const std::pair<const char*, int32_t> strips[] = {{ground.strip, 261}, {ground.fill, 1}};
            for (const auto& [skin, depth] : strips) {
                auto* deco = make(new TerrainDeco(), centre, level.terrainY);
                deco->construct(terrain, sprite(skin, level, 0), 512, depth);
                finish(deco, gc.objectList);
                decos.push_back(deco);
            }
        }
        for (TerrainDeco* deco : decos) {
            const UString* name = ResourceManager::instance()->nameOf(deco->pSkinRefQuad);
            std::string skin = name ? wideToUtf8(*name) : "";
            if (skin.rfind("terrain-", 0) == 0)
                deco->pSkinRefQuad = sprite(ground.strip, level, 0);
            else if (skin.rfind("ground-", 0) == 0)
                deco->pSkinRefQuad = sprite(ground.fill, level, 0);
            else if (level.season >= 2)
                deco->bHidden = true; // no grass tufts in autumn leaves or snow
            deco->pTerrain = terrain;
            deco->afterEdit();
        }
        // Plain starter props wear the season's strip too.
        for (KivBase* c = gc.objectList->getFirstChild(); c != nullptr; c = c->getNext())
            if (c->getClass() == &A99Object::classRecord) {
                auto* prop = static_cast<A99Object*>(c);
                const UString* name = ResourceManager::instance()->nameOf(prop->pSkin);
                if (name && wideToUtf8(*name).rfind("terrain-", 0) == 0)
                    prop->pSkin = sprite(ground.strip, level, 0);
            }

        pig = first<Pig>(gc.pigList);
        house = first<House>(gc.houseList);
        // Starter objects that came without their construct call get it now, as the editor would.
        if (pig != nullptr && pig->pProxy.get() == nullptr)
            pig->construct(PigBody::TYPE_PIG);
        if (house != nullptr && house->pProxy.get() == nullptr)
            house->construct();
        if (pig == nullptr) {
            pig = make(new Pig(), 0, 0);
            pig->construct(PigBody::TYPE_PIG);
            finish(pig, gc.pigList);
        }
        if (house == nullptr)
            house = add(new House(), gc.houseList, 0, 0);
        // The starter apple becomes the source's first apple; a bonus level has none.
        starterApple = first<Apple>(gc.appleList);
        if (starterApple != nullptr && starterApple->pProxy.get() == nullptr)
            starterApple->construct();
        if (starterApple != nullptr && level.count("apple") == 0) {
            starterApple->destroy();
            starterApple = nullptr;
        }
    }

    void place(EditorObject* object, const LevelThing& t) {
        object->position = V3{t.x, t.y, 0.0f};
        name(object, t);
    }

    void name(KivBase* object, const LevelThing& t) {
        if (!t.name.empty())
            named[t.name] = object;
    }

    // "name=value" settings through the object's properties; "x.y" reaches into a group.
    void settings(EditorObject* object, const LevelThing& t) {
        if (t.settings.empty() || (t.settings.size() == 1 && t.settings.count("after")))
            return;
        const std::unique_ptr<PropertyContainer> properties(object->getProperties());
        for (const auto& [key, value] : t.settings) {
            if (key == "after")
                continue;
            Property* p = properties.get();
            std::size_t start = 0;
            while (p != nullptr && start <= key.size()) {
                std::size_t dot = key.find('.', start);
                p = p->findProperty(utf8ToWide(key.substr(start, dot == std::string::npos ? dot : dot - start)));
                if (dot == std::string::npos)
                    break;
                start = dot + 1;
            }
            if (p == nullptr)
                throw LevelSourceError(level.path, t.line, "\"" + t.kind + "\" has no property \"" + key + "\"");
            if (!p->fromString(utf8ToWide(value)))
                throw LevelSourceError(level.path, t.line, "\"" + value + "\" does not suit \"" + key + "\"");
        }
        object->afterEdit();
    }

    // A solid outline (closed) or a one-way run, in the owner's frame.
    void outline(A99Object* owner, const std::vector<LevelPoint>& points, bool closed, bool oneWay) {
        owner->createHull();
        Hull* hull = owner->pHull;
        hull->bOneWay = oneWay;
        for (std::size_t i = 0; i < points.size(); ++i)
            hull->addHullPoint(points[i].x - owner->position.x, points[i].y - owner->position.y, 0.0f, i > 0);
        if (closed)
            hull->addHullPoint(points[0].x - owner->position.x, points[0].y - owner->position.y, 0.0f, true);
        owner->afterEdit();
    }

    // A box of w x h about the owner's position.
    void box(A99Object* owner, float w, float h) {
        const float x = owner->position.x, y = owner->position.y;
        outline(owner, {{x - w / 2, y - h / 2}, {x - w / 2, y + h / 2}, {x + w / 2, y + h / 2}, {x + w / 2, y - h / 2}},
                true, false);
    }

    // The sprite scaled to cover w x h.
    void cover(A99Object* object, const std::string& skin, float w, float h, const LevelThing& t) {
        Quad* quad = sprite(skin, level, t.line);
        object->pSkin = quad;
        object->scale = V3{w / std::max(1.0f, quad->width), h / std::max(1.0f, quad->height), 1.0f};
    }

    void thing(const LevelThing& t) {
        const std::string& k = t.kind;
        if (k == "pig") {
            place(pig, t);
            pig->afterEdit();
            settings(pig, t);
        } else if (k == "house") {
            place(house, t);
            house->afterEdit();
            settings(house, t);
            if (lastHousePart == nullptr)
                lastHousePart = house;
            if (level.season == 3) // snow on the roof
                lastHousePart = prop("house-roofsnow:0", t.x, t.y, t.line);
        } else if (k == "apple") {
            Apple* apple = starterApple;
            starterApple = nullptr;
            if (apple == nullptr)
                apple = add(new Apple(), gc.appleList, t.x, t.y);
            place(apple, t);
            apple->bSuperApple = t.has("super");
            apple->afterEdit();
            settings(apple, t);
        } else if (k == "sweet") {
            settings(add(new Sweet(), gc.sweetList, t.x, t.y), t);
        } else if (k == "secret" || k == "danger" || k == "ladder") {
            TriggerArea* area = k == "secret" ? static_cast<TriggerArea*>(add(new SecretArea(), gc.secretList, t.x, t.y))
                                : k == "danger" ? static_cast<TriggerArea*>(add(new DangerArea(), gc.dangerAreaList, t.x, t.y))
                                                : static_cast<TriggerArea*>(add(new Ladder(), gc.objectList, t.x, t.y + t.h / 2));
            name(area, t);
            if (k == "ladder") {
                area->triggerRadius = 36.0f;
                area->triggerHalfHeight = t.h / 2;
                cover(area, "ladder:0", 64, t.h, t);
            } else {
                area->triggerRadius = t.w / 2;
                area->triggerHalfHeight = t.h / 2;
            }
            if (auto* danger = dynamic_cast<DangerArea*>(area)) {
                danger->kind = t.variant == "water" ? DangerArea::KIND_WATER
                             : t.variant == "acid"  ? DangerArea::KIND_ACID
                                                    : DangerArea::KIND_THORNS;
                // Water and acid fill their area, seen from behind the ground so that only the part in the
                // pit shows; acid is the shallow water's picture in poison green. Thorns bring a cactus.
                if (danger->kind != DangerArea::KIND_THORNS) {
                    cover(danger, danger->kind == DangerArea::KIND_WATER ? "water:0" : "water-shallow:0", t.w, t.h, t);
                    if (danger->kind == DangerArea::KIND_ACID)
                        danger->color = UColor(0xFF9CFF3Cu);
                    behindGround(danger);
                }
            }
            area->afterEdit();
            settings(area, t);
        } else if (k == "hint") {
            auto* hint = add(new TriggerHint(), gc.objectList, t.x, t.y);
            name(hint, t);
            hint->hintTextID = utf8ToWide(t.variant);
            hint->triggerRadius = t.w;
            hint->bSpeechBubble = t.has("bubble");
            hint->bAutomatic = t.has("auto");
            if (t.has("sign")) { // a signpost by the way, behind the pig
                hint->pSkin = sprite("woodsign:0", level, t.line);
                behindGround(hint);
            }
            if (auto after = t.settings.find("after"); after != t.settings.end())
                laterHints.push_back({hint, after->second.substr(1), t.line});
            hint->afterEdit();
            settings(hint, t);
        } else if (k == "basket") {
            Basket* basket = t.variant == "A"   ? static_cast<Basket*>(new BasketA())
                             : t.variant == "B" ? static_cast<Basket*>(new BasketB())
                             : t.variant == "C" ? static_cast<Basket*>(new BasketC())
                                                : static_cast<Basket*>(new BasketD());
            add(basket, gc.cargoList, t.x, t.y);
            name(basket, t);
            settings(basket, t);
        } else if (k == "hat" || k == "umbrella" || k == "compass") {
            Cargo* cargo = k == "hat" ? static_cast<Cargo*>(new WingedHat())
                         : k == "umbrella" ? static_cast<Cargo*>(new Umbrella())
                                           : static_cast<Cargo*>(new Compass());
            add(cargo, gc.cargoList, t.x, t.y);
            name(cargo, t);
            settings(cargo, t);
        } else if (k == "telescope") {
            auto* telescope = add(new Telescope(), gc.objectList, t.x, t.y);
            name(telescope, t);
            telescope->lookAt = V3{t.w, t.h, 0.0f};
            telescope->afterEdit();
            settings(telescope, t);
        } else if (k == "switch") {
            auto* sw = add(new Switch(), gc.objectList, t.x, t.y);
            name(sw, t);
            sw->bButton = t.has("button");
            sw->bOn = t.has("on"); // a lever that is on hides its target when it is pulled
            sw->afterEdit();
            switches.push_back({sw, t.target, t.line});
            settings(sw, t);
        } else if (k == "dynamite") {
            auto* dynamite = add(new Explodable(), gc.explodableList, t.x, t.y);
            name(dynamite, t);
            dynamite->pSkin = sprite("dynamite:0", level, t.line);
            box(dynamite, 48, 96);
            settings(dynamite, t);
        } else if (k == "gate") {
            auto* gate = add(new A99Object(), gc.objectList, t.x, t.y);
            name(gate, t);
            gate->groundMaterial = A99Object::GROUND_WOOD;
            cover(gate, t.w > t.h ? "drawbridge:0" : "crate:0", t.w, t.h, t);
            box(gate, t.w, t.h);
            if (t.has("hidden")) // waits, with its hull, for a switch to show it
                gate->onSwitched(false);
            settings(gate, t);
        } else if (k == "ledge") {
            float left = t.points[0].x, right = left, bottom = t.points[0].y, top = bottom;
            for (const LevelPoint& p : t.points) {
                left = std::min(left, p.x), right = std::max(right, p.x);
                bottom = std::min(bottom, p.y), top = std::max(top, p.y);
            }
            bool oneWay = t.has("oneway");
            auto* ledge = add(new A99Object(), gc.objectList, (left + right) / 2, oneWay ? top - 12 : (bottom + top) / 2);
            name(ledge, t);
            ledge->groundMaterial = t.has("ice")      ? A99Object::GROUND_ICE
                                    : oneWay          ? A99Object::GROUND_WOOD
                                    : level.season == 3 ? A99Object::GROUND_SNOW
                                                      : A99Object::GROUND_STONE;
            if (oneWay)
                cover(ledge, "drawbridge:0", right - left, 24, t);
            else if (t.icy()) // the slab's snow crust stands a little above its top
                cover(ledge, "iceSlab:0", right - left + 6, top - bottom + 10, t);
            else if (level.christmas || level.season == 3) // a stone slab with snow on it
                cover(ledge, "stoneSlab:1", right - left + 6, top - bottom + 10, t);
            else
                cover(ledge, "stoneSlab:0", right - left + 6, top - bottom + 4, t);
            std::vector<LevelPoint> solid = t.points;
            if (t.has("end")) {
                // The pig's round body stops at the solid face, its snout at the drawn one.
                const bool leftEnd = left + right < level.left + level.right;
                for (LevelPoint& p : solid) {
                    if (leftEnd && p.x == right)
                        p.x += Pig::PICTURE_OVERHANG;
                    else if (!leftEnd && p.x == left)
                        p.x -= Pig::PICTURE_OVERHANG;
                }
            }
            outline(ledge, solid, !oneWay, oneWay);
            settings(ledge, t);
        } else if (k == "prop") {
            A99Object* object = prop(t.variant, t.x, t.y, t.line);
            name(object, t);
            settings(object, t);
            // The house's own trimmings stay over the house.
            if (t.variant.rfind("house-", 0) != 0)
                behindGround(object);
            else
                lastHousePart = object;
        } else {
            throw LevelSourceError(level.path, t.line, "the builder cannot make \"" + k + "\"");
        }
    }

    // Scenery is drawn first, behind the ground and all that moves on it, in the order of the source.
    void behindGround(EditorObject* object) {
        if (lastScenery == nullptr)
            object->placeProxyBefore(nullptr);
        else
            object->placeProxyAfter(lastScenery);
        lastScenery = object;
    }

    A99Object* prop(const std::string& skin, float x, float y, int line) {
        auto* object = add(new A99Object(), gc.bgList, x, y);
        object->pSkin = sprite(skin, level, line);
        object->afterEdit();
        return object;
    }

    const LevelSource& level;
    GameController& gc;
    Pig* pig = nullptr;
    House* house = nullptr;
    Apple* starterApple = nullptr;
    EditorObject* lastScenery = nullptr; // the last thing put behind the ground
    EditorObject* lastHousePart = nullptr; // the house or its newest trimming, which is drawn last of them
    std::map<std::string, KivBase*> named;
    struct Pending {
        Switch* sw;
        std::string target;
        int line;
    };
    std::vector<Pending> switches;
    struct LaterHint {
        TriggerHint* hint;
        std::string previous;
        int line;
    };
    std::vector<LaterHint> laterHints;
};

} // namespace

std::vector<std::uint8_t> writeLevelFile(const LevelSource& level, const std::string& scratchFile) {
    NetRole* previous = THEROLE;
    // The role's first UID is a draw of the shared generator: a fixed seed per level gives the same file on
    // every build.
    const std::uint32_t seed = KivRandom::getSeed();
    KivRandom::setSeed(0x1E7E1u + std::uint32_t(level.number));
    std::vector<std::uint8_t> bytes;
    {
        Writer writer(level);
        writer.run();
        if (!writer.builder.save(scratchFile))
            throw LevelSourceError(level.path, 0, "the level file cannot be written to " + scratchFile);
    }
    THEROLE = previous;
    KivRandom::setSeed(seed);
    std::ifstream in(scratchFile, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    in.close();
    std::remove(scratchFile.c_str());
    if (bytes.empty())
        throw LevelSourceError(level.path, 0, "the level file came out empty");
    return bytes;
}
