// The variable-width LZW code streams of GIF image data: the decoder and two encoders (a
// dictionary encoder and a run-length encoder that only uses codes the decoder builds itself).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Classes.h"

using TGIFWarningHandler = std::function<void(int severity, const std::string& message)>;

// Decodes minimum code size, sub-blocks and terminator into `pixels` (width x height bytes,
// already filled with the fill value). Damaged data stops early; pixels not reached keep
// their fill value.
void DecodeLZW(TStream& stream, uint8_t* pixels, int width, int height, bool interlaced,
               const TGIFWarningHandler& warn);

// ---- writing -------------------------------------------------------------------------------
class TGIFStream : public TStream {
  K_CLASS(TGIFStream, TStream)
  explicit TGIFStream(TStream& target) : target_(target) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  TGIFWarningHandler OnWarning;

 protected:
  void ForwardWarning(const std::string& message) {
    if (OnWarning) OnWarning(1, message);
  }
  TStream& target_;
  std::array<uint8_t, 256> buffer_{};
  int count_ = 0;
};

// Collects bytes into data sub-blocks of at most 255 bytes.
class TGIFWriter : public TGIFStream {
  K_CLASS(TGIFWriter, TGIFStream)
  explicit TGIFWriter(TStream& target) : TGIFStream(target) { count_ = 1; }
  ~TGIFWriter() override;
  int32_t Write(const void* buffer, int32_t count) override;
  void PutByte(uint8_t value);
  void FlushSubBlock();

 private:
  bool dirty_ = false;
};

class TGIFEncoder : public TObject {
  K_CLASS(TGIFEncoder, TObject)
  ~TGIFEncoder() override = default;
  TGIFWarningHandler OnWarning;
  void EncodeFrame(TStream& stream, int bitsPerPixel, int maxColor, const uint8_t* data,
                   bool interlaced, int height, int width);

 protected:
  virtual void EmitCode(int code);
  virtual void EmitClear();
  virtual void EncodePixels() = 0;
  bool NextPixel();
  // The pixel under the pointer; "Color not in color table" when out of range.
  int CurrentPixel() const;

  TGIFWriter* writer_ = nullptr;
  int maxColor_ = 0;
  int bitsPerPixel_ = 0;
  int initialCodeSize_ = 0;
  int codeSize_ = 0;
  int maxCode_ = 0;
  int clearCode_ = 0;
  int endCode_ = 0;
  int baseCode_ = 0;
  uint32_t bucket_ = 0;
  int bits_ = 0;
  bool clearFlag_ = false;
  const uint8_t* pixel_ = nullptr;
  const uint8_t* data_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool interlaced_ = false;
  int64_t left_ = 0;
  int row_ = 0;
  int pass_ = 0;
};

int MaxCodeForBits(int bits);

// Open-addressing dictionary: 20-bit keys and 12-bit codes in one 32-bit slot.
class THashTable {
 public:
  static constexpr int kSize = 8009;
  THashTable() { Reset(); }
  void Reset();
  void Store(uint32_t key, int code);
  int Find(uint32_t key) const;

 private:
  std::array<uint32_t, kSize> slots_;
};

class TLZWEncoder : public TGIFEncoder {
  K_CLASS(TLZWEncoder, TGIFEncoder)

 protected:
  void EmitCode(int code) override;
  void EmitClear() override;
  void EncodePixels() override;

 private:
  int prefix_ = 0;
  int freeEntry_ = 0;
  std::unique_ptr<THashTable> table_;
};

class TRLEEncoder : public TGIFEncoder {
  K_CLASS(TRLEEncoder, TGIFEncoder)

 protected:
  void EncodePixels() override;

 private:
  void Clear();
  void EmitPlain(int code);
  void OpenClearLimit() { clearLimit_ = maxCodes_; }
  void RestoreClearLimit();
  void FlushRun(int count);
  void FlushAfterClear(int count);
  void FlushByClearOrRepeat(int count);
  void FlushWithRunCodes(int count);

  int prefix_ = -1;
  int runTablePixel_ = 0;
  int runTableMax_ = 0;
  int outCount_ = 0;
  int bumpLimit_ = 0;
  int bumpInit_ = 0;
  int clearLimit_ = 0;
  int clearInit_ = 0;
  int maxCodes_ = 0;
};

// Codes needed to send `count` pixels with run codes of growing length.
int TriangleCost(int count, int n);
int IntegerSqrt(int x);
