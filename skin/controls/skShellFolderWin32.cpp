#include "skin/controls/skShellFolderWin32.h"

#include <shellapi.h>

#include <cstring>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/runtime/sDialogs.h"

namespace {

std::unique_ptr<TskShellFolder> gDesktop;
HIMAGELIST gSmallImages = nullptr;
IContextMenu2* gActiveMenu2 = nullptr;
int gOleStarts = 0;

[[noreturn]] void RaiseOleError(HRESULT hr) {
  char text[64];
  wsprintfA(text, "OLE error %08X", static_cast<unsigned>(hr));
  throw Exception(text);
}

std::wstring Widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring result(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), n);
  result.resize(wcslen(result.c_str()));
  return result;
}

std::string Narrow(const wchar_t* text) {
  if (!text) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string result(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), n, nullptr, nullptr);
  result.resize(static_cast<size_t>(n - 1));
  return result;
}

bool FileExistsAt(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ULONG AttributesOf(IShellFolder* folder, LPCITEMIDLIST relative, ULONG ask) {
  if (!folder || !relative) return 0;
  ULONG attributes = ask;
  if (FAILED(folder->GetAttributesOf(1, &relative, &attributes))) return 0;
  return attributes;
}

// One reading of a display name, without the "::{" rule.
std::string ReadNameOnce(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags,
                         TskShowExtension mode) {
  STRRET value{};
  if (FAILED(folder->GetDisplayNameOf(relative, flags, &value))) return {};
  std::string name = CleanShownName(StrRetToText(value, relative));
  if (mode == TskShowExtension::seSystem) return name;
  STRRET parsing{};
  std::optional<std::string> realExtension;
  if (SUCCEEDED(folder->GetDisplayNameOf(relative, SHGDN_FORPARSING, &parsing))) {
    std::string path = CleanShownName(StrRetToText(parsing, relative));
    if (FileExistsAt(path)) realExtension = ShellItemExtension(path);
  }
  return ApplyShowExtension(name, realExtension, mode);
}

template <class T>
TComRef<T> BindChain(IShellFolder* parent, LPCITEMIDLIST relative, HWND owner, REFIID iid) {
  TComRef<T> result;
  if (!parent) return result;
  if (FAILED(parent->BindToObject(relative, nullptr, iid, result.PutVoid()))) {
    result.Reset();
    TComRef<T> ui;
    if (SUCCEEDED(parent->GetUIObjectOf(owner, 1, &relative, iid, nullptr, ui.PutVoid())))
      result = ui;
    TComRef<T> view;
    if (SUCCEEDED(parent->CreateViewObject(owner, iid, view.PutVoid()))) result = view;
  }
  if (!result) {
    TComRef<IShellFolder> desktop = OpenDesktopFolder();
    if (FAILED(desktop->BindToObject(relative, nullptr, iid, result.PutVoid()))) result.Reset();
  }
  return result;
}

HRESULT ParsePath(const std::string& path, TItemIdList& list) {
  char full[MAX_PATH]{};
  if (!GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr)) return E_FAIL;
  std::wstring wide = Widen(full);
  ULONG eaten = static_cast<ULONG>(path.size());
  return OpenDesktopFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, list.Put(),
                                               nullptr);
}

HRESULT ResolveRootText(std::string& root, TItemIdList& list) {
  if (auto folder = RootFolderValue(root))
    return SHGetSpecialFolderLocation(nullptr, RootFolderCsidl(*folder), list.Put());
  if (root.empty()) return S_FALSE;
  root = NormalizeDirPath(root);
  if (root.back() == ':') root += '\\';
  return ParsePath(root, list);
}

std::string DateTimeText(const FILETIME& written, bool folder) {
  SYSTEMTIME when{1899, 12, 0, 29, 0, 0, 0, 0};
  FILETIME local{};
  WORD dosDate = 0, dosTime = 0;
  bool converted = !folder && FileTimeToLocalFileTime(&written, &local) &&
                   FileTimeToDosDateTime(&local, &dosDate, &dosTime);
  if (converted) {
    FILETIME dos{};
    DosDateTimeToFileTime(dosDate, dosTime, &dos);
    FileTimeToSystemTime(&dos, &when);
  }
  char date[80]{}, time[80]{};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, date, sizeof date);
  std::string text = date;
  if (when.wHour || when.wMinute || when.wSecond) {
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &when, nullptr, time, sizeof time);
    text += ' ';
    text += time;
  }
  return text;
}

}  // namespace

