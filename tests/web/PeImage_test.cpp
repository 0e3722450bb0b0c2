#include "web/PeImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/web/PeImageBuilder.h"

using namespace pebuild;
using peimage::ImportedModule;

namespace {

struct Mapped {
  peimage::Layout layout;
  std::vector<uint8_t> memory;
};

Mapped MapAt(const Image& img, uint64_t base) {
  std::string error;
  auto layout = peimage::ParseLayout(img.Span(), error);
  EXPECT_TRUE(layout) << error;
  Mapped m{*layout, std::vector<uint8_t>(layout->sizeOfImage, 0)};
  peimage::CopySections(img.Span(), m.layout, m.memory);
  EXPECT_TRUE(peimage::ApplyRelocations(m.memory, m.layout, base, error)) << error;
  return m;
}

uint32_t Read32(const std::vector<uint8_t>& v, uint32_t at) {
  uint32_t x;
  std::memcpy(&x, &v[at], 4);
  return x;
}

uint64_t Read64(const std::vector<uint8_t>& v, uint32_t at) {
  uint64_t x;
  std::memcpy(&x, &v[at], 8);
  return x;
}

}  // namespace

TEST(PeImage, LayoutGivesSectionsWithTheirAccessAndDirectories) {
  std::string error;
  auto layout = peimage::ParseLayout(BuildImage().Span(), error);
  ASSERT_TRUE(layout) << error;
  EXPECT_EQ(layout->imageBase, kImageBase);
  EXPECT_EQ(layout->sizeOfImage, kImageSize);
  EXPECT_EQ(layout->entryPointRva, kCreateRva);
  ASSERT_EQ(layout->sections.size(), 5u);
  const auto& text = layout->sections[0];
  EXPECT_EQ(text.name, ".text");
  EXPECT_TRUE(text.executable && text.readable && !text.writable);
  EXPECT_TRUE(layout->sections[1].writable && !layout->sections[1].executable);
  // Raw data beyond the virtual size is file padding and is not copied.
  EXPECT_EQ(layout->sections[3].copySize, 0x10u);
  EXPECT_EQ(layout->sections[4].copySize, 0u);
  EXPECT_EQ(layout->sections[4].virtualSize, 0x80u);
  EXPECT_EQ(layout->relocations.rva, kReloc);
}

TEST(PeImage, RelocationAddsTheBaseDifferenceToEveryHighLowTarget) {
  struct Case {
    uint32_t base;
  } cases[] = {{0x00530000}, {kImageBase}, {0x7FFF0000}, {0x00010000}};
  for (const Case& c : cases) {
    Mapped m = MapAt(BuildImage(), c.base);
    EXPECT_EQ(Read32(m.memory, kData), c.base + kCreateRva) << std::hex << c.base;
    EXPECT_EQ(Read32(m.memory, kData + 4), c.base + kDoRva) << std::hex << c.base;
    // Bytes that no entry names stay as they were.
    EXPECT_EQ(Read32(m.memory, kData + 8), 0u);
  }
}

TEST(PeImage, ImportsAreListedByNameSkippingTheHintAndByOrdinal) {
  Mapped m = MapAt(BuildImage(), 0x00400000);
  std::vector<ImportedModule> modules;
  std::string error;
  ASSERT_TRUE(peimage::ReadImports(m.memory, m.layout, modules, error)) << error;
  ASSERT_EQ(modules.size(), 2u);
  EXPECT_EQ(modules[0].name, "KERNEL32.dll");
  ASSERT_EQ(modules[0].functions.size(), 2u);
  EXPECT_FALSE(modules[0].functions[0].byOrdinal);
  EXPECT_EQ(modules[0].functions[0].name, "GetTickCount");
  EXPECT_EQ(modules[0].functions[0].slotRva, kKernelSlots);
  EXPECT_TRUE(modules[0].functions[1].byOrdinal);
  EXPECT_EQ(modules[0].functions[1].ordinal, 17);
  EXPECT_EQ(modules[0].functions[1].slotRva, kKernelSlots + 4);
  EXPECT_EQ(modules[1].name, "USER32.dll");
  EXPECT_EQ(modules[1].functions.at(0).name, "MessageBoxA");

  peimage::WriteSlot(m.memory, m.layout, kUserSlots, 0x77001234);
  EXPECT_EQ(Read32(m.memory, kUserSlots), 0x77001234u);
  EXPECT_EQ(Read32(m.memory, kUserSlots + 4), 0u);  // a PE32 slot is 4 bytes wide
}

