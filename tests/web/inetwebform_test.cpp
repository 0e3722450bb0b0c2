#include "web/inetwebform.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/TypInfo.h"

namespace {

// A scripted engine behind the component's function table.
struct FakeEngine {
  int createResult = 7;
  std::vector<std::pair<int, intptr_t>> sets;
  std::map<int, std::string> texts;
  std::map<int, int> refuseSet;  // index -> error code
  std::string lastError = "engine says no";
  std::string data;
  struct DoCall {
    int method;
    std::vector<std::string> args;
  };
  std::vector<DoCall> calls;
  std::function<int(int method)> onDo;
  TinetEventCallback callback = nullptr;
  void* owner = nullptr;
  bool destroyed = false;

  // Fires one event as the engine would; returns the value array afterwards.
  std::vector<intptr_t> Fire(int event, std::vector<intptr_t> values,
                             std::vector<int32_t> lengths = {}) {
    lengths.resize(values.size(), 0);
    callback(owner, event, static_cast<int>(values.size()), values.data(), lengths.data());
    return values;
  }
};

FakeEngine* fake = nullptr;

int INET_STDCALL FakeCreate(TinetEventCallback cb, void* owner, int) {
  fake->callback = cb;
  fake->owner = owner;
  return fake->createResult;
}
void INET_STDCALL FakeDestroy(int) { fake->destroyed = true; }
int INET_STDCALL FakeSet(int, int index, int, intptr_t value, int) {
  fake->sets.emplace_back(index, value);
  if (auto it = fake->refuseSet.find(index); it != fake->refuseSet.end()) return it->second;
  return 0;
}
intptr_t INET_STDCALL FakeGet(int, int index, int, int32_t* length) {
  if (index == 33) {
    if (length) *length = static_cast<int32_t>(fake->data.size());
    return reinterpret_cast<intptr_t>(fake->data.data());
  }
  if (index == 12) return 80;
  auto it = fake->texts.find(index);
  return it == fake->texts.end() ? 0 : reinterpret_cast<intptr_t>(it->second.c_str());
}
const char* INET_STDCALL FakeLastError(int) { return fake->lastError.c_str(); }
int INET_STDCALL FakeDo(int, int method, int count, intptr_t* values, int32_t* lengths) {
  FakeEngine::DoCall call{method, {}};
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(lengths[i], 0);
    call.args.emplace_back(reinterpret_cast<const char*>(values[i]));
  }
  fake->calls.push_back(call);
  return fake->onDo ? fake->onDo(method) : 0;
}

class WebFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = &engine;
    WebFormEngine() = TWebFormEngine{&FakeCreate,    &FakeDestroy, &FakeSet, &FakeGet,
                                     &FakeLastError, nullptr,      &FakeDo};
  }
  void TearDown() override {
    WebFormEngine() = TWebFormEngine{};
    fake = nullptr;
  }
  FakeEngine engine;
};

std::string RaisedMessage(const std::function<void()>& f, int* code = nullptr) {
  try {
    f();
  } catch (const EinetWebForm& e) {
    if (code) *code = e.Code();
    return e.Message();
  }
  return "(nothing raised)";
}

}  // namespace

TEST_F(WebFormTest, ConstructorSetsEveryDefaultInOrderEvenAfterARefusal) {
  engine.refuseSet[9] = 5;  // the engine refuses the encoding
  TinetWebForm form(nullptr);
  EXPECT_EQ(form.Handle(), 7);
  std::vector<int> order;
  for (auto& [index, value] : engine.sets) order.push_back(index);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 9, 10, 11, 12, 13, 14, 15, 21, 24, 26, 27, 28, 29, 32,
                                     35, 36}));
  std::map<int, intptr_t> numbers(engine.sets.begin(), engine.sets.end());
  EXPECT_EQ(numbers[27], 80);  // ProxyPort
  EXPECT_EQ(numbers[32], 60);  // Timeout
  EXPECT_EQ(numbers[15], frNever);
}

