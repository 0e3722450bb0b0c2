// GIF files for the tests, written block by block without the codec's own writer, so that
// the reader is checked against bytes laid down independently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"

class TGIFImage;

using TBytes = std::vector<uint8_t>;

class TGifBuilder {
 public:
  // "GIF89a", screen size, a global table of `globalColors` entries (0: none; rounded up to a
  // power of two with black entries).
  TGifBuilder& Header(int width, int height, const std::vector<TColor>& globalColors,
                      const std::string& signature = "GIF89a", uint8_t background = 0);
  TGifBuilder& GraphicControl(int disposal, int delay, int transparentIndex = -1);
  TGifBuilder& Loop(int repeatCount);
  TGifBuilder& Comment(const std::string& text);
  // An application extension with any block size and identifier and one data sub-block.
  TGifBuilder& Application(uint8_t blockSize, const std::string& identifier, const TBytes& data);
  // A frame whose pixels are coded without compression (a clear code before the table would
  // grow), which every decoder reads the same way.
  TGifBuilder& Frame(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                     int minCodeSize = 2, const std::vector<TColor>& localColors = {},
                     bool interlaced = false);
  // A frame with image data given as raw sub-block payload (minimum code size first).
  TGifBuilder& RawFrame(int left, int top, int width, int height, const TBytes& data,
                        uint8_t packed = 0);
  TGifBuilder& Byte(uint8_t b);
  TGifBuilder& Bytes(const TBytes& b);
  TGifBuilder& Trailer() { return Byte(';'); }
  const TBytes& Data() const { return data_; }

 private:
  void ColorTable(const std::vector<TColor>& colors);
  TBytes data_;
};

// Codes of a given width packed least-significant bit first into sub-blocks, with the
// minimum code size in front and the terminator behind.
TBytes PackCodes(int minCodeSize, const std::vector<int>& codes, int codeWidth);
// The rows of an interlaced image in the order they are stored.
std::vector<int> InterlacedRowOrder(int height);

TMemoryStream StreamOf(const TBytes& bytes);
TBytes BytesOf(TMemoryStream& stream);
// Loads bytes into an image, collecting its warnings.
void LoadGif(TGIFImage& image, const TBytes& bytes, std::vector<std::string>* warnings = nullptr);
TBytes SaveGif(TGIFImage& image);
