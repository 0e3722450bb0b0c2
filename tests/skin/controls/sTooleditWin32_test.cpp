// The folder edit under Wine: paths dropped on it through a real WM_DROPFILES arrive whole
// (also beyond 254 characters), a dropped file gives its folder, several folders append with
// MultipleDirs; its button presses on a click and on Alt+Down but not when read-only; skinned,
// the button shows its section inside the edit's frame.
#include "skin/controls/sTooleditWin32.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/skin/controls/ControlsTestSkinWin32.h"
#include "tests/skin/controls/ShellTestFolderWin32.h"

namespace {

using namespace controlstest;
using shelltest::TTestFolder;

// The block the shell hands a window when files are dropped on it: the paths, each ended by a
// zero, and one more zero.
HGLOBAL DropBlock(const std::vector<std::string>& paths) {
  std::string names;
  for (const std::string& p : paths) names += p + '\0';
  names += '\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
  GlobalUnlock(block);
  return block;
}

struct FolderEdit : SkinnedControls {
  TsDirectoryEdit* AddEdit() {
    auto* edit = form.Add<TsDirectoryEdit>();
    edit->SetBounds(20, 20, 260, 24);
    return edit;
  }
  void Drop(TsDirectoryEdit* edit, const std::vector<std::string>& paths) {
    int drops = dropped;
    PostMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropBlock(paths)), 0);
    ASSERT_TRUE(ktest::PumpUntil([&] { return dropped > drops; }));
  }
  int dropped = 0;
};

TEST_F(FolderEdit, DroppedPathsArriveWholeAsFolders) {
  TTestFolder folder("drop");
  std::string file = folder.MakeFile("dump.sql");
  std::string longPath = folder.Path();
  while (longPath.size() < 300) longPath += "\\a-rather-long-folder-name";
  ASSERT_GT(longPath.size(), 254u);
  struct TCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Paths;
    bool Multiple;
    std::string Result;
  } const cases[] = {
      {"a long path", "old", {longPath}, false, longPath},
      {"a file gives its folder", "", {file}, false, folder.Path() + "\\"},
      {"only the first without MultipleDirs", "old", {"C:\\x", "C:\\y"}, false, "C:\\x"},
      {"all appended with MultipleDirs",
       "C:\\a",
       {"C:\\x", "C:\\y", longPath},
       true,
       "C:\\a;C:\\x;C:\\y;" + longPath},
  };
  TsDirectoryEdit* edit = AddEdit();
  edit->SetAcceptFiles(true);
  edit->SetOnDropFiles([this](TObject*) { ++dropped; });
  form.Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->SetMultipleDirs(c.Multiple);
    edit->SetText(c.Text);
    Drop(edit, c.Paths);
    EXPECT_EQ(edit->Text(), c.Result);
  }
}

TEST_F(FolderEdit, TheButtonPressesOnAClickAndOnAltDownUnlessReadOnly) {
  // The combo edit itself: its button only fires OnButtonClick (no dialog).
  auto* edit = form.Add<TsCustomComboEdit>();
  edit->SetBounds(20, 20, 260, 24);
  int clicks = 0;
  edit->SetOnButtonClick([&](TObject*) { ++clicks; });
  form.Show();
  ktest::Settle(Wnd());
  RECT button{};
  GetWindowRect(edit->Button()->Handle(), &button);
  ktest::Click(ktest::CentreOf(button));
  EXPECT_TRUE(ktest::PumpUntil([&] { return clicks == 1; })) << "a click on the button";
  edit->SetFocus();
  ktest::PressKeys({VK_MENU}, VK_DOWN);
  EXPECT_TRUE(ktest::PumpUntil([&] { return clicks == 2; })) << "Alt+Down";
  edit->SetReadOnly(true);
  ktest::PressKeys({VK_MENU}, VK_DOWN);
  ktest::Click(ktest::CentreOf(button));
  ktest::TypeText("x");
  ktest::Pump();
  EXPECT_EQ(clicks, 2) << "a read-only edit ignores its button";
  EXPECT_EQ(edit->Text(), "") << "and takes no typing";
}

TEST_F(FolderEdit, SkinnedTheButtonShowsItsSectionInsideTheFrameAndTheTextStopsBeforeIt) {
  TsDirectoryEdit* edit = AddEdit();
  form.Show();
  ApplySkin();
  HWND wnd = edit->Handle();
  EXPECT_EQ(ktest::WindowPixel(wnd, 0, 0), kBorder);
  RECT button{};
  GetClientRect(edit->Button()->Handle(), &button);
  EXPECT_EQ(ktest::ClientPixel(edit->Button()->Handle(), 2, 2), kSmallButton);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(ktest::ClientPixel(wnd, client.right - button.right - 3, client.bottom / 2), kEditFace);
  LRESULT margins = SendMessageA(wnd, EM_GETMARGINS, 0, 0);
  EXPECT_GE(HIWORD(margins), button.right) << "the text rectangle ends at the button";
  edit->SetShowButton(false);
  EXPECT_FALSE(IsWindowVisible(edit->Button()->Handle()));
  EXPECT_EQ(HIWORD(SendMessageA(wnd, EM_GETMARGINS, 0, 0)), 0);
}

}  // namespace
