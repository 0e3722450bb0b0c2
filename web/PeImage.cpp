#include "web/PeImage.h"

#include <algorithm>
#include <cstring>

namespace peimage {
namespace {

constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kMaxSections = 96;
constexpr size_t kMaxNameLength = 1024;
constexpr uint32_t kScnExecute = 0x20000000;
constexpr uint32_t kScnRead = 0x40000000;
constexpr uint32_t kScnWrite = 0x80000000;
constexpr uint16_t kRelAbsolute = 0;
constexpr uint16_t kRelHighLow = 3;
constexpr uint16_t kRelDir64 = 10;
constexpr uint32_t kRuntimeFunctionSize = 12;

// True when [offset, offset + length) lies inside a buffer of `size` bytes; computed
// in 64 bits so that no sum of 32-bit header fields can wrap.
bool Within(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

uint16_t Read16(std::span<const uint8_t> data, size_t offset) {
  uint16_t v;
  std::memcpy(&v, data.data() + offset, sizeof v);
  return v;
}

uint32_t Read32(std::span<const uint8_t> data, size_t offset) {
  uint32_t v;
  std::memcpy(&v, data.data() + offset, sizeof v);
  return v;
}

uint64_t Read64(std::span<const uint8_t> data, size_t offset) {
  uint64_t v;
  std::memcpy(&v, data.data() + offset, sizeof v);
  return v;
}

// A zero-terminated name inside the image, or nothing when it runs off the end.
std::optional<std::string> ReadName(std::span<const uint8_t> data, uint32_t rva) {
  if (rva >= data.size()) return std::nullopt;
  size_t limit = std::min(data.size() - rva, kMaxNameLength + 1);
  const uint8_t* start = data.data() + rva;
  const void* end = std::memchr(start, 0, limit);
  if (end == nullptr) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(start),
                     static_cast<size_t>(static_cast<const uint8_t*>(end) - start));
}

bool Fail(std::string& error, const char* text) {
  error = text;
  return false;
}

std::optional<Section> ReadSection(std::span<const uint8_t> file, size_t offset,
                                   uint32_t sizeOfImage, std::string& error) {
  Section s;
  const char* rawName = reinterpret_cast<const char*>(file.data() + offset);
  s.name.assign(rawName, strnlen(rawName, 8));
  s.virtualSize = Read32(file, offset + 8);
  s.virtualAddress = Read32(file, offset + 12);
  uint32_t rawSize = Read32(file, offset + 16);
  s.rawOffset = Read32(file, offset + 20);
  uint32_t flags = Read32(file, offset + 36);
  s.copySize = s.virtualSize != 0 ? std::min(rawSize, s.virtualSize) : rawSize;
  if (rawSize != 0 && !Within(s.rawOffset, rawSize, file.size())) {
    error = "section data outside the file";
    return std::nullopt;
  }
  s.virtualSize = std::max(s.virtualSize, s.copySize);
  if (!Within(s.virtualAddress, s.virtualSize, sizeOfImage)) {
    error = "section outside the image";
    return std::nullopt;
  }
  s.readable = (flags & kScnRead) != 0;
  s.writable = (flags & kScnWrite) != 0;
  s.executable = (flags & kScnExecute) != 0;
  return s;
}

bool DirectoryInImage(const DataDirectory& dir, uint32_t sizeOfImage) {
  return dir.rva == 0 || Within(dir.rva, dir.size, sizeOfImage);
}

}  // namespace

std::optional<Layout> ParseLayout(std::span<const uint8_t> file, std::string& error) {
  if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z') {
    error = "no MZ header";
    return std::nullopt;
  }
  uint32_t peOffset = Read32(file, 60);
  if (!Within(peOffset, 24, file.size()) || std::memcmp(file.data() + peOffset, "PE\0\0", 4) != 0) {
    error = "no PE signature";
    return std::nullopt;
  }
  size_t coff = peOffset + 4;
  uint16_t machine = Read16(file, coff);
  uint16_t sectionCount = Read16(file, coff + 2);
  uint16_t optionalSize = Read16(file, coff + 16);
  size_t optional = coff + 20;
  if (machine != kMachineI386 && machine != kMachineAmd64) {
    error = "not an i386 or x86-64 image";
    return std::nullopt;
  }
  // The two formats differ in the width of the image base, which moves the directories.
  const bool pe32Plus = machine == kMachineAmd64;
  const uint16_t magic = pe32Plus ? kMagicPe32Plus : kMagicPe32;
  const size_t countField = pe32Plus ? 108 : 92;
  const size_t directories = countField + 4;
  // The directories we use (export 0, import 1, exception 3, relocation 5) must be present.
  if (optionalSize < directories + 6 * 8 || !Within(optional, optionalSize, file.size()) ||
      Read16(file, optional) != magic) {
    error = "bad optional header";
    return std::nullopt;
  }
  Layout layout;
  layout.machine = machine;
  layout.pe32Plus = pe32Plus;
  layout.entryPointRva = Read32(file, optional + 16);
  layout.imageBase = pe32Plus ? Read64(file, optional + 24) : Read32(file, optional + 28);
  layout.sizeOfImage = Read32(file, optional + 56);
  layout.sizeOfHeaders = Read32(file, optional + 60);
  uint32_t directoryCount = Read32(file, optional + countField);
  if (directoryCount < 6 || directories + uint64_t{directoryCount} * 8 > optionalSize) {
    error = "too few data directories";
    return std::nullopt;
  }
  auto directory = [&](int index) {
    return DataDirectory{Read32(file, optional + directories + index * 8),
                         Read32(file, optional + directories + 4 + index * 8)};
  };
  layout.exports = directory(0);
  layout.imports = directory(1);
  layout.relocations = directory(5);
  if (pe32Plus) layout.exceptions = directory(3);

