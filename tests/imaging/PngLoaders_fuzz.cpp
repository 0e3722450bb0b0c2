// libFuzzer target for both PNG loaders. Input that starts with the PNG signature is taken
// as a whole file; any other input is a list of edits (2-byte offset, 1 byte value) to a
// generated file with every kind of chunk, so the fuzzer starts inside valid data without
// needing a corpus.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/imaging/PngCorruptionCases.h"
#include "tests/imaging/PngTestFiles.h"

namespace {

// Anything but an image or one of the program's own exceptions is a finding.
void RequireLoadsOrRefuses(const std::string& png) {
  if (pngtest::LoadsOrRefuses(png)) return;
  std::fputs("a PNG loader raised an exception that is not the program's own\n", stderr);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pngtest;
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (input.compare(0, 8, Signature()) == 0) {
    RequireLoadsOrRefuses(input);
    return 0;
  }
  static const std::string original = [] {
    Options o;
    o.before = {{"gAMA", std::string("\0\0\xb1\x8f", 4)},
                {"tEXt", std::string("k\0v", 3)},
                {"zTXt", std::string("c\0\0", 3) + Zlib("comment")}};
    o.idatSplit = 20;
    return MakePng({7, 6, 8, 6, 1}, o);
  }();
  std::string png = original;
  for (size_t i = 0; i + 3 <= size; i += 3)
    png[(data[i] | data[i + 1] << 8) % png.size()] = char(data[i + 2]);
  RequireLoadsOrRefuses(png);
  return 0;
}
