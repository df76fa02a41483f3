#pragma once
// The road of the world map as it is drawn on the valley picture, and where each level sits on it.
class BezierPathSimple;

namespace ValleyPathPoints {
constexpr int POINTS = 24;
constexpr int LEVELS = 32;
// The picture is squeezed to this height on screen; the road is squeezed with it.
constexpr float Y_SCALE = 0.8f;

// Adds the road's points to an empty path, their y (positions and tangents) multiplied by yScale: the
// world map squeezes them with the picture, the picture itself is drawn on them unsqueezed.
void build(BezierPathSimple& path, float yScale = Y_SCALE);
// The arc length of a level's icon: each season of eight levels covers its own share of the road.
float arcLengthOfLevel(int level, float totalLength);
} // namespace ValleyPathPoints