TEST(PeImage, ExportLookupIsExactAndCaseSensitive) {
  Mapped m = MapAt(BuildImage(), 0x00400000);
  struct Case {
    const char* name;
    std::optional<uint32_t> rva;
  } cases[] = {
      {"WebForm_Do", kDoRva},     {"WebForm_Create", kCreateRva}, {"WebForm_do", std::nullopt},
      {"WebForm_", std::nullopt}, {"WebForm_Do2", std::nullopt},  {"Forwarded", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(peimage::FindExport(m.memory, m.layout, c.name), c.rva) << c.name;
  }
}

// Every way a header or table can lie about its size; each must be rejected without
// reading or writing outside the buffers (ASan watches the native run).
TEST(PeImage, CorruptImagesAreRejected) {
  enum Step { kAtParse, kAtRelocate, kAtImports, kAtExport };
  struct Case {
    const char* what;
    std::function<void(Image&)> corrupt;
    Step failsAt;
  } cases[] = {
      {"no MZ", [](Image& i) { i.bytes[0] = 'Z'; }, kAtParse},
      {"PE offset past end", [](Image& i) { i.Put32(60, kFileSize - 8); }, kAtParse},
      {"PE offset huge", [](Image& i) { i.Put32(60, 0xFFFFFFF0); }, kAtParse},
      {"wrong signature", [](Image& i) { i.bytes[kPeOffset + 2] = 1; }, kAtParse},
      {"not i386", [](Image& i) { i.Put16(kPeOffset + 4, 0x8664); }, kAtParse},
      {"PE32+ magic", [](Image& i) { i.Put16(kOptional, 0x20B); }, kAtParse},
      {"zero image size", [](Image& i) { i.Put32(kOptional + 56, 0); }, kAtParse},
      {"huge image size", [](Image& i) { i.Put32(kOptional + 56, 0x80000000); }, kAtParse},
      {"too few directories", [](Image& i) { i.Put32(kOptional + 92, 2); }, kAtParse},
      {"directory count wraps", [](Image& i) { i.Put32(kOptional + 92, 0x20000000); }, kAtParse},
      {"headers larger than file", [](Image& i) { i.Put32(kOptional + 60, kFileSize + 1); },
       kAtParse},
      {"no sections", [](Image& i) { i.Put16(kPeOffset + 6, 0); }, kAtParse},
      {"section table past headers", [](Image& i) { i.Put16(kPeOffset + 6, 40); }, kAtParse},
      {"raw data past file", [](Image& i) { i.Put32(Image::SectionField(2, 20), kFileSize - 4); },
       kAtParse},
      {"raw offset wraps", [](Image& i) { i.Put32(Image::SectionField(1, 20), 0xFFFFFF00); },
       kAtParse},
      {"section past image",
       [](Image& i) { i.Put32(Image::SectionField(4, 12), kImageSize - 0x10); }, kAtParse},
      {"section address wraps", [](Image& i) { i.Put32(Image::SectionField(4, 12), 0xFFFFFFF0); },
       kAtParse},
      {"overlapping sections", [](Image& i) { i.Put32(Image::SectionField(1, 12), kText + 0x80); },
       kAtParse},
      {"section over headers", [](Image& i) { i.Put32(Image::SectionField(0, 12), 0x200); },
       kAtParse},
      {"entry point in data", [](Image& i) { i.Put32(kOptional + 16, kData); }, kAtParse},
      {"import directory outside", [](Image& i) { i.Put32(kOptional + 104, kImageSize - 4); },
       kAtParse},
      {"relocation type DIR64", [](Image& i) { i.Put16(kReloc + 8, 0xA000); }, kAtRelocate},
      {"relocation type HIGHADJ", [](Image& i) { i.Put16(kReloc + 10, 0x4004); }, kAtRelocate},
      {"relocation block too small", [](Image& i) { i.Put32(kReloc + 4, 4); }, kAtRelocate},
      {"relocation block too large", [](Image& i) { i.Put32(kReloc + 4, 0x1000); }, kAtRelocate},
      {"relocation target past image", [](Image& i) { i.Put32(kReloc, kImageSize - 2); },
       kAtRelocate},
      {"relocation directory truncated", [](Image& i) { i.Put32(kOptional + 96 + 44, 12); },
       kAtRelocate},
      {"import without name", [](Image& i) { i.Put32(kImports + 12, 0); }, kAtImports},
      {"import name past image", [](Image& i) { i.Put32(kImports + 12, kImageSize + 8); },
       kAtImports},
      {"import name empty at the image end",
       [](Image& i) { i.Put32(kImports + 32, kImageSize - 1); }, kAtImports},
      {"hint/name past image", [](Image& i) { i.Put32(kUserLookup, kImageSize - 1); }, kAtImports},
      {"lookup table past image", [](Image& i) { i.Put32(kImports + 20, kImageSize - 2); },
       kAtImports},
      {"ordinal with high bits", [](Image& i) { i.Put32(kKernelLookup + 4, 0x80010011); },
       kAtImports},
      {"export ordinal index out of range", [](Image& i) { i.Put16(0x3264, 9); }, kAtExport},
      {"export function past image", [](Image& i) { i.Put32(0x3244, kImageSize); }, kAtExport},
      {"export names past image", [](Image& i) { i.Put32(kExports + 24, 0x40000000); }, kAtExport},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image img = BuildImage();
    c.corrupt(img);
    std::string error;
    auto layout = peimage::ParseLayout(img.Span(), error);
    ASSERT_EQ(!layout, c.failsAt == kAtParse) << error;
    if (!layout) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    std::vector<uint8_t> mapped(layout->sizeOfImage, 0);
    peimage::CopySections(img.Span(), *layout, mapped);
    bool relocated = peimage::ApplyRelocations(mapped, *layout, 0x00400000, error);
    ASSERT_EQ(!relocated, c.failsAt == kAtRelocate);
    if (!relocated) continue;
    std::vector<ImportedModule> modules;
    ASSERT_EQ(!peimage::ReadImports(mapped, *layout, modules, error), c.failsAt == kAtImports);
    if (c.failsAt == kAtExport) {
      EXPECT_FALSE(peimage::FindExport(mapped, *layout, "WebForm_Do"));
    }
  }
}

TEST(PeImage, EveryTruncationIsRejectedSafely) {
  for (const Image& img : {BuildImage(), BuildImage64()}) {
    std::vector<uint8_t> mapped;
    std::vector<ImportedModule> imports;
    std::vector<uint8_t> cut;
    for (size_t length = 0; length < img.bytes.size(); ++length) {
      cut.assign(img.bytes.begin(), img.bytes.begin() + length);
      EXPECT_FALSE(MapPortably(cut, 0x00400000, mapped, imports)) << length;
    }
    EXPECT_TRUE(MapPortably(img.bytes, 0x00400000, mapped, imports));
  }
}

// Random byte damage with a fixed seed, so that every run checks the same images.
TEST(PeImage, RandomCorruptionNeverTouchesMemoryOutsideTheImage) {
  for (const Image& original : {BuildImage(), BuildImage64()}) {
    std::mt19937 random(20261210);
    // Damage lands in the headers and the tables, where the parser takes its offsets from.
    const std::pair<uint32_t, uint32_t> regions[] = {
        {0, 0x240}, {kRdata, kRdata + 0x300}, {kReloc, kReloc + 0x10}};
    std::vector<uint8_t> mapped;
    std::vector<ImportedModule> imports;
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
      Image img = original;
      int damage = 1 + static_cast<int>(random() % 6);
      for (int d = 0; d < damage; ++d) {
        auto [from, to] = regions[random() % 3];
        img.bytes[from + random() % (to - from)] = static_cast<uint8_t>(random());
      }
      if (MapPortably(img.bytes, 0x00400000 + (random() % 64) * 0x10000, mapped, imports)) {
        ++accepted;
        for (auto& module : imports) {
          for (auto& fn : module.functions) ASSERT_LE(fn.slotRva + 4u, mapped.size());
        }
      }
    }
    // Harmless damage (padding, names) keeps some images loadable; most are refused.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
  }
}

