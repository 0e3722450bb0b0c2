#include "skin/controls/skShellComboBoxWin32.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/controls/skShellListViewWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Pixels an item moves right per level of depth.
constexpr int kIndentStep = 10;
constexpr int kIconSize = 16;

TComRef<IShellFolder> SharedFolder(IShellFolder* folder) {
  if (folder) folder->AddRef();
  return TComRef<IShellFolder>(folder);
}

}  // namespace

TskShellComboBox::TskShellComboBox(TComponent* owner) : TsCustomComboBox(owner) {
  SetStyle(csOwnerDrawFixed);
  SetItemHeight(18);
  SetDropDownCount(12);
  SetOnDrawItem(TDrawItemEvent::Of<&TskShellComboBox::DrawShellItem>(this));
}

TskShellComboBox::~TskShellComboBox() {
  if (list_) list_->combo_ = nullptr;
  entries_.clear();
  rootFolder_.reset();
}

void TskShellComboBox::CreateWnd() {
  TsCustomComboBox::CreateWnd();
  if (entries_.empty() && !updating_) {
    CreateRoot();
  } else {
    // A window made anew gets the items it lost.
    int selected = ItemIndex();
    Items()->BeginUpdate();
    Items()->Clear();
    for (const TEntry& entry : entries_)
      Items()->Add(entry.Folder->GetInFolderName(TskShowExtension::seSystem));
    Items()->EndUpdate();
    SetItemIndex(selected);
  }
}

void TskShellComboBox::DestroyWnd() { TsCustomComboBox::DestroyWnd(); }

void TskShellComboBox::Notification(TComponent* c, TOperation operation) {
  TsCustomComboBox::Notification(c, operation);
  if (operation == opRemove && c == list_) list_ = nullptr;
}

void TskShellComboBox::SetShellListView(TskShellListView* value) {
  if (value == list_) return;
  if (value) {
    value->SetShellComboBox(this);
  } else if (list_) {
    list_->SetShellComboBox(nullptr);
  }
}

void TskShellComboBox::SetObjectTypes(TskShellObjectTypes value) {
  objectTypes_ = value;
  if (HandleAllocated()) CreateRoot();
}

TskShellFolder* TskShellComboBox::ItemFolder(int index) const {
  if (entries_.empty() || index < 0) return nullptr;
  index = std::min(index, FolderCount() - 1);
  return entries_[static_cast<size_t>(index)].Folder.get();
}

int TskShellComboBox::ItemIndent(int index) const {
  return index >= 0 && index < FolderCount() ? entries_[static_cast<size_t>(index)].Indent : 0;
}

int TskShellComboBox::IndexOfIdList(LPCITEMIDLIST list) const {
  for (int i = FolderCount() - 1; i >= 0; --i)
    if (SameItemIdLists(entries_[static_cast<size_t>(i)].Folder->AbsoluteIdList(), list)) return i;
  return -1;
}

void TskShellComboBox::ClearItems() {
  Items()->Clear();
  entries_.clear();
}

int TskShellComboBox::InsertItem(int index, std::unique_ptr<TskShellFolder> folder) {
  index = std::clamp(index, 0, FolderCount());
  std::string caption = folder->GetInFolderName(TskShowExtension::seSystem);
  int indent = folder->Level();
  entries_.insert(entries_.begin() + index, TEntry{std::move(folder), indent});
  Items()->Insert(index, caption);
  return index;
}

void TskShellComboBox::CreateRoot() {
  Items()->BeginUpdate();
  TScopeExit done([this] { Items()->EndUpdate(); });
  ClearItems();
  rootFolder_.reset();
  rootFolder_ = ResolveRootFolder(oldRoot_, root_);
  InsertItem(0, std::make_unique<TskShellFolder>(nullptr, SharedFolder(rootFolder_->ShellFolder()),
                                                 rootFolder_->AbsoluteIdList()));
  entries_[0].Indent = 0;
  InitRootItems();
  SetItemIndex(0);
}

void TskShellComboBox::InitRootItems() {
  AddSubFolders(0, entries_[0].Folder.get());
  if (root_ != "rfDesktop") return;
  TItemIdList computer;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.Put())) || !computer)
    return;
  int index = IndexOfIdList(computer.Get());
  if (index >= 0) AddSubFolders(index, entries_[static_cast<size_t>(index)].Folder.get());
}

void TskShellComboBox::AddSubFolders(int index, TskShellFolder* parent) {
  IShellFolder* shell = parent->ShellFolder();
  if (!shell) return;
  TComRef<IEnumIDList> items;
  HRESULT hr = shell->EnumObjects(nullptr, ObjectTypesToEnumFlags(objectTypes_), items.Put());
  if (FAILED(hr)) {
    char text[64];
    wsprintfA(text, "OLE error %08X", static_cast<unsigned>(hr));
    throw Exception(text);
  }
  if (hr != S_OK || !items) return;
  std::vector<TItemIdList> lists;
  TItemIdList item;
  ULONG fetched = 0;
  while (items->Next(1, item.Put(), &fetched) == S_OK && fetched == 1 && item)
    lists.push_back(std::move(item));
  std::stable_sort(lists.begin(), lists.end(), [shell](const TItemIdList& a, const TItemIdList& b) {
    return static_cast<short>(HRESULT_CODE(shell->CompareIDs(0, a.Get(), b.Get()))) < 0;
  });
  int at = index + 1;
  for (const TItemIdList& list : lists)
    InsertItem(at++, std::make_unique<TskShellFolder>(
                         parent, BindToShellFolder(shell, list.Get(), nullptr), list.Get()));
}

