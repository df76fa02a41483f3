#pragma once
// A level's source: the small text file under tools/levels/ from which the builder makes the level file,
// its map picture, and the route along which the test bot plays it. One statement a line, words
// separated by blanks, "#" to the end of the line a comment:
//
//   level a1xmas            the file name: "./levels/a1xmas.lev"; fixes the level number
//   season winter           spring, summer, autumn or winter
//   look xmas               the Christmas sprites (optional)
//   par 90                  par time in seconds
//   apples 3                apples needed; a bonus level has none
//   bonus                   a bonus level: the timer runs from the par time
//   weather 0.5             weather intensity, 0 for none
//   area -600 1200 6000 0   playing area: left top right bottom (y points up)
//   terrain -600 0 200 h0 h1 ... hn     ground from x = -600 in segments of 200, heights above y = 0
//   ice                     the ground is ice
//
// Then the things of the level, each optionally named first with "@name" (for switches and hints that
// refer to it) and followed by property settings "name=value" that the builder hands to the object:
//
//   pig X Y | house X Y | apple X Y [super] | sweet X Y | basket A|B|C|D X Y | hat X Y | umbrella X Y
//   compass X Y | telescope X Y LOOKX LOOKY | switch X Y @target [button] [on] | dynamite X Y
//   secret X Y W H | danger water|acid|thorns X Y W H | ladder X Y HEIGHT
//   hint KEY X Y RADIUS [sign] [bubble] [auto] [after=@hint]
//   ledge [oneway] [ice|frozen] [end] X,Y X,Y ...  a solid outline (closed) or, with oneway, a branch to
//                                       stand on; ice: a slippery slab of ice, frozen: one with snow on top, not
//                                       slippery; end: the sheer rock at an end of the way, drawn as written,
//                                       whose face towards the level is solid as far out as the pig's picture
//                                       reaches beyond its body, so that its snout stops at the drawn face
//   gate X Y W H [hidden]               a block that a switch shows (switched on) or hides (off)
//   prop SKIN X Y                       scenery without a hull
//
// and last the bot's route, one step a line until "end":
//
//   route
//     walk X | jump X | use | climb Y | wait SECONDS | tap @name | sweep
//
// "sweep" pushes every apple still lying about down to the house, from its uphill side.
//   end
//
// A statement that does not parse stops the build with "file:line: message".
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct LevelPoint {
    float x = 0, y = 0;
};

struct LevelThing {
    std::string kind;    // "apple", "danger", "hint", ...
    std::string name;    // "@name" without the "@", or empty
    std::string variant; // danger kind, basket letter, hint key, prop skin, ...
    float x = 0, y = 0;
    float w = 0, h = 0;                // size of areas and gates; radius of hints in w
    std::vector<std::string> flags;    // words without "=" (super, sign, bubble, oneway, ...)
    std::map<std::string, std::string> settings; // "name=value" words
    std::vector<LevelPoint> points;    // outline of a ledge
    std::string target;                // @target of a switch
    int line = 0;

    bool has(const std::string& flag) const;
    // A ledge of ice, slippery or not.
    bool icy() const { return has("ice") || has("frozen"); }
};

struct RouteStep {
    enum Kind { WALK, JUMP, USE, CLIMB, WAIT, TAP, SWEEP } kind = WALK;
    float value = 0;    // x, y or seconds
    std::string target; // tap
    int line = 0;
};

struct LevelSource {
    std::string path; // the source file, for messages
    std::string name; // "a1xmas"
    int number = -1;  // 0..31
    int season = 0;   // 0 spring, 1 summer, 2 autumn, 3 winter
    bool christmas = false;
    bool bonus = false;
    double parTime = 60;
    int applesNeeded = 0;
    float weather = 0;
    float left = 0, top = 0, right = 0, bottom = 0;
    // The ground: heights above terrainY at terrainX + i x segmentWidth.
    float terrainX = 0, terrainY = 0;
    int segmentWidth = 0;
    std::vector<float> heights;
    bool ice = false;
    std::vector<LevelThing> things;
    std::vector<RouteStep> route;

    int count(const std::string& kind) const;
    const LevelThing* find(const std::string& name) const;
    // The ground's height at x (linear between the points; the end heights beyond the ends).
    float groundAt(float x) const;
};

// A source that does not parse or does not make a playable level.
class LevelSourceError : public std::runtime_error {
public:
    LevelSourceError(const std::string& path, int line, const std::string& message);
};

LevelSource parseLevelSource(const std::string& text, const std::string& path);
LevelSource readLevelSource(const std::string& path);
// The source files of a folder, in level-number order; throws unless all 32 levels are there once.
std::vector<LevelSource> readLevelSources(const std::string& folder);
