// The editor in the real main window: an opened dump shows with line numbers and
// highlighting, and the open, clean and split handlers work on the editor's own lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "app/mainWin32.h"
#include "editor/KedEditWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Settle;

class EditorInMainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    dumpPath = std::string(temp) + "kestrava_editor_sample.sql";
    std::ofstream out(dumpPath, std::ios::binary);
    out << "-- Sample dump for the editor\r\n"
           "/* a comment over\r\n"
           "   two lines */\r\n"
           "\r\n"
           "CREATE TABLE `t1` (\r\n"
           "  `id` int(11) NOT NULL,\r\n"
           "  `name` varchar(200) DEFAULT NULL\r\n"
           ") ENGINE=InnoDB;\r\n";
    for (int i = 0; i < 40; ++i)
      out << "INSERT INTO `t1` VALUES (" << i << ",'name " << i << "');\r\n";
    out.close();
    form = new TForm1(Application);
    form->AfterConstruction();
    form->CheckVersion = nullptr;  // no update server here
    form->Show();
  }

  void TearDown() override {
    delete form;
    DeleteFileA(dumpPath.c_str());
  }

  std::string dumpPath;
  TForm1* form = nullptr;
};

TEST_F(EditorInMainWindow, AnOpenedDumpShowsWithLineNumbersAndHighlighting) {
  form->OpenWithPreparation(dumpPath);
  TKedEdit* editor = form->re_org;
  ASSERT_EQ(form->Lines(), editor->Lines());
  EXPECT_EQ(editor->Lines()->Count(), 49);  // the text ends with a line break
  EXPECT_EQ(editor->Lines()->Get(4), "CREATE TABLE `t1` (");
  EXPECT_TRUE(editor->Enabled());
  EXPECT_EQ(editor->Highlighter(), form->KedSQLHl1);
  Settle(form->Handle(), 150);

  const TKedEditModel& m = editor->Model();
  ASSERT_GT(m.GutterWidth(), 0);
  ASSERT_GT(m.LinesInWindow(), 10);
  // The gutter is solid in its colour left of the numbers; the text area right of the
  // last character in the editor's colour.
  EXPECT_EQ(ktest::ClientPixel(editor->Handle(), 1, 2),
            static_cast<COLORREF>(ColorToRGB(editor->Gutter()->Color())));
  EXPECT_EQ(ktest::ClientPixel(editor->Handle(), m.TextOffset() + 60 * m.CharWidth(), 2),
            static_cast<COLORREF>(ColorToRGB(clWindow)));
  // The rows were laid out with the SQL scanner: the comment carried over to line 3.
  EXPECT_GE(m.RangesValid(), 2);
  EXPECT_NE(ktest::SaveScreenshot(form->Handle(), "main_window_dump"), "");
}

TEST_F(EditorInMainWindow, CleaningWorksOnTheLinesTheEditorShows) {
  ktest::TMessageBoxWatcher watcher;
  form->OpenWithPreparation(dumpPath);
  form->sCheckBox2->SetChecked(true);  // removes the blank lines
  Settle(form->Handle(), 150);
  EXPECT_EQ(form->re_org->Lines()->Count(), 47);
  EXPECT_EQ(form->re_org->Model().GetDisplayRowCount(), 47);
  for (int i = 0; i < form->re_org->Lines()->Count(); ++i)
    EXPECT_FALSE(form->re_org->Lines()->Get(i).empty()) << i;
}

}  // namespace
