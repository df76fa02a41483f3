// The level sources: the parser's refusals name the file and line; the 32 sources make the levels the
// game needs (counts in range, hints where their things are introduced); the maps follow the geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>

#include "DataArchives.h"
#include "tools/databuilder/LevelMap.h"
#include "tools/databuilder/LevelSource.h"

namespace {

const char* const GOOD = R"(# a small level
level b1
season spring
par 60
apples 1
area 0 800 1600 -200
terrain -100 0 100 \
    0 0 0 0 0 0 \
    0 0 0 0 0 0 0 0 0 0 0 0
pig 1400 40
house 200 64 doorRadius=140
apple 600 24
@pond danger water 900 20 100 40
@gate1 gate 1100 110 40 200
switch 1250 30 @gate1
hint HINTSIGN 1300 50 80 sign bubble
ladder 1000 0 300
route
  walk 1250
  use
  wait 2
  jump 850
  walk 210
  use
end
)";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// The message of the parse error of `text`, or "" when it parses.
std::string errorOf(const std::string& text) {
    try {
        parseLevelSource(text, "test.level");
    } catch (const LevelSourceError& e) {
        return e.what();
    }
    return "";
}

const std::vector<LevelSource>& sources() {
    static const std::vector<LevelSource> all = readLevelSources(LEVEL_SOURCE_DIR);
    return all;
}

std::set<std::string> textKeys() {
    std::set<std::string> keys;
    std::ifstream in(TOBBLE_SOURCE_DIR "/game/language/keys.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            keys.insert(line.substr(0, line.find_first_of(" =\t")));
    return keys;
}

} // namespace

TEST(LevelSource, ReadsEveryStatement) {
    LevelSource level = parseLevelSource(GOOD, "test.level");
    EXPECT_EQ(level.number, 4);
    EXPECT_EQ(level.season, 0);
    EXPECT_EQ(level.applesNeeded, 1);
    EXPECT_EQ(level.heights.size(), 18u); // the continued lines belong to the terrain
    EXPECT_FLOAT_EQ(level.groundAt(-500), 0);
    EXPECT_EQ(level.count("apple"), 1);
    const LevelThing* pond = level.find("pond");
    ASSERT_NE(pond, nullptr);
    EXPECT_EQ(pond->variant, "water");
    EXPECT_FLOAT_EQ(pond->w, 100);
    const LevelThing* house = nullptr;
    for (const LevelThing& t : level.things)
        if (t.kind == "house")
            house = &t;
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->settings.at("doorRadius"), "140");
    ASSERT_EQ(level.route.size(), 6u);
    EXPECT_EQ(level.route[1].kind, RouteStep::USE);
    EXPECT_FLOAT_EQ(level.route[3].value, 850);
    EXPECT_EQ(level.route[3].line, 22);
    const LevelThing& hint = level.things[6];
    EXPECT_EQ(hint.variant, "HINTSIGN");
    EXPECT_TRUE(hint.has("sign") && hint.has("bubble"));
}

