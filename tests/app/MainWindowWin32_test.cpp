// The real main window under Wine: open a dump through the handler, press Start,
// compare the pieces and the log, and the messages of the checks.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/mainWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> MemoLines(TCustomMemo* memo) {
  std::vector<std::string> lines;
  for (int i = 0; i < memo->Lines()->Count(); ++i) lines.push_back(memo->Lines()->Get(i));
  return lines;
}

// 1 CREATE line and 24 INSERT lines of 100 bytes, LF-terminated: at 1 KB the pieces
// hold lines 0-9, 10-19 and 20-24 plus the empty line after the final break.
std::vector<std::string> DumpLines() {
  std::vector<std::string> lines{"CREATE TABLE t (a int);"};
  for (int i = 1; i < 25; ++i) {
    std::string line = "INSERT INTO t VALUES (" + std::to_string(i) + ",'";
    line.append(100 - line.size() - 3, 'x');
    line += "');";
    lines.push_back(line);
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, size_t first, size_t last,
                   const char* lineBreak) {
  std::string text;
  for (size_t i = first; i < last; ++i) text += lines[i] + lineBreak;
  return text;
}

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }

  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& ch : name)
      if (ch == '/') ch = '_';  // parameterised names hold a slash
    folder = std::string(temp) + "kestrava_mainwindow_" + name + "\\";
    CleanFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    dumpPath = folder + "dump.sql";
    std::ofstream(dumpPath, std::ios::binary) << Joined(DumpLines(), 0, 25, "\n");
    NewForm();
  }

  // A fresh main window in place of the current one (there is one Form1 at a time).
  void NewForm() {
    delete form;
    form = new TForm1(Application);
    form->AfterConstruction();
    form->CheckVersion = nullptr;  // no update server here
    form->Show();
  }

  void TearDown() override {
    delete form;
    CleanFolder();
  }

  void CleanFolder() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveDirectoryA((folder + name).c_str());
        } else {
          DeleteFileA((folder + name).c_str());
        }
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }

  std::vector<std::string> Texts(const ktest::TMessageBoxWatcher& watcher) {
    std::vector<std::string> texts;
    for (const auto& seen : watcher.Seen()) texts.push_back(seen.Text);
    return texts;
  }

  std::string folder;
  std::string dumpPath;
  TForm1* form = nullptr;
};

struct LanguageCase {
  const char* language;
  std::vector<std::string> log;  // with %1, %2, %3 for the piece paths
  const char* openLog;
  const char* finished;
};

class MainWindowLanguages : public MainWindow,
                            public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(MainWindowLanguages, OpenAndStartWritePiecesWithCRLFAndLogEachNewFile) {
  const LanguageCase& c = GetParam();
  ktest::TMessageBoxWatcher watcher;
  form->Language = c.language;
  std::string filterShown;
  form->ChooseOpenFile = [&](const std::string& filter, std::string& fileName) {
    filterShown = filter;
    fileName = dumpPath;
    return true;
  };

  form->sBitBtn1->Click();
  EXPECT_EQ(filterShown, "SQL-Dateien|*.sql");
  EXPECT_EQ(form->OpenedPath, dumpPath);
  EXPECT_EQ(form->OpenedFileName, "dump.sql");
  EXPECT_EQ(form->sEdit1->Text(), "dump_split");
  EXPECT_EQ(form->sDirectoryEdit1->Text(), folder);
  EXPECT_EQ(form->sLabel2->Caption(), "26");
  EXPECT_EQ(form->sStatusBar1->Panels()->Items(0)->Text(), "Anzahl Zeilen: 26");
  EXPECT_EQ(MemoLines(form->re_split), std::vector<std::string>{c.openLog + dumpPath});
  EXPECT_TRUE(form->sGroupBox1->Enabled());

  form->sEdit2->SetText("1");
  form->sComboBox1->SetItemIndex(0);  // KB
  form->sBitBtn2->Click();

  const std::vector<std::string> lines = DumpLines();
  const std::string piece = folder + "\\dump_split_";
  EXPECT_EQ(ReadFile(piece + "1.sql"), Joined(lines, 0, 10, "\r\n"));
  EXPECT_EQ(ReadFile(piece + "2.sql"), Joined(lines, 10, 20, "\r\n"));
  EXPECT_EQ(ReadFile(piece + "3.sql"), Joined(lines, 20, 25, "\r\n") + "\r\n");
  EXPECT_FALSE(Exists(piece + "4.sql"));

  std::vector<std::string> expectedLog;
  for (std::string line : c.log) {
    for (const char* n : {"1", "2", "3"}) {
      const std::string key = std::string("%") + n;
      if (const size_t at = line.find(key); at != std::string::npos)
        line.replace(at, key.size(), piece + n + ".sql");
    }
    expectedLog.push_back(line);
  }
  EXPECT_EQ(MemoLines(form->re_split), expectedLog);
  EXPECT_EQ(Texts(watcher), std::vector<std::string>{c.finished});
  EXPECT_EQ(form->Label1->Caption(), "dump_split_2.sql");
  EXPECT_EQ(form->sGauge1->Progress(), 0);
  EXPECT_EQ(form->sGauge2->Progress(), 0);
  EXPECT_TRUE(form->sBitBtn2->Enabled()) << "Start is enabled again after the run";
}

