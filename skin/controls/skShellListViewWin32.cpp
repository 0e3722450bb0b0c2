#include "skin/controls/skShellListViewWin32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/controls/skShellChangeNotifierWin32.h"
#include "skin/controls/skShellComboBoxWin32.h"
#include "skin/controls/skShellListRules.h"

namespace {

constexpr UINT WM_SHELLREFRESH = WM_USER + 1;

struct TColumnSpec {
  const char* Caption;
  TAlignment Alignment;
  int Characters;
};

// Columns of a file-system folder whose shell gives no column details.
constexpr TColumnSpec kFileColumns[] = {{"Name", taLeftJustify, 25},
                                        {"Size", taRightJustify, 10},
                                        {"Type", taLeftJustify, 10},
                                        {"Modified", taLeftJustify, 14}};

TAlignment AlignmentOfFormat(int format) {
  switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
      return taRightJustify;
    case LVCFMT_CENTER:
      return taCenter;
    default:
      return taLeftJustify;
  }
}

bool SameTextAscii(const std::string& a, const std::string& b) { return SameRootText(a, b); }

}  // namespace

TskShellListView::TskShellListView(TComponent* owner) : TsCustomListView(owner) {
  SetHideSelection(false);
}

TskShellListView::~TskShellListView() {
  notifier_.reset();
  if (combo_) combo_->list_ = nullptr;
  folders_.clear();
  rootFolder_.reset();
}

void TskShellListView::CreateWnd() {
  TsCustomListView::CreateWnd();
  if (!HandleAllocated()) return;
  SHFILEINFOA info{};
  auto large =
      static_cast<LPARAM>(SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX));
  if (ShellSmallImages())
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(ShellSmallImages()));
  if (large) SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, large);
  if (!rootFolder_) {
    try {
      rootFolder_ = ResolveRootFolder(oldRoot_, root_);
    } catch (const Exception&) {
      Application->HandleException(this);
    }
  }
  Refill();
}

void TskShellListView::DestroyWnd() {
  notifier_.reset();
  ClearItems();
  TsCustomListView::DestroyWnd();
}

void TskShellListView::Notification(TComponent* c, TOperation operation) {
  TsCustomListView::Notification(c, operation);
  if (operation == opRemove && c == combo_) combo_ = nullptr;
}

void TskShellListView::SetShellComboBox(TskShellComboBox* value) {
  if (value == combo_) return;
  if (combo_) {
    combo_->list_ = nullptr;
    combo_->RemoveFreeNotification(this);
  }
  combo_ = value;
  if (!combo_) return;
  combo_->FreeNotification(this);
  combo_->list_ = this;
  combo_->SetRoot(root_);
  if (rootFolder_) combo_->SetIdList(rootFolder_->AbsoluteIdList());
}

void TskShellListView::SetObjectTypes(TskShellObjectTypes value) {
  objectTypes_ = value;
  Refill();
}

void TskShellListView::SetMask(const std::string& value) {
  mask_ = value;
  Refill();
}

TskShellFolder* TskShellListView::ItemFolder(int index) const {
  return index >= 0 && index < FolderCount() ? folders_[static_cast<size_t>(index)].get() : nullptr;
}

TskShellFolder* TskShellListView::SelectedFolder() {
  return HandleAllocated() ? ItemFolder(ItemIndex()) : nullptr;
}

std::string TskShellListView::ItemName(int index) const {
  TskShellFolder* folder = ItemFolder(index);
  return folder ? folder->GetInFolderName(showExt_) : std::string();
}

void TskShellListView::ClearItems() {
  Items()->BeginUpdate();
  Items()->Clear();
  folders_.clear();
  Items()->EndUpdate();
}

void TskShellListView::Refill() {
  if (updating_ || !HandleAllocated()) return;
  updating_ = true;
  TScopeExit done([this] { updating_ = false; });
  bool refresh = autoRefresh_;
  autoRefresh_ = false;
  notifier_.reset();
  SyncPeers();
  Populate();
  if (ViewStyle() == vsReport) CreateColumns();
  autoRefresh_ = refresh;
  RestartNotifier();
}

