// The shell namespace as the shell controls see it: item id lists in the shell allocator's
// memory, one object per namespace item (`TskShellFolder`) with its folder interface, display
// names, icons, attributes, context menu, renaming and column details, and the resolution of a
// Root text into a starting folder. Everything runs on the main thread; the change notifier
// only takes ShellLock.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/HandlesWin32.h"
#include "framework/SyncObjs.h"
#include "skin/controls/skComRefWin32.h"
#include "skin/controls/skShellIdLists.h"
#include "skin/controls/skShellNames.h"

namespace winhandles {
struct TItemIdListTraits {
  static LPITEMIDLIST Invalid() noexcept { return nullptr; }
  static void Close(LPITEMIDLIST p) noexcept { ::CoTaskMemFree(p); }
};
}  // namespace winhandles
// One item id list owned in the shell allocator's memory.
using TItemIdList = TUniqueHandle<LPITEMIDLIST, winhandles::TItemIdListTraits>;

inline const uint8_t* IdBytes(LPCITEMIDLIST p) { return reinterpret_cast<const uint8_t*>(p); }

// n zeroed bytes from the shell allocator; raises EOutOfMemory when there are none.
TItemIdList AllocItemIdList(size_t n);
TItemIdList ItemIdListFromBytes(const TItemIdBytes& bytes);
TItemIdList CloneItemIdList(LPCITEMIDLIST p);
TItemIdList ConcatItemIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b);
TItemIdList LastItemIdCopy(LPCITEMIDLIST p);
std::vector<TItemIdList> AncestorIdLists(LPCITEMIDLIST p);
// The desktop folder compares both absolute lists as equal.
bool SameItemIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b);

// Raises the OLE error when the shell gives no desktop folder.
TComRef<IShellFolder> OpenDesktopFolder();
TItemIdList DesktopItemIdList();
int GetSystemIconIndex(LPCITEMIDLIST absolute, bool large, bool open);
bool ItemIsFolder(IShellFolder* parent, LPCITEMIDLIST relative);
bool ItemHasSubFolders(IShellFolder* parent, LPCITEMIDLIST relative);
// The folder lists at least one item of the kinds in flags (SHCONTF); the system's
// critical-error boxes (an empty drive) stay away while it is asked.
bool FolderHasItems(IShellFolder* folder, uint32_t flags);
TComRef<IShellFolder> BindToShellFolder(IShellFolder* parent, LPCITEMIDLIST relative, HWND owner);
TComRef<IShellDetails> BindToShellDetails(IShellFolder* parent, LPCITEMIDLIST relative, HWND owner);
TComRef<IShellFolder2> BindToShellFolder2(IShellFolder* parent, LPCITEMIDLIST relative, HWND owner);

// The text of a shell answer; the shell's wide string, if any, is freed here.
std::string StrRetToText(STRRET& value, LPCITEMIDLIST list);
// The name the folder gives the item (SHGDN flags), its extension treated by mode.
std::string ReadItemDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags,
                                TskShowExtension mode);

// Capability bits of an item.
enum : uint32_t {
  kCanCopy = 1,
  kCanDelete = 2,
  kCanLink = 4,
  kCanMove = 8,
  kCanRename = 16,
  kDropTarget = 32,
  kHasPropSheet = 64
};
// Property bits of an item.
enum : uint32_t {
  kGhosted = 1,
  kLink = 2,
  kReadOnly = 4,
  kShared = 8,
  kFileSystem = 16,
  kFileSysAncestor = 32,
  kRemovable = 64,
  kValidate = 128
};

class TskShellFolder {
 public:
  // parent nullptr: the desktop object is the parent. The list is copied.
  TskShellFolder(TskShellFolder* parent, TComRef<IShellFolder> folder, LPCITEMIDLIST relative);
  TskShellFolder(const TskShellFolder&) = delete;
  TskShellFolder& operator=(const TskShellFolder&) = delete;

  LPCITEMIDLIST RelativeIdList() const { return relative_.Get(); }
  LPCITEMIDLIST AbsoluteIdList() const { return absolute_.Get(); }
  TskShellFolder* Parent() const { return parent_; }
  IShellFolder* ShellFolder() const { return folder_.Get(); }
  int Level() const { return level_; }
  // The folder the item lies in: the parent's, or the desktop's.
  IShellFolder* ContainingFolder() const;

  uint32_t Capabilities() const;
  uint32_t Properties() const;
  bool HasSubFolders() const;
  bool IsFolderItem() const;
  // A file-system path, or a "::{" class name for a virtual folder.
  std::string GetParsingPath() const;
  std::string GetInFolderName(TskShowExtension mode) const;

  void InvokeVerb(const std::string& verb) const;
  // False for an item the shell does not let rename; raises "Rename to %s failed".
  bool Rename(const std::string& newName);

  // Column details: the folder's IShellFolder2 when it has one, else its IShellDetails.
  IUnknown* GetDetailsInterface();
  IShellFolder2* GetShellFolder2();
  IShellDetails* GetShellDetails();
  WIN32_FIND_DATAA GetFindData() const;
  void LoadColumnDetails(TskShellFolder* parent, HWND owner, int count);
  std::string ColumnDetail(int column) const;
  void SetDetailsOwner(HWND owner) { detailsOwner_ = owner; }

 private:
  TItemIdList relative_;
  TItemIdList absolute_;
  TskShellFolder* parent_;
  TComRef<IShellFolder> folder_;
  TComRef<IShellFolder2> folder2_;
  TComRef<IShellDetails> details_;
  bool detailsBound_ = false;
  int level_ = 0;
  HWND detailsOwner_ = nullptr;
  std::vector<std::string> columnTexts_;
};

// The desktop object, parent of every object made without one.
TskShellFolder* DesktopShellFolder();
// The system image list of small icons (shared, never destroyed).
HIMAGELIST ShellSmallImages();
// Taken by the change notifier's worker around its options.
TCriticalSection& ShellLock();

// The shell controls' share of start-up: OLE on the main thread. Shut down in reverse.
void InitShellControls();
void DoneShellControls();

// An object for an absolute list, its folder bound from the desktop.
std::unique_ptr<TskShellFolder> CreateShellFolderForIdList(LPCITEMIDLIST absolute);
// The root object root names (a special folder's name or a path); an unresolvable root falls
// back to previousRoot with an error box (root is set back), and raises when that fails too.
std::unique_ptr<TskShellFolder> ResolveRootFolder(const std::string& previousRoot,
                                                  std::string& root);

// Takes part in context-menu commands of the shell controls.
class IacShellVerbHandler {
 public:
  virtual void ExecuteVerb(const std::string& verb, bool& handled) = 0;
  virtual void VerbCompleted(const std::string& verb, bool succeeded) = 0;

 protected:
  ~IacShellVerbHandler() = default;
};

// The context menu of a shell item while it is tracked, for the owner's menu messages.
IContextMenu2* ActiveContextMenu2();
void ShowShellContextMenu(HWND window, IacShellVerbHandler* handler, TskShellFolder* folder, int x,
                          int y);
void ExecuteShellItem(const TskShellFolder* folder);
