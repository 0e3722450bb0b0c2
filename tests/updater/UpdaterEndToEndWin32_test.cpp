// The updater end to end: the real Updater.exe in a program folder of its own, fetching
// from a local server that answers each way a download can go, with a stand-in
// Kestrava.exe that leaves a marker; and the hand-off from the real Kestrava.exe, whose
// question is answered Yes in its own message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/web/LocalServer.h"

namespace {

using Route = LocalServer::Route;
const char* const kListPath = "/download/kestrava/update/update.txt";

std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

// The program folder of this build tree (Wine reaches the Unix file system through Z:).
std::string DistFolder() {
  const char* build = std::getenv("KESTRAVA_BINARY_DIR");
  std::string p = std::string("Z:") + (build ? build : "") + "/dist/";
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return p;
}

bool FileThere(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The files of a folder left by a download: temporary files and engine parts.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name.ends_with(".tmp") || name.ends_with(".part")) found.push_back(name);
  }
  return found;
}

struct TBoxSeen {
  std::string Text;
};

struct TFindBoxes {
  DWORD processId;
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectProcessBox(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<TFindBoxes*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[32] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid == find->processId && IsWindowVisible(window) && std::string(cls) == "#32770") {
    find->boxes.push_back(window);
  }
  return TRUE;
}

// Runs a program until it ends, pressing `button` in each message box it opens (once the
// box shows its text) and recording the texts. False when it did not end in time.
bool RunAnsweringBoxes(const std::string& program, int button, std::vector<TBoxSeen>& seen,
                       int seconds = 180) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  // The program and what it starts keep off this test's output, which the harness reads.
  si.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + program + "\"";
  std::string folder = program.substr(0, program.find_last_of('\\'));
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  std::vector<HWND> answered;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  bool ended = false;
  while (!ended && std::chrono::steady_clock::now() < deadline) {
    ended = WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0;
    TFindBoxes find{pi.dwProcessId, {}};
    EnumWindows(CollectProcessBox, reinterpret_cast<LPARAM>(&find));
    for (HWND box : find.boxes) {
      if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
      ktest::TDialogParts parts = ktest::InspectDialog(box);
      HWND pressed = GetDlgItem(box, button);
      if (parts.Unreadable || parts.Text.empty() || pressed == nullptr) continue;
      seen.push_back({parts.Text});
      answered.push_back(box);
      // The button's own click, as the space bar on it would give.
      PostMessageA(pressed, BM_CLICK, 0, 0);
    }
  }
  if (!ended) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  return ended;
}

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 1200; ++i) {
    if (FileThere(path)) return true;
    Sleep(50);
  }
  return false;
}

class UpdaterEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new LocalServer("updater"); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(server->Running()) << "python3 server did not start";
    static int counter = 0;
    folder = server->Folder() + "\\prog" + std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileA((DistFolder() + "Updater.exe").c_str(), (folder + "Updater.exe").c_str(), FALSE));
    WriteAll(folder + "config.dat", "[Main]\r\nLanguage=de\r\nUpdateServer=127.0.0.1:" +
                                        std::to_string(server->Port()) + "\r\n");
    server->ClearRequests();
  }

  std::string Url(const std::string& path) const { return server->Base() + path; }

  static LocalServer* server;
  std::string folder;
};
LocalServer* UpdaterEndToEnd::server = nullptr;

