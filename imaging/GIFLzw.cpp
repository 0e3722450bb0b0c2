#include "imaging/GIFLzw.h"

#include <algorithm>
#include <vector>

#include "framework/ScopeExit.h"
#include "imaging/GIFBlocks.h"

// ============================================================================================
// Decoding
// ============================================================================================
namespace {

constexpr int kTableSize = 4096;
constexpr int kStackSize = 8192;
constexpr int kMasks[16] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F,
                            0x00FF, 0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF};

class TLzwDecoder {
 public:
  TLzwDecoder(TStream& stream, int minCodeSize, const TGIFWarningHandler& warn)
      : stream_(stream), warn_(warn) {
    initialCodeSize_ = minCodeSize + 1;
    clearCode_ = 1 << minCodeSize;
    endCode_ = clearCode_ + 1;
    codeSize_ = initialCodeSize_;
    sizeLimit_ = 2 * clearCode_;
    nextCode_ = clearCode_ + 2;
    // Single pixels stand for themselves; these entries never change.
    for (int i = 0; i < clearCode_; ++i) suffix_[i] = i;
  }

  // A pixel (>= 0), -1 for no more data, -2 for the end code.
  int ReadPixelCode() {
    if (sp_ > 0) return stack_[--sp_];
    return DecodeNext();
  }

 private:
  void Warn(const char* message) {
    if (warn_) warn_(1, message);
  }

  int ReadCode() {
    if (fresh_) {
      // The tables are set up before the first code, whether the data starts with a clear
      // code or not.
      fresh_ = false;
      return clearCode_;
    }
    if (currentBit_ + codeSize_ >= lastBit_) {
      if (done_) {
        if (currentBit_ >= lastBit_) Warn("Decoder bit buffer under-run");
        return -1;
      }
      buffer_[0] = buffer_[lastByte_ - 2];
      buffer_[1] = buffer_[lastByte_ - 1];
      uint8_t length = 0;
      if (!ReadStreamByte(stream_, length)) return -1;
      if (length == 0) {
        terminatorSeen_ = true;
        done_ = true;
      } else {
        const int64_t left = BytesLeft(stream_);
        if (left < length) {
          Warn("Premature end of data");
          length = static_cast<uint8_t>(left);
        }
        ReadStreamExact(stream_, &buffer_[2], length);
      }
      lastByte_ = 2 + length;
      currentBit_ = currentBit_ - lastBit_ + 16;
      lastBit_ = (2 + length) * 8;
      // A code that still does not fit the bits at hand cannot be completed.
      if (currentBit_ + codeSize_ > lastBit_) {
        if (length == 0) Warn("Decoder bit buffer under-run");
        return -1;
      }
    }
    const int first = currentBit_ / 8;
    const int last = (currentBit_ + codeSize_) / 8;
    uint32_t raw = buffer_[first];
    if (last > first) raw |= static_cast<uint32_t>(buffer_[first + 1]) << 8;
    if (last > first + 1) raw |= static_cast<uint32_t>(buffer_[first + 2]) << 16;
    const int code = static_cast<int>((raw >> (currentBit_ % 8)) & kMasks[codeSize_]);
    currentBit_ += codeSize_;
    return code;
  }

  void SkipToTerminator() {
    // The frame's data ends here: a later read must not take the next block for data.
    done_ = true;
    if (terminatorSeen_) return;
    uint8_t length = 0;
    while (ReadStreamByte(stream_, length) && length != 0)
      stream_.Seek(Min<int64_t>(length, BytesLeft(stream_)), soCurrent);
    terminatorSeen_ = true;
  }

