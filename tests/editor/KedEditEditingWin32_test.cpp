// Editing in the real main window: keystrokes and mouse messages into its editor, the
// system clipboard, the find dialog stepping through matches, and save and save-as.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/mainWin32.h"
#include "editor/KedEditWin32.h"
#include "framework/SysUtils.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::Pump;
using ktest::Settle;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class EditingInMainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = temp;
    dumpPath = folder + "kestrava_editing.sql";
    Write(dumpPath, "alpha beta\r\ngamma delta\r\nepsilon");
    form = new TForm1(Application);
    form->AfterConstruction();
    form->CheckVersion = nullptr;
    form->Show();
    form->OpenWithPreparation(dumpPath);
    editor = form->re_org;
    SetForegroundWindow(form->Handle());
    editor->SetFocus();
    Settle(form->Handle(), 150);
  }

  void TearDown() override {
    delete form;
    for (const std::string& path :
         {dumpPath, otherPath, dumpPath + ".copy", dumpPath + ".locked"}) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  }

  // The opened file is held by the editor: another text goes into a file of its own.
  void OpenText(const std::string& text) {
    otherPath = folder + "kestrava_editing_other.sql";
    Write(otherPath, text);
    form->OpenWithPreparation(otherPath);
    editor->SetFocus();
    Settle(form->Handle());
  }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  std::vector<std::string> Text() const {
    std::vector<std::string> lines;
    for (int i = 0; i < editor->Lines()->Count(); ++i) lines.push_back(editor->Lines()->Get(i));
    return lines;
  }

  // The middle of a character cell, in the editor's client pixels.
  POINT Cell(int column, int row) const {
    const TKedEditModel& m = editor->Model();
    return {m.TextOffset() + (column - 1) * m.CharWidth() + m.CharWidth() / 2,
            (row - m.TopLine()) * m.LineHeight() + m.LineHeight() / 2};
  }
  // The gap before a character cell, where a click puts the caret before it.
  POINT Gap(int column, int row) const {
    POINT p = Cell(column, row);
    p.x -= editor->Model().CharWidth() / 2;
    return p;
  }

  void Mouse(UINT message, POINT p, WPARAM keys) {
    PostMessageA(editor->Handle(), message, keys, MAKELPARAM(p.x, p.y));
    Pump();
  }
  void Click(POINT p) {
    Mouse(WM_LBUTTONDOWN, p, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, p, 0);
  }
  void Drag(POINT from, POINT to) {
    Mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    // Past the system's drag distance in steps, as a hand would move.
    Mouse(WM_MOUSEMOVE, {from.x + (to.x - from.x) / 2, from.y + (to.y - from.y) / 2}, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, to, 0);
  }

  // Real key strokes through the system's input queue, each handled before the test goes on.
  void Keys(const std::vector<WORD>& held, WORD key) { Handle(ktest::KeyStrokes(held, key)); }
  void Type(const std::string& text) {
    for (char c : text) Handle(ktest::CharacterStrokes(c));
  }
  void Handle(std::vector<INPUT> strokes) {
    ASSERT_TRUE(ktest::SendInputAndHandle(std::move(strokes)))
        << "the key strokes did not reach the form";
    Settle(form->Handle(), 0);
  }

  std::string folder;
  std::string dumpPath;
  std::string otherPath;
  TForm1* form = nullptr;
  TKedEdit* editor = nullptr;
};

TEST_F(EditingInMainWindow, TypeSelectCopyPasteDragAndUndoWithKeysAndMouse) {
  ASSERT_EQ(GetFocus(), editor->Handle());
  Click(Gap(1, 2));
  Type("xy");
  EXPECT_EQ(Text()[1], "xygamma delta");

  // Selecting "alpha" with the mouse paints it in the selection colour.
  Drag(Gap(1, 1), Gap(6, 1));
  EXPECT_EQ(editor->GetSelText(), "alpha");
  Settle(form->Handle(), 100);
  const TKedEditModel& m = editor->Model();
  const COLORREF selected =
      static_cast<COLORREF>(ColorToRGB(editor->SelectedColor()->Background()));
  EXPECT_EQ(ktest::ClientPixel(editor->Handle(), Cell(3, 1).x, (1 - m.TopLine()) * m.LineHeight()),
            selected);
  EXPECT_NE(ktest::SaveScreenshot(form->Handle(), "main_window_selection"), "");

  // Ctrl+C puts it on the system clipboard in both formats.
  Keys({VK_CONTROL}, 'C');
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE plain = GetClipboardData(CF_TEXT);
  ASSERT_NE(plain, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(plain)), "alpha");
  GlobalUnlock(plain);
  HANDLE block = GetClipboardData(RegisterClipboardFormatA("KedEdit Control Block Type"));
  ASSERT_NE(block, nullptr);
  const char* bytes = static_cast<const char*>(GlobalLock(block));
  EXPECT_EQ(bytes[0], 0) << "a normal selection";
  EXPECT_STREQ(bytes + 1, "alpha");
  GlobalUnlock(block);
  CloseClipboard();

  // Pasted elsewhere with Ctrl+V.
  Click(Gap(8, 3));
  Keys({VK_CONTROL}, 'V');
  EXPECT_EQ(Text()[2], "epsilonalpha");

  // "beta" dragged to the start of the last line moves there.
  Drag(Gap(7, 1), Gap(11, 1));
  ASSERT_EQ(editor->GetSelText(), "beta");
  Drag(Cell(8, 1), Gap(1, 3));
  EXPECT_EQ(Text()[0], "alpha ");
  EXPECT_EQ(Text()[2], "betaepsilonalpha");
  EXPECT_EQ(editor->GetSelText(), "beta") << "the dropped text stays selected";

  // Ctrl+Z takes the drag back in one step, then the paste.
  Keys({VK_CONTROL}, 'Z');
  EXPECT_EQ(Text()[0], "alpha beta");
  EXPECT_EQ(Text()[2], "epsilonalpha");
  Keys({VK_CONTROL}, 'Z');
  EXPECT_EQ(Text()[2], "epsilon");
  form->ToolButton11Click(nullptr);  // redo from the tool bar
  EXPECT_EQ(Text()[2], "epsilonalpha");
}

