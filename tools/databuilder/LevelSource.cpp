#include "tools/databuilder/LevelSource.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/core/UString.h"
#include "game/userdata/ProfileData.h"

namespace {

constexpr int LEVEL_COUNT = 32;
constexpr float MAX_COORDINATE = 1.0e6f;

// The words of one statement with the line it stands on.
struct Statement {
    std::vector<std::string> words;
    int line = 0;
};

class Parser {
public:
    Parser(const std::string& text, const std::string& path) : path(path) {
        std::istringstream in(text);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            if (std::size_t hash = line.find('#'); hash != std::string::npos)
                line.erase(hash);
            Statement s{{}, number};
            // A line that ends in a backslash goes on in the next one.
            std::string next;
            while (!line.empty() && line.find_last_not_of(" \t\r") != std::string::npos &&
                   line[line.find_last_not_of(" \t\r")] == '\\' && std::getline(in, next)) {
                line.erase(line.find_last_not_of(" \t\r"));
                if (std::size_t hash = next.find('#'); hash != std::string::npos)
                    next.erase(hash);
                line += " " + next;
                ++number;
            }
            std::istringstream words(line);
            for (std::string word; words >> word;)
                s.words.push_back(word);
            if (!s.words.empty())
                statements.push_back(std::move(s));
        }
    }

    LevelSource run() {
        level.path = path;
        std::size_t i = 0;
        for (; i < statements.size(); ++i) {
            const Statement& s = statements[i];
            at = s.line;
            if (s.words[0] == "route") {
                expectCount(s, 1);
                ++i;
                readRoute(i);
                break;
            }
            statement(s);
        }
        for (++i; i < statements.size(); ++i) {
            at = statements[i].line;
            fail("nothing may follow the route's \"end\"");
        }
        at = statements.empty() ? 0 : statements.back().line;
        check();
        return std::move(level);
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw LevelSourceError(path, at, message); }

    void expectCount(const Statement& s, std::size_t count) const {
        if (s.words.size() != count)
            fail("\"" + s.words[0] + "\" takes " + std::to_string(count - 1) + " value" + (count == 2 ? "" : "s"));
    }

    float number(const std::string& word) const {
        char* end = nullptr;
        float v = std::strtof(word.c_str(), &end);
        if (word.empty() || *end != 0 || !std::isfinite(v) || std::abs(v) > MAX_COORDINATE)
            fail("\"" + word + "\" is not a number");
        return v;
    }

    int integer(const std::string& word) const {
        float v = number(word);
        if (v != std::floor(v))
            fail("\"" + word + "\" is not a whole number");
        return int(v);
    }

    LevelPoint point(const std::string& word) const {
        std::size_t comma = word.find(',');
        if (comma == std::string::npos)
            fail("\"" + word + "\" is not a point X,Y");
        return {number(word.substr(0, comma)), number(word.substr(comma + 1))};
    }