TEST(PeImage, Pe32PlusLayoutHasA64BitBaseAndItsUnwindTable) {
  std::string error;
  auto layout = peimage::ParseLayout(BuildImage64().Span(), error);
  ASSERT_TRUE(layout) << error;
  EXPECT_TRUE(layout->pe32Plus);
  EXPECT_EQ(layout->machine, peimage::kMachineAmd64);
  EXPECT_EQ(layout->imageBase, kImageBase64);
  EXPECT_EQ(layout->sizeOfImage, kImageSize);
  ASSERT_EQ(layout->sections.size(), 5u);
  EXPECT_EQ(layout->sections[2].name, ".rdata");
  EXPECT_EQ(layout->exceptions.rva, kUnwindTable64);
  EXPECT_EQ(peimage::SlotSize(*layout), 8u);

  Mapped m = MapAt(BuildImage64(), 0x00400000);
  auto table = peimage::ReadFunctionTable(m.memory, m.layout, error);
  ASSERT_TRUE(table) << error;
  EXPECT_EQ(table->rva, kUnwindTable64);
  EXPECT_EQ(table->count, 2u);
  // A PE32 image has none, and that is no error.
  Mapped m32 = MapAt(BuildImage(), 0x00400000);
  error.clear();
  EXPECT_FALSE(peimage::ReadFunctionTable(m32.memory, m32.layout, error));
  EXPECT_TRUE(error.empty());
}

