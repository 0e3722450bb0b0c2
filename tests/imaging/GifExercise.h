// Everything the program may do with GIF data from outside: load, render, draw, optimise,
// save and load again. Format errors are expected; anything else is a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

void ExerciseGifBytes(const uint8_t* data, size_t size);
// Valid files of many kinds, the seeds for corruption.
std::vector<std::vector<uint8_t>> GifSeedFiles();
