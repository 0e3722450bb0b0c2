#include "skin/controls/sTooleditWin32.h"

#include <shellapi.h>

#include <vector>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/controls/skPathDialogWin32.h"
#include "skin/controls/skShellNames.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/pixels/skUtilsWin32.h"

namespace {

bool IsExistingFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// ---- the file and folder edit -------------------------------------------------------------

TsFileDirEdit::TsFileDirEdit(TComponent* owner) : TsCustomComboEdit(owner) { SetMaxLength(255); }

void TsFileDirEdit::SetAcceptFiles(bool value) {
  if (value != acceptFiles_) SetDragAccept(value);
  acceptFiles_ = value;
}

void TsFileDirEdit::SetDragAccept(bool accept) {
  if (HandleAllocated()) DragAcceptFiles(Handle(), accept);
}

void TsFileDirEdit::CreateWnd() {
  TsCustomComboEdit::CreateWnd();
  if (acceptFiles_) SetDragAccept(true);
}

void TsFileDirEdit::DestroyWnd() {
  SetDragAccept(false);
  TsCustomComboEdit::DestroyWnd();
}

void TsFileDirEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_DROPFILES) {
    m.Result = 0;
    DropFiles(reinterpret_cast<HDROP>(m.WParam));
    return;
  }
  TsCustomComboEdit::WndProc(m);
}

void TsFileDirEdit::DropFiles(HDROP drop) {
  TScopeExit finish([drop] { DragFinish(drop); });
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  ResetDroppedPaths();
  for (UINT i = 0; i < count; ++i) {
    // Each name as long as it is: a path is never cut to fit a buffer.
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::vector<char> name(length + 1, '\0');
    DragQueryFileA(drop, i, name.data(), length + 1);
    AcceptDroppedPath(std::string(name.data(), length));
    if (!multipleDirs_) break;
  }
  if (OnDropFiles_) OnDropFiles_(this);
}

void TsFileDirEdit::DoBeforeDialog(std::string& name, bool& action) {
  if (OnBeforeDialog_) OnBeforeDialog_(this, name, action);
}

void TsFileDirEdit::DoAfterDialog(std::string& name, bool& action) {
  if (OnAfterDialog_) OnAfterDialog_(this, name, action);
}

// ---- the folder edit ----------------------------------------------------------------------

TsDirectoryEdit::TsDirectoryEdit(TComponent* owner) : TsFileDirEdit(owner) {}

void TsDirectoryEdit::AcceptDroppedPath(const std::string& path) {
  SetText(TextAfterDrop(Text(), path, IsExistingFile(path), MultipleDirs()));
}

std::string TsDirectoryEdit::ConvertPaths(std::string (*convert)(const std::string&)) {
  if (!MultipleDirs()) return convert(Text());
  std::string result;
  std::string text = Text();
  int position = 1;
  while (position <= static_cast<int>(text.size())) {
    std::string converted = convert(NextToken(text, position, MakeCharSet(";")));
    if (!result.empty() && !converted.empty()) result += ';';
    result += converted;
  }
  return result;
}

std::string TsDirectoryEdit::LongPathText() { return ConvertPaths(&LongPathName); }

std::string TsDirectoryEdit::ShortPathText() { return ConvertPaths(&ShortPathName); }

void TsDirectoryEdit::ButtonClick() {
  TsFileDirEdit::ButtonClick();
  std::string name = Text();
  bool action = true;
  DoBeforeDialog(name, action);
  if (!action) return;
  if (name.empty()) name = initialDir_;
  if (IsExistingFolder(name)) {
    if (!noChangeDir_ && !SetCurrentDirectoryA(name.c_str()))
      throw EInOutError("Cannot change the current folder to " + name);
  } else {
    name.clear();
  }
  TsFolderDialogRequest request{.Root = root_,
                                .StartFolder = name,
                                .DialogText = dialogText_,
                                .AllowCreate = (dialogOptions_ & sdAllowCreate) != 0,
                                .ShowRootButtons = showRootBtns_};
  std::string chosen;
  if (ExecutePathDialog(request, chosen)) {
    name = chosen;
    if (IsExistingFolder(name)) {
      initialDir_ = name;
      SetText(name);
    }
  }
  DoAfterDialog(name, action);
}
