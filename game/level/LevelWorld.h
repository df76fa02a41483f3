#pragma once
// The level controller's dealings with the world objects: the action query, the house's flags, and the
// objects that the controller makes itself (starter content of an empty level, the level boundary, the
// piglets).
#include <cstdint>
#include "engine/core/SourceLocation.h"

#include "engine/core/V3.h"

class GameController;
class KivBase;

namespace LevelWorld {

// The action query of a world object at a point; false for objects that offer no action.
bool queryAction(KivBase* object, const V3& point, int32_t& priority, float& distance);
// The house reports the pig inside its trigger area / at home.
bool isHeroInside(KivBase* house);
bool isPigAtHome(KivBase* house);
// The position of a world object (the origin for objects without one).
V3 positionOf(const KivBase* object);

// Each object made below is registered with the current role; a role that allows no registration is a
// fatal error reported from `caller`, the controller operation that makes the objects.
// The starter content of an empty level (terrain, decorations, pig, house, apple).
void createStarterContent(GameController& gc, SourceLocation caller = SourceLocation::current());
// The two walls and the floor around the playing area.
void createBoundary(GameController& gc, SourceLocation caller = SourceLocation::current());
// The three piglets of a normal level.
void createPiglets(GameController& gc, SourceLocation caller = SourceLocation::current());

} // namespace LevelWorld