INSTANTIATE_TEST_SUITE_P(
    GermanAndEnglish, MainWindowLanguages,
    ::testing::Values(LanguageCase{"de",
                                   {"Beginne Verarbeitung...", "Erzeuge Datei: %1",
                                    "Beginne neue Datei", "Erzeuge Datei: %2", "Beginne neue Datei",
                                    "Erzeuge Datei: %3"},
                                   "Öffne Datei: ",
                                   "Verarbeitung beendet"},
                      LanguageCase{"en",
                                   {"begin processing...", "Create File: %1", "Start new file",
                                    "Create File: %2", "Start new file", "Create File: %3"},
                                   "Open File: ",
                                   "Processing terminated"}),
    [](const auto& info) { return std::string(info.param.language); });

// The log pane holds every line of a long run: a split into more than 2,000 pieces logs far
// more than the 64 KB a rich edit takes without its limit raised.
TEST_F(MainWindow, TheLogKeepsEveryLineOfASplitIntoThousandsOfPieces) {
  constexpr int kStatements = 2100;
  {
    std::string dump;
    for (int i = 0; i < kStatements; ++i) {
      std::string line = "INSERT INTO t VALUES (" + std::to_string(i) + ",'";
      line.append(1100 - line.size() - 3, 'x');
      dump += line + "');\n";
    }
    std::ofstream(dumpPath, std::ios::binary | std::ios::trunc) << dump;
  }
  ktest::TMessageBoxWatcher watcher;
  form->Language = "de";
  form->OpenWithPreparation(dumpPath);
  form->sEdit2->SetText("1");
  form->sComboBox1->SetItemIndex(0);  // KB: one statement per piece
  form->sBitBtn2->Click();

  const std::string piece = folder + "\\dump_split_";
  int pieces = 0;
  while (Exists(piece + std::to_string(pieces + 1) + ".sql")) ++pieces;
  ASSERT_GT(pieces, 2000);
  std::vector<std::string> expected;
  for (int n = 1; n <= pieces; ++n) {
    expected.push_back(n == 1 ? "Beginne Verarbeitung..." : "Beginne neue Datei");
    expected.push_back("Erzeuge Datei: " + piece + std::to_string(n) + ".sql");
  }
  // The pane's text read once: line by line it would be split anew for every line.
  const std::string text = form->re_split->Text();
  EXPECT_GT(text.size(), 64u * 1024);
  TStringList lines;
  lines.SetText(text);
  std::vector<std::string> log;
  for (int i = 0; i < lines.Count(); ++i) log.push_back(lines[i]);
  ASSERT_EQ(log.size(), expected.size());
  EXPECT_EQ(log.back(), expected.back());
  EXPECT_EQ(log, expected);
  EXPECT_EQ(Texts(watcher), std::vector<std::string>{"Verarbeitung beendet"});
}

