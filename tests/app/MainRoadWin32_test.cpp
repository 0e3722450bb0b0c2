// The main window driven as a user drives it, with the mouse and the keyboard only: open a
// dump through the open dialog, edit it, save it from the tool bar, switch the language
// there and back, split it; and every command of the window reached through its button,
// tool-bar button, menu-bar item or context-menu item.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "framework/SysUtils.h"
#include "skin/controls/skPathDialogWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::TUserScript;

// The text field of the system's find dialog.
constexpr int kFindTextField = 0x480;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A dump of a comment line and enough statements for several pieces of 1 KB.
std::string RoadDump() {
  std::string dump = "-- Kestrava road\r\nCREATE TABLE t (id INT, name VARCHAR(40));\r\n";
  for (int i = 0; i < 60; ++i)
    dump += "INSERT INTO t VALUES (" + std::to_string(i) + ", 'a name of some length');\r\n";
  return dump;
}

// The find and file dialogs are told from message boxes by their edit fields.
bool IsFileDialog(HWND dialog) { return ktest::InspectDialog(dialog).HasEdit; }

class MainRoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "kestrava_road\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    ClearFolder();
    dumpPath = folder + "road.sql";
    Write(dumpPath, RoadDump());
    DeleteFileA((ExeFolder() + "config.dat").c_str());

    form = new TForm1(Application);
    Form1 = form;
    form->AfterConstruction();
    about = new TForm2(Application);
    Form2 = about;
    about->AfterConstruction();
    form->CheckVersion = nullptr;
    // The skin the program brings, from the build tree.
    const std::string skins = skintest::WineSkinFolders();
    form->sSkinManager1->SetSkinDirectory(skins);
    form->sSkinManager1->SetActive(true);
    form->Show();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(ktest::PumpUntil([&] { return GetForegroundWindow() == form->Handle(); }));
  }

  void TearDown() override {
    delete about;
    delete form;
    Form1 = nullptr;
    Form2 = nullptr;
    ClearFolder();
    RemoveDirectoryA(folder.c_str());
    DeleteFileA((ExeFolder() + "config.dat").c_str());
  }

  static std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
  }

  void ClearFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::string path = folder + data.cFileName;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }

  // ---- the user's moves (called from the script) -------------------------------------------

  POINT CentreOf(TUserScript& u, TControl* control) {
    return u.Read<POINT>([&] {
      const TPoint p = control->ClientToScreen({control->Width() / 2, control->Height() / 2});
      return POINT{p.X, p.Y};
    });
  }

  void ClickOn(TUserScript& u, TControl* control) { ktest::Click(CentreOf(u, control)); }

  // A click on the tool-bar button; the button must be enabled for it to count.
  void ClickToolButton(TUserScript& u, TToolButton* button) {
    u.WaitUntil("an enabled " + button->Hint() + " button",
                [&] { return button->Enabled() && form->sToolBar1->Enabled(); });
    ClickOn(u, button);
  }

  // Opens the menu-bar menu that holds `item` and clicks the item.
  void ChooseFromMenuBar(TUserScript& u, TMenuItem* item) {
    RECT title{};
    const int titleIndex = u.Read<int>([&] { return item->Parent()->MenuIndex(); });
    u.OnProgram(
        [&] { GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), titleIndex, &title); });
    const int waits = u.MenuWaits();
    ktest::Click(ktest::CentreOf(title));
    ChooseFromOpenMenu(u, item, waits);
  }

  // Clicks `item` in the menu that is opening. Its place is asked of the popup window itself
  // (no owner window): with one, the item's place would be read in that window's pixels.
  void ChooseFromOpenMenu(TUserScript& u, TMenuItem* item, int menuWaitsBefore) {
    HWND menu = u.WaitForWindow("the menu of " + item->Caption(), "#32768");
    u.WaitForMenuInput(menuWaitsBefore);
    RECT r{};
    u.WaitUntil("the place of " + item->Caption(), [&] {
      return GetMenuItemRect(nullptr, item->Parent()->Handle(), item->MenuIndex(), &r) &&
             r.bottom > r.top;
    });
    // The item must lie inside the shown popup window: a popup may still be placed while it
    // opens.
    u.WaitUntil("the place of " + item->Caption() + " in its popup", [&] {
      RECT now{}, window{};
      GetMenuItemRect(nullptr, item->Parent()->Handle(), item->MenuIndex(), &now);
      GetWindowRect(menu, &window);
      const bool settled = EqualRect(&now, &r) && now.left >= window.left &&
                           now.right <= window.right && now.top >= window.top &&
                           now.bottom <= window.bottom;
      r = now;
      return settled;
    });
    ktest::Click(ktest::CentreOf(r));
    u.WaitUntilGone("the menu after choosing " + item->Caption(), menu);
  }

  // Right click into the editor and a click on the context menu's item.
  void ChooseFromContextMenu(TUserScript& u, TMenuItem* item) {
    const int waits = u.MenuWaits();
    ktest::RightClick(EditorCell(u, 3, 2));
    ChooseFromOpenMenu(u, item, waits);
  }

  // The screen point in the middle of a character cell of the editor.
  POINT EditorCell(TUserScript& u, int column, int row) {
    return u.Read<POINT>([&] {
      const TKedEditModel& m = form->re_org->Model();
      POINT p{m.TextOffset() + (column - 1) * m.CharWidth() + m.CharWidth() / 2,
              (row - m.TopLine()) * m.LineHeight() + m.LineHeight() / 2};
      ClientToScreen(form->re_org->Handle(), &p);
      return p;
    });
  }

  // Types the path into the file dialog that is opening and confirms it with Enter.
  void AnswerFileDialog(TUserScript& u, const std::string& path) {
    HWND dialog = u.WaitForWindow("a file dialog", "#32770", IsFileDialog);
    u.WaitUntil("the file dialog in front", [&] { return GetForegroundWindow() == dialog; });
    ktest::TypeText(path);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the file dialog", dialog);
  }

  std::string Line(int index) {
    return index < form->Lines()->Count() ? form->Lines()->Get(index) : std::string();
  }

  // Puts the caret at the end of the first line and types there.
  void TypeAtEndOfFirstLine(TUserScript& u, const std::string& text) {
    ktest::Click(EditorCell(u, 1, 1));
    u.WaitUntil("the editor focused", [&] { return GetFocus() == form->re_org->Handle(); });
    ktest::PressKey(VK_END);
    ktest::TypeText(text);
  }

  // Selects the first line with the mouse and the keyboard.
  void SelectFirstLine(TUserScript& u) {
    ktest::Click(EditorCell(u, 1, 1));
    u.WaitUntil("the editor focused", [&] { return GetFocus() == form->re_org->Handle(); });
    ktest::PressKey(VK_HOME);
    ktest::PressKeys({VK_SHIFT}, VK_END);
    u.WaitUntil("the first line selected",
                [&] { return form->re_org->GetSelText() == Line(0) && !Line(0).empty(); });
  }

  static std::string Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
        text = chars;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return text;
  }

  // Opens the dump without the dialog, for tests whose subject comes after opening.
  void OpenDump() {
    form->OpenWithPreparation(dumpPath);
    ASSERT_EQ(form->OpenedPath, dumpPath);
  }

  // A click into a window of the program, which then has the focus.
  void ClickInto(TUserScript& u, HWND window) {
    ktest::Click(ktest::ClientCentreOf(window));
    u.WaitUntil("the focus in the clicked field", [&] { return GetFocus() == window; });
  }

  // Closes the find dialog with Escape, as a user would, after a click into its field.
  void CloseFindDialog(TUserScript& u) {
    HWND find = u.WaitForWindow("the find dialog", "#32770", IsFileDialog);
    ClickInto(u, GetDlgItem(find, kFindTextField));
    ktest::PressKey(VK_ESCAPE);
    u.WaitUntilGone("the find dialog", find);
  }

  std::string folder;
  std::string dumpPath;
  TForm1* form = nullptr;
  TForm2* about = nullptr;
};

