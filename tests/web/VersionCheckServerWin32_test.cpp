// The version check end to end: the engine carried as this program's resource, mapped
// at start-up, posting to a local server that answers each scenario.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/VersionCheckWin32.h"
#include "framework/GraphicsWin32.h"
#include "framework/SysUtils.h"
#include "tests/support/TestTrace.h"
#include "tests/web/LocalServer.h"
#include "web/EngineMapper.h"
#include "web/inetwebform.h"

namespace {

std::string ExeFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

bool FileThere(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell starts the updater in its own process; give it time to leave its marker.
bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 400; ++i) {
    if (FileThere(path)) return true;
    Sleep(50);
  }
  return false;
}

class VersionCheckServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new LocalServer("versioncheck"); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(server->Running()) << "python3 server did not start";
    static int counter = 0;
    folder = server->Folder() + "\\prog" + std::to_string(++counter) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "config.dat")
        << "[Main]\r\nLanguage=de\r\nUpdateServer=127.0.0.1:" << server->Port() << "\r\n";
    actions = ProgramVersionCheckActions(nullptr);  // the shell start is the real one
    actions.askUpdate = [this](const std::string& q) {
      questions.push_back(q);
      return true;
    };
    actions.terminate = [this] { ++terminated; };
    actions.showError = [this](const std::string& text) { errors.push_back(text); };
    server->ClearRequests();
  }

  // Runs the check as the main window does; returns the message of a raised failure.
  std::string Check(int timeoutSeconds = 60) {
    TinetWebForm form(nullptr);
    form.SetFirewallPort(80);
    form.SetTimeout(timeoutSeconds);
    try {
      RunVersionCheck(form, "1.2.0.1", folder, "de", actions);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }

  void PutUpdaterStub() {
    ASSERT_TRUE(CopyFileA((ExeFolder() + "UpdaterStub.exe").c_str(),
                          (folder + "Updater.exe").c_str(), FALSE));
  }

  static LocalServer* server;
  std::string folder;
  TVersionCheckActions actions;
  std::vector<std::string> questions, errors;
  int terminated = 0;
};
LocalServer* VersionCheckServerTest::server = nullptr;

using Route = LocalServer::Route;

// What the updater's component would see of a download's transfer events.
struct HttpProgress {
  int transfers = 0;
  std::string received;
  static int __stdcall Callback(void* owner, int event, int count, intptr_t* values,
                                int32_t* lengths) {
    auto* p = static_cast<HttpProgress*>(owner);
    if (event == netengine::evTransfer && count == 3) {
      ++p->transfers;
      p->received.append(reinterpret_cast<const char*>(values[2]), lengths[2]);
    }
    return 0;
  }
};

TEST(WebFormEngineBinding, TheEngineResourceIsMappedAndBoundAtStart) {
  const TWebFormEngine& e = WebFormEngine();
  EXPECT_NE(e.Create, nullptr);
  EXPECT_NE(e.Destroy, nullptr);
  EXPECT_NE(e.Set, nullptr);
  EXPECT_NE(e.Get, nullptr);
  EXPECT_NE(e.GetLastError, nullptr);
  EXPECT_NE(e.CheckIndex, nullptr);
  EXPECT_NE(e.Do, nullptr);
  TinetWebForm form(nullptr);
  EXPECT_NE(form.Handle(), 0);
  EXPECT_EQ(form.Timeout(), 60);
  EXPECT_EQ(form.ProxyPort(), 80);
  EXPECT_TRUE(form.Idle());
}

TEST(WebFormEngineBinding, UnbindingClearsEveryFunctionAndBindingAgainWorks) {
  UnbindWebFormEngine();
  const TWebFormEngine& e = WebFormEngine();
  EXPECT_TRUE(!e.Create && !e.Destroy && !e.Set && !e.Get && !e.GetLastError && !e.CheckIndex &&
              !e.Do);
  {
    TinetWebForm unbound(nullptr);
    EXPECT_THROW(unbound.Reset(), EinetWebForm);
  }
  BindWebFormEngine();
  EXPECT_NE(WebFormEngine().Do, nullptr);
  TinetWebForm bound(nullptr);
  EXPECT_NO_THROW(bound.Reset());
}

// The block of memory the bound engine lives in.
void* EngineBlock() {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(reinterpret_cast<void*>(WebFormEngine().Do), &info, sizeof info) == 0)
    return nullptr;
  return info.AllocationBase;
}

