#include "web/EngineMapper.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/HandlesWin32.h"
#include "web/PeImage.h"

namespace {

using TModuleHandle = TUniqueHandle<HMODULE, winhandles::TModuleTraits>;
using TEntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

struct VirtualBlockFree {
  void operator()(void* block) const { ::VirtualFree(block, 0, MEM_RELEASE); }
};
using TVirtualBlock = std::unique_ptr<void, VirtualBlockFree>;

// The image format this process runs: a 32-bit program maps PE32, a 64-bit one PE32+.
constexpr uint16_t kNativeMachine =
    sizeof(void*) == 8 ? peimage::kMachineAmd64 : peimage::kMachineI386;

// On x64 the system unwinder finds a function's unwind data only in tables it knows:
// the image's own table is registered for as long as the image is mapped, so that a C++
// exception thrown and caught inside the engine unwinds. 32-bit images register their
// unwind information themselves at start-up.
class TFunctionTableRegistration {
 public:
  TFunctionTableRegistration() = default;
  TFunctionTableRegistration(const TFunctionTableRegistration&) = delete;
  TFunctionTableRegistration& operator=(const TFunctionTableRegistration&) = delete;
  ~TFunctionTableRegistration() { Remove(); }

  bool Add([[maybe_unused]] uint8_t* base, [[maybe_unused]] const peimage::FunctionTable& table) {
#ifdef _WIN64
    auto* entries = reinterpret_cast<PRUNTIME_FUNCTION>(base + table.rva);
    if (!::RtlAddFunctionTable(entries, table.count, reinterpret_cast<DWORD64>(base))) return false;
    entries_ = entries;
#endif
    return true;
  }
  void Remove() {
#ifdef _WIN64
    if (entries_ != nullptr) ::RtlDeleteFunctionTable(static_cast<PRUNTIME_FUNCTION>(entries_));
#endif
    entries_ = nullptr;
  }

 private:
  void* entries_ = nullptr;
};

// Everything one mapping owns; released together.
struct MappedImage {
  TVirtualBlock block;
  peimage::Layout layout;
  std::vector<TModuleHandle> modules;      // what the image imports from, kept loaded
  TFunctionTableRegistration unwindTable;  // removed before the memory is released
  void* loadedLibrary = nullptr;           // non-NT systems: the engine loaded from disk

  std::span<uint8_t> Memory() const {
    return {static_cast<uint8_t*>(block.get()), layout.sizeOfImage};
  }
};

// Mapped images by base address; used on the main thread only (start-up and shutdown).
std::vector<std::unique_ptr<MappedImage>>& Images() {
  static std::vector<std::unique_ptr<MappedImage>> images;
  return images;
}

MappedImage* FindImage(void* base) {
  for (auto& image : Images()) {
    if (image->block.get() == base || (image->loadedLibrary && image->loadedLibrary == base)) {
      return image.get();
    }
  }
  return nullptr;
}

bool BindImports(MappedImage& image) {
  std::vector<peimage::ImportedModule> imports;
  std::string error;
  if (!peimage::ReadImports(image.Memory(), image.layout, imports, error)) return false;
  for (const auto& module : imports) {
    // LoadLibrary also for modules already loaded: the reference keeps them loaded for as
    // long as the engine may call into them.
    TModuleHandle handle(::LoadLibraryA(module.name.c_str()));
    if (!handle) return false;
    for (const auto& fn : module.functions) {
      FARPROC address = fn.byOrdinal ? ::GetProcAddress(handle.Get(), MAKEINTRESOURCEA(fn.ordinal))
                                     : ::GetProcAddress(handle.Get(), fn.name.c_str());
      // An unresolved import would be a call through a null pointer later on.
      if (address == nullptr) return false;
      peimage::WriteSlot(image.Memory(), image.layout, fn.slotRva,
                         reinterpret_cast<uintptr_t>(address));
    }
    image.modules.push_back(std::move(handle));
  }
  return true;
}

DWORD PageProtection(bool write, bool execute) {
  if (execute) return write ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ;
  return write ? PAGE_READWRITE : PAGE_READONLY;
}

// Headers read-only, each section as its flags say. Sections that share a page (small
// section alignment) give that page the union of their access.
bool ProtectSections(const MappedImage& image) {
  const uint32_t pages = (image.layout.sizeOfImage + peimage::kPageSize - 1) / peimage::kPageSize;
  std::vector<uint8_t> access(pages, 0);  // bit 0 write, bit 1 execute
  for (const auto& s : image.layout.sections) {
    if (s.virtualSize == 0) continue;
    uint32_t first = s.virtualAddress / peimage::kPageSize;
    uint32_t last = (s.virtualAddress + s.virtualSize - 1) / peimage::kPageSize;
    for (uint32_t p = first; p <= last && p < pages; ++p) {
      access[p] |= (s.writable ? 1 : 0) | (s.executable ? 2 : 0);
    }
  }
  uint8_t* base = image.Memory().data();
  for (uint32_t p = 0; p < pages;) {
    uint32_t run = p;
    while (run < pages && access[run] == access[p]) ++run;
    DWORD old;
    if (!::VirtualProtect(base + size_t{p} * peimage::kPageSize,
                          size_t{run - p} * peimage::kPageSize,
                          PageProtection(access[p] & 1, access[p] & 2), &old)) {
      return false;
    }
    p = run;
  }
  return ::FlushInstructionCache(::GetCurrentProcess(), base, image.layout.sizeOfImage) != 0;
}

void* MapFromDisk(void*& entryPoint) {
  entryPoint = nullptr;
  HMODULE module = ::LoadLibraryA("netengine6.dll");
  if (module == nullptr) {
    ::MessageBoxA(nullptr,
                  "netengine6.dll could not be loaded.  netengine6.dll is required for "
                  "Windows 95/95/Me.",
                  nullptr, MB_OK);
    return nullptr;
  }
  auto image = std::make_unique<MappedImage>();
  image->loadedLibrary = module;
  Images().push_back(std::move(image));
  return module;
}

}  // namespace