TEST_F(MainWindow, StartChecksItsInputsBeforeCreatingAnything) {
  struct Case {
    const char* name;
    bool open;
    const char* folder;  // nullptr: the proposed one
    const char* baseName;
    const char* size;
    int unit;
    const char* german;
    const char* english;
  };
  const Case cases[] = {
      {"no folder", true, "", "dump_split", "2", 1, "Sie haben kein Verzeichnis ausgewählt",
       "You have not selected a directory"},
      {"no name", true, nullptr, "", "2", 1, "Sie haben kein Datei-Namen angegeben",
       "You have not specified a file name"},
      {"no number", true, nullptr, "dump_split", "zwei", 1,
       "Bitte geben Sie als neue Dateigrösse eine ganze Zahl grösser als 0 an",
       "Please enter a whole number greater than 0 as the new file size"},
      {"zero", true, nullptr, "dump_split", "0", 1,
       "Bitte geben Sie als neue Dateigrösse eine ganze Zahl grösser als 0 an",
       "Please enter a whole number greater than 0 as the new file size"},
      {"negative", true, nullptr, "dump_split", "-4", 1,
       "Bitte geben Sie als neue Dateigrösse eine ganze Zahl grösser als 0 an",
       "Please enter a whole number greater than 0 as the new file size"},
      {"no text", false, nullptr, "dump_split", "2", 1, "Es ist kein Text zum Aufteilen vorhanden",
       "There is no text to split"},
  };
  for (const char* language : {"de", "en"}) {
    for (const Case& c : cases) {
      ktest::TMessageBoxWatcher watcher;
      NewForm();
      TForm1* window = form;
      window->Language = language;
      if (c.open) window->OpenWithPreparation(dumpPath);
      const std::string out = folder + "out";
      window->sDirectoryEdit1->SetText(c.folder ? c.folder : out);
      window->sEdit1->SetText(c.baseName);
      window->sEdit2->SetText(c.size);
      window->sComboBox1->SetItemIndex(c.unit);
      window->sBitBtn2->Click();
      EXPECT_EQ(Texts(watcher),
                std::vector<std::string>{std::string(language) == "de" ? c.german : c.english})
          << c.name << " " << language;
      EXPECT_FALSE(Exists(out)) << c.name;
    }
  }
}

TEST_F(MainWindow, CreationReadsTheVersionResourceAndTheProgramFolder) {
  EXPECT_EQ(ReadOwnFileVersion(), "1.2.0.1");
  EXPECT_EQ(form->VersionText, "1.2.0.1");
  ASSERT_FALSE(form->ProgramFolder.empty());
  EXPECT_EQ(form->ProgramFolder.back(), '\\');
  EXPECT_EQ(form->Caption(), "Kestrava 1.2");
  EXPECT_FALSE(form->sCheckBox1->Enabled()) << "disabled until a file is opened";
  EXPECT_FALSE(form->sGroupBox1->Enabled());
}

TEST_F(MainWindow, AFailedVersionCheckIsReportedAndTheWindowGoesOn) {
  delete form;
  form = new TForm1(Application);
  form->AfterConstruction();
  int checks = 0;
  form->CheckVersion = [&] {
    ++checks;
    throw Exception("no server");
  };
  ktest::TMessageBoxWatcher watcher;
  form->Show();
  Application->ProcessMessages();
  EXPECT_EQ(checks, 1);
  ASSERT_EQ(watcher.Count(), 1);
  EXPECT_EQ(watcher.Seen()[0].Text, "Fehler beim Versionsabgleich");
  EXPECT_TRUE(form->Showing());
}

TEST_F(MainWindow, FailedOpenKeepsTheTextAndThePath) {
  ktest::TMessageBoxWatcher watcher;
  form->Language = "de";
  form->OpenWithPreparation(dumpPath);
  form->OpenWithPreparation(folder + "missing.sql");
  form->OpenPlain(folder + "missing.sql");
  EXPECT_EQ(Texts(watcher),
            (std::vector<std::string>{"Fehler beim Einlesen", "Fehler beim Einlesen"}));
  EXPECT_EQ(form->Lines()->Count(), 26);
  EXPECT_EQ(form->OpenedPath, dumpPath);
  EXPECT_EQ(form->sEdit1->Text(), "dump_split");
}

