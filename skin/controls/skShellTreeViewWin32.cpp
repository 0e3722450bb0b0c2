#include "skin/controls/skShellTreeViewWin32.h"

#include "framework/FormsWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/controls/skShellChangeNotifierWin32.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/skinfiles/SkinTables.h"

namespace {

constexpr UINT WM_SHELLREFRESH = WM_USER + 1;

int CALLBACK CompareNodes(LPARAM a, LPARAM b, LPARAM) {
  auto* first = reinterpret_cast<TskShellFolder*>(a);
  auto* second = reinterpret_cast<TskShellFolder*>(b);
  IShellFolder* folder = first->ContainingFolder();
  if (!folder) return 0;
  HRESULT hr = folder->CompareIDs(0, first->RelativeIdList(), second->RelativeIdList());
  return static_cast<short>(HRESULT_CODE(hr));
}

bool SomethingExistsAt(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// The tree's answers to the skin command are a skin data's; a new or removed skin also gives
// the system tree its section's colours or its own back.
class TskShellTreeView::TCmdHandler : public TsSkinCmdHandler {
 public:
  explicit TCmdHandler(TskShellTreeView& tree) : TsSkinCmdHandler(*tree.skinData_), tree_(tree) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    return Follow(TsSkinCmdHandler::OnSkinChanged(m));
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    return Follow(TsSkinCmdHandler::OnRemoveSkin(m));
  }
  bool OnRefresh(TSkinCmdMessage& m) override { return Follow(TsSkinCmdHandler::OnRefresh(m)); }

 private:
  bool Follow(bool answered) {
    tree_.ApplySkinColors();
    return answered;
  }
  TskShellTreeView& tree_;
};

TskShellTreeView::TskShellTreeView(TComponent* owner)
    : TWinControl(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, false)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->SetSkinSection("EDIT");
  SetTabStop(true);
}

TskShellTreeView::~TskShellTreeView() {
  notifier_.reset();
  folders_.clear();
}

void TskShellTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TREEVIEWA);
  p.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_EDITLABELS | TVS_SHOWSELALWAYS | WS_TABSTOP;
  if (showRoot_) p.Style |= TVS_LINESATROOT;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TskShellTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(ShellSmallImages()));
  ApplySkinColors();
  if (!populating_) Populate();
}

void TskShellTreeView::DestroyWnd() {
  ClearItems();
  TWinControl::DestroyWnd();
}