bool IsNTPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return ::GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void* MapEngineImage(const void* data, size_t size, void*& entryPoint) {
  entryPoint = nullptr;
  if (!IsNTPlatform()) return MapFromDisk(entryPoint);
  if (data == nullptr) return nullptr;
  std::span<const uint8_t> file(static_cast<const uint8_t*>(data), size);
  std::string error;
  auto layout = peimage::ParseLayout(file, error);
  if (!layout || layout->machine != kNativeMachine) return nullptr;

  auto image = std::make_unique<MappedImage>();
  image->layout = std::move(*layout);
  // Committed memory comes zero-filled, which the sections' uninitialised tails rely on.
  image->block.reset(
      ::VirtualAlloc(nullptr, image->layout.sizeOfImage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!image->block) return nullptr;
  peimage::CopySections(file, image->layout, image->Memory());
  const uint64_t base = reinterpret_cast<uintptr_t>(image->block.get());
  if (!peimage::ApplyRelocations(image->Memory(), image->layout, base, error)) return nullptr;
  if (!BindImports(*image) || !ProtectSections(*image)) return nullptr;
  // No table is no error; a damaged one sets the error.
  error.clear();
  auto unwindTable = peimage::ReadFunctionTable(image->Memory(), image->layout, error);
  if (!error.empty()) return nullptr;
  if (unwindTable && !image->unwindTable.Add(image->Memory().data(), *unwindTable)) return nullptr;

  void* entry = nullptr;
  if (image->layout.entryPointRva != 0) {
    entry = image->Memory().data() + image->layout.entryPointRva;
    auto attach = reinterpret_cast<TEntryPoint>(entry);
    // A refusal ends the mapping; the image gets no detach call, as with the system loader.
    if (!attach(static_cast<HINSTANCE>(image->block.get()), DLL_PROCESS_ATTACH, nullptr)) {
      return nullptr;
    }
  }
  void* result = image->block.get();
  Images().push_back(std::move(image));
  entryPoint = entry;
  return result;
}

bool UnmapEngineImage(void* moduleBase, void* entryPoint) {
  MappedImage* image = FindImage(moduleBase);
  if (image == nullptr) return false;
  bool released = false;
  if (image->loadedLibrary) {
    ::FreeLibrary(static_cast<HMODULE>(image->loadedLibrary));
  } else {
    if (entryPoint != nullptr) {
      reinterpret_cast<TEntryPoint>(entryPoint)(static_cast<HINSTANCE>(moduleBase),
                                                DLL_PROCESS_DETACH, nullptr);
    }
    image->unwindTable.Remove();
    released = ::VirtualFree(image->block.release(), 0, MEM_RELEASE) != 0;
  }
  auto& images = Images();
  images.erase(std::find_if(images.begin(), images.end(),
                            [&](auto& entry) { return entry.get() == image; }));
  return released;
}

void* FindEngineExport(void* moduleBase, const char* name) {
  MappedImage* image = FindImage(moduleBase);
  if (image == nullptr || name == nullptr) return nullptr;
  if (image->loadedLibrary) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(moduleBase), name));
  }
  auto rva = peimage::FindExport(image->Memory(), image->layout, name);
  return rva ? image->Memory().data() + *rva : nullptr;
}
