// The file mapping of the line list on POSIX systems (native builds and their tests).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>

#include "editor/KedEditFileBytes.h"
#include "editor/KedEditParallel.h"

namespace {

class TPosixMapping : public TKedEditTextBytes {
 public:
  TPosixMapping(std::string fileName, void* view, size_t size) : view_(view), size_(size) {
    SetFileName(std::move(fileName));
  }
  ~TPosixMapping() override { ::munmap(view_, size_); }
  TPosixMapping(const TPosixMapping&) = delete;
  TPosixMapping& operator=(const TPosixMapping&) = delete;
  const char* Data() const override { return static_cast<const char*>(view_); }
  size_t Size() const override { return size_; }
  bool IsFileMapping() const override { return true; }

 private:
  void* view_;
  size_t size_;
};

constexpr size_t kLargePage = size_t{2} << 20;

// A file's bytes read into memory of their own, in whole large pages where the system has
// them.
class TPosixReadBytes : public TKedEditTextBytes {
 public:
  TPosixReadBytes(void* block, size_t reserved, const char* data, size_t size)
      : block_(block), reserved_(reserved), data_(data), size_(size) {}
  ~TPosixReadBytes() override { ::munmap(block_, reserved_); }
  TPosixReadBytes(const TPosixReadBytes&) = delete;
  TPosixReadBytes& operator=(const TPosixReadBytes&) = delete;
  const char* Data() const override { return data_; }
  size_t Size() const override { return size_; }

 private:
  void* block_;
  size_t reserved_;
  const char* data_;
  size_t size_;
};

// Files from this size on are read rather than mapped (see LoadFileBytes).
constexpr uint64_t kReadFromSize = uint64_t{64} << 20;

// Closes the descriptor on every path; the mapping keeps its own reference to the file.
class TDescriptor {
 public:
  TDescriptor() = default;
  ~TDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// Opens a regular file for reading and tells its size as opened.
bool OpenRegularFile(const std::string& fileName, TDescriptor& fd, uint64_t& size) {
  fd.Reset(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return false;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  size = static_cast<uint64_t>(info.st_size);
  return true;
}

// A non-empty file of at most 4 GB: what both ways of taking a dump's bytes accept.
bool Addressable(uint64_t size) { return size != 0 && size <= 0xFFFFFFFFull; }

std::unique_ptr<TKedEditTextBytes> MapOpenFile(const std::string& fileName, const TDescriptor& fd,
                                               uint64_t size) {
#ifdef MAP_POPULATE
  // All pages at once: one fault per page costs more than the pass that indexes them.
  void* view = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                      fd.Get(), 0);
  if (view == MAP_FAILED) return nullptr;
#else
  void* view = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd.Get(), 0);
  if (view == MAP_FAILED) return nullptr;
  ::madvise(view, static_cast<size_t>(size), MADV_WILLNEED);
#endif
  return std::make_unique<TPosixMapping>(fileName, view, static_cast<size_t>(size));
}

std::unique_ptr<TKedEditTextBytes> ReadOpenFile(const TDescriptor& fd, uint64_t size) {
  // Whole large pages, the first one aligned, so the system can back all of them as such.
  const size_t used = (static_cast<size_t>(size) + kLargePage - 1) & ~(kLargePage - 1);
  const size_t reserved = used + kLargePage;
  void* block =
      ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  auto bytes = std::make_unique<TPosixReadBytes>(
      block, reserved,
      reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(block) + kLargePage - 1) &
                              ~(kLargePage - 1)),
      static_cast<size_t>(size));
  char* data = const_cast<char*>(bytes->Data());
#ifdef MADV_HUGEPAGE
  ::madvise(data, used, MADV_HUGEPAGE);
#endif
  // Each core reads its own stretch, in blocks a read takes whole; each fills its own
  // memory, so the pages are backed on several cores at once.
  std::atomic<bool> failed{false};
  const int parts = KedParallelParts(static_cast<size_t>(size));
  const size_t stretch =
      (static_cast<size_t>(size) / static_cast<size_t>(parts) + kLargePage - 1) & ~(kLargePage - 1);
  KedRunInParallel(parts, [&](int part) {
    size_t at = std::min(static_cast<size_t>(size), stretch * static_cast<size_t>(part));
    const size_t end = part == parts - 1 ? static_cast<size_t>(size)
                                         : std::min(static_cast<size_t>(size), at + stretch);
    constexpr size_t kBlock = size_t{8} << 20;
    while (at < end && !failed) {
      const ssize_t got =
          ::pread(fd.Get(), data + at, std::min(kBlock, end - at), static_cast<off_t>(at));
      if (got < 0 && errno == EINTR) continue;
      // A file that shrank while it was read, or a read error: the caller's stream read
      // reports it.
      if (got <= 0) failed = true;
      at += got > 0 ? static_cast<size_t>(got) : 0;
    }
  });
  if (failed) return nullptr;
  return bytes;
}

}  // namespace

std::unique_ptr<TKedEditTextBytes> MapFileReadOnly(const std::string& fileName) {
  TDescriptor fd;
  uint64_t size = 0;
  return OpenRegularFile(fileName, fd, size) && Addressable(size) ? MapOpenFile(fileName, fd, size)
                                                                  : nullptr;
}

std::unique_ptr<TKedEditTextBytes> ReadFileBytes(const std::string& fileName) {
  TDescriptor fd;
  uint64_t size = 0;
  return OpenRegularFile(fileName, fd, size) && Addressable(size) ? ReadOpenFile(fd, size)
                                                                  : nullptr;
}

std::unique_ptr<TKedEditTextBytes> LoadFileBytes(const std::string& fileName, uint64_t maxSize,
                                                 uint64_t& openedSize) {
  openedSize = 0;
  TDescriptor fd;
  uint64_t size = 0;
  if (!OpenRegularFile(fileName, fd, size)) return nullptr;
  openedSize = size;
  // Both ways below take exactly `size` bytes, so a file that grows after this look is cut
  // there rather than slipping past the limit.
  if (size > maxSize || !Addressable(size)) return nullptr;
  if (size >= kReadFromSize)
    if (std::unique_ptr<TKedEditTextBytes> bytes = ReadOpenFile(fd, size)) return bytes;
  return MapOpenFile(fileName, fd, size);
}

void PrepareForFilling(void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
  // Only whole large pages inside the array can be advised.
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLargePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and fault page by page
#endif
  // Advice works on whole pages: from the first page the array touches.
  const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
  const uintptr_t last = reinterpret_cast<uintptr_t>(data) + bytes;
  if (bytes > 0) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}