TEST(LevelSource, RefusalsNameTheFileAndLine) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    } cases[] = {
        {"season spring", "season monsoon", "test.level:3: unknown season"},
        {"par 60", "par sixty", "test.level:4: \"sixty\" is not a number"},
        {"apple 600 24", "pear 600 24", "test.level:12: unknown statement \"pear\""},
        {"apple 600 24", "apple 600", "test.level:12: \"apple\" is written"},
        {"apples 1", "apples 2", "apples needed must lie between 1 and the number of apples"},
        {"switch 1250 30 @gate1", "switch 1250 30 @gate9", "test.level:15: no thing is named \"@gate9\""},
        {"@gate1 gate", "@pond gate", "test.level:14: the name \"@pond\" is empty or taken"},
        {"pig 1400 40", "", "a level has one pig and one house"},
        {"level b1", "level z7", "test.level:2: \"z7\" names none of the 32 level files"},
        {"area 0 800 1600 -200", "area 0 800 -100 -200", "test.level:6: the area must be"},
        {"terrain -100", "terrain 100", "the ground must span the playing area"},
        {"apple 600 24", "apple 600 24 rotten", "test.level:12: \"apple\" knows no flag \"rotten\""},
        {"  wait 2", "  wait 0", "test.level:21: a wait lasts"},
        {"  jump 850", "  swim 850", "test.level:22: unknown route step \"swim\""},
        {"end\n", "", "the route has no \"end\""},
        {"apple 600 24", "apple 600 1e30", "\"1e30\" is not a number"},
        {"hint HINTSIGN", "hint HintSign", "\"HintSign\" is not a text key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::string message = errorOf(replaced(GOOD, c.from, c.to));
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
    EXPECT_EQ(errorOf(GOOD), "");
    EXPECT_NE(errorOf(std::string(GOOD) + "pig 1 1\n").find("nothing may follow"), std::string::npos);
    EXPECT_THROW(readLevelSource("/no/such/file.level"), LevelSourceError);
    EXPECT_THROW(readLevelSources(TOBBLE_SOURCE_DIR "/tests/data"), LevelSourceError); // no level there
}

TEST(LevelSource, TheThirtyTwoLevelsKeepToTheirRanges) {
    const std::vector<LevelSource>& all = sources();
    ASSERT_EQ(all.size(), 32u);
    for (const LevelSource& level : all) {
        SCOPED_TRACE(level.path);
        int n = level.number;
        int sweets = level.count("sweet"), apples = level.count("apple"), secrets = level.count("secret");
        double screens = (level.right - level.left) / 800.0;
        EXPECT_EQ(level.bonus, n % 4 == 3);
        EXPECT_EQ(level.season, n < 4 ? 3 : n / 8);
        EXPECT_EQ(level.christmas, n < 4);
        if (level.bonus) {
            EXPECT_EQ(apples, 0);
            EXPECT_TRUE(level.parTime >= 30 && level.parTime <= 60) << level.parTime;
            EXPECT_TRUE(sweets >= 15 && sweets <= 40) << sweets;
            continue;
        }
        EXPECT_TRUE(level.applesNeeded >= 1 && level.applesNeeded <= 14);
        EXPECT_TRUE(apples - level.applesNeeded >= 0 && apples - level.applesNeeded <= 4);
        EXPECT_TRUE(sweets >= 5 && sweets <= 20) << sweets;
        if (n >= 4) {
            EXPECT_TRUE(secrets >= 1 && secrets <= 3) << secrets;
        }
        EXPECT_TRUE(screens >= 6 && screens <= 20) << screens;
    }
    // Level 30 is the hardest: the most apples and the longest way.
    for (const LevelSource& level : all)
        if (!level.bonus && level.number != 30) {
            EXPECT_LE(level.applesNeeded, all[30].applesNeeded);
            EXPECT_LE(level.right - level.left, all[30].right - all[30].left);
        }
}

// In winter the water freezes: a solid ledge over water there is a slab of ice, elsewhere it is rock.
TEST(LevelSource, LedgesOverWaterAreIceOnlyInWinter) {
    int slabs = 0;
    for (const LevelSource& level : sources())
        for (const LevelThing& ledge : level.things) {
            if (ledge.kind != "ledge" || ledge.has("oneway"))
                continue;
            float left = ledge.points[0].x, right = left;
            for (const LevelPoint& p : ledge.points)
                left = std::min(left, p.x), right = std::max(right, p.x);
            bool overWater = false;
            for (const LevelThing& d : level.things)
                overWater |= d.kind == "danger" && d.variant == "water" && d.x > left && d.x < right;
            if (!overWater)
                continue;
            ++slabs;
            EXPECT_EQ(ledge.icy(), level.season == 3) << level.path << ":" << ledge.line;
        }
    EXPECT_GT(slabs, 10);
}

TEST(LevelSource, HintsNameRealTextsAndComeWhereTheirThingIsIntroduced) {
    std::set<std::string> keys = textKeys();
    ASSERT_GT(keys.size(), 1000u);
    // The first level that has a thing of that kind, and the first level whose hint speaks of it.
    std::map<std::string, int> firstThing, firstHint;
    const std::map<std::string, std::string> hintOf = {
        {"ladder", "HINTLADDER"}, {"switch", "HINTSWITCH"}, {"telescope", "HINTTELESCOPE"}, {"hat", "HINTHAT"},
        {"basket", "HINTBASKET1A"}, {"umbrella", "HINTUMBRELLA"}, {"dynamite", "HINTBRUTEFORCE"}};
    for (const LevelSource& level : sources())
        for (const LevelThing& t : level.things) {
            if (t.kind == "hint") {
                EXPECT_TRUE(keys.count(t.variant)) << level.path << ": " << t.variant;
                firstHint.emplace(t.variant, level.number);
            }
            std::string kind = t.kind == "danger" ? t.variant : t.kind;
            firstThing.emplace(kind, level.number);
        }
    for (const auto& [kind, hint] : hintOf) {
        ASSERT_TRUE(firstThing.count(kind)) << kind;
        EXPECT_EQ(firstHint[hint], firstThing[kind]) << hint;
    }
    EXPECT_EQ(firstHint["HINTWATER"], firstThing["water"]);
    EXPECT_EQ(firstHint["HINTACID"], firstThing["acid"]);
    // The hints that have touch variants come in the first levels.
    for (const char* key : {"HINTMOVELEFTRIGHT", "HINTESC", "HINTLETSGO", "HINTJUMP", "HINTCOMPLETELEVEL2",
                            "HINTSTATS", "HINTMAP", "HINTREDEFINECONTROLS"}) {
        ASSERT_TRUE(firstHint.count(key)) << key;
        EXPECT_LT(firstHint[key], 4) << key;
    }
}

TEST(LevelSource, MapsFollowTheGeometry) {
    LevelSource level = parseLevelSource(GOOD, "test.level");
    Picture map = drawLevelMap(level);
    ASSERT_EQ(map.width, LEVEL_MAP_WIDTH);
    ASSERT_EQ(map.height, LEVEL_MAP_HEIGHT);
    auto colourAt = [&](float wx, float wy) {
        int x = int((wx - level.left) / (level.right - level.left) * 255);
        int y = int((level.top - wy) / (level.top - level.bottom) * 191);
        const std::uint8_t* p = map.pixel(x, y);
        return unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
    };
    EXPECT_EQ(colourAt(400, 600), LevelMapColour::AIR);
    EXPECT_EQ(colourAt(400, -40), LevelMapColour::GROUND);
    EXPECT_EQ(colourAt(900, 20), LevelMapColour::WATER);
    EXPECT_EQ(colourAt(1100, 150), LevelMapColour::GATE);

    // The archived maps are these drawings, for every level that is not a bonus level.
    const DataArchives& data = DataArchives::get();
    for (const LevelSource& source : sources()) {
        char file[64];
        std::snprintf(file, sizeof file, "gfx/minimap/map%02d.tga", source.number);
        EXPECT_EQ(data.has(ResourceCatalogue::Archive::Levels, file), !source.bonus) << file;
        if (source.bonus)
            continue;
        MemoryImageFile image = decodeImage(data.read(ResourceCatalogue::Archive::Levels, file), file);
        Picture drawn = drawLevelMap(source);
        for (int y = 0; y < LEVEL_MAP_HEIGHT; y += 37)
            for (int x = 0; x < LEVEL_MAP_WIDTH; x += 41) {
                const std::uint8_t* p = drawn.pixel(x, y);
                std::uint32_t want = 0xFF000000u | unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
                ASSERT_EQ(image.getPixel(x, y), want) << file << " at " << x << "," << y;
            }
    }
}

TEST(LevelSource, TextsTheLevelsShowPromiseOnlyWhatTheGameHas) {
    // The texts of a table file as key -> text.
    auto table = [](const char* file) {
        std::map<std::string, std::string> texts;
        std::ifstream in(std::string(TOBBLE_SOURCE_DIR "/game/language/") + file);
        for (std::string line; std::getline(in, line);)
            if (std::size_t eq = line.find('='); eq != std::string::npos && line[0] != '#')
                texts[line.substr(0, eq)] = line.substr(eq + 1);
        return texts;
    };
    std::set<std::string> shown;
    for (int n = 0; n < 32; ++n) {
        shown.insert("LEVELTITLE" + std::to_string(n));
        shown.insert("HINTENDLEVEL" + std::to_string(n));
    }
    for (const LevelSource& level : sources())
        for (const LevelThing& t : level.things)
            if (t.kind == "hint") {
                shown.insert(t.variant);
                shown.insert("IOS_" + t.variant);
            }
    // Creatures and things that no level has, and the touch button that does not exist.
    const std::vector<std::string> english = {"worm", "rabbit", "bee", "snail", "frog", "fish", "hedgehog",
                                              "horse", "bear", "chicken", "geyser", "mud", "balloon", "spider",
                                              "hand button", "drawbridge", "platform"};
    const std::vector<std::string> german = {"wurm", "würmer", "hase", "biene", "schnecke", "frosch", "frösche",
                                             "fisch", "igel", "pferd", "bär", "huhn", "hühner", "geysir",
                                             "schlamm", "ballon", "spinne", "handknopf", "zugbrücke"};
    auto lower = [](std::string s) {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (auto [file, words] : {std::pair{"english.txt", &english}, std::pair{"german.txt", &german}}) {
        std::map<std::string, std::string> texts = table(file);
        for (const std::string& key : shown) {
            if (!texts.count(key))
                continue; // not every hint has a touch variant
            std::string text = " " + lower(texts[key]) + " ";
            for (const std::string& word : *words) {
                // Whole words only ("bee" is not "been"); German words also inside compounds.
                std::size_t at = text.find(word);
                bool whole = at != std::string::npos && !std::isalpha(static_cast<unsigned char>(text[at - 1])) &&
                             !std::isalpha(static_cast<unsigned char>(text[at + word.size()])) &&
                             (text[at + word.size()] != 's');
                bool found = file == std::string("german.txt") ? at != std::string::npos : whole;
                EXPECT_FALSE(found) << file << " " << key << ": " << texts[key];
            }
        }
    }
}
