#include "framework/Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "framework/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// ---- TFileStream --------------------------------------------------------------------------

namespace {
bool IsCreateMode(uint16_t mode) { return (mode & fmCreate) == fmCreate; }
}  // namespace

#ifdef _WIN32

namespace {
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  DWORD access;
  switch (mode & 3) {
    case fmOpenWrite:
      access = GENERIC_WRITE;
      break;
    case fmOpenReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    default:
      access = GENERIC_READ;
      break;
  }
  DWORD share;
  switch (mode & 0xF0) {
    case fmShareExclusive:
      share = 0;
      break;
    case fmShareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case fmShareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    case fmShareDenyNone:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    default:
      share = 0;
      break;  // compatibility mode behaves as exclusive on NT
  }
  HANDLE h;
  if (IsCreateMode(mode)) {
    h = ::CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  } else {
    h = ::CreateFileA(fileName.c_str(), access, share, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() { ::CloseHandle(AsHandle(handle_)); }

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD put = 0;
  if (!::WriteFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &put, nullptr)) return 0;
  return static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(AsHandle(handle_), distance, &result, method))
    throw EStreamError("Invalid stream position");
  return result.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
  int64_t pos = Position();
  Seek(size, soBeginning);
  if (!::SetEndOfFile(AsHandle(handle_))) {
    Seek(pos, soBeginning);
    throw EStreamError("Stream size cannot be changed");
  }
  if (pos < size) Seek(pos, soBeginning);
}

#else

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  int fd;
  if (IsCreateMode(mode)) {
    fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  } else {
    int flags = (mode & 3) == fmOpenWrite       ? O_WRONLY
                : (mode & 3) == fmOpenReadWrite ? O_RDWR
                                                : O_RDONLY;
    fd = ::open(fileName.c_str(), flags | O_CLOEXEC);
    struct stat st;
    // A folder opens on POSIX but is no file to stream.
    if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
      ::close(fd);
      fd = -1;
    }
    if (fd < 0) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  }
  handle_ = fd;
}

TFileStream::~TFileStream() { ::close(static_cast<int>(handle_)); }

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t got = ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t put = ::write(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
  return put < 0 ? 0 : static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  if (r < 0) throw EStreamError("Invalid stream position");
  return static_cast<int64_t>(r);
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0 || ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) != 0)
    throw EStreamError("Stream size cannot be changed");
  if (Position() > size) Seek(size, soBeginning);
}

#endif