TEST_F(UpdaterEndToEnd, GoodFilesAreReplacedFailedOnesKeptAndHostileNamesNeverWritten) {
  ASSERT_TRUE(CopyFileA((ExeFolder() + "KestravaStub.exe").c_str(),
                        (folder + "Kestrava.exe").c_str(), FALSE));
  const std::string big(50000, 'B');
  const std::string outside = server->Folder() + "\\outside.txt";
  struct Item {
    const char* caption;
    const char* path;  // on the server
    std::string name;  // in the list
    bool replaced;
  };
  const std::vector<Item> items = {
      {"Gut", "/files/good", "good.dll", true},
      {"Fehlt", "/files/missing", "missing.dll", false},
      {"Abgeschnitten", "/files/cut", "cut.dll", false},
      {"Ohne Laenge", "/files/nolength", "nolength.dll", true},
      {"Stueckweise", "/files/chunked", "chunked.dll", true},
      {"Umgeleitet", "/files/moved", "moved.dll", false},
      {"Langsam", "/files/slow", "languages\\slow.xml", true},
      {"Darueber", "/files/good", "..\\outside.txt", false},
      {"Absolut", "/files/good", outside, false},
      {"Strom", "/files/good", "good.dll:hidden", false},
      {"Geraet", "/files/good", "nul.txt", false},
      {"Selbst", "/files/good", "Updater.exe", false},
  };
  std::string list;
  for (const Item& item : items) {
    list += std::string(item.caption) + "|" + Url(item.path) + "|" + item.name + "\r\n";
  }
  list += "kurze|Zeile\r\n\r\n";
  server->SetRoutes({
      {kListPath, 200, list},
      {"/files/good", 200, "good new"},
      {"/files/cut", 200, big, {}, 0, "truncated"},
      {"/files/nolength", 200, "no length new", {}, 0, "nolength"},
      {"/files/chunked", 200, "chunked body, new and longer than one chunk", {}, 0, "chunked"},
      {"/files/moved", 302, "moved", {{"Location", "/files/good"}}},
      {"/files/slow", 200, big, {}, 0, "length", 0.3},
  });
  CreateDirectoryA((folder + "languages").c_str(), nullptr);
  for (const Item& item : items) {
    if (item.name.find_first_of(":") == std::string::npos && item.name.find("..") != 0 &&
        item.name != "Updater.exe" && item.name != "nul.txt") {
      WriteAll(folder + item.name, "old");
    }
  }
  const std::string updater = ReadAll(folder + "Updater.exe");

  std::vector<TBoxSeen> seen;
  ASSERT_TRUE(RunAnsweringBoxes(folder + "Updater.exe", IDOK, seen));
  ASSERT_TRUE(WaitForFile(folder + "kestrava-started.txt")) << "Kestrava was not started";

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Text, "Update beendet, 8 von 12 Dateien konnten nicht geladen werden.");
  EXPECT_EQ(ReadAll(folder + "good.dll"), "good new");
  EXPECT_EQ(ReadAll(folder + "nolength.dll"), "no length new");
  EXPECT_EQ(ReadAll(folder + "chunked.dll"), "chunked body, new and longer than one chunk");
  EXPECT_EQ(ReadAll(folder + "languages\\slow.xml"), big);
  for (const char* kept : {"missing.dll", "cut.dll", "moved.dll"}) {
    EXPECT_EQ(ReadAll(folder + kept), "old") << kept;
  }
  EXPECT_EQ(ReadAll(folder + "Updater.exe"), updater);
  EXPECT_FALSE(FileThere(server->Folder() + "\\outside.txt"));
  EXPECT_FALSE(FileThere(outside));
  EXPECT_FALSE(FileThere(folder + "update.txt"));
  EXPECT_TRUE(Leftovers(folder).empty());
  EXPECT_TRUE(Leftovers(folder + "languages").empty());
  // Hostile and own names were never asked for: the list, then four good and three
  // failing downloads of their own.
  EXPECT_EQ(server->Requests().size(), 1u + 7u);
}

TEST_F(UpdaterEndToEnd, AListThatCannotBeFetchedIsReportedAndKestravaStartsAgain) {
  ASSERT_TRUE(CopyFileA((ExeFolder() + "KestravaStub.exe").c_str(),
                        (folder + "Kestrava.exe").c_str(), FALSE));
  WriteAll(folder + "update.txt", "stale|list|from before");
  server->SetRoutes({{kListPath, 500, "broken"}});
  std::vector<TBoxSeen> seen;
  ASSERT_TRUE(RunAnsweringBoxes(folder + "Updater.exe", IDOK, seen));
  ASSERT_TRUE(WaitForFile(folder + "kestrava-started.txt"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Text, "Fehler beim Update");
  EXPECT_FALSE(FileThere(folder + "update.txt"));
  EXPECT_TRUE(Leftovers(folder).empty());
}

// From the main window's question to the restarted program: Kestrava asks, Yes starts the
// updater and ends, the updater replaces Kestrava.exe by the stand-in and starts it.
TEST_F(UpdaterEndToEnd, KestravasYesHandsOverToTheUpdaterWhichStartsTheNewKestrava) {
  ASSERT_TRUE(
      CopyFileA((DistFolder() + "Kestrava.exe").c_str(), (folder + "Kestrava.exe").c_str(), FALSE));
  const std::string stub = ReadAll(ExeFolder() + "KestravaStub.exe");
  ASSERT_FALSE(stub.empty());
  server->SetRoutes({
      {"/download/kestrava/update.php", 200, "99999"},
      // Later than Kestrava's end, so its program file is free to be replaced.
      {kListPath, 200, "Kestrava|" + Url("/files/Kestrava.exe") + "|Kestrava.exe\r\n", {}, 3.0},
      {"/files/Kestrava.exe", 200, stub},
  });
  std::vector<TBoxSeen> seen;
  ASSERT_TRUE(RunAnsweringBoxes(folder + "Kestrava.exe", IDYES, seen));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].Text.find("neue Version"), std::string::npos) << seen[0].Text;
  ASSERT_TRUE(WaitForFile(folder + "kestrava-started.txt"))
      << "the updater did not restart Kestrava";
  EXPECT_EQ(ReadAll(folder + "Kestrava.exe"), stub);
  EXPECT_FALSE(FileThere(folder + "update.txt"));
  std::vector<LocalServer::Received> requests = server->Requests();
  ASSERT_GE(requests.size(), 3u);
  EXPECT_EQ(requests[0].path, "/download/kestrava/update.php");
  EXPECT_EQ(requests[1].path, kListPath);
  EXPECT_EQ(requests[2].path, "/files/Kestrava.exe");
}

}  // namespace