TEST(PeImage, Dir64RelocationsAddTheWholeBaseDifference) {
  // Bases below, at and above the preferred one, and above 4 GB.
  for (uint64_t base : {uint64_t{0x00530000}, kImageBase64, uint64_t{0x7FF612340000},
                        uint64_t{0x0000000100000000}}) {
    Mapped m = MapAt(BuildImage64(), base);
    EXPECT_EQ(Read64(m.memory, kData), base + kCreateRva) << std::hex << base;
    EXPECT_EQ(Read64(m.memory, kData + 8), base + kDoRva) << std::hex << base;
    EXPECT_EQ(Read64(m.memory, kData + 16), 0u);
  }
}

TEST(PeImage, Pe32PlusImportsUse8ByteThunksAndTheHighOrdinalBit) {
  Mapped m = MapAt(BuildImage64(), 0x00400000);
  std::vector<ImportedModule> modules;
  std::string error;
  ASSERT_TRUE(peimage::ReadImports(m.memory, m.layout, modules, error)) << error;
  ASSERT_EQ(modules.size(), 2u);
  ASSERT_EQ(modules[0].functions.size(), 2u);
  EXPECT_EQ(modules[0].functions[0].name, "GetTickCount");
  EXPECT_EQ(modules[0].functions[0].slotRva, kKernelSlots64);
  EXPECT_TRUE(modules[0].functions[1].byOrdinal);
  EXPECT_EQ(modules[0].functions[1].ordinal, 17);
  EXPECT_EQ(modules[0].functions[1].slotRva, kKernelSlots64 + 8);
  EXPECT_EQ(modules[1].functions.at(0).name, "MessageBoxA");
  EXPECT_EQ(modules[1].functions.at(0).slotRva, kUserSlots64);

  peimage::WriteSlot(m.memory, m.layout, kUserSlots64, 0x7FFE12345678ull);
  EXPECT_EQ(Read64(m.memory, kUserSlots64), 0x7FFE12345678ull);
  EXPECT_EQ(peimage::FindExport(m.memory, m.layout, "WebForm_Do"), kDoRva);
}

