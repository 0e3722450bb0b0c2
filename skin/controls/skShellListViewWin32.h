// A list of one shell folder's items on the skinned list view: the system's icons, folders
// before the other items, report columns from the shell, masks for the names of files, and
// navigation: a double-click or Enter on a folder opens it in the list, Backspace goes up, F5
// reads the folder again. A linked shell combo box follows the list's folder and moves it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/sListViewWin32.h"
#include "skin/controls/skShellFolderWin32.h"
#include "skin/controls/skShellNames.h"

class TskShellChangeNotifier;
class TskShellComboBox;

// CanAdd false leaves the item out.
using TskAddFolderEvent = TMethod<void(TObject* sender, TskShellFolder* folder, bool& canAdd)>;

class TskShellListView : public TsCustomListView, public IacShellVerbHandler {
  K_CLASS(TskShellListView, TsCustomListView)
  explicit TskShellListView(TComponent* owner);
  ~TskShellListView() override;

  const std::string& Root() const { return root_; }
  // A special folder's name ("rfPersonal") or a path; the list shows that folder.
  void SetRoot(const std::string& name);
  // Shows the folder of an absolute list (nothing while the list itself drives a change).
  void SetIdList(LPCITEMIDLIST list);
  void SetRootIdList(LPCITEMIDLIST list);
  TskShellFolder* RootFolder() const { return rootFolder_.get(); }
  TskShellObjectTypes ObjectTypes() const { return objectTypes_; }
  void SetObjectTypes(TskShellObjectTypes value);
  // Masks separated by ";" ("*.sql;*.csv") that the names of files must match; folders always
  // show.
  const std::string& Mask() const { return mask_; }
  void SetMask(const std::string& value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value) { sorted_ = value; }
  bool AutoNavigate() const { return autoNavigate_; }
  void SetAutoNavigate(bool value) { autoNavigate_ = value; }
  bool AutoContextMenus() const { return autoContextMenus_; }
  void SetAutoContextMenus(bool value) { autoContextMenus_ = value; }
  TskShowExtension ShowExt() const { return showExt_; }
  void SetShowExt(TskShowExtension value) { showExt_ = value; }
  bool AutoRefresh() const { return autoRefresh_; }
  // On: a change notifier watches the folder and the list reads it again after a change.
  void SetAutoRefresh(bool value);
  // The notifier while AutoRefresh is on, nullptr otherwise.
  TskShellChangeNotifier* Notifier() const { return notifier_.get(); }
  KFW_EVENT(TskAddFolderEvent, OnAddFolder)

  TskShellComboBox* ShellComboBox() const { return combo_; }
  void SetShellComboBox(TskShellComboBox* value);

  // Reads the folder again, keeping the selected position.
  void Refresh();
  // The list shows the parent of its folder.
  void GoUp();
  int FolderCount() const { return static_cast<int>(folders_.size()); }
  TskShellFolder* ItemFolder(int index) const;
  TskShellFolder* SelectedFolder();
  // The name the list shows for an item.
  std::string ItemName(int index) const;
  void EditSelected();

  void WndProc(TMessage& message) override;
  void ExecuteVerb(const std::string& verb, bool& handled) override;
  void VerbCompleted(const std::string& verb, bool succeeded) override;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  // The system draws the items: their texts and icons come from the shell when shown.
  void InstallCustomDraw(bool) override {}
  virtual void Populate();

 private:
  friend class TskShellComboBox;
  void Refill();
  void SyncPeers();
  void ClearItems();
  void CreateColumns();
  void OpenItem(TskShellFolder* folder);
  void RestartNotifier();
  bool OnNotify(TMessage& message);

  std::string root_ = "rfDesktop";
  std::string oldRoot_;
  std::unique_ptr<TskShellFolder> rootFolder_;
  // The objects behind the items, in the order shown.
  std::vector<std::unique_ptr<TskShellFolder>> folders_;
  TskShellObjectTypes objectTypes_ = otFolders | otNonFolders;
  std::string mask_;
  TskShowExtension showExt_ = TskShowExtension::seSystem;
  bool sorted_ = true;
  bool autoNavigate_ = true;
  bool autoContextMenus_ = true;
  bool autoRefresh_ = false;
  bool rootChanging_ = false;
  bool updating_ = false;
  TskShellComboBox* combo_ = nullptr;
  std::unique_ptr<TskShellChangeNotifier> notifier_;
  std::string savedDir_;
};