  if (layout.sizeOfImage == 0 || layout.sizeOfImage > kMaxImageSize) {
    error = "bad image size";
    return std::nullopt;
  }
  size_t sectionTable = optional + optionalSize;
  if (sectionCount == 0 || sectionCount > kMaxSections ||
      !Within(sectionTable, size_t{sectionCount} * 40, file.size())) {
    error = "bad section table";
    return std::nullopt;
  }
  if (layout.sizeOfHeaders < sectionTable + size_t{sectionCount} * 40 ||
      layout.sizeOfHeaders > file.size() || layout.sizeOfHeaders > layout.sizeOfImage) {
    error = "bad header size";
    return std::nullopt;
  }
  uint64_t previousEnd = layout.sizeOfHeaders;
  for (size_t i = 0; i < sectionCount; ++i) {
    auto section = ReadSection(file, sectionTable + i * 40, layout.sizeOfImage, error);
    if (!section) return std::nullopt;
    // Sections must ascend without overlap so that each page gets one protection.
    if (section->virtualAddress < previousEnd) {
      error = "overlapping sections";
      return std::nullopt;
    }
    previousEnd = uint64_t{section->virtualAddress} + section->virtualSize;
    layout.sections.push_back(std::move(*section));
  }
  if (!DirectoryInImage(layout.exports, layout.sizeOfImage) ||
      !DirectoryInImage(layout.imports, layout.sizeOfImage) ||
      !DirectoryInImage(layout.relocations, layout.sizeOfImage) ||
      !DirectoryInImage(layout.exceptions, layout.sizeOfImage)) {
    error = "data directory outside the image";
    return std::nullopt;
  }
  if (layout.entryPointRva != 0) {
    bool inCode = std::any_of(layout.sections.begin(), layout.sections.end(), [&](auto& s) {
      return s.executable && layout.entryPointRva >= s.virtualAddress &&
             layout.entryPointRva - s.virtualAddress < s.virtualSize;
    });
    if (!inCode) {
      error = "entry point outside the code";
      return std::nullopt;
    }
  }
  return layout;
}