  int DecodeNext() {
    int code = ReadCode();
    if (code < 0) return code;
    if (code == clearCode_) {
      // Only the entries added since the last clear (up to nextCode_) are reset: the rest
      // are still as a clear leaves them, and a stream of clear codes would otherwise cost a
      // whole table each.
      std::fill(prefix_ + clearCode_ + 2, prefix_ + nextCode_, 0);
      std::fill(suffix_ + clearCode_ + 2, suffix_ + nextCode_, 0);
      codeSize_ = initialCodeSize_;
      sizeLimit_ = 2 * clearCode_;
      nextCode_ = clearCode_ + 2;
      sp_ = 0;
      do {
        code = ReadCode();
      } while (code == clearCode_);
      if (code == endCode_) {
        SkipToTerminator();
        return -2;
      }
      // Right after a clear only single pixels exist; anything else is damaged data.
      if (code < 0 || code > clearCode_) return -1;
      firstCode_ = oldCode_ = code;
      return code;
    }
    if (code == endCode_) {
      SkipToTerminator();
      return -2;
    }
    const int incode = code;
    if (code >= nextCode_) {
      stack_[sp_++] = firstCode_;
      code = oldCode_;
    }
    while (code >= clearCode_) {
      // A chain longer than the stack cycles: treat the frame as cut off.
      if (sp_ >= kStackSize - 1) return -1;
      stack_[sp_++] = suffix_[code];
      if (prefix_[code] == code) RaiseGIFError("Circular decoder table entry");
      code = prefix_[code];
    }
    firstCode_ = suffix_[code];
    stack_[sp_++] = firstCode_;
    if (nextCode_ < kTableSize) {
      prefix_[nextCode_] = oldCode_;
      suffix_[nextCode_] = firstCode_;
      ++nextCode_;
      if (nextCode_ >= sizeLimit_ && sizeLimit_ < kTableSize) {
        sizeLimit_ *= 2;
        ++codeSize_;
      }
    }
    oldCode_ = incode;
    return stack_[--sp_];
  }

  TStream& stream_;
  const TGIFWarningHandler& warn_;
  int initialCodeSize_, clearCode_, endCode_, codeSize_, sizeLimit_, nextCode_;
  int firstCode_ = 0, oldCode_ = 0;
  int prefix_[kTableSize] = {};
  int suffix_[kTableSize] = {};
  int stack_[kStackSize] = {};
  int sp_ = 0;
  // Two bytes carried over, a sub-block of up to 255, and room for a three-byte read at
  // the very end.
  uint8_t buffer_[2 + 255 + 3] = {};
  int currentBit_ = 0, lastBit_ = 0, lastByte_ = 2;
  bool fresh_ = true, done_ = false, terminatorSeen_ = false;
};

}  // namespace

void DecodeLZW(TStream& stream, uint8_t* pixels, int width, int height, bool interlaced,
               const TGIFWarningHandler& warn) {
  uint8_t minCodeSize = 0;
  if (!ReadStreamByte(stream, minCodeSize)) return;
  // Sizes beyond 11 would put the clear code outside the 4096-entry tables.
  if (minCodeSize < 1 || minCodeSize > 11) {
    if (warn) warn(1, "Invalid GIF data");
    uint8_t length = 0;
    while (ReadStreamByte(stream, length) && length != 0)
      stream.Seek(Min<int64_t>(length, BytesLeft(stream)), soCurrent);
    return;
  }
  auto decoder = std::make_unique<TLzwDecoder>(stream, minCodeSize, warn);
  if (pixels != nullptr && width > 0 && height > 0) {
    if (!interlaced) {
      const int64_t total = static_cast<int64_t>(width) * height;
      for (int64_t i = 0; i < total; ++i) {
        const int v = decoder->ReadPixelCode();
        if (v < 0) break;
        pixels[i] = static_cast<uint8_t>(v);
      }
    } else {
      static constexpr int kStart[4] = {0, 4, 2, 1};
      static constexpr int kStep[4] = {8, 8, 4, 2};
      int pass = 0;
      int row = 0;
      bool stop = false;
      for (int n = 0; n < height && !stop; ++n) {
        uint8_t* p = pixels + static_cast<int64_t>(row) * width;
        for (int x = 0; x < width; ++x) {
          const int v = decoder->ReadPixelCode();
          if (v < 0) {
            stop = true;
            break;
          }
          p[x] = static_cast<uint8_t>(v);
        }
        row += kStep[pass];
        while (row >= height && pass < 3) {
          ++pass;
          row = kStart[pass];
        }
      }
    }
  }
  // With complete data this meets the end code, which leaves the stream at the next block.
  decoder->ReadPixelCode();
}