TEST_F(MainRoad, OpenEditSaveSwitchLanguageTwiceAndSplitByMouseAndKeyboard) {
  const std::string edited = "-- Kestrava road (edited)";
  std::vector<std::string> boxes;
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    // Open through the open dialog.
    ClickOn(u, form->sBitBtn1);
    AnswerFileDialog(u, dumpPath);
    u.WaitUntil("the dump in the editor", [&] { return form->OpenedPath == dumpPath; });
    const int lines = u.Read<int>([&] { return form->Lines()->Count(); });
    // 62 lines, each ended by a line break: the last, empty line is the 63rd.
    u.Expect(lines == 63, "63 lines opened, not " + std::to_string(lines));

    // Edit: the caret to the end of the first line, a few words typed.
    TypeAtEndOfFirstLine(u, " (edited)");
    u.WaitUntil("the typed words", [&] { return Line(0) == edited; });

    // The language menu: English, then German again; the unit box keeps its choice.
    ChooseFromMenuBar(u, form->Englisch1);
    u.WaitUntil("English captions", [&] { return form->sBitBtn2->Caption() == "Start"; });
    u.Expect(u.Read<int>([&] { return form->sComboBox1->ItemIndex(); }) == 1,
             "MB stays chosen after switching to English");
    ktest::SaveScreenshot(GetDesktopWindow(), "main_road_english");
    ChooseFromMenuBar(u, form->Deutsch1);
    u.WaitUntil("German captions", [&] { return form->sBitBtn2->Caption() == "Starten"; });
    u.Expect(u.Read<int>([&] { return form->sComboBox1->ItemIndex(); }) == 1,
             "MB stays chosen after switching back to German");

    // Save from the tool bar: the file holds the edited text.
    ClickToolButton(u, form->ToolButton4);
    boxes.push_back(u.AnswerMessageBox());
    u.Expect(ReadWhole(dumpPath).rfind(edited + "\r\n", 0) == 0, "the saved file starts edited");

    // The split in pieces of 1 KB: size typed, unit chosen with the arrow key, Start.
    ClickOn(u, form->sEdit2);
    u.WaitUntil("the size box focused", [&] { return GetFocus() == form->sEdit2->Handle(); });
    ktest::PressKey(VK_HOME);
    ktest::PressKeys({VK_SHIFT}, VK_END);
    ktest::TypeText("1");
    u.WaitUntil("the size typed", [&] { return form->sEdit2->Text() == "1"; });
    ClickOn(u, form->sComboBox1);
    ktest::PressKey(VK_UP);
    u.WaitUntil("KB chosen", [&] { return form->sComboBox1->ItemIndex() == 0; });
    ClickOn(u, form->sBitBtn2);
    boxes.push_back(u.AnswerMessageBox());
  });
  ASSERT_TRUE(played) << user.Failures();
  ktest::SaveScreenshot(form->Handle(), "main_road_after_split");

  // The log pane after the run: scrolled to its newest lines by whole lines, so its top line
  // starts at the top of the text area; the text keeps room from the left border.
  const HWND log = form->re_split->Handle();
  const auto firstShown = static_cast<int>(SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(firstShown, 0) << "the newest lines are shown";
  POINTL top{};
  SendMessageA(log, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top),
               SendMessageA(log, EM_LINEINDEX, static_cast<WPARAM>(firstShown), 0));
  RECT text{};
  SendMessageA(log, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(top.y, text.top) << "the top line is shown whole";
  EXPECT_GE(top.x, 2) << "the text keeps room from the left border";

  ASSERT_EQ(boxes.size(), 2u);
  // After choosing German the messages are German.
  EXPECT_EQ(boxes[0], "Datei gespeichert");
  EXPECT_EQ(boxes[1], "Verarbeitung beendet");
  // The pieces together are the edited text, each within its 1 KB.
  std::string joined;
  int pieces = 0;
  for (int n = 1; Exists(folder + "road_split_" + std::to_string(n) + ".sql"); ++n) {
    const std::string piece = ReadWhole(folder + "road_split_" + std::to_string(n) + ".sql");
    EXPECT_LE(piece.size(), 1024u) << "piece " << n;
    joined += piece;
    ++pieces;
  }
  EXPECT_GE(pieces, 3);
  // The editor's last, empty line ends the last piece with one more line break.
  std::string saved = ReadWhole(dumpPath);
  while (joined.size() >= 2 && joined.compare(joined.size() - 2, 2, "\r\n") == 0)
    joined.resize(joined.size() - 2);
  while (saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0)
    saved.resize(saved.size() - 2);
  EXPECT_EQ(joined, saved);
}

