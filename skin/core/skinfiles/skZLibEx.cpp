#include "skin/core/skinfiles/skZLibEx.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

const char* const kInvalidOperation = "Invalid ZStream operation!";
constexpr int kDiscardPiece = 8192;

}  // namespace

std::string ZLibErrorMessage(int code) {
  switch (code) {
    case Z_NEED_DICT:
      return "need dictionary";
    case Z_STREAM_END:
      return "stream end";
    case Z_OK:
      return "ok";
    case Z_ERRNO:
      return "file error";
    case Z_STREAM_ERROR:
      return "stream error";
    case Z_DATA_ERROR:
      return "data error";
    case Z_MEM_ERROR:
      return "insufficient memory";
    case Z_BUF_ERROR:
      return "buffer error";
    case Z_VERSION_ERROR:
      return "incompatible version";
    default:
      return "";
  }
}

int CheckInflateResult(int code) {
  if (code < 0) throw EZDecompressionError(code, ZLibErrorMessage(code));
  return code;
}

// ---- TCustomZStream ---------------------------------------------------------------------------

TCustomZStream::TCustomZStream(TStream* stream)
    : stream_(stream), zstream_(std::make_unique<z_stream_s>()) {
  std::memset(zstream_.get(), 0, sizeof(z_stream_s));
}

TCustomZStream::~TCustomZStream() = default;

// ---- TZDecompressionStream --------------------------------------------------------------------

TZDecompressionStream::TZDecompressionStream(TStream* source)
    : TCustomZStream(source), input_(kInputBufferSize) {
  startPosition_ = source->Position();
  sourcePosition_ = startPosition_;
  CheckInflateResult(inflateInit(zstream_.get()));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(zstream_.get()); }

int64_t TZDecompressionStream::TotalOut() const {
  return static_cast<int64_t>(zstream_->total_out);
}

int32_t TZDecompressionStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  z_stream_s& z = *zstream_;
  z.next_out = static_cast<Bytef*>(buffer);
  z.avail_out = static_cast<uInt>(count);
  // Several streams may take turns on one source; each goes back to where it left off.
  if (stream_->Position() != sourcePosition_) stream_->SetPosition(sourcePosition_);
  while (z.avail_out > 0 && !ended_) {
    if (z.avail_in == 0) {
      int32_t got = stream_->Read(input_.data(), kInputBufferSize);
      if (got <= 0) break;
      sourcePosition_ += got;
      z.next_in = input_.data();
      z.avail_in = static_cast<uInt>(got);
    }
    int result = CheckInflateResult(inflate(&z, Z_NO_FLUSH));
    if (result == Z_STREAM_END) ended_ = true;
    // A preset dictionary is never supplied, so inflate would answer the same forever.
    if (result == Z_NEED_DICT) throw EZDecompressionError(result, ZLibErrorMessage(result));
  }
  if (ended_ && z.avail_in > 0) {
    // Hand the bytes after the zlib stream back, so the source stands right after it.
    sourcePosition_ -= z.avail_in;
    stream_->SetPosition(sourcePosition_);
    z.avail_in = 0;
  }
  return count - static_cast<int32_t>(z.avail_out);
}

int32_t TZDecompressionStream::Write(const void*, int32_t) {
  throw EZDecompressionError(Z_STREAM_ERROR, kInvalidOperation);
}

void TZDecompressionStream::Rewind() {
  CheckInflateResult(inflateReset(zstream_.get()));
  zstream_->avail_in = 0;
  zstream_->next_in = nullptr;
  ended_ = false;
  // Back to where this zlib stream began, which need not be the source's first byte.
  sourcePosition_ = startPosition_;
  stream_->SetPosition(sourcePosition_);
}

void TZDecompressionStream::DiscardForward(int64_t count) {
  uint8_t piece[kDiscardPiece];
  while (count > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(count, kDiscardPiece));
    ReadBuffer(piece, n);
    count -= n;
  }
}

int64_t TZDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (origin == soBeginning && offset == 0) {
    Rewind();
  } else if (origin == soCurrent && offset >= 0) {
    DiscardForward(offset);
  } else if (origin == soBeginning && offset >= TotalOut()) {
    DiscardForward(offset - TotalOut());
  } else if (origin == soEnd && offset == 0) {
    uint8_t piece[kDiscardPiece];
    while (Read(piece, kDiscardPiece) > 0) {
    }
  } else {
    throw EZDecompressionError(Z_STREAM_ERROR, kInvalidOperation);
  }
  return TotalOut();
}

// ---- compression ------------------------------------------------------------------------------

std::vector<uint8_t> ZCompressBytes(const void* data, size_t size, int level) {
  z_stream_s z{};
  int result = deflateInit(&z, level);
  if (result != Z_OK) throw EZCompressionError(result, ZLibErrorMessage(result));
  std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(size)));
  z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  z.avail_in = static_cast<uInt>(size);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw EZCompressionError(result, ZLibErrorMessage(result));
  return out;
}
