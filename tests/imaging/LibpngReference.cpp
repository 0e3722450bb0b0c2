#include "tests/imaging/LibpngReference.h"

#include <png.h>

#include <cstring>

namespace pngtest {

namespace {
struct TMemoryReader {
  const std::string* data;
  size_t at;
};
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<TMemoryReader*>(png_get_io_ptr(png));
  if (r->at + count > r->data->size()) png_error(png, "read past end");
  std::memcpy(out, r->data->data() + r->at, count);
  r->at += count;
}
}  // namespace

bool ReadWithLibpng(const std::string& data, bool scale16, uint32_t& width, uint32_t& height,
                    std::vector<uint32_t>& pixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  TMemoryReader reader{&data, 0};
  std::vector<png_bytep> rows;
  std::vector<uint8_t> buffer;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (depth == 16) {
    if (scale16)
      png_set_scale_16(png);
    else
      png_set_strip_16(png);
  }
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (!(colorType & PNG_COLOR_MASK_ALPHA)) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  buffer.assign(size_t(width) * height * 4, 0);
  rows.resize(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = buffer.data() + size_t(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  pixels.resize(size_t(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = buffer[4 * i] | (buffer[4 * i + 1] << 8) | (buffer[4 * i + 2] << 16) |
                (uint32_t(buffer[4 * i + 3]) << 24);
  return true;
}

}  // namespace pngtest
