#pragma once
// The menu screen an overlay is built on.
#include "engine/render/Context.h"

using OverlayBase = Context;