    void statement(const Statement& s) {
        const std::string& key = s.words[0];
        if (key == "level") {
            expectCount(s, 2);
            level.name = s.words[1];
            level.number = -1;
            for (int n = 0; n < LEVEL_COUNT; ++n)
                if (wideToUtf8(ProfileData::levelNumberToFile(n)) == "./levels/" + level.name + ".lev")
                    level.number = n;
            if (level.number < 0)
                fail("\"" + level.name + "\" names none of the 32 level files");
        } else if (key == "season") {
            expectCount(s, 2);
            static const char* seasons[] = {"spring", "summer", "autumn", "winter"};
            auto it = std::find(std::begin(seasons), std::end(seasons), s.words[1]);
            if (it == std::end(seasons))
                fail("unknown season \"" + s.words[1] + "\"");
            level.season = int(it - std::begin(seasons));
        } else if (key == "look") {
            expectCount(s, 2);
            if (s.words[1] != "xmas")
                fail("unknown look \"" + s.words[1] + "\"");
            level.christmas = true;
        } else if (key == "par") {
            expectCount(s, 2);
            level.parTime = number(s.words[1]);
            if (level.parTime < 10 || level.parTime > 3600)
                fail("the par time must lie between 10 and 3600 seconds");
        } else if (key == "apples") {
            expectCount(s, 2);
            level.applesNeeded = integer(s.words[1]);
            if (level.applesNeeded < 0 || level.applesNeeded > 99)
                fail("apples needed must lie between 0 and 99");
        } else if (key == "bonus") {
            expectCount(s, 1);
            level.bonus = true;
        } else if (key == "ice") {
            expectCount(s, 1);
            level.ice = true;
        } else if (key == "weather") {
            expectCount(s, 2);
            level.weather = number(s.words[1]);
            if (level.weather < 0 || level.weather > 1)
                fail("the weather intensity must lie between 0 and 1");
        } else if (key == "area") {
            expectCount(s, 5);
            level.left = number(s.words[1]);
            level.top = number(s.words[2]);
            level.right = number(s.words[3]);
            level.bottom = number(s.words[4]);
            if (level.right <= level.left || level.top <= level.bottom)
                fail("the area must be left top right bottom with left < right and bottom < top");
            hasArea = true;
        } else if (key == "terrain") {
            if (s.words.size() < 6)
                fail("\"terrain\" takes X Y SEGMENT-WIDTH and at least two heights");
            level.terrainX = number(s.words[1]);
            level.terrainY = number(s.words[2]);
            level.segmentWidth = integer(s.words[3]);
            if (level.segmentWidth < 16 || level.segmentWidth > 4096)
                fail("the segment width must lie between 16 and 4096");
            level.heights.clear();
            for (std::size_t i = 4; i < s.words.size(); ++i)
                level.heights.push_back(number(s.words[i]));
        } else {
            thing(s);
        }
    }

