// libFuzzer target for the engine image reader: every step the mapper takes on
// untrusted data. Input beginning with "MZ" is taken as a whole image; any other input
// is a list of edits (2-byte offset, 1 byte value) to one of the tests' synthetic images
// (PE32 or PE32+, chosen by the number of edits), so the fuzzer starts from a valid image
// of either format without needing a corpus.
#include <cstddef>
#include <cstdint>
#include <span>

#include "tests/web/PeImageBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> mapped;
  std::vector<peimage::ImportedModule> imports;
  if (size >= 2 && data[0] == 'M' && data[1] == 'Z') {
    pebuild::MapPortably(std::span<const uint8_t>(data, size), 0x00400000, mapped, imports);
    return 0;
  }
  static const pebuild::Image originals[] = {pebuild::BuildImage(), pebuild::BuildImage64()};
  pebuild::Image img = originals[(size / 3) % 2];
  for (size_t i = 0; i + 3 <= size; i += 3) {
    size_t at = (data[i] | data[i + 1] << 8) % img.bytes.size();
    img.bytes[at] = data[i + 2];
  }
  if (size % 3 == 1) img.bytes.resize(img.bytes.size() - data[size - 1] * 16);
  pebuild::MapPortably(img.bytes, 0x00400000, mapped, imports);
  return 0;
}
