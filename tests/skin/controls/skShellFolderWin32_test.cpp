// The shell folder model over Wine's shell namespace: roots resolved from names and paths, the
// fall-back to the previous root, display names and their extensions, ancestors, a folder
// without column interfaces, and no item id list or shell string left unfreed.
#include "skin/controls/skShellFolderWin32.h"

#include <gtest/gtest.h>
#include <objidl.h>

#include <mutex>
#include <set>

#include "framework/SysUtils.h"
#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

using shelltest::TTestFolder;

struct ShellModel : ::testing::Test {
  ShellModel() { InitShellControls(); }
  ~ShellModel() override { DoneShellControls(); }
};

std::string Resolve(std::string root, const std::string& previous = "rfDesktop") {
  return ResolveRootFolder(previous, root)->GetParsingPath();
}

TEST_F(ShellModel, RootsResolveFromSpecialNamesAndPaths) {
  TTestFolder folder("roots");
  std::string root = "C";
  std::unique_ptr<TskShellFolder> drive = ResolveRootFolder("rfDesktop", root);
  EXPECT_EQ(root, "C:\\") << "a drive letter becomes the drive's root";
  EXPECT_EQ(drive->GetParsingPath(), "C:\\");
  EXPECT_EQ(Resolve(folder.Path()), folder.Path());
  EXPECT_EQ(Resolve("rfControlPanel").rfind("::{", 0), 0u) << "a virtual folder's class name";
  std::unique_ptr<TskShellFolder> desktop = CreateShellFolderForIdList(DesktopItemIdList().Get());
  std::string myComputer = "rfMyComputer";
  std::unique_ptr<TskShellFolder> computer = ResolveRootFolder("", myComputer);
  EXPECT_TRUE(computer->IsFolderItem());
  EXPECT_TRUE(computer->HasSubFolders()) << "the drives lie below it";
}

TEST_F(ShellModel, AnUnresolvableRootFallsBackToThePreviousOneOrRaises) {
  ktest::TMessageBoxWatcher boxes;
  std::string missing = "C:\\kestrava-missing-folder-" + std::to_string(GetCurrentProcessId());
  std::string root = missing;
  std::unique_ptr<TskShellFolder> fallback = ResolveRootFolder("rfDesktop", root);
  EXPECT_EQ(root, "rfDesktop") << "the Root text is set back";
  EXPECT_TRUE(SameItemIdLists(fallback->AbsoluteIdList(), DesktopItemIdList().Get()));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Seen()[0].Text, "Error Setting Path : " + missing + "\\");

  std::string empty;
  try {
    ResolveRootFolder("", empty);
    FAIL() << "an empty root with no previous one must raise";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Error Setting Path : ");
  }
  EXPECT_EQ(boxes.Count(), 1) << "raised, not shown";
}

TEST_F(ShellModel, ShownNamesFollowTheExtensionModeAndAncestorsLeadDown) {
  TTestFolder folder("names");
  folder.MakeFile("a.txt");
  folder.MakeFolder("sub.d\\deeper");
  std::string root = folder.Path();
  std::unique_ptr<TskShellFolder> top = ResolveRootFolder("rfDesktop", root);
  TComRef<IEnumIDList> items;
  ASSERT_EQ(
      top->ShellFolder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put()),
      S_OK);
  std::set<std::string> shown, hidden, system;
  TItemIdList item;
  ULONG fetched = 0;
  while (items->Next(1, item.Put(), &fetched) == S_OK) {
    TskShellFolder child(top.get(), BindToShellFolder(top->ShellFolder(), item.Get(), nullptr),
                         item.Get());
    shown.insert(child.GetInFolderName(TskShowExtension::seShow));
    hidden.insert(child.GetInFolderName(TskShowExtension::seHide));
    system.insert(child.GetInFolderName(TskShowExtension::seSystem));
    EXPECT_EQ(child.Level(), 1);
    EXPECT_EQ(child.IsFolderItem(), child.GetParsingPath() == folder.Sub("sub.d"));
  }
  EXPECT_EQ(shown, (std::set<std::string>{"a.txt", "sub.d"}));
  EXPECT_EQ(hidden, (std::set<std::string>{"a", "sub.d"})) << "a folder keeps its dot";
  EXPECT_TRUE(system.count("sub.d"));

  std::string deep = folder.Sub("sub.d\\deeper");
  std::unique_ptr<TskShellFolder> deeper = ResolveRootFolder("rfDesktop", deep);
  std::vector<TItemIdList> ancestors = AncestorIdLists(deeper->AbsoluteIdList());
  ASSERT_GE(ancestors.size(), 3u);
  EXPECT_EQ(ItemIdCount(IdBytes(ancestors.front().Get())), 0) << "the desktop comes first";
  EXPECT_EQ(CreateShellFolderForIdList(ancestors.back().Get())->GetParsingPath(),
            folder.Sub("sub.d"));
  EXPECT_EQ(CreateShellFolderForIdList(ancestors[ancestors.size() - 2].Get())->GetParsingPath(),
            folder.Path());
  EXPECT_TRUE(AncestorIdLists(DesktopItemIdList().Get()).empty());
}