void CopySections(std::span<const uint8_t> file, const Layout& layout, std::span<uint8_t> mapped) {
  std::memcpy(mapped.data(), file.data(), layout.sizeOfHeaders);
  for (const Section& s : layout.sections) {
    if (s.copySize != 0) {
      std::memcpy(mapped.data() + s.virtualAddress, file.data() + s.rawOffset, s.copySize);
    }
  }
}

bool ApplyRelocations(std::span<uint8_t> mapped, const Layout& layout, uint64_t newBase,
                      std::string& error) {
  const DataDirectory& dir = layout.relocations;
  if (dir.rva == 0 || dir.size == 0) return true;
  // Modulo 2^64 (or 2^32 for PE32 targets), as the CPU adds it.
  const uint64_t delta = newBase - layout.imageBase;
  const uint16_t kind = layout.pe32Plus ? kRelDir64 : kRelHighLow;
  const uint32_t width = layout.pe32Plus ? 8 : 4;
  uint32_t offset = 0;
  while (offset < dir.size) {
    if (dir.size - offset < 8) return Fail(error, "truncated relocation block");
    uint32_t block = dir.rva + offset;
    uint32_t pageRva = Read32(mapped, block);
    uint32_t blockSize = Read32(mapped, block + 4);
    if (blockSize < 8 || blockSize % 2 != 0 || blockSize > dir.size - offset) {
      return Fail(error, "bad relocation block size");
    }
    for (uint32_t e = 8; e < blockSize; e += 2) {
      uint16_t entry = Read16(mapped, block + e);
      uint16_t type = entry >> 12;
      if (type == kRelAbsolute) continue;
      if (type != kind) return Fail(error, "unsupported relocation type");
      uint64_t target = uint64_t{pageRva} + (entry & 0xFFF);
      if (!Within(target, width, layout.sizeOfImage))
        return Fail(error, "relocation outside the image");
      if (layout.pe32Plus) {
        uint64_t value = Read64(mapped, target) + delta;
        std::memcpy(mapped.data() + target, &value, sizeof value);
      } else {
        uint32_t value = Read32(mapped, target) + static_cast<uint32_t>(delta);
        std::memcpy(mapped.data() + target, &value, sizeof value);
      }
    }
    offset += blockSize;
  }
  return true;
}

bool ReadImports(std::span<const uint8_t> mapped, const Layout& layout,
                 std::vector<ImportedModule>& modules, std::string& error) {
  modules.clear();
  if (layout.imports.rva == 0) return true;
  const uint32_t size = layout.sizeOfImage;
  for (uint64_t desc = layout.imports.rva;; desc += 20) {
    if (!Within(desc, 20, size)) return Fail(error, "import table runs off the image");
    uint32_t lookupRva = Read32(mapped, desc);
    uint32_t nameRva = Read32(mapped, desc + 12);
    uint32_t addressRva = Read32(mapped, desc + 16);
    if (lookupRva == 0 && nameRva == 0 && addressRva == 0) break;
    if (nameRva == 0 || addressRva == 0) return Fail(error, "incomplete import descriptor");
    ImportedModule module;
    auto moduleName = ReadName(mapped, nameRva);
    if (!moduleName || moduleName->empty()) return Fail(error, "bad import module name");
    module.name = std::move(*moduleName);
    uint32_t table = lookupRva != 0 ? lookupRva : addressRva;
    const uint32_t width = SlotSize(layout);
    const uint64_t ordinalFlag = layout.pe32Plus ? uint64_t{1} << 63 : 0x80000000u;
    for (uint64_t i = 0;; ++i) {
      uint64_t lookup = table + i * width;
      uint64_t slot = addressRva + i * width;
      if (!Within(lookup, width, size) || !Within(slot, width, size)) {
        return Fail(error, "import thunks run off the image");
      }
      uint64_t entry = layout.pe32Plus ? Read64(mapped, lookup) : Read32(mapped, lookup);
      if (entry == 0) break;
      ImportedFunction fn;
      fn.slotRva = static_cast<uint32_t>(slot);
      if (entry & ordinalFlag) {
        if (entry & (ordinalFlag - 1) & ~uint64_t{0xFFFF}) return Fail(error, "bad import ordinal");
        fn.byOrdinal = true;
        fn.ordinal = static_cast<uint16_t>(entry);
      } else {
        // The entry points at a 2-byte hint followed by the name.
        auto name =
            entry <= size - 2 ? ReadName(mapped, static_cast<uint32_t>(entry) + 2) : std::nullopt;
        if (!name || name->empty()) return Fail(error, "bad import name");
        fn.name = std::move(*name);
      }
      module.functions.push_back(std::move(fn));
    }
    modules.push_back(std::move(module));
  }
  return true;
}

