#include "updater/inethttp.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// A scripted engine behind the component's function table.
struct FakeEngine {
  int createResult = 9;
  std::vector<int> setIndexes;
  std::map<int, int> refuseSet;  // index -> error code
  std::string lastError = "engine says no";
  std::vector<std::pair<int, std::vector<std::string>>> calls;
  std::function<int()> onDo;
  netengine::EventCallback callback = nullptr;
  void* owner = nullptr;
  bool destroyed = false;

  std::vector<intptr_t> Fire(int event, std::vector<intptr_t> values,
                             std::vector<int32_t> lengths = {}) {
    lengths.resize(values.size(), 0);
    callback(owner, event, static_cast<int>(values.size()), values.data(), lengths.data());
    return values;
  }
};

FakeEngine* fake = nullptr;

int INET_STDCALL FakeCreate(netengine::EventCallback cb, void* owner, int) {
  fake->callback = cb;
  fake->owner = owner;
  return fake->createResult;
}
void INET_STDCALL FakeDestroy(int) { fake->destroyed = true; }
int INET_STDCALL FakeSet(int, int index, int, intptr_t, int) {
  fake->setIndexes.push_back(index);
  auto it = fake->refuseSet.find(index);
  return it == fake->refuseSet.end() ? 0 : it->second;
}
intptr_t INET_STDCALL FakeGet(int, int, int, int32_t*) { return 0; }
const char* INET_STDCALL FakeLastError(int) { return fake->lastError.c_str(); }
int INET_STDCALL FakeDo(int, int method, int count, intptr_t* values, int32_t*) {
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.emplace_back(reinterpret_cast<const char*>(values[i]));
  fake->calls.emplace_back(method, args);
  return fake->onDo ? fake->onDo() : 0;
}

class InetHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = &engine;
    HTTPEngine() = THttpEngine{&FakeCreate,    &FakeDestroy, &FakeSet, &FakeGet,
                               &FakeLastError, nullptr,      &FakeDo};
  }
  void TearDown() override { HTTPEngine() = THttpEngine{}; }
  FakeEngine engine;
};

TEST_F(InetHttpTest, EveryDefaultIsSetInOrderAlsoAfterARefusal) {
  engine.refuseSet[netengine::http::kFirewallPort] = 21;
  TinetHTTP http(nullptr);
  EXPECT_EQ(http.Handle(), 9);
  namespace h = netengine::http;
  const std::vector<int> expected{
      h::kAccept,       h::kAuthScheme,   h::kFirewallHost,  h::kFirewallPassword,
      h::kFirewallPort, h::kFirewallType, h::kFirewallUser,  h::kFollowRedirects,
      h::kLocalFile,    h::kPassword,     h::kProxyPassword, h::kProxyPort,
      h::kProxyServer,  h::kProxyUser,    h::kRange,         h::kTimeout,
      h::kURL,          h::kUser};
  EXPECT_EQ(engine.setIndexes, expected);
}

TEST_F(InetHttpTest, DownloadURLIsMethodFourAndARefusalRaisesCodeAndText) {
  TinetHTTP http(nullptr);
  http.DownloadURL("http://h/f");
  ASSERT_EQ(engine.calls.size(), 1u);
  EXPECT_EQ(engine.calls[0].first, 4);
  EXPECT_EQ(engine.calls[0].second, std::vector<std::string>{"http://h/f"});
  engine.onDo = [] { return 404; };
  engine.lastError = "HTTP 404 Not Found";
  try {
    http.DownloadURL("http://h/g");
    FAIL() << "no exception";
  } catch (const EinetHTTP& e) {
    EXPECT_EQ(e.Code(), 404);
    EXPECT_EQ(e.Message(), "404: HTTP 404 Not Found");
  }
}

TEST_F(InetHttpTest, WithoutAnEngineTheComponentExistsAndTheDownloadReportsIt) {
  HTTPEngine() = THttpEngine{};
  TinetHTTP http(nullptr);
  EXPECT_EQ(http.Handle(), 0);
  EXPECT_NO_THROW(http.SetLocalFile("x"));
  try {
    http.DownloadURL("http://h/f");
    FAIL() << "no exception";
  } catch (const EinetHTTP& e) {
    EXPECT_EQ(e.Message(), "-1: NetEngine HTTP: Error creating component");
  }
}

struct Recorder {
  std::vector<std::string> seen;
  bool accept = false;
  void Header(TObject*, const std::string& f, const std::string& v) {
    seen.push_back("header " + f + "=" + v);
  }
  void Start(TObject*, int d) { seen.push_back("start " + std::to_string(d)); }
  void Transfer(TObject*, int d, int bytes, const std::string& text) {
    seen.push_back("transfer " + std::to_string(d) + " " + std::to_string(bytes) + " " +
                   std::to_string(text.size()));
  }
  void End(TObject*, int d) { seen.push_back("end " + std::to_string(d)); }
  void Redirect(TObject*, const std::string& location, bool& a) {
    seen.push_back("redirect " + location + (a ? " yes" : " no"));
    a = accept;
  }
  void Fail(TObject*, int, const std::string&) { throw Exception("handler failed"); }
};

TEST_F(InetHttpTest, EngineEventsReachTheirHandlersWithTheirParameters) {
  TinetHTTP http(nullptr);
  Recorder r;
  http.OnHeader = MakeEvent<&Recorder::Header>(&r);
  http.OnStartTransfer = MakeEvent<&Recorder::Start>(&r);
  http.OnTransfer = MakeEvent<&Recorder::Transfer>(&r);
  http.OnEndTransfer = MakeEvent<&Recorder::End>(&r);
  http.OnRedirect = MakeEvent<&Recorder::Redirect>(&r);
  using namespace netengine;
  engine.Fire(evHeader,
              {reinterpret_cast<intptr_t>("Content-Length"), reinterpret_cast<intptr_t>("5")});
  engine.Fire(evStartTransfer, {2});
  const char data[] = {'a', 0, 'b', 0, 'c'};
  engine.Fire(evTransfer, {2, 5, reinterpret_cast<intptr_t>(data)}, {0, 0, 5});
  engine.Fire(evEndTransfer, {2});
  engine.Fire(99, {1, 2, 3});
  engine.Fire(evTransfer, {2});  // too few parameters: skipped
  r.accept = true;
  EXPECT_EQ(engine.Fire(evRedirect, {reinterpret_cast<intptr_t>("/x"), 0})[1], 1);
  r.accept = false;
  EXPECT_EQ(engine.Fire(evRedirect, {reinterpret_cast<intptr_t>("/y"), 1})[1], 0);
  EXPECT_EQ(r.seen,
            (std::vector<std::string>{"header Content-Length=5", "start 2", "transfer 2 5 5",
                                      "end 2", "redirect /x no", "redirect /y yes"}));
}

TEST_F(InetHttpTest, AHandlersExceptionIsRaisedAfterTheEngineReturned) {
  TinetHTTP http(nullptr);
  Recorder r;
  http.OnError = MakeEvent<&Recorder::Fail>(&r);
  engine.onDo = [] {
    fake->Fire(netengine::evError, {5, reinterpret_cast<intptr_t>("x")});
    return 0;
  };
  try {
    http.DownloadURL("http://h/f");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "handler failed");
  }
}

TEST_F(InetHttpTest, TheEngineObjectGoesWithTheComponent) {
  { TinetHTTP http(nullptr); }
  EXPECT_TRUE(engine.destroyed);
}

}  // namespace
