// libFuzzer target for the engine image reader: any bytes go through every step the
// mapper takes on untrusted data. Built only with Clang (see CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <span>

#include "tests/web/PeImageBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> mapped;
  std::vector<peimage::ImportedModule> imports;
  pebuild::MapPortably(std::span<const uint8_t>(data, size), 0x00400000, mapped, imports);
  return 0;
}