void WriteSlot(std::span<uint8_t> mapped, const Layout& layout, uint32_t slotRva, uint64_t value) {
  if (layout.pe32Plus) {
    std::memcpy(mapped.data() + slotRva, &value, sizeof value);
  } else {
    uint32_t narrow = static_cast<uint32_t>(value);
    std::memcpy(mapped.data() + slotRva, &narrow, sizeof narrow);
  }
}

std::optional<FunctionTable> ReadFunctionTable(std::span<const uint8_t> mapped,
                                               const Layout& layout, std::string& error) {
  const DataDirectory& dir = layout.exceptions;
  if (!layout.pe32Plus || dir.rva == 0 || dir.size == 0) return std::nullopt;
  const uint32_t size = layout.sizeOfImage;
  if (dir.size % kRuntimeFunctionSize != 0 || !Within(dir.rva, dir.size, size)) {
    Fail(error, "bad unwind table");
    return std::nullopt;
  }
  const uint32_t count = dir.size / kRuntimeFunctionSize;
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t at = dir.rva + uint64_t{i} * kRuntimeFunctionSize;
    uint32_t begin = Read32(mapped, at);
    uint32_t end = Read32(mapped, at + 4);
    uint32_t unwind = Read32(mapped, at + 8);
    // The unwinder follows these addresses: each must lie inside the image. The low bit
    // of the unwind address marks a chained entry; the header is 4 bytes either way.
    if (begin >= end || end > size || !Within(unwind & ~1u, 4, size)) {
      Fail(error, "unwind entry outside the image");
      return std::nullopt;
    }
  }
  return FunctionTable{dir.rva, count};
}

std::optional<uint32_t> FindExport(std::span<const uint8_t> mapped, const Layout& layout,
                                   std::string_view name) {
  const DataDirectory& dir = layout.exports;
  const uint32_t size = layout.sizeOfImage;
  if (dir.rva == 0 || dir.size < 40 || !Within(dir.rva, 40, size)) return std::nullopt;
  uint32_t functionCount = Read32(mapped, dir.rva + 20);
  uint32_t nameCount = Read32(mapped, dir.rva + 24);
  uint32_t functions = Read32(mapped, dir.rva + 28);
  uint32_t names = Read32(mapped, dir.rva + 32);
  uint32_t ordinals = Read32(mapped, dir.rva + 36);
  if (!Within(functions, uint64_t{functionCount} * 4, size) ||
      !Within(names, uint64_t{nameCount} * 4, size) ||
      !Within(ordinals, uint64_t{nameCount} * 2, size)) {
    return std::nullopt;
  }
  for (uint32_t i = 0; i < nameCount; ++i) {
    auto exported = ReadName(mapped, Read32(mapped, names + uint64_t{i} * 4));
    if (!exported || *exported != name) continue;
    uint16_t index = Read16(mapped, ordinals + uint64_t{i} * 2);
    if (index >= functionCount) return std::nullopt;
    uint32_t rva = Read32(mapped, functions + uint64_t{index} * 4);
    // An address inside the export directory is a forwarder text, not code.
    bool forwarded = rva >= dir.rva && rva - dir.rva < dir.size;
    if (rva == 0 || rva >= size || forwarded) return std::nullopt;
    return rva;
  }
  return std::nullopt;
}

}  // namespace peimage
