#pragma once
// A running game has loaded every resource before a level's objects arrive; a fuzzing process loads none.
// So a screen object that a peer spawns finds its pictures missing there: that one fatal message is the
// data's absence, not a fault of the message, and the network targets let it through. An empty resource
// manager makes every look-up end in that message rather than in a null one.
#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"

inline void ensureEmptyResourceManager()
{
    static ResourceManager noResources;
}

inline bool isMissingResource(const FatalError& error)
{
    return error.message.rfind(u"Could not find resource", 0) == 0;
}
