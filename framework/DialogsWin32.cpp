#include "framework/DialogsWin32.h"

#include <algorithm>
#include <set>

#include "framework/FormsWin32.h"
#include "framework/TypInfo.h"

namespace {

// "a|b|c|d" becomes "a\0b\0c\0d\0\0" as the system wants it.
std::string FilterForSystem(const std::string& filter) {
  std::string s = filter;
  std::replace(s.begin(), s.end(), '|', '\0');
  s.push_back('\0');
  s.push_back('\0');
  return s;
}

// A modal system dialog counts as a modal loop of the program.
struct TModalScope {
  TModalScope() {
    if (Application) Application->ModalStarted();
  }
  ~TModalScope() {
    if (Application) Application->ModalFinished();
  }
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;
};

std::set<TFindDialog*>& LiveFindDialogs() {
  static std::set<TFindDialog*> dialogs;
  return dialogs;
}

}  // namespace

HWND TCommonDialog::OwnerWindow() { return Application ? Application->ModalOwner() : nullptr; }

// ---- TOpenDialog / TSaveDialog ------------------------------------------------------------

K_PUBLISH(TOpenDialog) {
  p.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  p.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  p.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex);
  p.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  p.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  p.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

BOOL TOpenDialog::RunDialog(OPENFILENAMEA& ofn) { return GetOpenFileNameA(&ofn); }

BOOL TSaveDialog::RunDialog(OPENFILENAMEA& ofn) { return GetSaveFileNameA(&ofn); }