void TskShellListView::SyncPeers() {
  if (combo_) {
    if (rootChanging_)
      combo_->SetRoot(root_);
    else if (rootFolder_)
      combo_->SetIdList(rootFolder_->AbsoluteIdList());
  }
  rootChanging_ = false;
}

void TskShellListView::Populate() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  TScopeExit redraw([this] {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  });
  ClearItems();
  if (!rootFolder_ || !rootFolder_->ShellFolder()) return;
  TCursor old = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  TScopeExit restore([old] { Screen->SetCursor(old); });
  IShellFolder* shell = rootFolder_->ShellFolder();
  TComRef<IEnumIDList> items;
  if (shell->EnumObjects(Application->Handle(), ObjectTypesToEnumFlags(objectTypes_),
                         items.Put()) != S_OK ||
      !items)
    return;
  struct TEntry {
    std::unique_ptr<TskShellFolder> Folder;
    bool IsFolder;
  };
  std::vector<TEntry> entries;
  const bool masked = HasMaskWords(mask_);
  // Each list the enumerator hands out is copied into its object and freed here.
  TItemIdList item;
  ULONG fetched = 0;
  while (items->Next(1, item.Put(), &fetched) == S_OK && fetched == 1 && item) {
    auto folder = std::make_unique<TskShellFolder>(
        rootFolder_.get(), BindToShellFolder(shell, item.Get(), nullptr), item.Get());
    bool isFolder = folder->IsFolderItem();
    bool canAdd = isFolder || !masked ||
                  MatchesMaskList(folder->GetInFolderName(TskShowExtension::seShow), mask_);
    if (OnAddFolder_) OnAddFolder_(this, folder.get(), canAdd);
    if (canAdd) entries.push_back({std::move(folder), isFolder});
  }
  if (sorted_)
    std::stable_sort(entries.begin(), entries.end(), [shell](const TEntry& a, const TEntry& b) {
      if (a.IsFolder != b.IsFolder) return a.IsFolder;
      HRESULT hr = shell->CompareIDs(0, a.Folder->RelativeIdList(), b.Folder->RelativeIdList());
      return static_cast<short>(HRESULT_CODE(hr)) < 0;
    });
  Items()->BeginUpdate();
  for (TEntry& entry : entries) {
    folders_.push_back(std::move(entry.Folder));
    Items()->Add();
  }
  Items()->EndUpdate();
}

void TskShellListView::CreateColumns() {
  if (!rootFolder_ || !rootFolder_->ShellFolder() || !HandleAllocated()) return;
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  TScopeExit redraw([this] {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  });
  Columns()->BeginUpdate();
  TScopeExit endColumns([this] { Columns()->EndUpdate(); });
  Columns()->Clear();
  rootFolder_->SetDetailsOwner(Handle());
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const int xWidth = canvas->TextWidth("X");
  std::vector<std::string> added;
  auto add = [&](const std::string& caption, TAlignment alignment, int characters) {
    if (caption.empty()) return;
    for (const std::string& seen : added)
      if (SameTextAscii(seen, caption)) return;
    added.push_back(caption);
    TListColumn* column = Columns()->Add();
    column->SetCaption(caption);
    column->SetAlignment(alignment);
    column->SetWidth(xWidth * characters);
  };
  // The details interfaces are asked for by their own identity, never assumed.
  if (IShellFolder2* folder2 = rootFolder_->GetShellFolder2()) {
    bool seenDefault = false;
    for (UINT i = 0;; ++i) {
      SHELLDETAILS details{};
      if (FAILED(folder2->GetDetailsOf(nullptr, i, &details))) break;
      SHCOLSTATEF state = 0;
      bool isDefault =
          SUCCEEDED(folder2->GetDefaultColumnState(i, &state)) && (state & SHCOLSTATE_ONBYDEFAULT);
      std::string caption = StrRetToText(details.str, nullptr);
      if (seenDefault && !isDefault) break;
      seenDefault = seenDefault || isDefault;
      add(caption, AlignmentOfFormat(details.fmt), details.cxChar);
    }
  } else if (IShellDetails* shellDetails = rootFolder_->GetShellDetails()) {
    for (UINT i = 0;; ++i) {
      SHELLDETAILS details{};
      if (FAILED(shellDetails->GetDetailsOf(nullptr, i, &details))) break;
      std::string caption = StrRetToText(details.str, nullptr);
      bool repeated = std::any_of(added.begin(), added.end(), [&](const std::string& seen) {
        return SameTextAscii(seen, caption);
      });
      if (repeated) break;
      add(caption, AlignmentOfFormat(details.fmt), details.cxChar);
    }
  } else if (rootFolder_->Properties() & kFileSystem) {
    for (const TColumnSpec& spec : kFileColumns) add(spec.Caption, spec.Alignment, spec.Characters);
  } else {
    add("Name", taLeftJustify, 25);
  }
}

