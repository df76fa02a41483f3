#include "game/worldmap/ValleyPathPoints.h"

#include "game/worldmap/BezierPathSimple.h"

namespace {
// Position x, y and tangent x, y in the picture's pixels, centred on the picture, y up.
constexpr float ROAD[ValleyPathPoints::POINTS][4] = {
    {-718, -178, 63, 1},  {-577, -151, 76, 27},  {-424, -260, 85, -17}, {-289, -179, -36, 81},
    {-462, -114, -57, 51}, {-636, -29, -26, 62}, {-396, 46, 100, 13},   {-97, 14, -22, -104},
    {-320, -22, 39, -116}, {-87, -215, 83, -10}, {114, -205, -22, 35},  {-36, -151, -44, 20},
    {-90, -59, 48, 68},   {37, 54, 79, 35},      {333, 38, 64, -52},    {291, -67, -66, 9},
    {114, -1, -26, -43},  {307, -193, 88, -3},   {548, -245, 47, 68},   {723, -151, 0, 90},
    {585, -79, -35, 63},  {723, 34, -22, 63},    {459, 55, -34, 71},    {734, 197, 56, 26},
};
// Start of each season's share of the road, as a fraction of its length.
constexpr float SEASON_STARTS[5] = {0.0f, 0.24f, 0.55f, 0.79f, 1.03f};
} // namespace

void ValleyPathPoints::build(BezierPathSimple& path, float yScale, float mapScale)
{
    const float sy = yScale * mapScale;
    for (const auto& p : ROAD) {
        path.addPoint(V3(p[0] * mapScale, p[1] * sy, 0.0f), V3(p[2] * mapScale, p[3] * sy, 0.0f));
    }
}

float ValleyPathPoints::arcLengthOfLevel(int level, float totalLength)
{
    const int g = level / 8;
    const int k = level % 8;
    return (SEASON_STARTS[g] + (SEASON_STARTS[g + 1] - SEASON_STARTS[g]) * static_cast<float>(k) / 8.0f) *
           totalLength;
}