// A folder that is an IShellFolder and nothing more: the column code must not take it for an
// IShellFolder2 and call methods it does not have.
class TPlainFolder : public IShellFolder {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IShellFolder) {
      *out = static_cast<IShellFolder*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                             ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                         void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                          void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*,
                                          void** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF,
                                      PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }
  ULONG refs = 1;
};

TEST_F(ShellModel, AFolderWithoutColumnInterfacesGivesNoneAndNoColumns) {
  TPlainFolder plain;
  {
    TItemIdList empty = AllocItemIdList(2);
    TskShellFolder folder(nullptr, TComRef<IShellFolder>(&plain), empty.Get());
    plain.AddRef();  // the object's reference, released with it
    EXPECT_EQ(folder.GetShellFolder2(), nullptr);
    EXPECT_EQ(folder.GetShellDetails(), nullptr);
    TskShellFolder child(&folder, TComRef<IShellFolder>(), empty.Get());
    child.LoadColumnDetails(&folder, nullptr, 3);
    try {
      child.ColumnDetail(1);
      FAIL() << "no columns were loaded";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("Missing call to LoadColumnDetails"), std::string::npos);
    }
  }
  EXPECT_EQ(plain.refs, 1u) << "every reference the objects took is given back";
}

// Counts what the shell allocator hands out and takes back while it is registered.
class TAllocationSpy : public IMallocSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *out = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* p) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (p) live_.insert(p);
    return p;
  }
  void* STDMETHODCALLTYPE PreFree(void* p, BOOL) override {
    std::lock_guard<std::mutex> lock(mutex_);
    live_.erase(p);
    return p;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T size, void** request, BOOL) override {
    std::lock_guard<std::mutex> lock(mutex_);
    live_.erase(p);
    *request = p;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return PostAlloc(p); }
  void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int result) override { return result; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

  size_t Live() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return live_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::set<void*> live_;
};

TEST_F(ShellModel, EveryItemIdListAndShellStringIsFreed) {
  TTestFolder folder("frees");
  folder.MakeFile("b.dat");
  folder.MakeFolder("inner");
  auto walk = [&] {
    std::string root = folder.Path();
    std::unique_ptr<TskShellFolder> top = ResolveRootFolder("rfDesktop", root);
    EXPECT_TRUE(FolderHasItems(top->ShellFolder(), SHCONTF_FOLDERS));
    TComRef<IEnumIDList> items;
    top->ShellFolder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put());
    TItemIdList item;
    ULONG fetched = 0;
    while (items && items->Next(1, item.Put(), &fetched) == S_OK) {
      TskShellFolder child(top.get(), BindToShellFolder(top->ShellFolder(), item.Get(), nullptr),
                           item.Get());
      child.GetInFolderName(TskShowExtension::seShow);
      child.GetParsingPath();
      AncestorIdLists(child.AbsoluteIdList());
    }
    std::string panel = "rfControlPanel";
    ResolveRootFolder("rfDesktop", panel)->GetInFolderName(TskShowExtension::seSystem);
  };
  walk();  // the shell's own caches fill on the first walk
  TAllocationSpy spy;
  ASSERT_EQ(CoRegisterMallocSpy(&spy), S_OK);
  walk();
  size_t live = spy.Live();
  CoRevokeMallocSpy();
  EXPECT_EQ(live, 0u) << "blocks of the shell allocator left behind";
}

}  // namespace
