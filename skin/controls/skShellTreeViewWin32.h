// A tree of the shell namespace: a root (a special folder or a path) whose folders load when a
// node expands, with the system's icons, in-place renaming through the shell, the shell's
// context menu, and the selected folder's path. The folder picker is built on it. The system
// tree control draws the nodes; while a skin is active the tree takes its section's colours.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "framework/ControlsWin32.h"
#include "skin/controls/skShellFolderWin32.h"
#include "skin/controls/skShellNames.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TskShellChangeNotifier;

class TskShellTreeView : public TWinControl, public IacShellVerbHandler {
  K_CLASS(TskShellTreeView, TWinControl)
  explicit TskShellTreeView(TComponent* owner);
  ~TskShellTreeView() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  const std::string& Root() const { return root_; }
  // A special folder's name ("rfMyComputer") or a path; the tree is built anew on it.
  void SetRoot(const std::string& value);
  TskShellObjectTypes ObjectTypes() const { return objectTypes_; }
  void SetObjectTypes(TskShellObjectTypes value);
  TskShowExtension ShowExt() const { return showExt_; }
  void SetShowExt(TskShowExtension value) { showExt_ = value; }
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value) { showRoot_ = value; }
  bool AutoContextMenus() const { return autoContextMenus_; }
  void SetAutoContextMenus(bool value) { autoContextMenus_ = value; }
  bool AutoRefresh() const { return autoRefresh_; }
  // On: a change notifier watches the selected folder and the tree rebuilds its node.
  void SetAutoRefresh(bool value);
  KFW_EVENT(TNotifyEvent, OnChange)

  // Selects the folder of a path, expanding its ancestors; raises "Error Setting Path".
  void SelectPath(const std::string& path);
  void SelectIdList(LPCITEMIDLIST list);
  // The selected folder's parsing path; empty without a selection.
  std::string GetSelectedPath();
  TskShellFolder* SelectedShellFolder();
  HTREEITEM SelectedNode();
  TskShellFolder* NodeFolder(HTREEITEM node) const;
  HTREEITEM FindNodeByIdList(LPCITEMIDLIST list, HTREEITEM start);
  // The node's children read anew from the shell; the selection stays where it was.
  void RebuildNode(HTREEITEM node);
  void Refresh();
  bool IsEditing();
  // Ends an in-place rename, keeping (or, with cancel, dropping) the typed name.
  void EndEdit(bool cancel);
  void StartEdit(HTREEITEM node);
  void Expand(HTREEITEM node);
  std::vector<HTREEITEM> Children(HTREEITEM node);
  std::string NodeText(HTREEITEM node);

  void WndProc(TMessage& message) override;
  void ExecuteVerb(const std::string& verb, bool& handled) override;
  void VerbCompleted(const std::string& verb, bool succeeded) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  class TCmdHandler;
  void Populate();
  void PopulateNode(HTREEITEM node);
  HTREEITEM AddNode(HTREEITEM parent, std::unique_ptr<TskShellFolder> folder,
                    const std::string& text);
  void SetHasChildren(HTREEITEM node, bool value);
  void ClearItems();
  void DeleteNode(HTREEITEM node);
  void OnNotify(TMessage& message);
  void ApplySkinColors();
  void RestartNotifier();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  std::string root_ = "rfDesktop";
  std::string oldRoot_;
  std::unique_ptr<TskShellFolder> rootFolder_;
  // The folder object of every node, owned here and freed with its node.
  std::map<HTREEITEM, std::unique_ptr<TskShellFolder>> folders_;
  TskShellObjectTypes objectTypes_ = otFolders;
  TskShowExtension showExt_ = TskShowExtension::seSystem;
  bool showRoot_ = true;
  bool autoContextMenus_ = true;
  bool autoRefresh_ = false;
  bool populating_ = false;
  std::unique_ptr<TskShellChangeNotifier> notifier_;
  std::string savedDir_;
};
