#pragma once
// Whether this configuration builds the game's data archives (CMake's TOBBLE_DATA). Where it does, a
// missing archive or a level missing from one is a fault of the data build and fails the test that needs
// it. Where it does not (the fuzz configuration), the tests that play the built data have nothing to play
// and skip.
namespace DataBuild {
inline constexpr bool ARCHIVES_BUILT = TOBBLE_DATA_BUILT != 0;
inline constexpr const char* NOT_BUILT = "this configuration does not build the data archives";
} // namespace DataBuild
