#include "web/EngineMapper.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// One mapping of the test library, unmapped at the end of the test.
class MappedLibrary {
 public:
  explicit MappedLibrary(const std::vector<uint8_t>& bytes)
      : base_(MapEngineImage(bytes.data(), bytes.size(), entry_)) {}
  ~MappedLibrary() {
    if (base_) UnmapEngineImage(base_, entry_);
  }
  void* Base() const { return base_; }
  void* Entry() const { return entry_; }
  template <class F>
  F Export(const char* name) const {
    return reinterpret_cast<F>(FindEngineExport(base_, name));
  }
  void* Release() { return std::exchange(base_, nullptr); }

 private:
  void* entry_ = nullptr;
  void* base_;
};

class EngineMapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadFile(ExeFolder() + "LoaderTestDll.dll");
    ASSERT_GT(bytes_.size(), 1024u);
  }
  // Finds a text in the file copy so a test can damage it.
  size_t Find(const std::string& text) const {
    auto it = std::search(bytes_.begin(), bytes_.end(), text.begin(), text.end());
    EXPECT_NE(it, bytes_.end()) << text;
    return static_cast<size_t>(it - bytes_.begin());
  }
  std::vector<uint8_t> bytes_;
};

DWORD ProtectionOf(const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(address, &info, sizeof info);
  return info.Protect;
}

}  // namespace

TEST_F(EngineMapperTest, MappedLibraryRunsAtItsNewBaseWithRelocatedPointers) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  ASSERT_NE(lib.Entry(), nullptr);
  auto base = lib.Export<void* (*)()>("LoaderTest_Base");
  auto word = lib.Export<const char* (*)(int)>("LoaderTest_Word");
  ASSERT_TRUE(base && word);
  // The library asks for 0x6A000000; the mapper takes what the system gives.
  EXPECT_NE(lib.Base(), reinterpret_cast<void*>(0x6A000000));
  EXPECT_EQ(base(), lib.Base());
  EXPECT_STREQ(word(0), "alpha");
  EXPECT_STREQ(word(2), "gamma");
  const char* w = word(1);
  EXPECT_GE(w, static_cast<char*>(lib.Base()));
}

TEST_F(EngineMapperTest, ImportsByNameAndByOrdinalAreBound) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  EXPECT_EQ(lib.Export<int (*)()>("LoaderTest_Dep")(), 42);  // ordinals 5 and 6
  EXPECT_EQ(lib.Export<DWORD (*)()>("LoaderTest_Pid")(), GetCurrentProcessId());
}

TEST_F(EngineMapperTest, ExceptionsUnwindInsideTheMappedLibrary) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  EXPECT_EQ(lib.Export<int (*)()>("LoaderTest_CatchInside")(), 1);
}

#ifdef _WIN64
// The system unwinder knows the image's functions exactly while it is mapped.
TEST_F(EngineMapperTest, UnwindTableIsRegisteredWhileMappedAndRemovedAtUnmap) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  auto code = reinterpret_cast<DWORD64>(lib.Export<void*>("LoaderTest_CatchInside"));
  DWORD64 imageBase = 0;
  EXPECT_NE(RtlLookupFunctionEntry(code, &imageBase, nullptr), nullptr);
  EXPECT_EQ(imageBase, reinterpret_cast<DWORD64>(lib.Base()));
  void* entry = lib.Entry();
  EXPECT_TRUE(UnmapEngineImage(lib.Release(), entry));
  EXPECT_EQ(RtlLookupFunctionEntry(code, &imageBase, nullptr), nullptr);
}
#endif

TEST_F(EngineMapperTest, ExportLookupIsCaseSensitiveAndExact) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  EXPECT_NE(FindEngineExport(lib.Base(), "LoaderTest_Dep"), nullptr);
  EXPECT_EQ(FindEngineExport(lib.Base(), "loadertest_dep"), nullptr);
  EXPECT_EQ(FindEngineExport(lib.Base(), "LoaderTest_De"), nullptr);
  EXPECT_EQ(FindEngineExport(nullptr, "LoaderTest_Dep"), nullptr);
  int local = 0;
  EXPECT_EQ(FindEngineExport(&local, "LoaderTest_Dep"), nullptr);  // not a mapped image
}

TEST_F(EngineMapperTest, SectionsGetTheirOwnProtection) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  auto word = lib.Export<const char* (*)(int)>("LoaderTest_Word");
  EXPECT_EQ(ProtectionOf(reinterpret_cast<void*>(word)), DWORD{PAGE_EXECUTE_READ});
  EXPECT_EQ(ProtectionOf(word(0)), DWORD{PAGE_READONLY});
  char* buffer = lib.Export<char* (*)()>("LoaderTest_Buffer")();
  EXPECT_EQ(ProtectionOf(buffer), DWORD{PAGE_READWRITE});
  EXPECT_STREQ(buffer, "writable");
  EXPECT_EQ(ProtectionOf(lib.Base()), DWORD{PAGE_READONLY});
}

TEST_F(EngineMapperTest, EntryPointSeesAttachOnceAndDetachOnUnmap) {
  MappedLibrary lib(bytes_);
  ASSERT_NE(lib.Base(), nullptr);
  EXPECT_EQ(lib.Export<int (*)()>("LoaderTest_AttachCount")(), 1);
  static int detached = 0;
  lib.Export<void (*)(int*)>("LoaderTest_WatchDetach")(&detached);
  void* entry = lib.Entry();
  void* base = lib.Release();
  EXPECT_TRUE(UnmapEngineImage(base, entry));
  EXPECT_EQ(detached, 1);
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(base, &info, sizeof info);
  EXPECT_EQ(info.State, DWORD{MEM_FREE});
  // The module it imported from was loaded for it alone and is gone with it.
  EXPECT_EQ(GetModuleHandleA("LoaderDep.dll"), nullptr);
  EXPECT_FALSE(UnmapEngineImage(base, entry));  // a second unmap finds nothing
}

TEST_F(EngineMapperTest, FailuresMapNothing) {
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
  };
  const size_t depName = Find("LoaderDep.dll");
  const Case cases[] = {
      {"import module missing", [&](auto& b) { b[depName + 8] = 'X'; }},
      {"truncated", [](auto& b) { b.resize(b.size() / 2); }},
      {"no signature", [](auto& b) { b[0] = 0; }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> copy = bytes_;
    c.damage(copy);
    void* entry = reinterpret_cast<void*>(1);
    EXPECT_EQ(MapEngineImage(copy.data(), copy.size(), entry), nullptr) << c.what;
    EXPECT_EQ(entry, nullptr) << c.what;
  }
  void* entry = nullptr;
  EXPECT_EQ(MapEngineImage(nullptr, 0, entry), nullptr);
}

TEST_F(EngineMapperTest, RefusedAttachMapsNothing) {
  SetEnvironmentVariableA("LOADERTEST_REFUSE", "1");
  void* entry = nullptr;
  void* base = MapEngineImage(bytes_.data(), bytes_.size(), entry);
  SetEnvironmentVariableA("LOADERTEST_REFUSE", nullptr);
  EXPECT_EQ(base, nullptr);
  EXPECT_EQ(entry, nullptr);
  EXPECT_EQ(GetModuleHandleA("LoaderDep.dll"), nullptr);  // released with the refused image
  MappedLibrary again(bytes_);
  EXPECT_NE(again.Base(), nullptr);
}
