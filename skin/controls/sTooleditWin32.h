// Folder edits: a combo edit that runs a dialog from its button and takes paths dropped from
// the shell (`TsFileDirEdit`), and the folder edit whose button opens the folder picker on the
// folder it names (`TsDirectoryEdit`).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "skin/controls/sCustomComboEditWin32.h"

// Name: the path the dialog starts from or chose; Action false: no dialog.
using TExecOpenDialogEvent = TMethod<void(TObject* sender, std::string& name, bool& action)>;

class TsFileDirEdit : public TsCustomComboEdit {
  K_CLASS(TsFileDirEdit, TsCustomComboEdit)
  explicit TsFileDirEdit(TComponent* owner);

  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool value);
  bool MultipleDirs() const { return multipleDirs_; }
  void SetMultipleDirs(bool value) { multipleDirs_ = value; }
  KFW_EVENT(TNotifyEvent, OnDropFiles)
  KFW_EVENT(TExecOpenDialogEvent, OnBeforeDialog)
  KFW_EVENT(TExecOpenDialogEvent, OnAfterDialog)

  void WndProc(TMessage& message) override;
  virtual std::string LongPathText() = 0;
  virtual std::string ShortPathText() = 0;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void AcceptDroppedPath(const std::string& path) = 0;
  virtual void ResetDroppedPaths() {}
  void DoBeforeDialog(std::string& name, bool& action);
  void DoAfterDialog(std::string& name, bool& action);

 private:
  void SetDragAccept(bool accept);
  void DropFiles(HDROP drop);
  bool acceptFiles_ = false;
  bool multipleDirs_ = false;
};

// Options of the folder dialog; only sdAllowCreate (its Create button) changes it.
enum TSelectDirOpt : uint8_t { sdAllowCreate = 1, sdPerformCreate = 2, sdPrompt = 4 };
using TSelectDirOpts = uint8_t;

// What a folder edit asks of the folder picker.
struct TsFolderDialogRequest {
  std::string Root;
  std::string StartFolder;  // empty: nothing preselected
  std::string DialogText;
  bool AllowCreate = true;
  bool ShowRootButtons = false;
};

class TsDirectoryEdit : public TsFileDirEdit {
  K_CLASS(TsDirectoryEdit, TsFileDirEdit)
  explicit TsDirectoryEdit(TComponent* owner);

  TSelectDirOpts DialogOptions() const { return dialogOptions_; }
  void SetDialogOptions(TSelectDirOpts value) { dialogOptions_ = value; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  const std::string& DialogText() const { return dialogText_; }
  void SetDialogText(const std::string& value) { dialogText_ = value; }
  const std::string& Root() const { return root_; }
  void SetRoot(const std::string& value) { root_ = value; }
  bool NoChangeDir() const { return noChangeDir_; }
  void SetNoChangeDir(bool value) { noChangeDir_ = value; }
  bool ShowRootBtns() const { return showRootBtns_; }
  void SetShowRootBtns(bool value) { showRootBtns_ = value; }

  std::string LongPathText() override;
  std::string ShortPathText() override;

 protected:
  void ButtonClick() override;
  void AcceptDroppedPath(const std::string& path) override;

 private:
  std::string ConvertPaths(std::string (*convert)(const std::string&));
  TSelectDirOpts dialogOptions_ = sdAllowCreate | sdPerformCreate | sdPrompt;
  std::string initialDir_;
  std::string dialogText_;
  std::string root_ = "rfDesktop";
  bool noChangeDir_ = false;
  bool showRootBtns_ = false;
};