// ============================================================================================
// Writing
// ============================================================================================
int32_t TGIFStream::Read(void*, int32_t) { throw Exception("Invalid stream operation"); }
int32_t TGIFStream::Write(const void*, int32_t) { throw Exception("Invalid stream operation"); }
int64_t TGIFStream::Seek(int64_t, TSeekOrigin) { throw Exception("Invalid stream operation"); }

TGIFWriter::~TGIFWriter() {
  // Flushing writes to the target; a failure there must not leave the destructor.
  try {
    if (dirty_) FlushSubBlock();
  } catch (...) {
  }
}

int32_t TGIFWriter::Write(const void* buffer, int32_t count) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  for (int32_t i = 0; i < count; ++i) PutByte(p[i]);
  return count;
}

void TGIFWriter::PutByte(uint8_t value) {
  buffer_[count_++] = value;
  dirty_ = true;
  if (count_ >= 256) FlushSubBlock();
}

void TGIFWriter::FlushSubBlock() {
  if (count_ > 1) {
    buffer_[0] = static_cast<uint8_t>(count_ - 1);
    target_.WriteBuffer(buffer_.data(), count_);
  }
  count_ = 1;
  dirty_ = false;
}

int MaxCodeForBits(int bits) { return static_cast<uint16_t>((1 << bits) - 1); }

void TGIFEncoder::EncodeFrame(TStream& stream, int bitsPerPixel, int maxColor, const uint8_t* data,
                              bool interlaced, int height, int width) {
  if (bitsPerPixel < 2) bitsPerPixel = 2;
  bitsPerPixel_ = bitsPerPixel;
  maxColor_ = maxColor;
  initialCodeSize_ = bitsPerPixel + 1;
  WriteStreamByte(stream, static_cast<uint8_t>(bitsPerPixel));
  codeSize_ = initialCodeSize_;
  maxCode_ = MaxCodeForBits(initialCodeSize_);
  clearCode_ = 1 << (initialCodeSize_ - 1);
  endCode_ = clearCode_ + 1;
  baseCode_ = clearCode_ + 2;
  bucket_ = 0;
  bits_ = 0;
  data_ = data;
  pixel_ = data;
  width_ = width;
  height_ = height;
  interlaced_ = interlaced;
  left_ = interlaced ? width : static_cast<int64_t>(width) * height;
  row_ = 0;
  pass_ = 0;
  {
    TGIFWriter writer(stream);
    writer.OnWarning = OnWarning;
    writer_ = &writer;
    {
      TScopeExit cleanup([&] { writer_ = nullptr; });
      if (data != nullptr && width > 0 && height > 0) EncodePixels();
      EmitCode(endCode_);
      while (bits_ > 0) {
        writer.PutByte(static_cast<uint8_t>(bucket_));
        bucket_ >>= 8;
        bits_ = Max(bits_ - 8, 0);
      }
    }
  }
  WriteStreamByte(stream, 0);
}

void TGIFEncoder::EmitCode(int code) {
  if (bits_ == 0)
    bucket_ = static_cast<uint32_t>(code);
  else
    bucket_ = (static_cast<uint32_t>(code) << bits_) | (bucket_ & ((1u << bits_) - 1));
  bits_ += codeSize_;
  while (bits_ >= 8) {
    writer_->PutByte(static_cast<uint8_t>(bucket_));
    bucket_ >>= 8;
    bits_ -= 8;
  }
}