TEST(PeImage, CorruptPe32PlusImagesAreRejected) {
  enum Step { kAtParse, kAtRelocate, kAtImports, kAtUnwind };
  const uint32_t dirs = kOptional + 112;
  struct Case {
    const char* what;
    std::function<void(Image&)> corrupt;
    Step failsAt;
  } cases[] = {
      {"PE32 magic with x86-64 machine", [](Image& i) { i.Put16(kOptional, 0x10B); }, kAtParse},
      {"too few directories", [](Image& i) { i.Put32(kOptional + 108, 5); }, kAtParse},
      {"optional header too small", [](Image& i) { i.Put16(kPeOffset + 20, 112 + 40); }, kAtParse},
      {"unwind directory outside", [&](Image& i) { i.Put32(dirs + 24, kImageSize - 8); }, kAtParse},
      {"HIGHLOW relocation", [](Image& i) { i.Put16(kReloc + 8, 0x3000); }, kAtRelocate},
      {"DIR64 target straddles the end",
       [](Image& i) {
         i.Put32(kReloc, kImageSize - 0x1000);
         i.Put16(kReloc + 8, 0xAFFC);
       },
       kAtRelocate},
      {"ordinal with middle bits",
       [](Image& i) { i.Put64(kKernelLookup64 + 8, 0x8000000100000011ull); }, kAtImports},
      {"name entry beyond the image", [](Image& i) { i.Put64(kUserLookup64, 0x100003140ull); },
       kAtImports},
      {"thunk table runs off", [](Image& i) { i.Put32(kImports + 20, kImageSize - 4); },
       kAtImports},
      {"unwind size not whole entries", [&](Image& i) { i.Put32(dirs + 28, 20); }, kAtUnwind},
      {"unwind function ends past image",
       [](Image& i) { i.Put32(kUnwindTable64 + 4, kImageSize + 1); }, kAtUnwind},
      {"unwind function empty", [](Image& i) { i.Put32(kUnwindTable64 + 4, kCreateRva); },
       kAtUnwind},
      {"unwind data past image", [](Image& i) { i.Put32(kUnwindTable64 + 20, kImageSize - 2); },
       kAtUnwind},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image img = BuildImage64();
    c.corrupt(img);
    std::string error;
    auto layout = peimage::ParseLayout(img.Span(), error);
    ASSERT_EQ(!layout, c.failsAt == kAtParse) << error;
    if (!layout) continue;
    std::vector<uint8_t> mapped(layout->sizeOfImage, 0);
    peimage::CopySections(img.Span(), *layout, mapped);
    bool relocated = peimage::ApplyRelocations(mapped, *layout, 0x7FF600000000ull, error);
    ASSERT_EQ(!relocated, c.failsAt == kAtRelocate) << error;
    if (!relocated) continue;
    std::vector<ImportedModule> modules;
    ASSERT_EQ(!peimage::ReadImports(mapped, *layout, modules, error), c.failsAt == kAtImports);
    if (c.failsAt != kAtUnwind) continue;
    error.clear();
    EXPECT_FALSE(peimage::ReadFunctionTable(mapped, *layout, error));
    EXPECT_FALSE(error.empty());
  }
}
