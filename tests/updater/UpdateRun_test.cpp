#include "updater/UpdateRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/SysUtils.h"

namespace {

const std::string kFolder = "C:\\Prog\\";
const std::string kListUrl = "http://update.test/download/kestrava/update/update.txt";

// The program folder as a map of full paths to contents.
class FakeFolder : public IUpdateFolder {
 public:
  std::map<std::string, std::string> files;
  std::string refuseTempFor, refuseReplaceFor;  // a target that cannot be written
  int temps = 0;

  std::string Path() const override { return kFolder; }
  std::string ProgramFileName() const override { return "Updater.exe"; }
  std::string NewTempFile(const std::string& target) override {
    if (target == refuseTempFor) throw Exception("no temporary file");
    std::string name =
        target.substr(0, target.find_last_of('\\') + 1) + "upd" + std::to_string(++temps) + ".tmp";
    files[name] = "";
    return name;
  }
  std::optional<int64_t> FileSize(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return static_cast<int64_t>(it->second.size());
  }
  std::string ReadFile(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) throw Exception("cannot read " + path);
    return it->second;
  }
  bool MoveFileOver(const std::string& from, const std::string& to) override {
    if (to == refuseReplaceFor || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  void RemoveFile(const std::string& path) override { files.erase(path); }

  bool HasTempFiles() const {
    for (const auto& [path, body] : files) {
      if (path.size() > 4 && path.substr(path.size() - 4) == ".tmp") return true;
    }
    return false;
  }
};

// What the engine does for one URL: the replies it reports, what it writes, whether the
// call raises at the end (as the engine does for 4xx, 5xx, an unfollowed redirect or a
// broken connection).
struct FakeReply {
  struct Step {
    int status;
    std::vector<std::pair<std::string, std::string>> headers;
  };
  std::vector<Step> replies;
  std::string body;
  bool raises = false;
};

class FakeHttp : public IUpdateHttp {
 public:
  explicit FakeHttp(FakeFolder& folder) : folder_(folder) {}
  std::map<std::string, FakeReply> replies;
  std::vector<std::string> requested;

  void DownloadURL(const std::string& url, const std::string& localFile,
                   IUpdateDownloadEvents& events) override {
    requested.push_back(url);
    auto it = replies.find(url);
    if (it == replies.end()) {
      events.OnStatus(404);
      throw Exception("404: HTTP 404");
    }
    const FakeReply& r = it->second;
    for (const FakeReply::Step& step : r.replies) {
      events.OnStatus(step.status);
      for (const auto& [field, value] : step.headers) events.OnHeader(field, value);
    }
    events.OnStartTransfer();
    for (size_t sent = 0; sent < r.body.size();) {
      sent = std::min(r.body.size(), sent + 4);
      events.OnTransfer(static_cast<int64_t>(sent));
    }
    events.OnEndTransfer();
    if (r.raises) throw Exception("engine error");
    folder_.files[localFile] = r.body;
  }

 private:
  FakeFolder& folder_;
};

class FakeLauncher : public IUpdateLauncher {
 public:
  std::vector<std::string> started;
  // The list must be gone by the time the main program starts.
  std::function<void()> onStart;
  void Start(const std::string& file) override {
    started.push_back(file);
    if (onStart) onStart();
  }
};

class FakeView : public IUpdateView {
 public:
  std::vector<std::string> statuses, messages;
  std::vector<TUpdateListEntry> items;
  std::vector<TUpdateItemState> states;
  std::vector<int> selected;
  std::vector<std::pair<int, int>> gaugeMaxAtStart;  // (item, max) per download
  int gaugeMax = -1, gaugeProgress = -1, maxProgressSeen = 0;

  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void AddItem(const TUpdateListEntry& entry) override {
    items.push_back(entry);
    states.push_back(TUpdateItemState::Listed);
  }
  void SelectItem(int item) override { selected.push_back(item); }
  void SetItemState(int item, TUpdateItemState state) override {
    states.at(static_cast<size_t>(item)) = state;
  }
  void SetGaugeMax(int maxValue) override {
    gaugeMax = maxValue;
    gaugeMaxAtStart.emplace_back(static_cast<int>(selected.size()) - 1, maxValue);
  }
  void SetGaugeProgress(int progress) override {
    gaugeProgress = progress;
    maxProgressSeen = std::max(maxProgressSeen, progress);
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

FakeReply Ok(std::string body) {
  std::string length = std::to_string(body.size());
  return {{{200, {{"Content-Length", length}}}}, std::move(body)};
}

class UpdateRunTest : public ::testing::Test {
 protected:
  FakeFolder folder;
  FakeHttp http{folder};
  FakeLauncher launcher;
  FakeView view;

  void SetUp() override {
    launcher.onStart = [this] {
      EXPECT_FALSE(folder.FileExists(kFolder + "update.txt")) << "the list outlived the run";
    };
  }

  TUpdateRunResult Run() {
    TUpdateRun run(http, folder, launcher, view);
    return run.Run(kListUrl);
  }
};

TEST_F(UpdateRunTest, EachDownloadReplacesItsFileOnlyWhenItCheckedOut) {
  struct Case {
    const char* what;
    const char* localName;
    FakeReply reply;
    bool downloaded;
    bool requested;  // false: refused before any request
  } cases[] = {
      {"200 with its length", "a.dll", Ok("new bytes"), true, true},
      {"200 without a length", "b.dll", {{{200, {}}}, "new, no length"}, true, true},
      {"200 with a length of 0", "c.txt", Ok(""), true, true},
      {"in a subfolder", "languages\\German\\main.xml", Ok("<xml/>"), true, true},
      {"404, which the engine raises", "d.dll", {{{404, {}}}, "gone", true}, false, true},
      {"truncated", "e.dll", {{{200, {{"Content-Length", "100"}}}}, "only part"}, false, true},
      {"longer than said", "f.dll", {{{200, {{"content-length", "2"}}}}, "three"}, false, true},
      {"length not a number", "g.dll", {{{200, {{"Content-Length", "12abc"}}}}, "x"}, false, true},
      {"304 the engine takes", "h.dll", {{{304, {}}}, ""}, false, true},
      {"redirect not followed",
       "i.dll",
       {{{302, {{"Location", "/x"}}}}, "moved", true},
       false,
       true},
      {"redirect followed: the final reply's length counts",
       "j.dll",
       {{{301, {{"Content-Length", "5"}}}, {200, {}}}, "final body, longer than 5"},
       true,
       true},
      {"connection lost",
       "k.dll",
       {{{200, {{"Content-Length", "9"}}}}, "partial", true},
       false,
       true},
      {"parent folder", "..\\evil.dll", Ok("evil"), false, false},
      {"drive", "C:\\Windows\\evil.dll", Ok("evil"), false, false},
      {"root", "\\evil.dll", Ok("evil"), false, false},
      {"stream", "a.dll:hidden", Ok("evil"), false, false},
      {"device", "NUL", Ok("evil"), false, false},
      {"empty name", "", Ok("evil"), false, false},
      {"the running updater itself", "updater.EXE", Ok("new updater"), false, false},
  };
  int n = 0;
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder.files.clear();
    http.replies.clear();
    http.requested.clear();
    view = FakeView();
    const std::string url = "http://files.test/" + std::to_string(++n);
    http.replies[kListUrl] = Ok(std::string("File|") + url + "|" + c.localName + "\r\n");
    http.replies[url] = c.reply;
    const std::string target = kFolder + c.localName;
    folder.files[target] = "old bytes";

    TUpdateRunResult result = Run();
    EXPECT_TRUE(result.ListRead);
    EXPECT_EQ(result.Failed, c.downloaded ? 0 : 1);
    ASSERT_EQ(view.states.size(), 1u);
    EXPECT_EQ(view.states[0],
              c.downloaded ? TUpdateItemState::Downloaded : TUpdateItemState::Failed);
    EXPECT_EQ(folder.files[target], c.downloaded ? c.reply.body : "old bytes");
    EXPECT_EQ(http.requested.size(), c.requested ? 2u : 1u);
    EXPECT_FALSE(folder.HasTempFiles());
    // The old file and nothing else: no stray file took the download.
    EXPECT_EQ(folder.files.size(), 1u);
    EXPECT_EQ(launcher.started.back(), kFolder + "Kestrava.exe");
  }
}

TEST_F(UpdateRunTest, AFileThatCannotBePutInPlaceFailsAndLeavesNoTemporaryFile) {
  const std::string target = kFolder + "a.dll";
  for (bool refuseTemp : {true, false}) {
    SCOPED_TRACE(refuseTemp ? "no temporary file" : "no replacement");
    folder.files.clear();
    folder.files[target] = "old";
    (refuseTemp ? folder.refuseTempFor : folder.refuseReplaceFor) = target;
    view = FakeView();
    http.replies[kListUrl] = Ok("A|http://f/a|a.dll\n");
    http.replies["http://f/a"] = Ok("new");
    TUpdateRunResult result = Run();
    EXPECT_EQ(result.Failed, 1);
    EXPECT_EQ(view.states.at(0), TUpdateItemState::Failed);
    EXPECT_EQ(folder.files[target], "old");
    EXPECT_FALSE(folder.HasTempFiles());
    folder.refuseTempFor.clear();
    folder.refuseReplaceFor.clear();
  }
}

TEST_F(UpdateRunTest, AListThatCannotBeFetchedEndsWithTheErrorAndStillStartsKestrava) {
  struct Case {
    const char* what;
    FakeReply list;
  } cases[] = {
      {"server error", {{{500, {}}}, "oops", true}},
      {"truncated list", {{{200, {{"Content-Length", "50"}}}}, "A|http://f/a|a.dll\r\n"}},
      {"not a 2xx reply", {{{204 + 100, {}}}, "A|http://f/a|a.dll\r\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder.files.clear();
    folder.files[kFolder + "a.dll"] = "old";
    view = FakeView();
    launcher.started.clear();
    http.replies.clear();
    http.replies[kListUrl] = c.list;
    http.replies["http://f/a"] = Ok("new");
    TUpdateRunResult result = Run();
    EXPECT_FALSE(result.ListRead);
    EXPECT_EQ(view.messages, std::vector<std::string>{kUpdateFailed});
    EXPECT_TRUE(view.items.empty());
    EXPECT_EQ(view.statuses, std::vector<std::string>{kUpdateConnecting});
    EXPECT_EQ(folder.files[kFolder + "a.dll"], "old");
    EXPECT_EQ(launcher.started, std::vector<std::string>{kFolder + "Kestrava.exe"});
    EXPECT_FALSE(folder.HasTempFiles());
  }
  // No list left from an earlier run either.
  folder.files[kFolder + "update.txt"] = "A|http://f/a|a.dll";
  http.replies.clear();
  Run();
  EXPECT_FALSE(folder.FileExists(kFolder + "update.txt"));
}

TEST_F(UpdateRunTest, AnEmptyListEndsCleanly) {
  http.replies[kListUrl] = Ok("");
  TUpdateRunResult result = Run();
  EXPECT_TRUE(result.ListRead);
  EXPECT_EQ(result.Items, 0);
  EXPECT_TRUE(view.items.empty());
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.statuses.back(), kUpdateDone);
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_TRUE(folder.files.empty());
}

TEST_F(UpdateRunTest, EveryItemIsTriedInOrderAndTheEndMessageCountsTheFailures) {
  http.replies[kListUrl] =
      Ok("First|http://f/1|one.txt\r\n"
         "short line\r\n"
         "\r\n"
         "Second|http://f/2|two.txt|ignored|fields\r\n"
         "Third|http://f/3|three.txt\r\n");
  http.replies["http://f/1"] = Ok("1");
  http.replies["http://f/3"] = Ok("3");
  TUpdateRunResult result = Run();
  EXPECT_EQ(result.Items, 3);
  EXPECT_EQ(result.Failed, 1);
  ASSERT_EQ(view.items.size(), 3u);
  EXPECT_EQ(view.items[1].Caption, "Second");
  EXPECT_EQ(view.items[1].URL, "http://f/2");
  EXPECT_EQ(view.items[1].LocalName, "two.txt");
  EXPECT_EQ(view.states,
            (std::vector<TUpdateItemState>{TUpdateItemState::Downloaded, TUpdateItemState::Failed,
                                           TUpdateItemState::Downloaded}));
  EXPECT_EQ(view.selected, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(http.requested,
            (std::vector<std::string>{kListUrl, "http://f/1", "http://f/2", "http://f/3"}));
  const std::vector<std::string> statuses{kUpdateConnecting, std::string(kUpdateLoading) + "First",
                                          std::string(kUpdateLoading) + "Second",
                                          std::string(kUpdateLoading) + "Third",
                                          "Update beendet, 1 von 3 Dateien konnte nicht "
                                          "geladen werden."};
  EXPECT_EQ(view.statuses, statuses);
  EXPECT_EQ(view.messages, std::vector<std::string>{statuses.back()});
  EXPECT_EQ(folder.files[kFolder + "one.txt"], "1");
  EXPECT_EQ(folder.files[kFolder + "three.txt"], "3");
  EXPECT_FALSE(folder.FileExists(kFolder + "two.txt"));
  EXPECT_EQ(UpdateEndMessage(4, 2),
            "Update beendet, 2 von 4 Dateien konnten nicht geladen werden.");
}

TEST_F(UpdateRunTest, TheGaugeRunsToEachFilesOwnLengthAndFallsBackToZero) {
  http.replies[kListUrl] = Ok("A|http://f/a|a.bin\r\nB|http://f/b|b.bin\r\n");
  http.replies["http://f/a"] = Ok(std::string(1000, 'a'));
  // No length: the gauge must not keep the earlier file's.
  http.replies["http://f/b"] = {{{200, {}}}, std::string(10, 'b')};
  Run();
  ASSERT_EQ(view.gaugeMaxAtStart.size(), 3u);  // the list, a, b
  EXPECT_EQ(view.gaugeMaxAtStart[1], std::make_pair(0, 1000));
  EXPECT_EQ(view.gaugeMaxAtStart[2], std::make_pair(1, 0));
  EXPECT_EQ(view.maxProgressSeen, 1000);
  EXPECT_EQ(view.gaugeProgress, 0);
}

}  // namespace
