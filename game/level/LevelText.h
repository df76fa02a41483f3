#pragma once
// Number formats of the level screens, in the current language's separators.
#include "engine/core/UString.h"

namespace LevelText {
// The number with the thousands separator between groups of three digits.
UString formatNumber(int value);
// "%02d:%02d" minutes and seconds of the whole seconds.
UString formatMinutesSeconds(double seconds);
// Tenths of a percent as "%d%s%d%%" with the decimal separator.
UString formatPercentTenths(int tenths);
} // namespace LevelText
