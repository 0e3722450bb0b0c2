// libFuzzer target for the packed-skin reader. Input that begins with "ASzf" is read as a
// whole file; any other input is a list of edits (2-byte offset, 1 byte value) to a valid
// packed skin of several entries, so the fuzzer starts inside good data without a corpus.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "skin/core/skinfiles/skSkinPack.h"

namespace {

void ReadOrRefuse(const uint8_t* data, size_t size) {
  auto reader = std::make_unique<TskSkinConvertor>();
  auto source = std::make_unique<TMemoryStream>();
  if (size > 0) source->WriteBuffer(data, static_cast<int64_t>(size));
  reader->SetSource(source.release(), true);
  try {
    ReadPackedSkin(reader);
  } catch (const std::exception&) {
    // Refused with a message: what damaged input must do.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4 && std::memcmp(data, "ASzf", 4) == 0) {
    ReadOrRefuse(data, size);
    return 0;
  }
  static const std::vector<uint8_t> original =
      PackSkin({{"Options.dat", std::vector<uint8_t>(300, 'a')},
                {"MASTER.BMP", std::vector<uint8_t>(5000, 7)},
                {"EMPTY.BMP", {}},
                {"x.png", std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}}},
               6);
  std::vector<uint8_t> packed = original;
  for (size_t i = 0; i + 3 <= size; i += 3)
    packed[(data[i] | data[i + 1] << 8) % packed.size()] = data[i + 2];
  ReadOrRefuse(packed.data(), packed.size());
  return 0;
}
