// Common dialog components: open and save (modal), find (modeless) and font (modal).
#pragma once

#include <windows.h>
// The common dialog declarations build on <windows.h>.
#include <commdlg.h>

#include <memory>
#include <string>

#include "framework/CanvasWin32.h"
#include "framework/Classes.h"
#include "framework/ControlsWin32.h"

class TCommonDialog : public TComponent {
  K_CLASS(TCommonDialog, TComponent)
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  // Shows the dialog; true when the user confirmed it.
  virtual bool Execute() = 0;
  KFW_EVENT(TNotifyEvent, OnShow)
  KFW_EVENT(TNotifyEvent, OnClose)

 protected:
  // The window that owns the dialog: the active window of the program.
  static HWND OwnerWindow();
};

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
  K_CLASS_PUBLISHED(TOpenDialog, TCommonDialog)
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  // Pairs of description and mask separated by "|": "SQL-Dateien|*.sql|CSV-Dateien|*.csv".
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value) { defaultExt_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }
  TStrings* Files() { return files_.get(); }

  bool Execute() override;

 protected:
  // The system call behind Execute: GetOpenFileNameA here, GetSaveFileNameA for saving.
  virtual BOOL RunDialog(OPENFILENAMEA& ofn);

 private:
  std::string fileName_, filter_, initialDir_, defaultExt_, title_;
  int filterIndex_ = 1;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
  K_CLASS(TSaveDialog, TOpenDialog)
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  BOOL RunDialog(OPENFILENAMEA& ofn) override;
};

enum TFindOption {
  frDown,
  frFindNext,
  frHideMatchCase,
  frHideWholeWord,
  frHideUpDown,
  frMatchCase,
  frDisableMatchCase,
  frDisableUpDown,
  frDisableWholeWord,
  frReplace,
  frReplaceAll,
  frWholeWord,
  frShowHelp
};
using TFindOptions = TSet<TFindOption>;

// A modeless find dialog: Execute shows it and returns at once; each press of its find
// button fires OnFind.
class TFindDialog : public TCommonDialog {
  K_CLASS_PUBLISHED(TFindDialog, TCommonDialog)
  explicit TFindDialog(TComponent* owner);
  ~TFindDialog() override;

  const std::string& FindText() const { return findText_; }
  void SetFindText(const std::string& value);
  TFindOptions Options() const { return options_; }
  void SetOptions(TFindOptions value) { options_ = value; }
  HWND Handle() const { return handle_; }

  bool Execute() override;
  void CloseDialog();

  KFW_EVENT(TNotifyEvent, OnFind)

  // The message the dialog sends its owner window; forms hand it to HandleFindMessage.
  static UINT FindMessage();
  static bool HandleFindMessage(LPARAM lParam);

 private:
  void Find();
  void Closed();
  std::string findText_;
  TFindOptions options_{frDown};
  HWND handle_ = nullptr;
  FINDREPLACEA fr_{};
  char buffer_[256] = {};
};

enum TFontDialogOption {
  fdAnsiOnly,
  fdTrueTypeOnly,
  fdEffects,
  fdFixedPitchOnly,
  fdForceFontExist,
  fdNoFaceSel,
  fdNoOEMFonts,
  fdNoSimulations,
  fdNoSizeSel,
  fdNoStyleSel,
  fdNoVectorFonts,
  fdShowHelp,
  fdWysiwyg,
  fdLimitSize,
  fdScalableOnly,
  fdApplyButton
};
using TFontDialogOptions = TSet<TFontDialogOption>;

class TFontDialog : public TCommonDialog {
  K_CLASS_PUBLISHED(TFontDialog, TCommonDialog)
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;

  TFont* Font() { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  TFontDialogOptions Options() const { return options_; }
  void SetOptions(TFontDialogOptions value) { options_ = value; }
  int MinFontSize() const { return minFontSize_; }
  void SetMinFontSize(int value) { minFontSize_ = value; }
  int MaxFontSize() const { return maxFontSize_; }
  void SetMaxFontSize(int value) { maxFontSize_ = value; }

  bool Execute() override;

 private:
  std::unique_ptr<TFont> font_;
  TFontDialogOptions options_{fdEffects};
  int minFontSize_ = 0;
  int maxFontSize_ = 0;
};

// The plain message box: the text with an OK button and no icon, captioned with the
// application's title, owned by the active window.
void ShowMessage(const std::string& text);
