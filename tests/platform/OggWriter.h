#pragma once
// Encodes a sine tone as an Ogg Vorbis file, for the sound tests.
#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> encodeToneOgg(double seconds, int channels = 1, int rate = 44100, double hz = 440.0);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