// ---- item id lists ------------------------------------------------------------------------

TItemIdList AllocItemIdList(size_t n) {
  auto* p = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(n));
  if (!p) throw EOutOfMemory("Out of memory");
  std::memset(p, 0, n);
  return TItemIdList(p);
}

TItemIdList ItemIdListFromBytes(const TItemIdBytes& bytes) {
  TItemIdList list = AllocItemIdList(bytes.size());
  std::memcpy(list.Get(), bytes.data(), bytes.size());
  return list;
}

TItemIdList CloneItemIdList(LPCITEMIDLIST p) {
  return ItemIdListFromBytes(ItemIdListBytes(IdBytes(p)));
}

TItemIdList ConcatItemIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  return ItemIdListFromBytes(ConcatItemIdBytes(IdBytes(a), IdBytes(b)));
}

TItemIdList LastItemIdCopy(LPCITEMIDLIST p) {
  return ItemIdListFromBytes(LastItemIdBytes(IdBytes(p)));
}

std::vector<TItemIdList> AncestorIdLists(LPCITEMIDLIST p) {
  std::vector<TItemIdList> result;
  for (const TItemIdBytes& bytes : AncestorIdByteLists(IdBytes(p)))
    result.push_back(ItemIdListFromBytes(bytes));
  return result;
}

bool SameItemIdLists(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  if (!a || !b) return a == b;
  return OpenDesktopFolder()->CompareIDs(0, a, b) == 0;
}

// ---- shell access -------------------------------------------------------------------------

TComRef<IShellFolder> OpenDesktopFolder() {
  TComRef<IShellFolder> desktop;
  HRESULT hr = SHGetDesktopFolder(desktop.Put());
  if (FAILED(hr)) RaiseOleError(hr);
  return desktop;
}

TItemIdList DesktopItemIdList() {
  TItemIdList list;
  HRESULT hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, list.Put());
  if (FAILED(hr)) RaiseOleError(hr);
  return list;
}

int GetSystemIconIndex(LPCITEMIDLIST absolute, bool large, bool open) {
  SHFILEINFOA info{};
  UINT flags =
      SHGFI_SYSICONINDEX | SHGFI_PIDL | (open ? SHGFI_OPENICON : 0) | (large ? 0 : SHGFI_SMALLICON);
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, flags);
  return info.iIcon;
}

bool ItemIsFolder(IShellFolder* parent, LPCITEMIDLIST relative) {
  return AttributesOf(parent, relative, SFGAO_FOLDER) & SFGAO_FOLDER;
}

bool ItemHasSubFolders(IShellFolder* parent, LPCITEMIDLIST relative) {
  return AttributesOf(parent, relative, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER;
}

bool FolderHasItems(IShellFolder* folder, uint32_t flags) {
  if (!folder) return false;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  TScopeExit restore([&] { SetErrorMode(oldMode); });
  TComRef<IEnumIDList> items;
  if (folder->EnumObjects(nullptr, flags, items.Put()) != S_OK || !items) return false;
  TItemIdList item;
  ULONG fetched = 0;
  return items->Next(1, item.Put(), &fetched) == S_OK && fetched == 1;
}

TComRef<IShellFolder> BindToShellFolder(IShellFolder* parent, LPCITEMIDLIST relative, HWND owner) {
  return BindChain<IShellFolder>(parent, relative, owner, IID_IShellFolder);
}

TComRef<IShellDetails> BindToShellDetails(IShellFolder* parent, LPCITEMIDLIST relative,
                                          HWND owner) {
  return BindChain<IShellDetails>(parent, relative, owner, IID_IShellDetails);
}

TComRef<IShellFolder2> BindToShellFolder2(IShellFolder* parent, LPCITEMIDLIST relative,
                                          HWND owner) {
  TComRef<IShellFolder2> result;
  if (FAILED(OpenDesktopFolder()->BindToObject(relative, nullptr, IID_IShellFolder2,
                                               result.PutVoid()))) {
    result.Reset();
    if (parent && FAILED(parent->GetUIObjectOf(owner, 1, &relative, IID_IShellFolder2, nullptr,
                                               result.PutVoid())))
      result.Reset();
    if (!result && parent &&
        FAILED(parent->BindToObject(relative, nullptr, IID_IShellFolder2, result.PutVoid())))
      result.Reset();
  }
  return result;
}

std::string StrRetToText(STRRET& value, LPCITEMIDLIST list) {
  switch (value.uType) {
    case STRRET_WSTR: {
      std::string text = Narrow(value.pOleStr);
      CoTaskMemFree(value.pOleStr);
      value.pOleStr = nullptr;
      return text;
    }
    case STRRET_OFFSET: {
      if (!list) return {};
      const char* start = reinterpret_cast<const char*>(list) + value.uOffset;
      uint16_t size = ItemIdSize(IdBytes(list));
      size_t count = size > value.uOffset ? size - value.uOffset : 0;
      // The item's bytes bound the text; it ends earlier at its terminator.
      return std::string(start, strnlen(start, count));
    }
    case STRRET_CSTR:
      return std::string(value.cStr, strnlen(value.cStr, sizeof value.cStr));
    default:
      return {};
  }
}

std::string ReadItemDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags,
                                TskShowExtension mode) {
  if (!folder) return "parentfolder = nil";
  std::string name = ReadNameOnce(folder, relative, flags, mode);
  // A class name is read once more as the normal name; whatever that gives is kept, so a
  // folder that names itself "::{" again never sends the reading round in circles.
  if (name.rfind("::{", 0) == 0) name = ReadNameOnce(folder, relative, SHGDN_NORMAL, mode);
  return name;
}

