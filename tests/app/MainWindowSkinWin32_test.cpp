// The main window's skin manager under Wine: it loads our "Office12Style" and its broadcast
// reaches the main window and every one of its windowed controls exactly once.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/mainWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

// Counts the skin commands of each window. Controls answer CmdIsSkinned as skinned ones will;
// the form's own provider answers for the form, which is reached through the skinned-forms
// list only.
std::map<HWND, std::map<int, int>> Received;

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                              DWORD_PTR isControl) {
  if (msg != SM_SKINCMD) return DefSubclassProc(wnd, msg, w, l);
  ++Received[wnd][SkinCmdOf(w)];
  if (SkinCmdOf(w) != CmdIsSkinned) return 0;
  return isControl ? 1 : DefSubclassProc(wnd, msg, w, l);
}

TEST(MainWindowSkin, TheSkinReachesTheWindowAndEveryControlOnce) {
  Application->Initialize();
  InitSkinRuntime();
  auto* form = new TForm1(Application);
  form->AfterConstruction();
  form->CheckVersion = nullptr;  // no update server here
  form->Show();
  Application->ProcessMessages();
  TsSkinManager* manager = form->sSkinManager1;
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->SkinName(), "Office12Style");

  std::vector<HWND> windows{form->Handle()};
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* c = dynamic_cast<TWinControl*>(form->Controls(i)); c && c->HandleAllocated())
      windows.push_back(c->Handle());
  ASSERT_GT(windows.size(), 10u);
  for (HWND wnd : windows) SetWindowSubclass(wnd, CountingProc, 1, wnd != form->Handle());

  // The generated skins, through Wine's drive for the root of the file system.
  const std::string folder = skintest::WineSkinFolders();
  manager->SetSkinDirectory(folder);
  manager->SetActive(true);
  EXPECT_TRUE(manager->CurrentSkin().Active);
  EXPECT_GE(manager->GetSectionIndex("EDIT"), 0);
  for (HWND wnd : windows) EXPECT_EQ(Received[wnd][CmdSkinChanged], 1);

  manager->SetActive(false);
  for (HWND wnd : windows) {
    EXPECT_EQ(Received[wnd][CmdRemoveSkin], 1);
    EXPECT_EQ(Received[wnd][CmdSkinChanged], 1);
    RemoveWindowSubclass(wnd, CountingProc, 1);
  }
  delete form;
}

}  // namespace
