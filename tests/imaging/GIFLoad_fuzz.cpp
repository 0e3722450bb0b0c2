// libFuzzer entry: GIF data from anywhere through load, render, optimise and save.
#include <cstddef>
#include <cstdint>

#include "tests/imaging/GifExercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ExerciseGifBytes(data, size);
  return 0;
}