// ---- the folder object --------------------------------------------------------------------

TskShellFolder::TskShellFolder(TskShellFolder* parent, TComRef<IShellFolder> folder,
                               LPCITEMIDLIST relative)
    : relative_(CloneItemIdList(relative)),
      parent_(parent ? parent : gDesktop.get()),
      folder_(std::move(folder)) {
  absolute_ = ConcatItemIdLists(parent_ ? parent_->AbsoluteIdList() : nullptr, relative);
  if (parent)
    for (TskShellFolder* p = parent->parent_; p; p = p->parent_) ++level_;
}

IShellFolder* TskShellFolder::ContainingFolder() const {
  if (parent_ && parent_->ShellFolder()) return parent_->ShellFolder();
  return gDesktop ? gDesktop->ShellFolder() : nullptr;
}

uint32_t TskShellFolder::Capabilities() const {
  ULONG a = AttributesOf(ContainingFolder(), RelativeIdList(),
                         SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME |
                             SFGAO_CANDELETE | SFGAO_HASPROPSHEET | SFGAO_DROPTARGET);
  uint32_t bits = 0;
  if (a & SFGAO_CANCOPY) bits |= kCanCopy;
  if (a & SFGAO_CANDELETE) bits |= kCanDelete;
  if (a & SFGAO_CANLINK) bits |= kCanLink;
  if (a & SFGAO_CANMOVE) bits |= kCanMove;
  if (a & SFGAO_CANRENAME) bits |= kCanRename;
  if (a & SFGAO_DROPTARGET) bits |= kDropTarget;
  if (a & SFGAO_HASPROPSHEET) bits |= kHasPropSheet;
  return bits;
}

uint32_t TskShellFolder::Properties() const {
  IShellFolder* folder = ContainingFolder();
  ULONG a = AttributesOf(folder, RelativeIdList(),
                         SFGAO_GHOSTED | SFGAO_LINK | SFGAO_SHARE | SFGAO_READONLY);
  uint32_t bits = 0;
  if (a & SFGAO_GHOSTED) bits |= kGhosted;
  if (a & SFGAO_LINK) bits |= kLink;
  if (a & SFGAO_READONLY) bits |= kReadOnly;
  if (a & SFGAO_SHARE) bits |= kShared;
  ULONG b = AttributesOf(folder, RelativeIdList(), 0);
  if (b & SFGAO_FILESYSTEM) bits |= kFileSystem;
  if (b & SFGAO_FILESYSANCESTOR) bits |= kFileSysAncestor;
  if (b & SFGAO_REMOVABLE) bits |= kRemovable;
  if (b & SFGAO_VALIDATE) bits |= kValidate;
  return bits;
}

bool TskShellFolder::HasSubFolders() const {
  return ItemHasSubFolders(ContainingFolder(), RelativeIdList());
}

bool TskShellFolder::IsFolderItem() const {
  return ItemIsFolder(ContainingFolder(), RelativeIdList());
}

std::string TskShellFolder::GetParsingPath() const {
  STRRET value{};
  if (FAILED(OpenDesktopFolder()->GetDisplayNameOf(AbsoluteIdList(), SHGDN_FORPARSING, &value)))
    return {};
  return StrRetToText(value, AbsoluteIdList());
}