TEST_F(MainWindow, MenuOpenRecordsThePathThatSaveWillUse) {
  const std::string other = folder + "other.sql";
  std::ofstream(other, std::ios::binary) << "SELECT 1;\n";
  form->OpenWithPreparation(dumpPath);
  form->OpenPlain(other);
  EXPECT_EQ(form->OpenedPath, other);
  EXPECT_EQ(form->OpenedFileName, "other.sql");
  EXPECT_EQ(form->Lines()->Count(), 2);
}

TEST_F(MainWindow, OpenButtonPicksHighlighterAndFilterByTheCsvBoxEvenWhenCancelled) {
  const std::string csvPath = folder + "table.csv";
  std::ofstream(csvPath, std::ios::binary) << "1;'a';x\n2;'b';y\n";
  // One window through a sequence: each click starts from what the previous one left.
  struct Step {
    const char* name;
    bool csv;
    const char* chosen;  // nullptr: the dialog is cancelled
    const char* filter;
    bool generalHighlighter;
    int lineCount;
  };
  const Step steps[] = {
      {"csv, cancelled", true, nullptr, "CSV-Dateien|*.csv", true, 0},
      {"sql, cancelled", false, nullptr, "SQL-Dateien|*.sql", false, 0},
      {"csv, opened", true, "table.csv", "CSV-Dateien|*.csv", true, 3},
      {"sql, opened", false, "dump.sql", "SQL-Dateien|*.sql", false, 26},
      {"csv again, cancelled", true, nullptr, "CSV-Dateien|*.csv", true, 26},
  };
  for (const Step& step : steps) {
    std::string filterShown;
    form->ChooseOpenFile = [&](const std::string& filter, std::string& fileName) {
      filterShown = filter;
      if (step.chosen == nullptr) return false;
      fileName = folder + step.chosen;
      return true;
    };
    form->cb_csv->SetChecked(step.csv);
    form->sBitBtn1->Click();
    EXPECT_EQ(filterShown, step.filter) << step.name;
    EXPECT_EQ(form->OpenDialog1->Filter(), step.filter) << step.name;
    EXPECT_EQ(form->re_org->Highlighter(),
              step.generalHighlighter ? static_cast<TKedCustomHighlighter*>(form->KedGeneralHl1)
                                      : form->KedSQLHl1)
        << step.name;
    EXPECT_EQ(form->Lines()->Count(), step.lineCount) << step.name;
  }
  // A cancelled dialog opens nothing, so the open file is still the last one chosen.
  EXPECT_EQ(form->OpenedPath, dumpPath);
}

TEST_F(MainWindow, MenuOpenKeepsTheStoredFilterAndTheHighlighter) {
  std::string filterShown;
  form->ChooseOpenFile = [&](const std::string& filter, std::string& fileName) {
    filterShown = filter;
    fileName = dumpPath;
    return true;
  };
  form->cb_csv->SetChecked(true);
  form->ffnen1->Click();
  EXPECT_EQ(filterShown, "SQL-Dateien|*.sql|CSV-Dateien|*.csv");
  EXPECT_EQ(form->re_org->Highlighter(), form->KedSQLHl1);
  EXPECT_EQ(form->Lines()->Count(), 26);
  EXPECT_FALSE(form->re_org->Enabled()) << "only the Open button enables the editor";
}

TEST_F(MainWindow, CsvHighlighterAndSearchEngineAreSetUpForTheEditor) {
  TKedGeneralHl* csv = form->KedGeneralHl1;
  ASSERT_NE(csv, nullptr);
  EXPECT_TRUE(csv->Comments().Empty());
  EXPECT_FALSE(csv->DetectPreprocessor());
  EXPECT_EQ(csv->IdentifierChars(), " ',;");
  struct Colour {
    const char* name;
    TKedHighlighterAttributes* attribute;
    TColor expected;
  };
  const Colour colours[] = {
      {"comments", csv->CommentAttri(), clMoneyGreen},
      {"identifiers", csv->IdentifierAttri(), clNavy},
      {"preprocessor", csv->PreprocessorAttri(), clRed},
      {"symbols", csv->SymbolAttri(), clRed},
      {"spaces", csv->SpaceAttri(), clMenuHighlight},
      {"strings", csv->StringAttri(), clActiveCaption},
  };
  for (const Colour& c : colours) EXPECT_EQ(c.attribute->Foreground(), c.expected) << c.name;
  ASSERT_NE(form->KedEditSearch1, nullptr);
  EXPECT_EQ(form->re_org->SearchEngine(), form->KedEditSearch1);
}