TEST_F(MainRoad, EveryToolBarButtonRunsItsCommandWhenClicked) {
  OpenDump();
  const std::string first = Line(0);
  std::vector<std::string> boxes;
  const std::string copyPath = folder + "road_copy.sql";
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    // The pointer resting on a button shows its hint, descenders and all (screenshot).
    ktest::MoveMouse(CentreOf(u, form->ToolButton12));
    HWND hint = u.WaitForWindow("the undo button's hint", "THintWindow");
    u.Expect(ktest::WindowTextOf(hint) == "Rückgängig", "the undo button's hint");
    ktest::SaveScreenshot(hint, "main_road_hint");

    // Font size: the button opens its menu, the chosen size goes to the editor.
    const int waits = u.MenuWaits();
    ClickToolButton(u, form->ToolButton2);
    ChooseFromOpenMenu(u, form->FontSize12px1, waits);
    u.WaitUntil("font size 12", [&] { return form->re_org->Font()->Size() == 12; });
    u.Expect(u.Read<bool>([&] { return form->FontSize12px1->Checked(); }), "12px checked");

    // Copy, cut, undo, redo and paste on the selected first line.
    SelectFirstLine(u);
    ClickToolButton(u, form->ToolButton8);
    u.WaitUntil("the line copied", [&] { return Clipboard() == first; });
    ClickToolButton(u, form->ToolButton6);
    u.WaitUntil("the line cut", [&] { return Line(0).empty(); });
    ClickToolButton(u, form->ToolButton12);
    u.WaitUntil("the cut undone", [&] { return Line(0) == first; });
    ClickToolButton(u, form->ToolButton11);
    u.WaitUntil("the cut redone", [&] { return Line(0).empty(); });
    ClickToolButton(u, form->ToolButton9);
    u.WaitUntil("the line pasted", [&] { return Line(0) == first; });

    // Save and save as.
    TypeAtEndOfFirstLine(u, " (saved)");
    u.WaitUntil("the typed words", [&] { return Line(0) == first + " (saved)"; });
    ClickToolButton(u, form->ToolButton4);
    boxes.push_back(u.AnswerMessageBox());
    u.Expect(ReadWhole(dumpPath).rfind(first + " (saved)\r\n", 0) == 0, "saved");
    ClickToolButton(u, form->ToolButton5);
    AnswerFileDialog(u, copyPath);
    boxes.push_back(u.AnswerMessageBox());
    u.Expect(ReadWhole(copyPath) == ReadWhole(dumpPath), "saved as a copy");

    // Find: the dialog, the count of matches, the first match selected.
    ClickToolButton(u, form->ToolButton14);
    HWND find = u.WaitForWindow("the find dialog", "#32770", IsFileDialog);
    ClickInto(u, GetDlgItem(find, kFindTextField));
    ktest::TypeText("INSERT");
    ktest::PressKey(VK_RETURN);
    boxes.push_back(u.AnswerMessageBox());
    u.WaitUntil("the first match selected", [&] { return form->re_org->GetSelText() == "INSERT"; });
    CloseFindDialog(u);
  });
  ASSERT_TRUE(played) << user.Failures();
  EXPECT_EQ(boxes, (std::vector<std::string>{"File saved", "File saved", "60 Fundquellen"}));
}

