// Icon files made in memory for the icon tests, and loading and saving through a stream.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "framework/Icon.h"
#include "framework/Streams.h"

inline void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One 32-bit image of an icon file: opaque `color` except the transparent left column.
inline std::vector<uint8_t> IconImage(int size, uint32_t bgra) {
  std::vector<uint8_t> image;
  Put32(image, 40);
  Put32(image, static_cast<uint32_t>(size));
  Put32(image, static_cast<uint32_t>(size * 2));
  Put16(image, 1);
  Put16(image, 32);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) Put32(image, x == 0 ? 0 : bgra);
  const int maskRow = (size + 31) / 32 * 4;
  for (int y = 0; y < size; ++y)
    for (int b = 0; b < maskRow; ++b) image.push_back(b == 0 ? 0x80 : 0x00);
  return image;
}

// An icon file with one image per size, each in its own colour.
inline std::vector<uint8_t> IconFile(const std::vector<std::pair<int, uint32_t>>& images) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const auto& [size, color] : images) bodies.push_back(IconImage(size, color));
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<uint8_t>(images[i].first));
    file.push_back(static_cast<uint8_t>(images[i].first));
    file.push_back(0);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<uint32_t>(bodies[i].size()));
    Put32(file, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline void LoadIcon(TIcon& icon, const std::vector<uint8_t>& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  icon.LoadFromStream(stream);
}

inline std::vector<uint8_t> SaveIcon(TIcon& icon) {
  TMemoryStream stream;
  icon.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

