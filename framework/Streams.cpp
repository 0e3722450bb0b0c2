#include "framework/Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "framework/SysUtils.h"


// ---- TStream ------------------------------------------------------------------------------

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    int32_t chunk = static_cast<int32_t>(std::min<int64_t>(count, 1 << 30));
    int32_t got = Read(p, chunk);
    if (got <= 0) throw EReadError("Stream read error");
    p += got;
    count -= got;
  }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  auto* p = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    int32_t chunk = static_cast<int32_t>(std::min<int64_t>(count, 1 << 30));
    int32_t put = Write(p, chunk);
    if (put <= 0) throw EWriteError("Stream write error");
    p += put;
    count -= put;
  }
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  const int64_t total = count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 0xF000)));
  while (count > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(buffer.size())));
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return total;
}

// ---- TMemoryStream ------------------------------------------------------------------------

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || position_ >= Size()) return 0;
  int64_t n = std::min<int64_t>(count, Size() - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  int64_t end = position_ + count;
  if (end > Size()) SetSize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
  int64_t target = base + offset;
  // A position before the start is refused; one after the end is kept (writing there grows).
  if (target < 0) throw EStreamError("Invalid stream position");
  position_ = target;
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("Invalid stream size");
  if (static_cast<uint64_t>(size) > std::numeric_limits<size_t>::max())
    throw EOutOfMemory("Out of memory while expanding memory stream");
  try {
    data_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EOutOfMemory("Out of memory while expanding memory stream");
  }
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  int64_t size = stream->Size();
  SetSize(size);
  if (size > 0) stream->ReadBuffer(data_.data(), size);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToStream(TStream* stream) {
  if (!data_.empty()) stream->WriteBuffer(data_.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

// TFileStream lives in the system half of the framework: StreamsWin32.cpp or StreamsPosix.cpp.
