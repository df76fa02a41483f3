#pragma once
// What the application shell runs on top of the engine: MyGlobal made after the engine (and its first
// start-up phase run), the screen stack as the root context of every frame, its quit flag, the exit link,
// and MyGlobal deleted before the engine.
#include "engine/kiv/KivShell.h"

KivShell::GameHooks makeGameHooks();