void TGIFEncoder::EmitClear() {
  clearFlag_ = true;
  EmitCode(clearCode_);
}

int TGIFEncoder::CurrentPixel() const {
  const int c = *pixel_;
  if (c >= maxColor_) RaiseGIFError("Color not in color table");
  return c;
}

bool TGIFEncoder::NextPixel() {
  --left_;
  if (left_ >= 1) {
    ++pixel_;
    return true;
  }
  if (!interlaced_) return false;
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  left_ = width_;
  row_ += kStep[pass_];
  while (row_ >= height_) {
    if (pass_ >= 3) return false;
    ++pass_;
    row_ = kStart[pass_];
  }
  pixel_ = data_ + static_cast<int64_t>(row_) * width_;
  return true;
}

// ---- dictionary encoder ----------------------------------------------------------------------
void THashTable::Reset() { slots_.fill(0xFFFFFFFFu); }

namespace {
bool SlotEmpty(uint32_t slot) { return (slot & 0xFFFFF000u) == 0xFFFFF000u; }
int HashSlot(uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % THashTable::kSize); }
int NextProbeSlot(int slot) {
  int next = slot == 0 ? -1 : slot - (THashTable::kSize - slot);
  if (next < 0) next += THashTable::kSize;
  return next;
}
}  // namespace

void THashTable::Store(uint32_t key, int code) {
  int slot = HashSlot(key);
  for (int probes = 0; probes < kSize; ++probes) {
    if (SlotEmpty(slots_[slot])) {
      slots_[slot] = (key << 12) | (static_cast<uint32_t>(code) & 0xFFF);
      return;
    }
    slot = NextProbeSlot(slot);
  }
}

int THashTable::Find(uint32_t key) const {
  int slot = HashSlot(key);
  for (int probes = 0; probes < kSize; ++probes) {
    const uint32_t value = slots_[slot];
    if (SlotEmpty(value)) return -1;
    if ((value >> 12) == key) return static_cast<int>(value & 0xFFF);
    slot = NextProbeSlot(slot);
  }
  return -1;
}

void TLZWEncoder::EmitCode(int code) {
  TGIFEncoder::EmitCode(code);
  if (clearFlag_) {
    codeSize_ = initialCodeSize_;
    maxCode_ = MaxCodeForBits(initialCodeSize_);
    clearFlag_ = false;
  } else if (freeEntry_ > maxCode_) {
    ++codeSize_;
    maxCode_ = codeSize_ == 12 ? 4096 : MaxCodeForBits(codeSize_);
  }
}

void TLZWEncoder::EmitClear() {
  TGIFEncoder::EmitClear();
  table_->Reset();
  freeEntry_ = clearCode_ + 2;
}

void TLZWEncoder::EncodePixels() {
  table_ = std::make_unique<THashTable>();
  EmitClear();
  prefix_ = CurrentPixel();
  while (NextPixel()) {
    const int c = CurrentPixel();
    const uint32_t key = (static_cast<uint32_t>(prefix_) << 8) | static_cast<uint32_t>(c);
    const int code = table_->Find(key);
    if (code >= 0) {
      prefix_ = code;
      continue;
    }
    EmitCode(prefix_);
    prefix_ = c;
    if (freeEntry_ < 4095) {
      table_->Store(key, freeEntry_);
      ++freeEntry_;
    } else {
      EmitClear();
    }
  }
  EmitCode(prefix_);
  table_.reset();
}

// ---- run-length encoder ----------------------------------------------------------------------
int IntegerSqrt(int x) {
  if (x < 2) return x;
  int r = 1;
  for (int v = x; v >= 4; v >>= 2) r <<= 1;
  r <<= 1;
  while (true) {
    const int v = (x / r + r) / 2;
    if (v == r || v == r + 1) return r;
    r = v;
  }
}