TEST(WebFormEngineBinding, BindingAgainReleasesTheEarlierImage) {
  void* before = EngineBlock();
  ASSERT_NE(before, nullptr);
  BindWebFormEngine();
  void* after = EngineBlock();
  ASSERT_NE(after, nullptr);
  // The same address can only come back once the earlier block was released.
  if (after != before) {
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(VirtualQuery(before, &info, sizeof info), 0u);
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE)) << "the earlier engine is still mapped";
  }
  TinetWebForm form(nullptr);
  EXPECT_NO_THROW(form.Reset());
}

TEST_F(VersionCheckServerTest, TheServersReplyDecidesWhatHappens) {
  const std::string path = kUpdatePath;
  struct Case {
    const char* what;
    std::vector<Route> routes;
    int timeout;
    bool asked;
    const char* errorPart;  // in the raised message; nullptr: nothing raised
  } cases[] = {
      {"higher", {{path, 200, "1202"}}, 60, true, nullptr},
      {"higher with blank and line break", {{path, 200, " 1300\r\n"}}, 60, true, nullptr},
      {"equal", {{path, 200, "1201"}}, 60, false, nullptr},
      {"lower", {{path, 200, "999"}}, 60, false, nullptr},
      {"server error", {{path, 500, "1300"}}, 60, false, "500: HTTP 500"},
      {"not found", {{"/elsewhere", 200, "1300"}}, 60, false, "404: HTTP 404"},
      {"dotted version", {{path, 200, "1.2.0.2"}}, 60, false, "is not a valid integer value"},
      {"garbage",
       {{path, 200, std::string("\x00\xFF<html>", 8)}},
       60,
       false,
       "is not a valid integer value"},
      {"empty", {{path, 200, ""}}, 60, false, "is not a valid integer value"},
      {"redirect",
       {{path, 302, "moved", {{"Location", "/final"}}}, {"/final", 200, "1300"}},
       60,
       false,
       "302: Redirect not followed: /final"},
      {"slower than the time-out", {{path, 200, "1300", {}, 4.0}}, 1, false, "timed out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    questions.clear();
    terminated = 0;
    server->ClearRequests();
    server->SetRoutes(c.routes);
    std::string error = Check(c.timeout);
    if (c.errorPart) {
      EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
    } else {
      EXPECT_EQ(error, "");
    }
    // Compared whole: a check that asked nothing must fail here, not read past the end.
    EXPECT_EQ(questions, c.asked ? std::vector<std::string>{UpdateQuestion("de")}
                                 : std::vector<std::string>{});
    // Every scenario posted exactly the one form variable, URL-encoded.
    auto received = server->Requests();
    ASSERT_GE(received.size(), 1u);
    EXPECT_EQ(received[0].method, "POST");
    EXPECT_EQ(received[0].path, path);
    EXPECT_EQ(received[0].contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(received[0].body, "action=get_version");
    EXPECT_EQ(received.size(), 1u);  // the redirect was not followed
  }
}

TEST_F(VersionCheckServerTest, YesStartsTheUpdaterAndEndsTheProgram) {
  PutUpdaterStub();
  server->SetRoutes({{kUpdatePath, 200, "1202\r\n"}});
  EXPECT_EQ(Check(), "");
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_TRUE(WaitForFile(folder + "updater-started.txt"));
  EXPECT_EQ(terminated, 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(VersionCheckServerTest, AMissingUpdaterIsReportedAndTheProgramGoesOn) {
  server->SetRoutes({{kUpdatePath, 200, "1202"}});
  EXPECT_EQ(Check(), "");
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(terminated, 0);
  EXPECT_EQ(errors, (std::vector<std::string>{UpdaterNotStartedMessage("de")}));
}

TEST_F(VersionCheckServerTest, ARedirectIsFollowedWhenTheComponentSaysSo) {
  server->SetRoutes({{kUpdatePath, 302, "", {{"Location", "/final"}}}, {"/final", 200, "1300"}});
  TinetWebForm form(nullptr);
  form.SetFollowRedirects(frAlways);
  std::vector<std::string> locations;
  form.OnRedirect = [&](TObject*, const std::string& location, bool& accept) {
    locations.push_back(location + (accept ? " accepted" : ""));
  };
  RunVersionCheck(form, "1.2.0.1", folder, "en", actions);
  EXPECT_EQ(locations, (std::vector<std::string>{"/final accepted"}));
  EXPECT_EQ(questions, (std::vector<std::string>{UpdateQuestion("en")}));
  EXPECT_EQ(server->Requests().size(), 2u);
}

TEST_F(VersionCheckServerTest, AnEventHandlersExceptionComesOutOfTheCallNotTheEngine) {
  server->SetRoutes({{kUpdatePath, 200, "1300"}});
  TinetWebForm form(nullptr);
  int transfers = 0;
  form.OnTransfer = [&](TObject*, int, const std::string&) {
    ++transfers;
    throw EAbort("stop");
  };
  form.AddFormVar("action", "get_version");
  EXPECT_THROW(form.SubmitTo(server->Base() + kUpdatePath), EAbort);
  EXPECT_EQ(transfers, 1);
  EXPECT_TRUE(form.Idle());
  EXPECT_EQ(form.GetTransferredData(), "1300");  // the engine finished its request
}

// The updater's front of the same engine: a download into a local file.
TEST_F(VersionCheckServerTest, HttpFrontDownloadsIntoTheLocalFile) {
  HRSRC info = FindResourceA(nullptr, netengine::kHttpExports.resourceName, MAKEINTRESOURCEA(10));
  ASSERT_NE(info, nullptr);
  const void* data = LockResource(LoadResource(nullptr, info));
  void* entry = nullptr;
  void* base = MapEngineImage(data, SizeofResource(nullptr, info), entry);
  ASSERT_NE(base, nullptr);
  using Create = int(__stdcall*)(TinetEventCallback, void*, int);
  using Set = int(__stdcall*)(int, int, int, intptr_t, int);
  using Do = int(__stdcall*)(int, int, int, intptr_t*, int32_t*);
  using LastError = const char*(__stdcall*)(int);
  using Destroy = void(__stdcall*)(int);
  auto create = reinterpret_cast<Create>(FindEngineExport(base, netengine::kHttpExports.create));
  auto set = reinterpret_cast<Set>(FindEngineExport(base, netengine::kHttpExports.set));
  auto run = reinterpret_cast<Do>(FindEngineExport(base, netengine::kHttpExports.doMethod));
  auto lastError =
      reinterpret_cast<LastError>(FindEngineExport(base, netengine::kHttpExports.getLastError));
  auto destroy = reinterpret_cast<Destroy>(FindEngineExport(base, netengine::kHttpExports.destroy));
  ASSERT_TRUE(create && set && run && lastError && destroy);

  HttpProgress progress;
  int handle = create(&HttpProgress::Callback, &progress, 0);
  ASSERT_NE(handle, 0);
  const std::string list =
      "Kestrava|http://127.0.0.1/Kestrava.exe|Kestrava.exe\r\n" + std::string("\x00\x01", 2);
  server->SetRoutes({{"/download/kestrava/update/update.txt", 200, list}});
  const std::string target = folder + "update.txt";
  ASSERT_EQ(
      set(handle, netengine::http::kLocalFile, 0, reinterpret_cast<intptr_t>(target.c_str()), 0),
      0);
  std::string url = server->Base() + "/download/kestrava/update/update.txt";
  intptr_t arg = reinterpret_cast<intptr_t>(url.c_str());
  int32_t length = 0;
  EXPECT_EQ(run(handle, netengine::http::kDownloadURL, 1, &arg, &length), 0) << lastError(handle);
  std::ifstream in(target, std::ios::binary);
  std::string written((std::istreambuf_iterator<char>(in)), {});
  in.close();
  EXPECT_EQ(written, list);
  EXPECT_EQ(progress.received, list);
  EXPECT_GE(progress.transfers, 1);

  // A failed download raises its status and leaves the earlier file alone.
  std::string missing = server->Base() + "/download/kestrava/update/gone.txt";
  arg = reinterpret_cast<intptr_t>(missing.c_str());
  EXPECT_EQ(run(handle, netengine::http::kDownloadURL, 1, &arg, &length), 404);
  EXPECT_STREQ(lastError(handle), "HTTP 404 Not Found");
  std::ifstream again(target, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), list);
  destroy(handle);
  EXPECT_TRUE(UnmapEngineImage(base, entry));
}

}  // namespace

// Installs the graphics and binds the engine this test carries as a resource, as the
// program's start-up list does.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ktest::TraceTestProgram();
  InstallWin32Graphics();
  BindWebFormEngine();
  const int result = ktest::RunAllTestsTraced();
  UnbindWebFormEngine();
  return result;
}