TEST_F(WebFormTest, WithoutAnEngineTheComponentExistsAndFailsOnFirstUse) {
  struct Case {
    const char* what;
    std::function<void()> unbind;
  } cases[] = {
      {"engine not bound", [] { WebFormEngine() = TWebFormEngine{}; }},
      {"engine refuses to create", [this] { engine.createResult = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.unbind();
    TinetWebForm form(nullptr);
    form.SetFirewallPort(80);  // what the form stream does: no error yet
    EXPECT_EQ(form.Timeout(), 0);
    EXPECT_EQ(form.GetTransferredData(), "");
    int code = 0;
    EXPECT_EQ(RaisedMessage([&] { form.Reset(); }, &code),
              "-1: NetEngine WebForm: Error creating component");
    EXPECT_EQ(code, -1);
    EXPECT_EQ(RaisedMessage([&] { form.SubmitTo("http://h/"); }),
              "-1: NetEngine WebForm: Error creating component");
    SetUp();
  }
}

TEST_F(WebFormTest, MethodsAreEngineCallsAndFailuresCarryTheEngineText) {
  TinetWebForm form(nullptr);
  form.Reset();
  form.AddFormVar("action", "get_version");
  form.SubmitTo("http://127.0.0.1/download/kestrava/update.php");
  ASSERT_EQ(engine.calls.size(), 3u);
  EXPECT_EQ(engine.calls[0].method, 6);
  EXPECT_TRUE(engine.calls[0].args.empty());
  EXPECT_EQ(engine.calls[1].method, 3);
  EXPECT_EQ(engine.calls[1].args, (std::vector<std::string>{"action", "get_version"}));
  EXPECT_EQ(engine.calls[2].method, 8);

  engine.onDo = [](int) { return 500; };
  engine.lastError = "HTTP 500 Internal Server Error";
  int code = 0;
  EXPECT_EQ(RaisedMessage([&] { form.SubmitTo("http://h/"); }, &code),
            "500: HTTP 500 Internal Server Error");
  EXPECT_EQ(code, 500);

  engine.refuseSet[32] = 35;
  engine.lastError = "Value out of range";
  EXPECT_EQ(RaisedMessage([&] { form.SetTimeout(-1); }), "35: Value out of range");
}

TEST_F(WebFormTest, TransferredDataIsTakenWhole) {
  TinetWebForm form(nullptr);
  engine.data = std::string(" 1202\r\n\0x", 9);
  EXPECT_EQ(form.GetTransferredData(), engine.data);
  engine.texts[35] = "http://h/";
  EXPECT_EQ(form.URL(), "http://h/");
  EXPECT_EQ(form.FirewallPort(), 80);
  EXPECT_EQ(form.LocalFile(), "");  // nil text address
}

TEST_F(WebFormTest, EngineEventsReachTheHandlers) {
  TinetWebForm form(nullptr);
  std::vector<std::string> seen;
  form.OnStatus = [&](TObject* s, const std::string& v, int code, const std::string& d) {
    EXPECT_EQ(s, &form);
    seen.push_back("status " + v + " " + std::to_string(code) + " " + d);
  };
  form.OnTransfer = [&](TObject*, int bytes, const std::string& text) {
    seen.push_back("transfer " + std::to_string(bytes) + " " + std::to_string(text.size()));
  };
  form.OnRedirect = [&](TObject*, const std::string& location, bool& accept) {
    seen.push_back("redirect " + location + (accept ? " yes" : " no"));
    accept = false;
  };
  form.OnSetCookie = [&](TObject*, const std::string& n, const std::string& v, const std::string&,
                         const std::string&, const std::string& path, bool secure) {
    seen.push_back("cookie " + n + "=" + v + " " + path + (secure ? " secure" : ""));
  };
  form.OnStartTransfer = [&](TObject*) { seen.push_back("start"); };
  auto t = [](const char* s) { return reinterpret_cast<intptr_t>(s); };
  engine.Fire(10, {t("HTTP/1.1"), 200, t("OK")});
  std::string chunk("a\0b", 3);
  engine.Fire(11, {3, t(chunk.data())}, {0, 3});
  auto after = engine.Fire(7, {t("http://other/"), 1});
  EXPECT_EQ(after[1], 0);  // the engine sees the handler's refusal
  engine.Fire(8, {t("id"), t("7"), t(""), t(""), t("/"), 1});
  engine.Fire(9, {});
  engine.Fire(4, {});    // no handler: skipped
  engine.Fire(12, {1});  // unknown number: ignored
  engine.Fire(0, {});
  engine.Fire(10, {t("HTTP/1.1")});  // too few parameters: ignored
  EXPECT_EQ(seen, (std::vector<std::string>{"status HTTP/1.1 200 OK", "transfer 3 3",
                                            "redirect http://other/ yes", "cookie id=7 / secure",
                                            "start"}));
}

TEST_F(WebFormTest, AHandlersExceptionIsRaisedAfterTheEngineReturned) {
  TinetWebForm form(nullptr);
  int handlerCalls = 0;
  form.OnStartTransfer = [&](TObject*) {
    ++handlerCalls;
    throw EConvertError("handler failed");
  };
  bool engineFinished = false;
  engine.onDo = [&](int) {
    engine.Fire(9, {});
    engine.Fire(9, {});  // later events skip the handlers of a failed call
    engineFinished = true;
    return 0;
  };
  EXPECT_THROW(form.SubmitTo("http://h/"), EConvertError);
  EXPECT_TRUE(engineFinished);
  EXPECT_EQ(handlerCalls, 1);
  // The next call starts clean.
  form.OnStartTransfer = nullptr;
  EXPECT_NO_THROW(form.SubmitTo("http://h/"));
}

TEST_F(WebFormTest, DestructorDestroysTheEngineObject) {
  { TinetWebForm form(nullptr); }
  EXPECT_TRUE(engine.destroyed);
}

TEST_F(WebFormTest, PublishedPropertiesAndAbout) {
  TinetWebForm form(nullptr);
  const TPropInfo* encoding = GetPropInfo(&form, "Encoding");
  ASSERT_NE(encoding, nullptr);
  EXPECT_EQ(encoding->Kind, tkEnumeration);
  EXPECT_EQ(GetEnumName(encoding, 2), "encQueryString");
  EXPECT_NE(GetPropInfo(&form, "FirewallPort"), nullptr);
  EXPECT_NE(GetPropInfo(&form, "About"), nullptr);
  EXPECT_EQ(form.About(), 0);
  form.SetAbout(5);
  EXPECT_EQ(form.About(), 0);
  ENetEngine e = ENetEngine::CreateWithCode(-1, "NetEngine WebForm: Error creating component");
  EXPECT_EQ(e.Message(), "-1: NetEngine WebForm: Error creating component");
}
