// The file mapping of the line list on Windows.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "editor/KedEditFileBytes.h"
#include "editor/KedEditParallel.h"
#include "framework/HandlesWin32.h"

namespace {

class TWin32Mapping : public TKedEditTextBytes {
 public:
  TWin32Mapping(std::string fileName, TFileHandle file, TKernelHandle section, const void* view,
                size_t size)
      : file_(std::move(file)), section_(std::move(section)), view_(view), size_(size) {
    SetFileName(std::move(fileName));
  }
  ~TWin32Mapping() override { ::UnmapViewOfFile(view_); }
  TWin32Mapping(const TWin32Mapping&) = delete;
  TWin32Mapping& operator=(const TWin32Mapping&) = delete;
  const char* Data() const override { return static_cast<const char*>(view_); }
  size_t Size() const override { return size_; }
  bool IsFileMapping() const override { return true; }

 private:
  // The file stays open for as long as the view: its share mode is what keeps other
  // programs from writing the bytes the lines point into.
  TFileHandle file_;
  TKernelHandle section_;
  const void* view_;
  size_t size_;
};

}  // namespace

std::unique_ptr<TKedEditTextBytes> MapFileReadOnly(const std::string& fileName) {
  // Readers are welcome, writers are not; a file someone already writes cannot be
  // opened this way and is read instead. Sharing delete lets a save rename a new file
  // into this one's place.
  TFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
  // An empty file cannot be mapped.
  if (bytes == 0 || bytes > 0xFFFFFFFFull) return nullptr;
  TKernelHandle section(::CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!section) return nullptr;
  // A 32-bit process whose address space has no free run this long gets nullptr here.
  const void* view = ::MapViewOfFile(section.Get(), FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) return nullptr;
  return std::make_unique<TWin32Mapping>(fileName, std::move(file), std::move(section), view,
                                         static_cast<size_t>(bytes));
}

namespace {

// Windows 8 and later fetch a range of a view in one call; older systems, and Wine where it
// does nothing, fault the pages in as the lines are indexed.
using TPrefetchVirtualMemory = BOOL(WINAPI*)(HANDLE, ULONG_PTR, PVOID, ULONG);

struct TMemoryRange {
  PVOID VirtualAddress;
  SIZE_T NumberOfBytes;
};

void PrefetchView(const void* view, size_t bytes) {
  static const auto prefetch = reinterpret_cast<TPrefetchVirtualMemory>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "PrefetchVirtualMemory")));
  if (!prefetch) return;
  TMemoryRange range{const_cast<void*>(view), bytes};
  prefetch(::GetCurrentProcess(), 1, &range, 0);
}

}  // namespace

namespace {

// A file's bytes read into committed memory of their own.
class TWin32ReadBytes : public TKedEditTextBytes {
 public:
  TWin32ReadBytes(char* data, size_t size) : data_(data), size_(size) {}
  ~TWin32ReadBytes() override { ::VirtualFree(data_, 0, MEM_RELEASE); }
  TWin32ReadBytes(const TWin32ReadBytes&) = delete;
  TWin32ReadBytes& operator=(const TWin32ReadBytes&) = delete;
  const char* Data() const override { return data_; }
  size_t Size() const override { return size_; }

 private:
  char* data_;
  size_t size_;
};

}  // namespace

std::unique_ptr<TKedEditTextBytes> ReadFileBytes(const std::string& fileName) {
  TFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
  if (bytes == 0 || bytes > 0xFFFFFFFFull || bytes > SIZE_MAX) return nullptr;
  auto* data = static_cast<char*>(::VirtualAlloc(nullptr, static_cast<size_t>(bytes),
                                                 MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!data) return nullptr;
  auto read = std::make_unique<TWin32ReadBytes>(data, static_cast<size_t>(bytes));
  // Each core reads its own stretch at its own offset; a read on a handle opened without
  // overlapping still starts where its OVERLAPPED says and ends before it returns.
  std::atomic<bool> failed{false};
  const int parts = KedParallelParts(static_cast<size_t>(bytes));
  const size_t stretch = static_cast<size_t>(bytes) / static_cast<size_t>(parts);
  KedRunInParallel(parts, [&](int part) {
    size_t at = stretch * static_cast<size_t>(part);
    const size_t end = part == parts - 1 ? static_cast<size_t>(bytes) : at + stretch;
    constexpr size_t kBlock = size_t{8} << 20;
    while (at < end && !failed) {
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(static_cast<uint64_t>(at));
      where.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(at) >> 32);
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min(kBlock, end - at));
      // A file that shrank while it was read, or a read error: the caller's stream read
      // reports it.
      if (!::ReadFile(file.Get(), data + at, want, &got, &where) || got == 0) failed = true;
      at += got;
    }
  });
  if (failed) return nullptr;
  return read;
}

std::unique_ptr<TKedEditTextBytes> LoadFileBytes(const std::string& fileName) {
  std::unique_ptr<TKedEditTextBytes> bytes = MapFileReadOnly(fileName);
  if (bytes) PrefetchView(bytes->Data(), bytes->Size());
  return bytes;
}

// Large pages on Windows need a privilege a desktop program does not hold.
void PrepareForFilling(void*, size_t) {}