    void thing(const Statement& s) {
        LevelThing t;
        t.line = s.line;
        std::vector<std::string> words = s.words;
        if (words[0][0] == '@') {
            t.name = words[0].substr(1);
            if (t.name.empty() || !names.insert(t.name).second)
                fail("the name \"" + words[0] + "\" is empty or taken");
            words.erase(words.begin());
            if (words.empty())
                fail("a name must be followed by a thing");
        }
        t.kind = words[0];
        // Split the rest into values, flags and settings.
        std::vector<std::string> values;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            std::size_t eq = w.find('=');
            if (eq != std::string::npos) {
                if (eq == 0 || eq + 1 == w.size())
                    fail("\"" + w + "\" is not a setting name=value");
                t.settings[w.substr(0, eq)] = w.substr(eq + 1);
            } else if (w[0] == '@') {
                t.target = w.substr(1);
            } else if (std::isalpha(static_cast<unsigned char>(w[0])) &&
                       (t.kind == "ledge" || (!values.empty() && t.kind != "prop" && t.kind != "hint"))) {
                t.flags.push_back(w);
            } else {
                values.push_back(w);
            }
        }
        auto need = [&](std::size_t n, const char* form) {
            if (values.size() != n)
                fail("\"" + t.kind + "\" is written " + form);
        };
        auto xy = [&](std::size_t first) {
            t.x = number(values[first]);
            t.y = number(values[first + 1]);
        };
        auto allow = [&](std::initializer_list<const char*> allowed) {
            for (const std::string& f : t.flags)
                if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return f == a; }))
                    fail("\"" + t.kind + "\" knows no flag \"" + f + "\"");
        };
        const std::string& k = t.kind;
        if (k == "pig" || k == "house" || k == "sweet" || k == "hat" || k == "umbrella" || k == "compass" ||
            k == "dynamite") {
            need(2, "NAME X Y");
            xy(0);
            allow({});
        } else if (k == "apple") {
            need(2, "apple X Y [super]");
            xy(0);
            allow({"super"});
        } else if (k == "basket") {
            need(3, "basket A|B|C|D X Y");
            t.variant = values[0];
            if (t.variant != "A" && t.variant != "B" && t.variant != "C" && t.variant != "D")
                fail("a basket is of kind A, B, C or D");
            xy(1);
            allow({});
        } else if (k == "telescope") {
            need(4, "telescope X Y LOOKX LOOKY");
            xy(0);
            t.w = number(values[2]);
            t.h = number(values[3]);
            allow({});
        } else if (k == "switch") {
            need(2, "switch X Y @target [button]");
            xy(0);
            if (t.target.empty())
                fail("a switch needs an @target");
            allow({"button", "on"});
        } else if (k == "secret" || k == "gate") {
            need(4, "NAME X Y W H");
            xy(0);
            t.w = number(values[2]);
            t.h = number(values[3]);
            if (t.w <= 0 || t.h <= 0)
                fail("a size must be positive");
            if (k == "gate")
                allow({"hidden"});
            else
                allow({});
        } else if (k == "danger") {
            need(5, "danger water|acid|thorns X Y W H");
            t.variant = values[0];
            if (t.variant != "water" && t.variant != "acid" && t.variant != "thorns")
                fail("danger is water, acid or thorns");
            xy(1);
            t.w = number(values[3]);
            t.h = number(values[4]);
            if (t.w <= 0 || t.h <= 0)
                fail("a size must be positive");
            allow({});
        } else if (k == "ladder") {
            need(3, "ladder X Y HEIGHT");
            xy(0);
            t.h = number(values[2]);
            if (t.h <= 0)
                fail("a ladder's height must be positive");
            allow({});
        } else if (k == "hint") {
            // hint KEY X Y RADIUS [sign] [bubble] [auto]: the flags follow the numbers here.
            std::vector<std::string> numbers;
            for (std::size_t i = 1; i < values.size(); ++i)
                (i <= 3 ? numbers : t.flags).push_back(values[i]);
            if (values.size() < 4)
                fail("\"hint\" is written hint KEY X Y RADIUS [sign] [bubble] [auto]");
            t.variant = values[0];
            for (char c : t.variant)
                if (!(std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) ||
                      c == '_'))
                    fail("\"" + t.variant + "\" is not a text key");
            t.x = number(numbers[0]);
            t.y = number(numbers[1]);
            t.w = number(numbers[2]);
            allow({"sign", "bubble", "auto"});
        } else if (k == "ledge") {
            for (const std::string& v : values)
                t.points.push_back(point(v));
            if (t.points.size() < 2)
                fail("a ledge needs at least two points X,Y");
            t.x = t.points[0].x;
            t.y = t.points[0].y;
            allow({"oneway", "ice", "frozen", "end"});
            if (t.has("end") && t.has("oneway"))
                fail("the rock at an end of the way is solid, not one way");
        } else if (k == "prop") {
            need(3, "prop SKIN X Y");
            t.variant = values[0];
            xy(1);
        } else {
            fail("unknown statement \"" + k + "\"");
        }
        level.things.push_back(std::move(t));
    }

    void readRoute(std::size_t& i) {
        for (; i < statements.size(); ++i) {
            const Statement& s = statements[i];
            at = s.line;
            const std::string& k = s.words[0];
            RouteStep step;
            step.line = s.line;
            if (k == "end") {
                expectCount(s, 1);
                return;
            } else if (k == "use" || k == "sweep") {
                expectCount(s, 1);
                step.kind = k == "use" ? RouteStep::USE : RouteStep::SWEEP;
            } else if (k == "walk" || k == "jump" || k == "climb" || k == "wait") {
                expectCount(s, 2);
                step.kind = k == "walk" ? RouteStep::WALK : k == "jump" ? RouteStep::JUMP
                          : k == "climb" ? RouteStep::CLIMB : RouteStep::WAIT;
                step.value = number(s.words[1]);
                if (step.kind == RouteStep::WAIT && (step.value <= 0 || step.value > 60))
                    fail("a wait lasts more than 0 and at most 60 seconds");
            } else if (k == "tap") {
                expectCount(s, 2);
                if (s.words[1].size() < 2 || s.words[1][0] != '@')
                    fail("tap takes an @name");
                step.kind = RouteStep::TAP;
                step.target = s.words[1].substr(1);
            } else {
                fail("unknown route step \"" + k + "\"");
            }
            level.route.push_back(step);
        }
        fail("the route has no \"end\"");
    }

    // What every level needs, and references that must resolve.
    void check() {
        if (level.number < 0)
            fail("the source names no level (\"level NAME\")");
        if (!hasArea)
            fail("the source has no playing area (\"area\")");
        if (level.heights.empty())
            fail("the source has no ground (\"terrain\")");
        float terrainRight = level.terrainX + float(level.segmentWidth) * float(level.heights.size() - 1);
        if (level.terrainX > level.left || terrainRight < level.right)
            fail("the ground must span the playing area");
        if (level.count("pig") != 1 || level.count("house") != 1)
            fail("a level has one pig and one house");
        int apples = level.count("apple");
        if (level.bonus && (apples != 0 || level.applesNeeded != 0))
            fail("a bonus level has no apples");
        if (!level.bonus && (level.applesNeeded < 1 || level.applesNeeded > apples))
            fail("apples needed must lie between 1 and the number of apples");
        if (level.route.empty())
            fail("the level has no route");
        for (const LevelThing& t : level.things) {
            at = t.line;
            if (t.x < level.left || t.x > level.right || t.y < level.bottom - 400 || t.y > level.top)
                fail("\"" + t.kind + "\" lies outside the playing area");
            if (!t.target.empty() && t.kind == "switch" && !level.find(t.target))
                fail("no thing is named \"@" + t.target + "\"");
            if (auto after = t.settings.find("after"); after != t.settings.end()) {
                const LevelThing* previous = after->second[0] == '@' ? level.find(after->second.substr(1)) : nullptr;
                if (!previous || previous->kind != "hint")
                    fail("\"after\" must name a hint");
            }
        }
        for (const RouteStep& step : level.route)
            if (step.kind == RouteStep::TAP && !level.find(step.target)) {
                at = step.line;
                fail("no thing is named \"@" + step.target + "\"");
            }
    }

    std::string path;
    std::vector<Statement> statements;
    LevelSource level;
    std::set<std::string> names;
    bool hasArea = false;
    int at = 0;
};

} // namespace