std::string TskShellFolder::GetInFolderName(TskShowExtension mode) const {
  IShellFolder* folder = ContainingFolder();
  if (!folder) return "?";
  return ReadItemDisplayName(folder, RelativeIdList(), SHGDN_INFOLDER, mode);
}

void TskShellFolder::InvokeVerb(const std::string& verb) const {
  IShellFolder* folder = ContainingFolder();
  if (!folder) return;
  LPCITEMIDLIST relative = RelativeIdList();
  TComRef<IContextMenu> menu;
  if (FAILED(folder->GetUIObjectOf(nullptr, 1, &relative, IID_IContextMenu, nullptr,
                                   menu.PutVoid())) ||
      !menu)
    return;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof info;
  info.fMask = CMIC_MASK_ASYNCOK;
  info.lpVerb = verb.c_str();
  info.nShow = SW_SHOWNORMAL;
  menu->InvokeCommand(&info);
}

bool TskShellFolder::Rename(const std::string& newName) {
  if (!(Capabilities() & kCanRename)) return false;
  std::wstring wide = Widen(newName);
  TItemIdList renamed;
  IShellFolder* folder = ContainingFolder();
  if (!folder ||
      FAILED(folder->SetNameOf(nullptr, RelativeIdList(), wide.c_str(), SHGDN_NORMAL,
                               renamed.Put())) ||
      !renamed)
    throw Exception("Rename to " + newName + " failed");
  absolute_ = ConcatItemIdLists(parent_ ? parent_->AbsoluteIdList() : nullptr, renamed.Get());
  relative_ = std::move(renamed);
  return true;
}

IUnknown* TskShellFolder::GetDetailsInterface() {
  if (detailsBound_ || !folder_) {
    if (folder2_) return folder2_.Get();
    return details_.Get();
  }
  detailsBound_ = true;
  details_ = BindToShellDetails(folder_.Get(), AbsoluteIdList(), detailsOwner_);
  if (!details_) {
    folder2_ = BindToShellFolder2(folder_.Get(), AbsoluteIdList(), detailsOwner_);
    // The folder's own interface stands in only when it really is an IShellFolder2: its
    // column methods exist only then.
    if (!folder2_) folder2_ = folder_.As<IShellFolder2>(IID_IShellFolder2);
  }
  if (folder2_) return folder2_.Get();
  return details_.Get();
}

IShellFolder2* TskShellFolder::GetShellFolder2() {
  GetDetailsInterface();
  return folder2_.Get();
}

IShellDetails* TskShellFolder::GetShellDetails() {
  GetDetailsInterface();
  return details_.Get();
}

WIN32_FIND_DATAA TskShellFolder::GetFindData() const {
  WIN32_FIND_DATAA data{};
  TFindHandle find(FindFirstFileA(GetParsingPath().c_str(), &data));
  if (!find) {
    char code[16];
    wsprintfA(code, "%x", static_cast<unsigned>(GetLastError()));
    throw Exception("Unable to retrieve folder details for \"" +
                    GetInFolderName(TskShowExtension::seSystem) + "\". Error code $" + code);
  }
  return data;
}

void TskShellFolder::LoadColumnDetails(TskShellFolder* parent, HWND owner, int count) {
  if (static_cast<int>(columnTexts_.size()) >= count) return;
  columnTexts_.clear();
  detailsOwner_ = owner;
  IShellFolder2* folder2 = parent ? parent->GetShellFolder2() : nullptr;
  IShellDetails* details = parent && !folder2 ? parent->GetShellDetails() : nullptr;
  if (folder2 || details) {
    for (int column = 1; column <= count; ++column) {
      SHELLDETAILS answer{};
      HRESULT hr = folder2 ? folder2->GetDetailsOf(RelativeIdList(), column, &answer)
                           : details->GetDetailsOf(RelativeIdList(), column, &answer);
      columnTexts_.push_back(SUCCEEDED(hr) ? StrRetToText(answer.str, RelativeIdList()) : "");
    }
    return;
  }
  if (!parent || !(parent->Properties() & kFileSystem)) return;
  WIN32_FIND_DATAA data = GetFindData();
  bool folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  int64_t size = folder ? -1
                        : static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                               data.nFileSizeLow);
  for (int column = 1; column <= count; ++column) {
    switch (column) {
      case 1:
        columnTexts_.push_back(std::to_string(size));
        break;
      case 2:
        columnTexts_.push_back(ShellItemExtension(data.cFileName));
        break;
      case 3:
        columnTexts_.push_back(DateTimeText(data.ftLastWriteTime, folder));
        break;
      case 4:
        columnTexts_.push_back(std::to_string(data.dwFileAttributes));
        break;
      default:
        columnTexts_.push_back({});
        break;
    }
  }
}