TEST_F(MainWindow, OpenSetsTheScrollWidthToTheLongestLineUpToAZeroByte) {
  const std::string path = folder + "widths.sql";
  std::string withZero = "abc";
  withZero += '\0';
  withZero.append(200, 'z');
  std::ofstream(path, std::ios::binary) << "short\n"
                                        << std::string(40, 'x') << "\n"
                                        << withZero << "\n";
  form->OpenWithPreparation(path);
  EXPECT_EQ(form->re_org->MaxScrollWidth(), 40);

  // The menu's open leaves the scroll range alone; an empty file gives the least range.
  const std::string empty = folder + "empty.sql";
  std::ofstream(empty, std::ios::binary) << "";
  form->OpenPlain(empty);
  EXPECT_EQ(form->re_org->MaxScrollWidth(), 40);
  form->OpenWithPreparation(empty);
  EXPECT_EQ(form->re_org->MaxScrollWidth(), 1);
}

TEST_F(MainWindow, OpeningForgetsTheUndoStepsAndTheModifiedStateOfTheOldText) {
  TKedEditModel& model = form->re_org->Model();
  for (const bool menu : {false, true}) {
    form->OpenWithPreparation(dumpPath);
    model.UndoList().RecordChange(1, {1, 1}, {1, 2}, "x", TKedSelectionMode::smNormal);
    model.RedoList().RecordChange(1, {1, 1}, {1, 2}, "y", TKedSelectionMode::smNormal);
    model.SetModified(true);
    model.SetCaretPos({3, 5});
    if (menu) {
      form->OpenPlain(dumpPath);
    } else {
      form->OpenWithPreparation(dumpPath);
    }
    EXPECT_FALSE(model.UndoList().HasItems()) << menu;
    EXPECT_FALSE(model.RedoList().HasItems()) << menu;
    EXPECT_FALSE(model.Modified()) << menu;
    EXPECT_EQ(model.CaretY(), 1) << menu;
  }
}

TEST_F(MainWindow, FailedOpenKeepsTheUndoStepsOfTheTextItKeeps) {
  ktest::TMessageBoxWatcher watcher;
  form->OpenWithPreparation(dumpPath);
  TKedEditModel& model = form->re_org->Model();
  model.UndoList().RecordChange(1, {1, 1}, {1, 2}, "x", TKedSelectionMode::smNormal);
  model.SetModified(true);
  form->OpenWithPreparation(folder + "missing.sql");
  EXPECT_EQ(watcher.Count(), 1);
  EXPECT_TRUE(model.UndoList().HasItems());
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(form->Lines()->Count(), 26);
}

TEST_F(MainWindow, CommentAndBlankRemovalReportAndCountTheRest) {
  const std::string path = folder + "comments.sql";
  std::ofstream(path, std::ios::binary)
      << "-- a\n\n#b\nSELECT 1;\n \n/*!40101 SET NAMES utf8 */;\n";
  ktest::TMessageBoxWatcher watcher;
  form->Language = "en";
  form->OpenWithPreparation(path);
  form->sCheckBox1->SetChecked(true);
  EXPECT_EQ(form->sLabel2->Caption(), "4");
  form->sCheckBox2->SetChecked(true);
  EXPECT_EQ(form->sLabel2->Caption(), "2");
  EXPECT_EQ(form->Lines()->Get(0), "SELECT 1;");
  EXPECT_EQ(form->Lines()->Get(1), " ");
  EXPECT_EQ(form->sStatusBar1->Panels()->Items(0)->Text(), "Anzahl Zeilen: 2");
  EXPECT_EQ(Texts(watcher), (std::vector<std::string>{"Comments deleted", "Blank lines deleted"}));
  EXPECT_EQ(form->sGauge3->Progress(), 0);
}