TEST_F(EditingInMainWindow, EnterBreaksTheLineAndADoubleClickSelectsAWord) {
  Click(Gap(6, 1));
  Keys({}, VK_RETURN);
  EXPECT_EQ(Text()[0], "alpha");
  EXPECT_EQ(Text()[1], " beta");
  Mouse(WM_LBUTTONDOWN, Cell(3, 2), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Cell(3, 2), 0);
  Mouse(WM_LBUTTONDBLCLK, Cell(3, 2), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Cell(3, 2), 0);
  EXPECT_EQ(editor->GetSelText(), "beta");
}

TEST_F(EditingInMainWindow, TheWheelAndTheScrollBarMoveTheTopLine) {
  std::string text;
  for (int i = 1; i <= 300; ++i) text += "line " + std::to_string(i) + "\r\n";
  OpenText(text);
  ASSERT_EQ(editor->Lines()->Count(), 301);
  PostMessageA(editor->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  Pump();
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(editor->Model().TopLine(), 1 + static_cast<int>(lines));
  PostMessageA(editor->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_EQ(editor->Model().TopLine(),
            1 + static_cast<int>(lines) + editor->Model().LinesInWindow());
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  GetScrollInfo(editor->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, editor->Model().TopLine());
  // Dragging the thumb shows the top line beside it until the drag ends.
  SendMessageA(editor->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  THintWindow* hint = TCustomKedEdit::ScrollHintWindow();
  ASSERT_TRUE(hint->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(hint->Caption(), "Top Line: " + std::to_string(editor->Model().TopLine()));
  SendMessageA(editor->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_FALSE(hint->HandleAllocated());
}

TEST_F(EditingInMainWindow, FindDialogStepsThroughTheMatchesAndClosesAfterTheLast) {
  OpenText("abcabc\r\nxbc");
  ktest::TMessageBoxWatcher watcher;
  form->ToolButton14Click(nullptr);
  HWND dialog = form->FindDialog1->Handle();
  ASSERT_TRUE(IsWindow(dialog));
  SetDlgItemTextA(dialog, 0x480, "bc");
  const TKedEditModel& m = editor->Model();
  struct Step {
    TBufferCoord begin, end;
  };
  for (const Step& step : {Step{{2, 1}, {4, 1}}, Step{{5, 1}, {7, 1}}, Step{{2, 2}, {4, 2}}}) {
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    Pump();
    EXPECT_EQ(m.GetSelBegin(), step.begin);
    EXPECT_EQ(m.GetSelEnd(), step.end);
  }
  EXPECT_TRUE(IsWindow(dialog));
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // after the last match
  Pump();
  EXPECT_FALSE(IsWindow(dialog) && IsWindowVisible(dialog));
  EXPECT_EQ(m.GetSelBegin(), (TBufferCoord{2, 2})) << "nothing before the text is selected";
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 1u) << "the count is shown on the first press only";
  EXPECT_EQ(seen[0].Text, "3 Fundquellen");
}

TEST_F(EditingInMainWindow, SaveAndSaveAsReplaceAFileOnlyWhenTheyCan) {
  ktest::TMessageBoxWatcher watcher;
  Click(Gap(1, 3));
  Type("z");
  form->ToolButton4Click(nullptr);
  EXPECT_EQ(ReadWhole(dumpPath), "alpha beta\r\ngamma delta\r\nzepsilon");
  EXPECT_FALSE(editor->Modified());

  // A read-only target stays as it was; the edited text stays in the editor.
  const std::string locked = dumpPath + ".locked";
  Write(locked, "old");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  SetForegroundWindow(form->Handle());
  editor->SetFocus();
  Settle(form->Handle());
  Type("q");
  form->ChooseSaveFile = [&](std::string& name) {
    EXPECT_EQ(name, form->OpenedFileName);
    name = locked;
    return true;
  };
  EXPECT_THROW(form->ToolButton5Click(nullptr), Exception);
  EXPECT_EQ(ReadWhole(locked), "old");
  EXPECT_EQ(Text()[2], "zqepsilon");
  EXPECT_FALSE(FileExists(locked + ".saving"));

  form->ChooseSaveFile = [&](std::string& name) {
    name = dumpPath + ".copy";
    return true;
  };
  form->ToolButton5Click(nullptr);
  EXPECT_EQ(ReadWhole(dumpPath + ".copy"), "alpha beta\r\ngamma delta\r\nzqepsilon");
  EXPECT_EQ(form->OpenedPath, dumpPath) << "save as keeps the opened path";
  form->ChooseSaveFile = [](std::string&) { return false; };
  form->ToolButton5Click(nullptr);  // cancelled: nothing happens
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Text, "File saved");
  EXPECT_EQ(seen[1].Text, "File saved");
}

TEST_F(EditingInMainWindow, FontSizeMenuChecksOnlyTheChosenSize) {
  EXPECT_TRUE(form->FontSize9px1->Checked());
  form->FontSize12px1Click(nullptr);
  EXPECT_TRUE(form->FontSize12px1->Checked());
  EXPECT_FALSE(form->FontSize9px1->Checked());
  EXPECT_EQ(editor->Font()->Size(), 12);
}

}  // namespace