TEST_F(MainRoad, EachSizeOfTheFontSizeMenuGoesToTheEditor) {
  OpenDump();
  const struct {
    TMenuItem* Item;
    int Size;
  } sizes[] = {{form->FontSize8px1, 8},
               {form->FontSize9px1, 9},
               {form->FontSize10px1, 10},
               {form->FontSize11px1, 11},
               {form->FontSize12px1, 12}};
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    for (const auto& size : sizes) {
      const int waits = u.MenuWaits();
      ClickToolButton(u, form->ToolButton2);
      ChooseFromOpenMenu(u, size.Item, waits);
      u.WaitUntil("font size " + std::to_string(size.Size),
                  [&] { return form->re_org->Font()->Size() == size.Size; });
      u.Expect(u.Read<bool>([&] { return size.Item->Checked(); }),
               size.Item->Caption() + " checked");
    }
  });
  ASSERT_TRUE(played) << user.Failures();
}

TEST_F(MainRoad, EveryContextMenuItemRunsItsCommand) {
  OpenDump();
  const std::string first = Line(0);
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    SelectFirstLine(u);
    ChooseFromContextMenu(u, form->Kopieren1);
    u.WaitUntil("the line copied", [&] { return Clipboard() == first; });
    ChooseFromContextMenu(u, form->Ausschneiden1);
    u.WaitUntil("the line cut", [&] { return Line(0).empty(); });
    ChooseFromContextMenu(u, form->Rckgngig1);
    u.WaitUntil("the cut undone", [&] { return Line(0) == first; });
    ChooseFromContextMenu(u, form->Wiederherstellen1);
    u.WaitUntil("the cut redone", [&] { return Line(0).empty(); });
    ChooseFromContextMenu(u, form->Einfgen1);
    u.WaitUntil("the line pasted", [&] { return Line(0) == first; });
    ChooseFromContextMenu(u, form->Suchen1);
    CloseFindDialog(u);
  });
  ASSERT_TRUE(played) << user.Failures();
}

