# The world objects simulate on the Box2D physics engine.
find_package(box2d REQUIRED)
list(APPEND GAME_EXTRA_LIBS box2d::box2d)