void TskShellTreeView::ApplySkinColors() {
  if (!HandleAllocated()) return;
  const TsGeneralData* section = skinData_->IsSkinned() ? skinData_->Section() : nullptr;
  COLORREF back = section ? ColorToRGB(section->Color) : static_cast<COLORREF>(-1);
  COLORREF text = section ? ColorToRGB(section->FontColor) : static_cast<COLORREF>(-1);
  SendMessageA(Handle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageA(Handle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TskShellTreeView::SetRoot(const std::string& value) {
  if (SameRootText(root_, value)) return;
  oldRoot_ = root_;
  root_ = value;
  if (HandleAllocated()) Populate();
}

void TskShellTreeView::SetObjectTypes(TskShellObjectTypes value) {
  objectTypes_ = value;
  if (HandleAllocated()) Populate();
}

void TskShellTreeView::ClearItems() {
  if (HandleAllocated())
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  folders_.clear();
}

TskShellFolder* TskShellTreeView::NodeFolder(HTREEITEM node) const {
  auto found = folders_.find(node);
  return found == folders_.end() ? nullptr : found->second.get();
}

HTREEITEM TskShellTreeView::SelectedNode() {
  if (!HandleAllocated()) return nullptr;
  return TreeView_GetSelection(Handle());
}

TskShellFolder* TskShellTreeView::SelectedShellFolder() { return NodeFolder(SelectedNode()); }

std::string TskShellTreeView::GetSelectedPath() {
  TskShellFolder* folder = SelectedShellFolder();
  return folder ? folder->GetParsingPath() : std::string();
}

std::vector<HTREEITEM> TskShellTreeView::Children(HTREEITEM node) {
  std::vector<HTREEITEM> children;
  for (HTREEITEM child = TreeView_GetChild(Handle(), node); child;
       child = TreeView_GetNextSibling(Handle(), child))
    children.push_back(child);
  return children;
}

std::string TskShellTreeView::NodeText(HTREEITEM node) {
  char text[MAX_PATH]{};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

HTREEITEM TskShellTreeView::AddNode(HTREEITEM parent, std::unique_ptr<TskShellFolder> folder,
                                    const std::string& text) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  TVITEMA& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  std::string shown = text;
  item.pszText = shown.data();
  item.iImage = GetSystemIconIndex(folder->AbsoluteIdList(), false, false);
  item.iSelectedImage = GetSystemIconIndex(folder->AbsoluteIdList(), false, true);
  if (item.iSelectedImage == 0) item.iSelectedImage = item.iImage;
  item.cChildren = folder->HasSubFolders() ? 1 : 0;
  if ((objectTypes_ & otNonFolders) && folder->ShellFolder())
    item.cChildren = FolderHasItems(folder->ShellFolder(), ObjectTypesToEnumFlags(objectTypes_));
  item.lParam = reinterpret_cast<LPARAM>(folder.get());
  auto node = reinterpret_cast<HTREEITEM>(
      SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (node) folders_[node] = std::move(folder);
  return node;
}

void TskShellTreeView::SetHasChildren(HTREEITEM node, bool value) {
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = node;
  item.cChildren = value ? 1 : 0;
  SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TskShellTreeView::Populate() {
  std::string error;
  try {
    rootFolder_ = ResolveRootFolder(oldRoot_, root_);
  } catch (const Exception& e) {
    error = e.what();
  }
  if (rootFolder_) {
    populating_ = true;
    TScopeExit done([this] { populating_ = false; });
    ClearItems();
    IShellFolder* shared = rootFolder_->ShellFolder();
    if (shared) shared->AddRef();
    auto folder = std::make_unique<TskShellFolder>(nullptr, TComRef<IShellFolder>(shared),
                                                   rootFolder_->AbsoluteIdList());
    std::string text = RootFolderValue(root_)
                           ? ReadItemDisplayName(DesktopShellFolder()->ShellFolder(),
                                                 folder->AbsoluteIdList(), SHGDN_NORMAL, showExt_)
                           : LastPathComponent(root_);
    HTREEITEM node = AddNode(nullptr, std::move(folder), text);
    Expand(node);
    TreeView_SelectItem(Handle(), node);
    RestartNotifier();
  }
  if (!error.empty()) throw Exception(error);
}

void TskShellTreeView::PopulateNode(HTREEITEM node) {
  TskShellFolder* parent = NodeFolder(node);
  if (!parent || !parent->ShellFolder()) return;
  TCursor old = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  TScopeExit restore([old] { Screen->SetCursor(old); });
  TComRef<IEnumIDList> items;
  if (parent->ShellFolder()->EnumObjects(
          Application->Handle(), ObjectTypesToEnumFlags(objectTypes_), items.Put()) != S_OK ||
      !items)
    return;
  TItemIdList item;
  ULONG fetched = 0;
  while (items->Next(1, item.Put(), &fetched) == S_OK && fetched == 1) {
    auto child = std::make_unique<TskShellFolder>(
        parent, BindToShellFolder(parent->ShellFolder(), item.Get(), nullptr), item.Get());
    std::string text = child->GetInFolderName(showExt_);
    AddNode(node, std::move(child), text);
  }
  TVSORTCB sort{node, &CompareNodes, 0};
  SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TskShellTreeView::Expand(HTREEITEM node) {
  if (node) SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
}

HTREEITEM TskShellTreeView::FindNodeByIdList(LPCITEMIDLIST list, HTREEITEM start) {
  if (!start) return nullptr;
  TskShellFolder* folder = NodeFolder(start);
  if (folder && SameItemIdLists(folder->AbsoluteIdList(), list)) return start;
  for (HTREEITEM child : Children(start))
    if (HTREEITEM found = FindNodeByIdList(list, child)) return found;
  return nullptr;
}

void TskShellTreeView::SelectPath(const std::string& path) {
  char full[MAX_PATH]{};
  GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  int n = MultiByteToWideChar(CP_ACP, 0, full, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, full, -1, wide.data(), n);
  ULONG eaten = static_cast<ULONG>(path.size());
  TItemIdList list;
  if (FAILED(OpenDesktopFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten,
                                                   list.Put(), nullptr)) ||
      !list)
    throw Exception("Error Setting Path");
  SelectIdList(list.Get());
}

void TskShellTreeView::SelectIdList(LPCITEMIDLIST list) {
  if (!HandleAllocated()) return;
  HTREEITEM start = TreeView_GetRoot(Handle());
  if (!start) return;
  if (TskShellFolder* selected = SelectedShellFolder())
    if (SameItemIdLists(selected->AbsoluteIdList(), list)) return;
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  TScopeExit redraw([this] {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  });
  for (const TItemIdList& ancestor : AncestorIdLists(list)) {
    if (HTREEITEM found = FindNodeByIdList(ancestor.Get(), start)) {
      Expand(found);
      start = found;
    }
  }
  HTREEITEM node = FindNodeByIdList(list, start);
  TreeView_SelectItem(Handle(), node);
  if (node) TreeView_EnsureVisible(Handle(), node);
}

void TskShellTreeView::RebuildNode(HTREEITEM node) {
  TskShellFolder* folder = NodeFolder(node);
  if (!folder || !folder->ShellFolder()) return;
  TskShellFolder* selected = SelectedShellFolder();
  TItemIdList selection = selected ? CloneItemIdList(selected->AbsoluteIdList()) : TItemIdList();
  bool expanded = TreeView_GetItemState(Handle(), node, TVIS_EXPANDED) & TVIS_EXPANDED;
  // Collapsing with a reset deletes the children; the next expansion reads them anew.
  SendMessageA(Handle(), TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET,
               reinterpret_cast<LPARAM>(node));
  SetHasChildren(node, true);
  PopulateNode(node);
  SetHasChildren(node, !Children(node).empty());
  if (expanded) Expand(node);
  if (selection) {
    HTREEITEM again = FindNodeByIdList(selection.Get(), node);
    TreeView_SelectItem(Handle(), again ? again : node);
  }
}

void TskShellTreeView::Refresh() {
  if (HTREEITEM node = SelectedNode()) RebuildNode(node);
}

bool TskShellTreeView::IsEditing() {
  return HandleAllocated() && TreeView_GetEditControl(Handle()) != nullptr;
}

void TskShellTreeView::EndEdit(bool cancel) {
  if (IsEditing()) TreeView_EndEditLabelNow(Handle(), cancel);
}

void TskShellTreeView::StartEdit(HTREEITEM node) {
  if (node) TreeView_EditLabel(Handle(), node);
}

void TskShellTreeView::SetAutoRefresh(bool value) {
  autoRefresh_ = value;
  RestartNotifier();
}

void TskShellTreeView::RestartNotifier() {
  notifier_.reset();
  if (!autoRefresh_ || !HandleAllocated()) return;
  TskShellFolder* watched = SelectedShellFolder();
  if (!watched) watched = rootFolder_.get();
  if (!watched) return;
  notifier_ = std::make_unique<TskShellChangeNotifier>(nullptr);
  notifier_->SetWatchSubTree(false);
  notifier_->SetRoot(watched->GetParsingPath());
  HWND window = Handle();
  notifier_->SetOnChange([window] { PostMessageA(window, WM_SHELLREFRESH, 0, 0); });
}

void TskShellTreeView::DeleteNode(HTREEITEM node) {
  SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TskShellTreeView::ExecuteVerb(const std::string& verb, bool& handled) {
  HTREEITEM node = SelectedNode();
  if (verb == "rename" && node) {
    StartEdit(node);
    handled = true;
  } else if (verb == "open" && node) {
    char current[MAX_PATH]{};
    GetCurrentDirectoryA(MAX_PATH, current);
    savedDir_ = current;
    SetCurrentDirectoryA(FolderPartOfPath(GetSelectedPath()).c_str());
  }
}

void TskShellTreeView::VerbCompleted(const std::string& verb, bool succeeded) {
  HTREEITEM node = SelectedNode();
  if (!succeeded || !node) return;
  if (verb == "delete") {
    // Gone is gone whether it was a file or a folder.
    if (!SomethingExistsAt(GetSelectedPath())) DeleteNode(node);
  } else if (verb == "paste") {
    RebuildNode(node);
  } else if (verb == "open") {
    SetCurrentDirectoryA(savedDir_.c_str());
  }
}

void TskShellTreeView::OnNotify(TMessage& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.LParam);
  switch (header->code) {
    case TVN_ITEMEXPANDINGA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
      m.Result = FALSE;
      if (!(nm->action & TVE_EXPAND)) return;
      HTREEITEM node = nm->itemNew.hItem;
      TskShellFolder* folder = NodeFolder(node);
      // Expanding loads a folder's children; it never opens or runs an item.
      if (folder && folder->IsFolderItem() && !TreeView_GetChild(Handle(), node))
        PopulateNode(node);
      SetHasChildren(node, TreeView_GetChild(Handle(), node) != nullptr);
      return;
    }
    case TVN_SELCHANGEDA:
      RestartNotifier();
      if (OnChange_) OnChange_(this);
      return;
    case TVN_DELETEITEMA: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
      folders_.erase(nm->itemOld.hItem);
      return;
    }
    case TVN_BEGINLABELEDITA: {
      auto* nm = reinterpret_cast<NMTVDISPINFOA*>(m.LParam);
      TskShellFolder* folder = NodeFolder(nm->item.hItem);
      m.Result = !(folder && (folder->Capabilities() & kCanRename));
      return;
    }
    case TVN_ENDLABELEDITA: {
      auto* nm = reinterpret_cast<NMTVDISPINFOA*>(m.LParam);
      m.Result = FALSE;
      TskShellFolder* folder = NodeFolder(nm->item.hItem);
      if (!folder || !nm->item.pszText) return;
      try {
        m.Result = folder->Rename(nm->item.pszText);
      } catch (const Exception& e) {
        ShowErrorMessage(e.what());
      }
      if (m.Result)
        PostMessageA(Handle(), WM_USER + 2, 0,
                     reinterpret_cast<LPARAM>(TreeView_GetParent(Handle(), nm->item.hItem)));
      return;
    }
    default:
      return;
  }
}

void TskShellTreeView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY:
      OnNotify(m);
      return;
    case WM_SHELLREFRESH:
      Refresh();
      return;
    case WM_USER + 2: {
      // A renamed node takes its place among its sorted siblings once the edit has ended.
      TVSORTCB sort{reinterpret_cast<HTREEITEM>(m.LParam), &CompareNodes, 0};
      SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
      return;
    }
    case WM_CONTEXTMENU:
      if (autoContextMenus_) {
        POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        ::ScreenToClient(Handle(), &p);
        ShowShellContextMenu(Handle(), this, SelectedShellFolder(), p.x, p.y);
        return;
      }
      break;
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
      if (IContextMenu2* menu = ActiveContextMenu2()) {
        menu->HandleMenuMsg(m.Msg, m.WParam, m.LParam);
        m.Result = 0;
        return;
      }
      break;
    case SM_SKINCMD: {
      TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
      if (cmdHandler_->Handle(cmd)) {
        m.Result = cmd.Result;
        return;
      }
      break;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}
