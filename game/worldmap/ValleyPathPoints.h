#pragma once
// The road of the world map as it is drawn on the valley picture, and where each level sits on it.
class BezierPathSimple;

namespace ValleyPathPoints {
constexpr int POINTS = 24;
constexpr int LEVELS = 32;
// The size of the picture in the units of the road's points (its image may hold more pixels).
constexpr float PICTURE_WIDTH = 1600.0f;
constexpr float PICTURE_HEIGHT = 750.0f;
// The picture is squeezed to this height on screen; the road is squeezed with it.
constexpr float Y_SCALE = 0.8f;

// Adds the road's points to an empty path, their y (positions and tangents) multiplied by yScale: the
// world map squeezes them with the picture, the picture itself is drawn on them unsqueezed. mapScale
// then enlarges the whole road, as the world map enlarges its picture to cover a large screen.
void build(BezierPathSimple& path, float yScale = Y_SCALE, float mapScale = 1.0f);
// The arc length of a level's icon: each season of eight levels covers its own share of the road.
float arcLengthOfLevel(int level, float totalLength);
} // namespace ValleyPathPoints