std::string TskShellFolder::ColumnDetail(int column) const {
  if (columnTexts_.empty())
    throw Exception(GetInFolderName(TskShowExtension::seSystem) +
                    ": Missing call to LoadColumnDetails");
  if (column < 1 || column > static_cast<int>(columnTexts_.size())) return {};
  return columnTexts_[static_cast<size_t>(column - 1)];
}

// ---- the unit's globals -------------------------------------------------------------------

TskShellFolder* DesktopShellFolder() {
  if (!gDesktop) {
    TItemIdList list = DesktopItemIdList();
    gDesktop = std::make_unique<TskShellFolder>(nullptr, OpenDesktopFolder(), list.Get());
  }
  return gDesktop.get();
}

HIMAGELIST ShellSmallImages() {
  if (!gSmallImages) {
    SHFILEINFOA info{};
    gSmallImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  }
  return gSmallImages;
}

TCriticalSection& ShellLock() {
  static TCriticalSection lock;
  return lock;
}

void InitShellControls() {
  if (gOleStarts++ == 0) OleInitialize(nullptr);
}

void DoneShellControls() {
  if (gOleStarts == 0 || --gOleStarts > 0) return;
  gDesktop.reset();
  OleUninitialize();
}

std::unique_ptr<TskShellFolder> CreateShellFolderForIdList(LPCITEMIDLIST absolute) {
  TskShellFolder* desktop = DesktopShellFolder();
  TComRef<IShellFolder> folder = BindToShellFolder(desktop->ShellFolder(), absolute, nullptr);
  if (!folder) folder = OpenDesktopFolder();
  return std::make_unique<TskShellFolder>(nullptr, std::move(folder), absolute);
}

std::unique_ptr<TskShellFolder> ResolveRootFolder(const std::string& previousRoot,
                                                  std::string& root) {
  TItemIdList list;
  HRESULT hr = ResolveRootText(root, list);
  if (hr != S_OK || !list) {
    std::string message = "Error Setting Path : " + root;
    root = previousRoot;
    hr = ResolveRootText(root, list);
    if (hr != S_OK || !list) throw Exception(message);
    ShowErrorMessage(message);
  }
  return CreateShellFolderForIdList(list.Get());
}

// ---- context menu and execution -----------------------------------------------------------

IContextMenu2* ActiveContextMenu2() { return gActiveMenu2; }

void ShowShellContextMenu(HWND window, IacShellVerbHandler* handler, TskShellFolder* folder, int x,
                          int y) {
  if (!folder || !folder->ContainingFolder()) return;
  LPCITEMIDLIST relative = folder->RelativeIdList();
  TComRef<IContextMenu> menu;
  if (FAILED(folder->ContainingFolder()->GetUIObjectOf(window, 1, &relative, IID_IContextMenu,
                                                       nullptr, menu.PutVoid())) ||
      !menu)
    return;
  POINT point{x, y};
  ClientToScreen(window, &point);
  TMenuHandle popup(CreatePopupMenu());
  menu->QueryContextMenu(popup.Get(), 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
  TComRef<IContextMenu2> menu2 = menu.As<IContextMenu2>(IID_IContextMenu2);
  gActiveMenu2 = menu2.Get();
  UINT id;
  {
    TScopeExit clear([] { gActiveMenu2 = nullptr; });
    id = static_cast<UINT>(TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x,
                                          point.y, 0, window, nullptr));
  }
  if (!id) return;
  char verb[256]{};
  if (FAILED(menu->GetCommandString(id - 1, GCS_VERBA, nullptr, verb, sizeof verb))) verb[0] = 0;
  bool handled = false;
  HRESULT outcome = S_OK;
  if (handler) handler->ExecuteVerb(verb, handled);
  if (!handled) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.lpVerb = MAKEINTRESOURCEA(id - 1);
    info.nShow = SW_SHOWNORMAL;
    outcome = menu->InvokeCommand(&info);
  }
  if (handler) handler->VerbCompleted(verb, outcome == S_OK);
}

void ExecuteShellItem(const TskShellFolder* folder) {
  if (!folder) return;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = GetActiveWindow();
  info.lpIDList = const_cast<LPITEMIDLIST>(folder->AbsoluteIdList());
  info.nShow = SW_SHOW;
  ShellExecuteExA(&info);
}