TEST_F(MainWindow, CleaningAnEmptyListShowsAMessage) {
  ktest::TMessageBoxWatcher watcher;
  form->Language = "de";
  const std::string path = folder + "empty.sql";
  std::ofstream(path, std::ios::binary) << "";
  form->OpenWithPreparation(path);
  form->sCheckBox1->SetChecked(true);
  EXPECT_EQ(Texts(watcher), std::vector<std::string>{"Es sind keine Zeilen vorhanden"});
}

TEST_F(MainWindow, FileThatCannotBeCreatedStopsTheRunAndKeepsTheFinishedPieces) {
  ktest::TMessageBoxWatcher watcher;
  form->Language = "en";
  form->OpenWithPreparation(dumpPath);
  // A folder in the way of piece 2.
  CreateDirectoryA((folder + "dump_split_2.sql").c_str(), nullptr);
  form->sEdit2->SetText("1");
  form->sComboBox1->SetItemIndex(0);
  form->sBitBtn2->Click();
  const std::string piece2 = folder + "\\dump_split_2.sql";
  EXPECT_EQ(Texts(watcher),
            std::vector<std::string>{"Cannot create the file " + piece2 + ". Processing stopped"});
  EXPECT_EQ(ReadFile(folder + "dump_split_1.sql"), Joined(DumpLines(), 0, 10, "\r\n"));
  EXPECT_FALSE(Exists(folder + "dump_split_3.sql"));
  EXPECT_TRUE(form->sBitBtn2->Enabled());
}

TEST_F(MainWindow, SplittingAPieceAgainUnderItsOwnNameIsRefusedBeforeAnythingIsWritten) {
  // The dump is piece 2 of an earlier split, opened and split again with the same base name
  // (typed in another case) into its own folder: piece 2 would be the dump itself.
  ktest::TMessageBoxWatcher watcher;
  form->Language = "en";
  const std::string dump = Joined(DumpLines(), 0, 25, "\n");
  const std::string source = folder + "backup_2.sql";
  std::ofstream(source, std::ios::binary) << dump;
  form->OpenWithPreparation(source);
  form->sEdit1->SetText("BACKUP");
  form->sEdit2->SetText("1");
  form->sComboBox1->SetItemIndex(0);
  form->sBitBtn2->Click();
  EXPECT_EQ(Texts(watcher), std::vector<std::string>{"The file " + folder + "\\BACKUP_2.sql" +
                                                     " is the file being split and is not "
                                                     "overwritten. Processing stopped"});
  EXPECT_FALSE(Exists(folder + "BACKUP_1.sql"));
  EXPECT_EQ(ReadFile(source), dump);
  EXPECT_EQ(form->Lines()->Get(24), DumpLines()[24]);
  EXPECT_TRUE(form->sBitBtn2->Enabled());
}

TEST_F(MainWindow, ClosingDuringARunIsRefusedAndTheCommandsAreDisabled) {
  ktest::TMessageBoxWatcher watcher;
  // Read while the first box is up, that is in the middle of the run; the main
  // thread waits inside the box meanwhile.
  std::atomic<bool> sampled{false};
  std::atomic<bool> anyEnabled{false};
  watcher.SetCloseWhen([&] {
    if (!sampled.exchange(true)) {
      anyEnabled = form->sBitBtn2->Enabled() || form->sBitBtn1->Enabled() ||
                   form->sCheckBox1->Enabled() || form->sToolBar1->Enabled() ||
                   form->re_org->Enabled() || form->Datei1->Enabled() || form->Sprache1->Enabled();
    }
    return true;
  });
  form->Language = "en";
  form->OpenWithPreparation(dumpPath);
  // The run pumps messages: the close request arrives in the middle of it.
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  form->sBitBtn2->Click();
  EXPECT_EQ(Texts(watcher), (std::vector<std::string>{"Please wait until processing has finished",
                                                      "Processing terminated"}));
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(Exists(folder + "dump_split_1.sql"));
  EXPECT_TRUE(sampled.load());
  EXPECT_FALSE(anyEnabled.load())
      << "open, clean, Start, tool bar, editor and menu wait for the run";
  EXPECT_TRUE(form->sBitBtn2->Enabled());
  EXPECT_TRUE(form->Datei1->Enabled());
}

}  // namespace
