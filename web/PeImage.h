// Reading and laying out a 32-bit library image held in memory (the engine resource).
// Portable: the Win32 mapper (EngineMapper) does the allocation, protection and binding;
// everything that interprets the untrusted bytes lives here and checks every offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace peimage {

// Upper bound for SizeOfImage: a corrupt header must not make us reserve gigabytes.
constexpr uint32_t kMaxImageSize = 64u * 1024u * 1024u;
constexpr uint32_t kPageSize = 4096;

struct DataDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

// Section access as the mapper needs it for page protection.
struct Section {
  std::string name;
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;  // extent in memory (at least the copied bytes)
  uint32_t rawOffset = 0;
  uint32_t copySize = 0;  // bytes taken from the file
  bool readable = false;
  bool writable = false;
  bool executable = false;
};

struct Layout {
  uint32_t imageBase = 0;  // preferred base
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t entryPointRva = 0;  // 0 = no entry point
  DataDirectory exports;
  DataDirectory imports;
  DataDirectory relocations;
  std::vector<Section> sections;
};

struct ImportedFunction {
  uint32_t slotRva = 0;  // address-table entry to fill
  bool byOrdinal = false;
  uint16_t ordinal = 0;
  std::string name;
};

struct ImportedModule {
  std::string name;
  std::vector<ImportedFunction> functions;
};

// Validates the headers and section table of a file image against its size.
// Returns nothing and sets `error` when the image is unusable.
std::optional<Layout> ParseLayout(std::span<const uint8_t> file, std::string& error);

// Copies headers and section data into `mapped` (SizeOfImage bytes, zero-filled).
void CopySections(std::span<const uint8_t> file, const Layout& layout, std::span<uint8_t> mapped);

// Adds (newBase - preferred base) to every HIGHLOW target. Only padding and HIGHLOW
// entries are accepted; any block or target outside the image is an error.
bool ApplyRelocations(std::span<uint8_t> mapped, const Layout& layout, uint32_t newBase,
                      std::string& error);

// Lists the imports of a mapped image, every name and table checked against its bounds.
bool ReadImports(std::span<const uint8_t> mapped, const Layout& layout,
                 std::vector<ImportedModule>& modules, std::string& error);

// Stores a resolved 32-bit address into an address-table slot.
void WriteSlot(std::span<uint8_t> mapped, uint32_t slotRva, uint32_t value);

// Case-sensitive lookup of an exported name; returns the function's RVA.
// Forwarded exports and entries outside the image give nothing.
std::optional<uint32_t> FindExport(std::span<const uint8_t> mapped, const Layout& layout,
                                   std::string_view name);

}  // namespace peimage
