// Reading and laying out a library image held in memory (the engine resource): PE32 for
// the 32-bit programs, PE32+ for the 64-bit ones.
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
constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kMachineAmd64 = 0x8664;

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
  uint16_t machine = 0;    // kMachineI386 (PE32) or kMachineAmd64 (PE32+)
  bool pe32Plus = false;   // 64-bit addresses in relocations and import thunks
  uint64_t imageBase = 0;  // preferred base
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t entryPointRva = 0;  // 0 = no entry point
  DataDirectory exports;
  DataDirectory imports;
  DataDirectory relocations;
  DataDirectory exceptions;  // PE32+ unwind table (RUNTIME_FUNCTION entries)
  std::vector<Section> sections;
};

// Bytes of one import address-table slot: 4 in PE32, 8 in PE32+.
inline uint32_t SlotSize(const Layout& layout) { return layout.pe32Plus ? 8 : 4; }

// The unwind table of a PE32+ image: `count` entries of 12 bytes at `rva`.
struct FunctionTable {
  uint32_t rva = 0;
  uint32_t count = 0;
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

// Adds (newBase - preferred base) to every target: HIGHLOW entries in PE32, DIR64 in
// PE32+. Only padding and that one kind are accepted; any block or target outside the
// image is an error.
bool ApplyRelocations(std::span<uint8_t> mapped, const Layout& layout, uint64_t newBase,
                      std::string& error);

// Lists the imports of a mapped image, every name and table checked against its bounds.
bool ReadImports(std::span<const uint8_t> mapped, const Layout& layout,
                 std::vector<ImportedModule>& modules, std::string& error);

// Stores a resolved address into an address-table slot (SlotSize bytes).
void WriteSlot(std::span<uint8_t> mapped, const Layout& layout, uint32_t slotRva, uint64_t value);

// The PE32+ unwind table, every entry's code range and unwind data inside the image.
// Nothing (and no error) for PE32 or an image without one; nothing with `error` set when
// the table is damaged.
std::optional<FunctionTable> ReadFunctionTable(std::span<const uint8_t> mapped,
                                               const Layout& layout, std::string& error);

// Case-sensitive lookup of an exported name; returns the function's RVA.
// Forwarded exports and entries outside the image give nothing.
std::optional<uint32_t> FindExport(std::span<const uint8_t> mapped, const Layout& layout,
                                   std::string_view name);

}  // namespace peimage