void TskShellListView::SetRoot(const std::string& name) {
  if (SameRootText(root_, name)) return;
  oldRoot_ = root_;
  root_ = name;
  try {
    rootFolder_ = ResolveRootFolder(oldRoot_, root_);
  } catch (const Exception&) {
    rootFolder_.reset();
    rootChanging_ = true;
    Refill();
    throw;
  }
  rootChanging_ = true;
  Refill();
}

void TskShellListView::SetRootIdList(LPCITEMIDLIST list) {
  if (updating_ || !list) return;
  if (rootFolder_ && SameItemIdLists(rootFolder_->AbsoluteIdList(), list)) return;
  // The list may belong to an object about to be freed with the old root.
  TItemIdList copy = CloneItemIdList(list);
  folders_.clear();
  rootFolder_ = CreateShellFolderForIdList(copy.Get());
  rootChanging_ = false;
  Refill();
}

void TskShellListView::SetIdList(LPCITEMIDLIST list) {
  if (updating_) return;
  if (!rootFolder_ || !SameItemIdLists(rootFolder_->AbsoluteIdList(), list)) SetRootIdList(list);
}

void TskShellListView::GoUp() {
  if (!rootFolder_ || ItemIdCount(IdBytes(rootFolder_->AbsoluteIdList())) == 0) return;
  TItemIdList parent = CloneItemIdList(rootFolder_->AbsoluteIdList());
  StripLastItemId(reinterpret_cast<uint8_t*>(parent.Get()));
  SetRootIdList(parent.Get());
}

void TskShellListView::Refresh() {
  if (!rootFolder_) return;
  int selected = HandleAllocated() ? ItemIndex() : -1;
  SetItemIndex(-1);
  TItemIdList copy = CloneItemIdList(rootFolder_->AbsoluteIdList());
  folders_.clear();
  rootFolder_.reset();
  SetRootIdList(copy.Get());
  if (selected >= 0 && selected < FolderCount()) SetItemIndex(selected);
}

void TskShellListView::SetAutoRefresh(bool value) {
  autoRefresh_ = value;
  RestartNotifier();
}

void TskShellListView::RestartNotifier() {
  notifier_.reset();
  if (!autoRefresh_ || !rootFolder_ || !HandleAllocated()) return;
  notifier_ = std::make_unique<TskShellChangeNotifier>(nullptr);
  notifier_->SetWatchSubTree(false);
  notifier_->SetRoot(rootFolder_->GetParsingPath());
  // Refreshing re-creates the notifier, so it happens after the handler has returned.
  HWND window = Handle();
  notifier_->SetOnChange([window] { PostMessageA(window, WM_SHELLREFRESH, 0, 0); });
}

void TskShellListView::OpenItem(TskShellFolder* folder) {
  if (!folder) return;
  if (folder->IsFolderItem()) {
    TItemIdList list = CloneItemIdList(folder->AbsoluteIdList());
    SetRootIdList(list.Get());
  } else {
    ExecuteShellItem(folder);
  }
}

void TskShellListView::DblClick() {
  if (autoNavigate_) OpenItem(SelectedFolder());
  TsCustomListView::DblClick();
}

void TskShellListView::KeyDown(WORD& key, TShiftState shift) {
  if (autoNavigate_) {
    bool editing = HandleAllocated() && ListView_GetEditControl(Handle()) != nullptr;
    switch (key) {
      case VK_BACK:
        if (!editing) GoUp();
        break;
      case VK_RETURN:
        if (shift.Contains(ssAlt)) {
          if (TskShellFolder* folder = SelectedFolder()) folder->InvokeVerb("properties");
          key = 0;
        } else {
          OpenItem(SelectedFolder());
        }
        break;
      case VK_F5:
        Refresh();
        break;
      default:
        break;
    }
  }
  TsCustomListView::KeyDown(key, shift);
}

