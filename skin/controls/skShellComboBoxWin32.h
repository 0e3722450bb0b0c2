// A skinned combo box of shell folders: the root, its sub-folders (below "rfDesktop" also the
// drives under My Computer) and the chain of folders down to the folder shown now, each with
// the system's icon and indented by its depth. Choosing one moves a linked shell list view to
// that folder; the list's moves show here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/sComboBoxWin32.h"
#include "skin/controls/skShellFolderWin32.h"
#include "skin/controls/skShellNames.h"

class TskShellListView;

class TskShellComboBox : public TsCustomComboBox {
  K_CLASS(TskShellComboBox, TsCustomComboBox)
  explicit TskShellComboBox(TComponent* owner);
  ~TskShellComboBox() override;

  const std::string& Root() const { return root_; }
  // A special folder's name or a path; the items are made anew from it.
  void SetRoot(const std::string& name);
  // Shows the chain of folders down to an absolute list and selects it.
  void SetIdList(LPCITEMIDLIST list);
  void ShowPath(LPCITEMIDLIST list);
  TskShellObjectTypes ObjectTypes() const { return objectTypes_; }
  void SetObjectTypes(TskShellObjectTypes value);
  TskShellListView* ShellListView() const { return list_; }
  void SetShellListView(TskShellListView* value);

  int FolderCount() const { return static_cast<int>(entries_.size()); }
  // The object of an item; an index past the end gives the last item's.
  TskShellFolder* ItemFolder(int index) const;
  int ItemIndent(int index) const;
  // The item of an absolute list, searched from the last; -1 when it has none.
  int IndexOfIdList(LPCITEMIDLIST list) const;

  void WndProc(TMessage& message) override;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  void Change() override;
  void Click() override;

 private:
  friend class TskShellListView;
  struct TEntry {
    std::unique_ptr<TskShellFolder> Folder;
    int Indent;
  };
  void CreateRoot();
  void InitRootItems();
  void AddSubFolders(int index, TskShellFolder* parent);
  int InsertItem(int index, std::unique_ptr<TskShellFolder> folder);
  void ClearItems();
  // The list view goes to the chosen item's folder.
  void FollowSelection();
  void DrawShellItem(TControl* control, int index, TRect rect, TOwnerDrawState state);

  std::string root_ = "rfDesktop";
  std::string oldRoot_;
  std::unique_ptr<TskShellFolder> rootFolder_;
  std::vector<TEntry> entries_;
  TskShellObjectTypes objectTypes_ = otFolders;
  bool updating_ = false;
  TskShellListView* list_ = nullptr;
};
