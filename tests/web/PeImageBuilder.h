// Builds small synthetic library images for the loader's tests, PE32 and PE32+: five
// sections, two absolute pointers with relocations (HIGHLOW or DIR64), imports by name and
// by ordinal, exports including a forwarder, and for PE32+ an unwind table. File offsets
// equal RVAs, so tests can patch either.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "web/PeImage.h"

namespace pebuild {

constexpr uint32_t kImageBase = 0x10000000;
constexpr uint32_t kPeOffset = 0x80;
constexpr uint32_t kOptional = kPeOffset + 24;
constexpr uint32_t kSectionTable = kOptional + 224;
constexpr uint32_t kText = 0x1000, kData = 0x2000, kRdata = 0x3000, kReloc = 0x4000;
constexpr uint32_t kImports = 0x3000, kExports = 0x3200;
constexpr uint32_t kKernelLookup = 0x3080, kUserLookup = 0x3090;
constexpr uint32_t kKernelSlots = 0x30C0, kUserSlots = 0x30D0;
constexpr uint32_t kFileSize = 0x4200, kImageSize = 0x5000;
constexpr uint32_t kCreateRva = 0x1000, kDoRva = 0x1010;
// PE32+: a wider optional header moves the section table; 8-byte thunks need more room.
constexpr uint64_t kImageBase64 = 0x180000000ull;
constexpr uint32_t kSectionTable64 = kOptional + 240;
constexpr uint32_t kKernelLookup64 = 0x3080, kUserLookup64 = 0x30A0;
constexpr uint32_t kKernelSlots64 = 0x30C0, kUserSlots64 = 0x30E0;
constexpr uint32_t kUnwindTable64 = 0x3300, kUnwindInfo64 = 0x3340;

struct Image {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kFileSize, 0);

  void Put16(uint32_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); }
  void Put32(uint32_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
  void Put64(uint32_t at, uint64_t v) { std::memcpy(&bytes[at], &v, 8); }
  uint32_t Get32(uint32_t at) const {
    uint32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  }
  void PutText(uint32_t at, const std::string& s) {
    std::memcpy(&bytes[at], s.c_str(), s.size() + 1);
  }
  // Offset of a field of section header `index` (0 .text, 1 .data, 2 .rdata, 3 .reloc, 4 .bss).
  static uint32_t SectionField(int index, uint32_t field, uint32_t table = kSectionTable) {
    return table + index * 40 + field;
  }
  std::span<const uint8_t> Span() const { return bytes; }
};

inline void AddSection(Image& img, int index, const char* name, uint32_t va, uint32_t virtualSize,
                       uint32_t rawSize, uint32_t flags, uint32_t table = kSectionTable) {
  uint32_t at = Image::SectionField(index, 0, table);
  std::memcpy(&img.bytes[at], name, std::strlen(name));
  img.Put32(at + 8, virtualSize);
  img.Put32(at + 12, va);
  img.Put32(at + 16, rawSize);
  img.Put32(at + 20, rawSize != 0 ? va : 0);
  img.Put32(at + 36, flags);
}

// Common to both formats: sections' contents other than thunks, names and exports.
inline void PutNamesAndExports(Image& img) {
  img.bytes[kText] = 0xC3;  // ret
  img.PutText(0x3100, "KERNEL32.dll");
  img.PutText(0x3110, "USER32.dll");
  img.Put16(0x3120, 7);
  img.PutText(0x3122, "GetTickCount");
  img.Put16(0x3140, 9);
  img.PutText(0x3142, "MessageBoxA");
  img.Put32(kExports + 12, 0x3280);
  img.Put32(kExports + 16, 1);
  img.Put32(kExports + 20, 3);
  img.Put32(kExports + 24, 3);
  img.Put32(kExports + 28, 0x3240);
  img.Put32(kExports + 32, 0x3250);
  img.Put32(kExports + 36, 0x3260);
  img.Put32(0x3240, kCreateRva);
  img.Put32(0x3244, kDoRva);
  img.Put32(0x3248, 0x3290);
  img.Put32(0x3250, 0x32A0);
  img.Put32(0x3254, 0x32B0);
  img.Put32(0x3258, 0x32C0);
  img.Put16(0x3260, 2);
  img.Put16(0x3262, 0);
  img.Put16(0x3264, 1);
  img.PutText(0x3280, "engine.dll");
  img.PutText(0x3290, "OTHER.Fn");
  img.PutText(0x32A0, "Forwarded");
  img.PutText(0x32B0, "WebForm_Create");
  img.PutText(0x32C0, "WebForm_Do");
}

// Headers and section table shared by both formats. Returns where the data directories
// start: the wider image base of PE32+ moves them.
inline uint32_t PutHeaders(Image& img, bool pe32Plus) {
  img.bytes[0] = 'M';
  img.bytes[1] = 'Z';
  img.Put32(60, kPeOffset);
  std::memcpy(&img.bytes[kPeOffset], "PE\0\0", 4);
  uint32_t coff = kPeOffset + 4;
  img.Put16(coff, pe32Plus ? 0x8664 : 0x14C);
  img.Put16(coff + 2, 5);
  img.Put16(coff + 16, pe32Plus ? 240 : 224);
  // Executable DLL; 32-bit machine or large addresses.
  img.Put16(coff + 18, pe32Plus ? 0x2022 : 0x2102);
  img.Put16(kOptional, pe32Plus ? 0x20B : 0x10B);
  img.Put32(kOptional + 16, kCreateRva);
  if (pe32Plus) {
    img.Put64(kOptional + 24, kImageBase64);
  } else {
    img.Put32(kOptional + 28, kImageBase);
  }
  img.Put32(kOptional + 32, 0x1000);
  img.Put32(kOptional + 36, 0x200);
  img.Put32(kOptional + 56, kImageSize);
  img.Put32(kOptional + 60, 0x400);
  const uint32_t directories = kOptional + (pe32Plus ? 112 : 96);
  img.Put32(directories - 4, 16);
  const uint32_t t = pe32Plus ? kSectionTable64 : kSectionTable;
  AddSection(img, 0, ".text", kText, 0x100, 0x200, 0x60000020, t);
  AddSection(img, 1, ".data", kData, 0x100, 0x200, 0xC0000040, t);
  AddSection(img, 2, ".rdata", kRdata, 0x400, 0x400, 0x40000040, t);
  AddSection(img, 3, ".reloc", kReloc, 0x10, 0x200, 0x42000040, t);
  AddSection(img, 4, ".bss", 0x4100, 0x80, 0, 0xC0000080, t);
  return directories;
}