void TskShellListView::EditSelected() {
  int index = ItemIndex();
  if (index >= 0) ListView_EditLabel(Handle(), index);
}

void TskShellListView::ExecuteVerb(const std::string& verb, bool& handled) {
  if (verb == "rename") {
    EditSelected();
    handled = true;
  } else if (verb == "open") {
    char current[MAX_PATH]{};
    GetCurrentDirectoryA(MAX_PATH, current);
    savedDir_ = current;
    if (TskShellFolder* folder = SelectedFolder())
      SetCurrentDirectoryA(FolderPartOfPath(folder->GetParsingPath()).c_str());
  }
}

void TskShellListView::VerbCompleted(const std::string& verb, bool succeeded) {
  if (!succeeded) return;
  if (verb == "delete" || verb == "paste")
    Refresh();
  else if (verb == "open")
    SetCurrentDirectoryA(savedDir_.c_str());
}

bool TskShellListView::OnNotify(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(m.LParam)->item;
      TskShellFolder* folder = ItemFolder(item.iItem);
      if (!folder) return true;
      if (item.mask & LVIF_TEXT) {
        std::string text;
        if (item.iSubItem == 0) {
          text = folder->GetInFolderName(showExt_);
        } else {
          try {
            folder->LoadColumnDetails(rootFolder_.get(), Handle(), Columns()->Count());
            text = folder->ColumnDetail(item.iSubItem);
          } catch (const Exception&) {
            // An item that went away meanwhile shows empty details.
          }
        }
        if (item.pszText && item.cchTextMax > 0)
          lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
      }
      if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
        item.iImage = GetSystemIconIndex(folder->AbsoluteIdList(), ViewStyle() == vsIcon, false);
      return true;
    }
    case LVN_ODFINDITEMA: {
      auto* find = reinterpret_cast<NMLVFINDITEMA*>(m.LParam);
      m.Result = -1;
      if ((find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz)
        m.Result = FindItemByPrefix(FolderCount(), find->iStart, find->lvfi.flags & LVFI_WRAP,
                                    find->lvfi.psz, [this](int i) { return ItemName(i); });
      return true;
    }
    case LVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
      m.Result = FALSE;
      TskShellFolder* folder = ItemFolder(info->item.iItem);
      if (!folder || !info->item.pszText) return true;
      try {
        if (folder->Rename(info->item.pszText))
          ListView_RedrawItems(Handle(), info->item.iItem, info->item.iItem);
      } catch (const Exception&) {
        Application->HandleException(this);
      }
      return true;
    }
    default:
      return false;
  }
}

void TskShellListView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY:
      if (OnNotify(m)) return;
      break;
    case WM_SHELLREFRESH:
      Refresh();
      return;
    case WM_GETDLGCODE:
      // Enter opens the selected item here instead of pressing the form's default button.
      if (autoNavigate_ && m.LParam) {
        auto* msg = reinterpret_cast<const MSG*>(m.LParam);
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
          TsCustomListView::WndProc(m);
          m.Result |= DLGC_WANTMESSAGE;
          return;
        }
      }
      break;
    case WM_CONTEXTMENU:
      if (autoContextMenus_ && SelectedFolder()) {
        POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        ::ScreenToClient(Handle(), &p);
        ShowShellContextMenu(Handle(), this, SelectedFolder(), p.x, p.y);
        return;
      }
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
      if (IContextMenu2* menu = ActiveContextMenu2()) {
        menu->HandleMenuMsg(m.Msg, m.WParam, m.LParam);
        m.Result = 0;
      }
      if (m.Msg == WM_DRAWITEM && updating_) return;
      break;
    case WM_STYLECHANGED:
      TsCustomListView::WndProc(m);
      if (ViewStyle() == vsReport && !updating_) CreateColumns();
      return;
    default:
      break;
  }
  TsCustomListView::WndProc(m);
}
