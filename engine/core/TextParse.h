#pragma once
// Locale-independent parsing of numbers typed or stored as text. Surrounding blanks are allowed; anything
// else that is not part of the number makes the parse fail.
#include <cstdint>
#include <optional>

#include "engine/core/UString.h"

std::optional<int32_t> parseInt32(UStringView text);
// Hexadecimal, up to eight digits, with an optional "0x" or "#" prefix.
std::optional<uint32_t> parseHex32(UStringView text);
// Decimal or scientific notation; infinities and NaN are refused.
std::optional<double> parseDouble(UStringView text);