TEST_F(MainRoad, MenuBarOpenAboutAndExitAndTheBoxesBelowTheBar) {
  std::vector<std::string> boxes;
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    ChooseFromMenuBar(u, form->ffnen1);
    AnswerFileDialog(u, dumpPath);
    u.WaitUntil("the dump opened from the menu", [&] { return form->OpenedPath == dumpPath; });

    // The boxes beside the open button: comment and blank-line removal, the CSV mode and
    // the editor's font.
    u.OnProgram([&] { form->OpenWithPreparation(dumpPath); });
    ClickOn(u, form->sCheckBox1);
    boxes.push_back(u.AnswerMessageBox());
    u.WaitUntil("the comment line gone", [&] { return form->Lines()->Get(0).rfind("--", 0) != 0; });
    ClickOn(u, form->sCheckBox2);
    boxes.push_back(u.AnswerMessageBox());
    ClickOn(u, form->cb_csv);
    u.WaitUntil("the CSV box checked", [&] { return form->cb_csv->Checked(); });
    ClickOn(u, form->cb_csv);
    u.WaitUntil("the CSV box cleared", [&] { return !form->cb_csv->Checked(); });
    const std::string font = u.Read<std::string>([&] { return form->re_org->Font()->Name(); });
    ClickOn(u, form->sFontComboBox1);
    ktest::PressKey(VK_DOWN);
    u.WaitUntil("another editor font", [&] {
      return form->re_org->Font()->Name() == form->sFontComboBox1->Text() &&
             form->re_org->Font()->Name() != font;
    });

    // The about window, closed with the keyboard.
    ChooseFromMenuBar(u, form->About1);
    u.WaitUntil("the about window", [&] { return about->Visible(); });
    u.WaitUntil("the about window in front",
                [&] { return GetForegroundWindow() == about->Handle(); });
    // Painted before it is pictured: the window is shown before its pages have painted.
    u.OnProgram([&] {
      RedrawWindow(about->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    ktest::SaveScreenshot(GetDesktopWindow(), "main_road_about");
    // The usage page, by a click on its tab.
    RECT tab{};
    u.OnProgram([&] {
      const HWND pages = about->sPageControl1->Handle();
      SendMessageA(pages, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
      MapWindowPoints(pages, nullptr, reinterpret_cast<POINT*>(&tab), 2);
    });
    ktest::Click(ktest::CentreOf(tab));
    u.WaitUntil("the usage page shown", [&] {
      return about->sPageControl1->ActivePage() == about->sTabSheet2 &&
             IsWindowVisible(about->sMemo1->Handle());
    });
    ktest::PressKeys({VK_MENU}, VK_F4);
    u.WaitUntil("the about window closed", [&] { return !about->Visible(); });

    ChooseFromMenuBar(u, form->Beenden1);
    u.WaitUntil("the window closed", [&] { return !form->Visible(); });
  });
  ASSERT_TRUE(played) << user.Failures();
  EXPECT_EQ(boxes, (std::vector<std::string>{"Comments deleted", "Blank lines deleted"}));
}

// A message box belongs to the window it speaks for: the window waits while it shows and is
// active again once it is answered, with the focus where it was, so the user's next keys
// reach the editor instead of no window at all.
TEST_F(MainRoad, AfterTheSavedMessageTheWindowIsActiveAndTakesTheNextKeys) {
  OpenDump();
  const std::string first = Line(0);
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    TypeAtEndOfFirstLine(u, "");
    std::string typed;
    for (const char key : std::string("xyz")) {
      ClickToolButton(u, form->ToolButton4);
      HWND box = u.WaitForWindow("the saved message", "#32770");
      u.Expect(!IsWindowEnabled(form->Handle()), "the window waits while the message shows");
      u.Expect(GetWindow(box, GW_OWNER) == form->Handle(), "the message belongs to the window");
      u.AnswerMessageBox();
      u.WaitUntil("the window active again", [&] { return GetActiveWindow() == form->Handle(); });
      ktest::TypeText(std::string(1, key));
      typed += key;
      u.WaitUntil("the key typed after the message", [&] { return Line(0) == first + typed; });
    }
  });
  ASSERT_TRUE(played) << user.Failures();
}