void TskShellComboBox::ShowPath(LPCITEMIDLIST list) {
  // The list may belong to an item that CreateRoot frees.
  TItemIdList target = CloneItemIdList(list);
  Items()->BeginUpdate();
  TScopeExit done([this] { Items()->EndUpdate(); });
  CreateRoot();
  std::vector<TItemIdList> ancestors = AncestorIdLists(target.Get());
  ancestors.push_back(CloneItemIdList(target.Get()));
  // The deepest chain member already shown, then each deeper one right below it.
  int found = -1;
  size_t from = 0;
  for (size_t i = ancestors.size(); i-- > 0;) {
    found = IndexOfIdList(ancestors[i].Get());
    if (found >= 0) {
      from = i + 1;
      break;
    }
  }
  if (found < 0) return;
  for (size_t i = from; i < ancestors.size(); ++i) {
    TskShellFolder* parent = entries_[static_cast<size_t>(found)].Folder.get();
    TItemIdList relative = LastItemIdCopy(ancestors[i].Get());
    found = InsertItem(
        found + 1, std::make_unique<TskShellFolder>(
                       parent, BindToShellFolder(parent->ShellFolder(), relative.Get(), nullptr),
                       relative.Get()));
  }
  SetItemIndex(found);
}

void TskShellComboBox::SetIdList(LPCITEMIDLIST list) {
  if (updating_ || !list) return;
  int selected = ItemIndex();
  if (selected >= 0 && SameItemIdLists(ItemFolder(selected)->AbsoluteIdList(), list)) return;
  updating_ = true;
  TScopeExit done([this] { updating_ = false; });
  ShowPath(list);
  if (OnChange_) OnChange_(this);
}

void TskShellComboBox::SetRoot(const std::string& name) {
  if (SameRootText(root_, name)) return;
  oldRoot_ = root_;
  root_ = name;
  updating_ = true;
  TScopeExit done([this] { updating_ = false; });
  if (HandleAllocated()) CreateRoot();
  if (list_) list_->SetRoot(root_);
}

void TskShellComboBox::FollowSelection() {
  int selected = ItemIndex();
  if (selected < 0 || updating_ || ListDropped()) return;
  TItemIdList chosen = CloneItemIdList(ItemFolder(selected)->AbsoluteIdList());
  updating_ = true;
  TScopeExit done([this] { updating_ = false; });
  if (list_) list_->SetIdList(chosen.Get());
}

void TskShellComboBox::Change() {
  TsCustomComboBox::Change();
  FollowSelection();
}

void TskShellComboBox::Click() {
  int selected = ItemIndex();
  if (selected >= 0 && !updating_) {
    // The chain below the chosen folder goes; the chosen one stays selected.
    TItemIdList chosen = CloneItemIdList(ItemFolder(selected)->AbsoluteIdList());
    updating_ = true;
    TScopeExit done([this] { updating_ = false; });
    ShowPath(chosen.Get());
  }
  TsCustomComboBox::Click();
}

void TskShellComboBox::WndProc(TMessage& m) {
  TsCustomComboBox::WndProc(m);
  // A folder chosen in the dropped list counts once the list is up again.
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_CLOSEUP) FollowSelection();
}

void TskShellComboBox::DrawShellItem(TControl*, int index, TRect rect, TOwnerDrawState state) {
  if (index < 0 || index >= FolderCount()) return;
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  // The closed box shows its item without the depth.
  int indent = state.Contains(odComboBoxEdit) ? 0 : ItemIndent(index) * kIndentStep;
  int x = rect.Left + 2 + indent;
  TskShellFolder* folder = ItemFolder(index);
  int icon = GetSystemIconIndex(folder->AbsoluteIdList(), false, false);
  if (HIMAGELIST images = ShellSmallImages())
    ImageList_Draw(images, icon, dc, x, rect.Top + (rect.Height() - kIconSize) / 2,
                   ILD_TRANSPARENT);
  TRect text{x + kIconSize + 4, rect.Top, rect.Right, rect.Bottom};
  SetBkMode(dc, TRANSPARENT);
  COLORREF color = ColorToRGB(Font()->Color());
  if (state.Contains(odSelected)) {
    TsSkinManager* manager = SkinData()->IsSkinned() ? SkinData()->SkinManager() : nullptr;
    color = ColorToRGB(manager ? manager->SelectionTextColor(state.Contains(odFocused))
                               : clHighlightText);
  }
  SetTextColor(dc, color);
  std::string caption = (*Items())[index];
  RECT r{text.Left, text.Top, text.Right, text.Bottom};
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}
