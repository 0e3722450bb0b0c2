#include "tests/imaging/PngCorruptionCases.h"

#include <zlib.h>

#include "imaging/pngimage.h"
#include "imaging/skPNG.h"
#include "tests/imaging/PngTestFiles.h"

namespace pngtest {

namespace {
void SetBe32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

// Start offsets of the chunks.
std::vector<size_t> ChunkOffsets(const std::string& png) {
  std::vector<size_t> at;
  size_t p = 8;
  while (p + 12 <= png.size()) {
    at.push_back(p);
    p += 12 + GetBe32(png, p);
  }
  return at;
}

void RepairCrc(std::string& png, size_t chunk) {
  const uint32_t length = GetBe32(png, chunk);
  if (chunk + 12 + length > png.size()) return;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + chunk + 4), length + 4);
  SetBe32(png, chunk + 8 + length, static_cast<uint32_t>(crc));
}
}  // namespace

std::vector<std::string> DamagedVariants(const std::string& png, std::mt19937& random, int flips) {
  std::vector<std::string> out;
  for (size_t cut = 0; cut < png.size(); cut += 3) out.push_back(png.substr(0, cut));
  const std::vector<size_t> chunks = ChunkOffsets(png);
  for (int i = 0; i < flips; ++i) {
    std::string s = png;
    const size_t at = 8 + random() % (png.size() - 8);
    s[at] = static_cast<char>(s[at] ^ (1u << (random() % 8)));
    size_t owner = chunks.front();
    for (size_t c : chunks)
      if (c <= at) owner = c;
    if (random() % 4 != 0) RepairCrc(s, owner);
    out.push_back(std::move(s));
  }
  const uint32_t lengths[] = {0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x00FFFFFF, 1u << 20};
  for (size_t c : chunks)
    for (uint32_t length : lengths) {
      std::string s = png;
      SetBe32(s, c, length);
      out.push_back(std::move(s));
    }
  const uint32_t sides[] = {0, 1, 65535, 65536, 0x7FFFFFFF, 0xFFFFFFFF, 40000};
  for (uint32_t w : sides)
    for (uint32_t h : {1u, 40000u, 0xFFFFFFFFu}) {
      std::string s = png;
      SetBe32(s, 16, w);
      SetBe32(s, 20, h);
      RepairCrc(s, 8);
      out.push_back(std::move(s));
    }
  return out;
}

bool LoadsOrRefuses(const std::string& data) {
  auto run = [&](TGraphic& graphic) {
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    stream.SetPosition(0);
    try {
      graphic.LoadFromStream(stream);
    } catch (const Exception&) {
    }
  };
  try {
    TPNGGraphic reader;
    run(reader);
    TPNGObject object;
    run(object);
    if (!object.Empty() && object.HasHeader()) {
      TMemoryStream saved;
      object.SaveToStream(saved);
    }
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace pngtest