TEST_F(MainRoad, TheFolderPickerBrowsesCreatesAFolderAndTheSplitWritesThere) {
  // A folder tree under the prefix's drive: target\one and target\two.
  shelltest::TTestFolder tree("picker");
  tree.MakeFolder("one");
  tree.MakeFolder("two");
  const std::string chosen = tree.Sub("one\\pieces");
  OpenDump();
  form->sDirectoryEdit1->SetText(tree.Path());
  std::vector<std::string> boxes;
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    // The edit's button opens the picker on the folder the edit names.
    ClickOn(u, form->sDirectoryEdit1->Button());
    u.WaitUntil("the picker on the edit's folder", [&] {
      TPathDialogForm* d = ActivePathDialog();
      return d && IsWindowVisible(d->Handle()) &&
             d->sShellTreeView1->GetSelectedPath() == tree.Path();
    });
    TPathDialogForm* dialog = ActivePathDialog();
    TskShellTreeView* view = dialog->sShellTreeView1;
    u.Expect(u.Read<bool>([&] { return dialog->sBitBtn1->Enabled(); }), "OK enabled on a folder");
    // Browse with the keyboard: open the folder, go down to its first child.
    // A click on the selected node's own text, which keeps it selected.
    RECT item = u.Read<RECT>([&] {
      RECT r{};
      TreeView_GetItemRect(view->Handle(), view->SelectedNode(), &r, TRUE);
      MapWindowPoints(view->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
      return r;
    });
    ktest::Click(ktest::CentreOf(item));
    u.WaitUntil("the tree focused on the edit's folder", [&] {
      return GetFocus() == view->Handle() && view->GetSelectedPath() == tree.Path();
    });
    ktest::PressKey(VK_RIGHT);
    ktest::PressKey(VK_DOWN);
    u.WaitUntil("target\\one selected", [&] { return view->GetSelectedPath() == tree.Sub("one"); });
    // Create: a new folder under one, renamed in place.
    ClickOn(u, dialog->sBitBtn3);
    u.WaitUntil("renaming the new folder", [&] { return view->IsEditing(); });
    u.Expect(u.Read<bool>([&] { return shelltest::IsFolder(tree.Sub("one\\New folder1")); }),
             "the folder New folder1 was made");
    ktest::TypeText("pieces");
    ktest::PressKey(VK_RETURN);
    u.WaitUntil("the new folder renamed and selected",
                [&] { return !view->IsEditing() && view->GetSelectedPath() == chosen; });
    ktest::SaveScreenshot(dialog->Handle(), "folder_picker");
    ClickOn(u, dialog->sBitBtn1);
    u.WaitUntil("the chosen folder in the edit",
                [&] { return form->sDirectoryEdit1->Text() == chosen && !ActivePathDialog(); });
    // The split writes into the chosen folder.
    ClickOn(u, form->sBitBtn2);
    boxes.push_back(u.AnswerMessageBox());
  });
  ASSERT_TRUE(played) << user.Failures();
  ktest::SaveScreenshot(form->Handle(), "folder_picker_after_split");
  EXPECT_TRUE(shelltest::IsFolder(chosen));
  EXPECT_FALSE(shelltest::IsFolder(tree.Sub("one\\New folder1"))) << "renamed, not copied";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Exists(chosen + "\\road_split_1.sql")) << "the first piece lies in the chosen folder";
}

}  // namespace
