#pragma once
// How the front end follows the game screen's size: the scale at which a picture covers the screen, a
// screen view set for the current size, and the size something was last fitted to. The size changes when
// the player picks another video mode or leaves or enters full screen.
class Camera;

namespace ScreenFit {

// The scale at which a picture of that size, kept whole in its aspect and centred, covers the whole game
// screen: the larger of the two ratios, so it meets one pair of edges and overhangs the other. 1 for a
// picture without size.
float coverScale(float pictureWidth, float pictureHeight);

// Sets a view to the game screen's current size as a new one is made: the eye half the screen's width in
// front of the plane z = 0, where one unit is one pixel, and the screen's aspect. Its x and y stay.
void fitCamera(Camera& camera);

// The game screen's size that something was last fitted to (0 x 0 before the first fit).
struct FittedSize {
    int width = 0;
    int height = 0;
    // Takes the current size; true when it differs from the one held before.
    bool update();
};

} // namespace ScreenFit