bool LevelThing::has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

int LevelSource::count(const std::string& kind) const {
    return int(std::count_if(things.begin(), things.end(), [&](const LevelThing& t) { return t.kind == kind; }));
}

const LevelThing* LevelSource::find(const std::string& thingName) const {
    for (const LevelThing& t : things)
        if (t.name == thingName)
            return &t;
    return nullptr;
}

float LevelSource::groundAt(float x) const {
    if (heights.empty())
        return terrainY;
    float f = (x - terrainX) / float(segmentWidth);
    if (f <= 0)
        return terrainY + heights.front();
    std::size_t i = std::size_t(f);
    if (i + 1 >= heights.size())
        return terrainY + heights.back();
    float t = f - float(i);
    return terrainY + heights[i] + (heights[i + 1] - heights[i]) * t;
}

LevelSourceError::LevelSourceError(const std::string& path, int line, const std::string& message)
    : std::runtime_error(path + ":" + std::to_string(line) + ": " + message) {}

LevelSource parseLevelSource(const std::string& text, const std::string& path) { return Parser(text, path).run(); }

LevelSource readLevelSource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw LevelSourceError(path, 0, "cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    return parseLevelSource(text.str(), path);
}

std::vector<LevelSource> readLevelSources(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".level")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    std::vector<LevelSource> levels(LEVEL_COUNT);
    for (const std::string& path : paths) {
        LevelSource level = readLevelSource(path);
        if (levels[level.number].number >= 0)
            throw LevelSourceError(path, 0, "describes the level of " + levels[level.number].path + " again");
        int number = level.number;
        levels[number] = std::move(level);
    }
    for (int n = 0; n < LEVEL_COUNT; ++n)
        if (levels[n].number < 0)
            throw LevelSourceError(folder, 0, "has no source for " + wideToUtf8(ProfileData::levelNumberToFile(n)));
    return levels;
}
