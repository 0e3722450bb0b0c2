// Inflating a zlib stream out of another stream, and deflating bytes into one. zlib does the
// work; this unit only feeds it and turns its result codes into exceptions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Streams.h"
#include "framework/SysUtils.h"

struct z_stream_s;

// A zlib failure; ErrorCode is zlib's own result code.
class EZLibError : public Exception {
 public:
  EZLibError(int code, std::string message) : Exception(std::move(message)), code_(code) {}
  int ErrorCode() const { return code_; }

 private:
  int code_;
};
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};
class EZCompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

// The text of a zlib result code ("data error" for -3 and so on).
std::string ZLibErrorMessage(int code);
// A non-negative result unchanged; a negative one raises EZDecompressionError.
int CheckInflateResult(int code);

// The common base of the zlib streams: the source or target and zlib's state.
class TCustomZStream : public TStream {
  K_CLASS(TCustomZStream, TStream)
  ~TCustomZStream() override;

 protected:
  explicit TCustomZStream(TStream* stream);
  TStream* stream_;
  std::unique_ptr<z_stream_s> zstream_;
};

// A read-only stream of the bytes that one zlib stream in `source` inflates to. The zlib
// stream begins at the source's position when this object is made; once it has ended the
// source stands on the first byte after it, so several streams can be read back to back.
class TZDecompressionStream : public TCustomZStream {
  K_CLASS(TZDecompressionStream, TCustomZStream)
  explicit TZDecompressionStream(TStream* source);
  ~TZDecompressionStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  // Raises EZDecompressionError "Invalid ZStream operation!".
  int32_t Write(const void* buffer, int32_t count) override;
  // Seek(0, soBeginning) starts the unpacked data again; forward moves read and drop;
  // Seek(0, soEnd) reads to the end. Anything else raises "Invalid ZStream operation!".
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  // zlib reported the end of its stream (checksum verified).
  bool StreamEnded() const { return ended_; }
  // Bytes produced since the start (the position in the unpacked data).
  int64_t TotalOut() const;

 private:
  void Rewind();
  void DiscardForward(int64_t count);

  static constexpr int kInputBufferSize = 65536;
  int64_t startPosition_;   // where the zlib stream begins in the source
  int64_t sourcePosition_;  // where the next input read continues
  bool ended_ = false;
  std::vector<uint8_t> input_;
};

// The zlib stream (RFC 1950) of `size` bytes, compressed at `level` (0..9, -1 for zlib's
// default). Raises EZCompressionError when zlib refuses.
std::vector<uint8_t> ZCompressBytes(const void* data, size_t size, int level = -1);