int TriangleCost(int count, int n) {
  const int per = n * (n + 1) / 2;
  int cost = 0;
  while (count >= per) {
    count -= per;
    cost += n;
  }
  if (count > 0) {
    int k = IntegerSqrt(count);
    while (k * (k + 1) >= 2 * count) --k;
    while (k * (k + 1) < 2 * count) ++k;
    cost += k;
  }
  return cost;
}

void TRLEEncoder::Clear() {
  bumpLimit_ = bumpInit_;
  clearLimit_ = clearInit_;
  outCount_ = 0;
  runTableMax_ = 0;
  EmitClear();
  codeSize_ = initialCodeSize_;
}

void TRLEEncoder::EmitPlain(int code) {
  clearFlag_ = false;
  EmitCode(code);
  ++outCount_;
  if (outCount_ == bumpLimit_) {
    bumpLimit_ += 1 << codeSize_;
    ++codeSize_;
  }
  if (outCount_ >= clearLimit_) Clear();
}

void TRLEEncoder::RestoreClearLimit() {
  clearLimit_ = clearInit_;
  if (outCount_ >= clearLimit_) Clear();
}

void TRLEEncoder::FlushRun(int count) {
  if (count == 1) {
    EmitPlain(prefix_);
  } else if (clearFlag_) {
    FlushAfterClear(count);
  } else if (runTableMax_ > 1 && runTablePixel_ == prefix_) {
    FlushWithRunCodes(count);
  } else {
    FlushByClearOrRepeat(count);
  }
}

void TRLEEncoder::FlushAfterClear(int count) {
  OpenClearLimit();
  runTablePixel_ = prefix_;
  int k = 1;
  while (count > 0) {
    if (k == 1) {
      runTableMax_ = 1;
      EmitPlain(prefix_);
      count -= 1;
    } else if (count >= k) {
      runTableMax_ = k;
      EmitPlain(baseCode_ + k - 2);
      count -= k;
    } else {
      ++runTableMax_;
      if (count == 1)
        EmitPlain(prefix_);
      else
        EmitPlain(baseCode_ + count - 2);
      break;
    }
    k = outCount_ == 0 ? 1 : k + 1;
  }
  RestoreClearLimit();
}

void TRLEEncoder::FlushByClearOrRepeat(int count) {
  if (1 + TriangleCost(count, maxCodes_) < count) {
    Clear();
    FlushAfterClear(count);
  } else {
    for (int i = 0; i < count; ++i) EmitPlain(prefix_);
  }
}

void TRLEEncoder::FlushWithRunCodes(int count) {
  int reps = count / runTableMax_;
  int left = count % runTableMax_;
  int extra = left != 0 ? 1 : 0;
  if (outCount_ + reps + extra > maxCodes_) {
    reps = maxCodes_ - outCount_;
    left = count - reps * runTableMax_;
    extra = 1 + TriangleCost(left, maxCodes_);
  }
  if (1 + TriangleCost(count, maxCodes_) < reps + extra) {
    Clear();
    FlushAfterClear(count);
    return;
  }
  OpenClearLimit();
  for (int i = 0; i < reps; ++i) EmitPlain(baseCode_ + runTableMax_ - 2);
  if (left > 0) {
    if (clearFlag_)
      FlushAfterClear(left);
    else if (left == 1)
      EmitPlain(prefix_);
    else
      EmitPlain(baseCode_ + left - 2);
  }
  RestoreClearLimit();
}

void TRLEEncoder::EncodePixels() {
  bumpInit_ = clearCode_ - 1;
  clearInit_ = bitsPerPixel_ > 3 ? clearCode_ - 2 : 9;
  maxCodes_ = MaxCodeForBits(12) - baseCode_;
  Clear();
  prefix_ = -1;
  int run = 0;
  do {
    const int c = CurrentPixel();
    if (run > 0 && c != prefix_) {
      FlushRun(run);
      run = 0;
    }
    if (c == prefix_) {
      ++run;
    } else {
      prefix_ = c;
      run = 1;
    }
  } while (NextPixel());
  FlushRun(run);
}
