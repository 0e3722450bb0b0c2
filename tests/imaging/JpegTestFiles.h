// JPEG files made in memory by the library's compressor, for the JPEG tests.
#pragma once

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "framework/Streams.h"
#include "imaging/Jpeg.h"

// A JPEG file made by the library's compressor: colour(x, y) gives 0x00BBGGRR, or a
// grey level in the low byte for a greyscale file.
inline std::vector<uint8_t> CompressJpeg(int width, int height, bool grey,
                                  const std::function<TColor(int, int)>& colour) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      const TColor c = colour(x, y);
      if (grey) {
        row[x] = ColorR(c);
      } else {
        row[x * 3] = ColorR(c);
        row[x * 3 + 1] = ColorG(c);
        row[x * 3 + 2] = ColorB(c);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

// Left half red, right half blue: flat areas survive compression almost exactly.
inline std::vector<uint8_t> RedBlueJpeg() {
  return CompressJpeg(32, 16, false, [](int x, int) { return x < 16 ? clRed : clBlue; });
}

inline void Load(TJPEGImage& image, const std::vector<uint8_t>& file) {
  TMemoryStream stream;
  if (!file.empty()) stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  image.LoadFromStream(stream);
}

inline void ExpectNear(TColor actual, TColor expected, const char* what) {
  EXPECT_NEAR(ColorR(actual), ColorR(expected), 6) << what;
  EXPECT_NEAR(ColorG(actual), ColorG(expected), 6) << what;
  EXPECT_NEAR(ColorB(actual), ColorB(expected), 6) << what;
}