bool TOpenDialog::Execute() {
  // Large enough for a multiple selection of many files.
  std::vector<char> buffer(64 * 1024, '\0');
  std::copy_n(fileName_.begin(), std::min(fileName_.size(), buffer.size() - 1), buffer.begin());
  std::string filter = FilterForSystem(filter_);
  std::string ext = defaultExt_;
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  static const struct {
    TOpenOption option;
    DWORD flag;
  } kFlags[] = {
      {ofReadOnly, OFN_READONLY},
      {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},
      {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofShowHelp, OFN_SHOWHELP},
      {ofNoValidate, OFN_NOVALIDATE},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
      {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST},
      {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofShareAware, OFN_SHAREAWARE},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
      {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
      {ofNoNetworkButton, OFN_NONETWORKBUTTON},
      {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
      {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
      {ofEnableSizing, OFN_ENABLESIZING},
  };
  for (const auto& f : kFlags)
    if (options_.Contains(f.option)) ofn.Flags |= f.flag;
  if (!options_.Contains(ofOldStyleDialog)) ofn.Flags |= OFN_EXPLORER;
  if (OnShow_) OnShow_(this);
  BOOL ok;
  {
    TModalScope modal;
    ok = RunDialog(ofn);
  }
  if (OnClose_) OnClose_(this);
  if (!ok) return false;
  files_->Clear();
  // A multiple selection is the folder followed by the names, each ended by a zero.
  std::string first = buffer.data();
  const char* p = buffer.data() + first.size() + 1;
  if (options_.Contains(ofAllowMultiSelect) && *p) {
    std::string dir = IncludeTrailingPathDelimiter(first);
    for (; *p; p += std::char_traits<char>::length(p) + 1) files_->Add(dir + p);
    fileName_ = (*files_)[0];
  } else {
    fileName_ = first;
    files_->Add(first);
  }
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
    options_ += ofExtensionDifferent;
  else
    options_ -= ofExtensionDifferent;
  return true;
}

// ---- TFindDialog --------------------------------------------------------------------------

K_PUBLISH(TFindDialog) { p.Prop("FindText", &TFindDialog::FindText, &TFindDialog::SetFindText); }

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {
  LiveFindDialogs().insert(this);
}

TFindDialog::~TFindDialog() {
  LiveFindDialogs().erase(this);
  if (handle_) {
    if (Application) Application->RemoveDialogHandle(handle_);
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
}

UINT TFindDialog::FindMessage() {
  static UINT msg = RegisterWindowMessageA(FINDMSGSTRINGA);
  return msg;
}

void TFindDialog::SetFindText(const std::string& value) {
  findText_ = value;
  if (handle_) SetDlgItemTextA(handle_, 0x480 /* edt1: the find text */, value.c_str());
}

bool TFindDialog::Execute() {
  if (handle_) {
    // Already open: bring it to the front.
    SetForegroundWindow(handle_);
    SetFocus(handle_);
    return true;
  }
  std::fill(std::begin(buffer_), std::end(buffer_), '\0');
  std::copy_n(findText_.begin(), std::min(findText_.size(), sizeof(buffer_) - 1), buffer_);
  fr_ = FINDREPLACEA{};
  fr_.lStructSize = sizeof(fr_);
  fr_.hwndOwner = OwnerWindow();
  fr_.lpstrFindWhat = buffer_;
  fr_.wFindWhatLen = sizeof(buffer_);
  fr_.lCustData = reinterpret_cast<LPARAM>(this);
  static const struct {
    TFindOption option;
    DWORD flag;
  } kFlags[] = {
      {frDown, FR_DOWN},
      {frHideMatchCase, FR_HIDEMATCHCASE},
      {frHideWholeWord, FR_HIDEWHOLEWORD},
      {frHideUpDown, FR_HIDEUPDOWN},
      {frMatchCase, FR_MATCHCASE},
      {frDisableMatchCase, FR_NOMATCHCASE},
      {frDisableUpDown, FR_NOUPDOWN},
      {frDisableWholeWord, FR_NOWHOLEWORD},
      {frWholeWord, FR_WHOLEWORD},
      {frShowHelp, FR_SHOWHELP},
  };
  for (const auto& f : kFlags)
    if (options_.Contains(f.option)) fr_.Flags |= f.flag;
  handle_ = ::FindTextA(&fr_);
  if (!handle_) return false;
  if (Application) Application->AddDialogHandle(handle_);
  if (OnShow_) OnShow_(this);
  return true;
}

void TFindDialog::CloseDialog() {
  // Posted: the dialog may be in the middle of telling its owner about a press.
  if (handle_) PostMessageA(handle_, WM_CLOSE, 0, 0);
}

void TFindDialog::Find() {
  findText_ = buffer_;
  TFindOptions o;
  static const struct {
    TFindOption option;
    DWORD flag;
  } kBack[] = {{frDown, FR_DOWN},
               {frMatchCase, FR_MATCHCASE},
               {frWholeWord, FR_WHOLEWORD},
               {frFindNext, FR_FINDNEXT}};
  options_ -= TFindOptions{frDown, frMatchCase, frWholeWord, frFindNext};
  for (const auto& f : kBack)
    if (fr_.Flags & f.flag) options_ += f.option;
  (void)o;
  if (OnFind_) OnFind_(this);
}

void TFindDialog::Closed() {
  if (Application && handle_) Application->RemoveDialogHandle(handle_);
  handle_ = nullptr;
  if (OnClose_) OnClose_(this);
}

bool TFindDialog::HandleFindMessage(LPARAM lParam) {
  auto* fr = reinterpret_cast<FINDREPLACEA*>(lParam);
  if (!fr) return false;
  auto* dialog = reinterpret_cast<TFindDialog*>(fr->lCustData);
  if (!LiveFindDialogs().count(dialog) || fr != &dialog->fr_) return false;
  if (fr->Flags & FR_DIALOGTERM) {
    dialog->Closed();
  } else if (fr->Flags & FR_FINDNEXT) {
    dialog->Find();
  }
  return true;
}

// ---- TFontDialog --------------------------------------------------------------------------

K_PUBLISH(TFontDialog) {
  p.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont);
  p.Prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize);
  p.Prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize);
}

TFontDialog::TFontDialog(TComponent* owner)
    : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  LOGFONTA lf{};
  GetObjectA(FontHandle(font_.get()), sizeof(lf), &lf);
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &lf;
  cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_BOTH;
  cf.rgbColors = static_cast<COLORREF>(ColorToRGB(font_->Color()));
  static const struct {
    TFontDialogOption option;
    DWORD flag;
  } kFlags[] = {
      {fdAnsiOnly, CF_ANSIONLY},
      {fdTrueTypeOnly, CF_TTONLY},
      {fdEffects, CF_EFFECTS},
      {fdFixedPitchOnly, CF_FIXEDPITCHONLY},
      {fdForceFontExist, CF_FORCEFONTEXIST},
      {fdNoFaceSel, CF_NOFACESEL},
      {fdNoOEMFonts, CF_NOOEMFONTS},
      {fdNoSimulations, CF_NOSIMULATIONS},
      {fdNoSizeSel, CF_NOSIZESEL},
      {fdNoStyleSel, CF_NOSTYLESEL},
      {fdNoVectorFonts, CF_NOVECTORFONTS},
      {fdShowHelp, CF_SHOWHELP},
      {fdScalableOnly, CF_SCALABLEONLY},
      {fdApplyButton, CF_APPLY},
  };
  for (const auto& f : kFlags)
    if (options_.Contains(f.option)) cf.Flags |= f.flag;
  if (options_.Contains(fdLimitSize) && minFontSize_ > 0 && maxFontSize_ >= minFontSize_) {
    cf.Flags |= CF_LIMITSIZE;
    cf.nSizeMin = minFontSize_;
    cf.nSizeMax = maxFontSize_;
  }
  if (OnShow_) OnShow_(this);
  BOOL ok;
  {
    TModalScope modal;
    ok = ChooseFontA(&cf);
  }
  if (OnClose_) OnClose_(this);
  if (!ok) return false;
  SetFontHandle(font_.get(), CreateFontIndirectA(&lf));
  font_->SetColor(static_cast<TColor>(cf.rgbColors));
  return true;
}

void ShowMessage(const std::string& text) {
  if (Application) Application->MessageBox(text, Application->Title(), MB_OK);
}