inline void PutDirectory(Image& img, uint32_t directories, int index, uint32_t rva, uint32_t size) {
  img.Put32(directories + index * 8, rva);
  img.Put32(directories + 4 + index * 8, size);
}

inline Image BuildImage() {
  Image img;
  const uint32_t dirs = PutHeaders(img, false);
  PutDirectory(img, dirs, 0, kExports, 0x100);
  PutDirectory(img, dirs, 1, kImports, 60);
  PutDirectory(img, dirs, 5, kReloc, 16);

  img.Put32(kData, kImageBase + kCreateRva);
  img.Put32(kData + 4, kImageBase + kDoRva);

  // Import descriptors: KERNEL32.dll (by name and by ordinal 17), USER32.dll (by name).
  img.Put32(kImports + 0, kKernelLookup);
  img.Put32(kImports + 12, 0x3100);
  img.Put32(kImports + 16, kKernelSlots);
  img.Put32(kImports + 20, kUserLookup);
  img.Put32(kImports + 32, 0x3110);
  img.Put32(kImports + 36, kUserSlots);
  for (uint32_t table : {kKernelLookup, kKernelSlots}) {
    img.Put32(table, 0x3120);
    img.Put32(table + 4, 0x80000011);
  }
  for (uint32_t table : {kUserLookup, kUserSlots}) img.Put32(table, 0x3140);

  // Exports: names sorted, the third function forwarded to another module.
  PutNamesAndExports(img);

  // One relocation block for the .data page: two HIGHLOW entries and padding.
  img.Put32(kReloc, kData);
  img.Put32(kReloc + 4, 16);
  img.Put16(kReloc + 8, 0x3000);
  img.Put16(kReloc + 10, 0x3004);
  return img;
}

// The same library as BuildImage, as an x86-64 (PE32+) image.
inline Image BuildImage64() {
  Image img;
  const uint32_t dirs = PutHeaders(img, true);
  PutDirectory(img, dirs, 0, kExports, 0x100);
  PutDirectory(img, dirs, 1, kImports, 60);
  PutDirectory(img, dirs, 3, kUnwindTable64, 24);
  PutDirectory(img, dirs, 5, kReloc, 12);

  img.Put64(kData, kImageBase64 + kCreateRva);
  img.Put64(kData + 8, kImageBase64 + kDoRva);

  img.Put32(kImports + 0, kKernelLookup64);
  img.Put32(kImports + 12, 0x3100);
  img.Put32(kImports + 16, kKernelSlots64);
  img.Put32(kImports + 20, kUserLookup64);
  img.Put32(kImports + 32, 0x3110);
  img.Put32(kImports + 36, kUserSlots64);
  for (uint32_t table : {kKernelLookup64, kKernelSlots64}) {
    img.Put64(table, 0x3120);
    img.Put64(table + 8, 0x8000000000000011ull);
  }
  for (uint32_t table : {kUserLookup64, kUserSlots64}) img.Put64(table, 0x3140);
  PutNamesAndExports(img);

  // Two functions with one shared unwind record (version 1, no codes).
  img.Put32(kUnwindTable64, kCreateRva);
  img.Put32(kUnwindTable64 + 4, kCreateRva + 0x10);
  img.Put32(kUnwindTable64 + 8, kUnwindInfo64);
  img.Put32(kUnwindTable64 + 12, kDoRva);
  img.Put32(kUnwindTable64 + 16, kDoRva + 0x10);
  img.Put32(kUnwindTable64 + 20, kUnwindInfo64);
  img.bytes[kUnwindInfo64] = 1;

  // One relocation block for the .data page: two DIR64 entries.
  img.Put32(kReloc, kData);
  img.Put32(kReloc + 4, 12);
  img.Put16(kReloc + 8, 0xA000);
  img.Put16(kReloc + 10, 0xA008);
  return img;
}

// Runs every step the mapper takes on untrusted bytes, with a fake base address.
// Returns false at the first step that rejects the image.
inline bool MapPortably(std::span<const uint8_t> file, uint64_t newBase,
                        std::vector<uint8_t>& mapped,
                        std::vector<peimage::ImportedModule>& imports) {
  std::string error;
  auto layout = peimage::ParseLayout(file, error);
  if (!layout) return false;
  mapped.assign(layout->sizeOfImage, 0);
  peimage::CopySections(file, *layout, mapped);
  if (!peimage::ApplyRelocations(mapped, *layout, newBase, error)) return false;
  if (!peimage::ReadImports(mapped, *layout, imports, error)) return false;
  for (auto& module : imports) {
    for (auto& fn : module.functions)
      peimage::WriteSlot(mapped, *layout, fn.slotRva, 0xA0000000u + fn.ordinal);
  }
  peimage::ReadFunctionTable(mapped, *layout, error);
  (void)peimage::FindExport(mapped, *layout, "WebForm_Do");
  return true;
}

}  // namespace pebuild
