#include "engine/EngineCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

using namespace netengine;

namespace {

// A scripted server: each exchange gets the next reply (or a transport error).
struct FakeReply {
  using Headers = std::vector<std::pair<std::string, std::string>>;
  FakeReply(int status = 200, Headers headers = {}, std::vector<std::string> chunks = {})
      : status(status), headers(std::move(headers)), chunks(std::move(chunks)) {}
  static FakeReply TransportError(int code, std::string text) {
    FakeReply r;
    r.error = code;
    r.errorText = std::move(text);
    return r;
  }
  int status;
  Headers headers;
  std::vector<std::string> chunks;
  int error = 0;
  std::string errorText;
};

class FakePlatform : public Platform {
 public:
  int Execute(const Request& request, ReplyHandler& handler, std::string& error) override {
    requests.push_back(request);
    if (throwOnExecute) throw std::bad_alloc();
    FakeReply reply = replies.at(requests.size() - 1);
    if (reply.error != 0) {
      error = reply.errorText;
      return reply.error;
    }
    handler.OnStatus("HTTP/1.1", reply.status, reply.status == 200 ? "OK" : "Other");
    for (auto& [f, v] : reply.headers) handler.OnHeader(f, v);
    for (auto& chunk : reply.chunks) handler.OnData(chunk);
    return 0;
  }
  bool WriteLocalFile(const std::string& path, std::string_view data) override {
    if (!writable) return false;
    files[path] = std::string(data);
    return true;
  }
  void ShowAbout(const std::string&) override { ++aboutShown; }

  std::vector<FakeReply> replies;
  std::vector<Request> requests;
  std::map<std::string, std::string> files;
  bool writable = true;
  bool throwOnExecute = false;
  int aboutShown = 0;
};

// Records events as text lines; a hook may answer the redirect question.
struct Recorder {
  std::vector<std::string> events;
  std::string transferred;
  std::function<intptr_t(const std::string&)> onRedirect;
  std::vector<std::string> cookies;  // "name|value|expires|domain|path|secure"

  static int ENGINE_STDCALL Callback(void* owner, int event, int count, intptr_t* values,
                                     int32_t* lengths) {
    auto* self = static_cast<Recorder*>(owner);
    std::string line = std::to_string(event) + ":" + std::to_string(count);
    if (event == 7) {
      std::string location = reinterpret_cast<const char*>(values[0]);
      line += " " + location + " " + std::to_string(values[1]);
      if (self->onRedirect) values[1] = self->onRedirect(location);
    }
    if (event == 8) {
      std::string cookie;
      for (int i = 0; i < 5; ++i)
        cookie += reinterpret_cast<const char*>(values[i]) + std::string("|");
      self->cookies.push_back(cookie + std::to_string(values[5]));
    }
    if (event == 11) {
      self->transferred.append(reinterpret_cast<const char*>(values[count - 1]),
                               static_cast<size_t>(lengths[count - 1]));
    }
    self->events.push_back(line);
    return 0;
  }
};

struct Fixture {
  explicit Fixture(Front front = Front::WebForm)
      : engine(front, platform, &Recorder::Callback, &rec) {}
  int SetText(int index, const char* text) {
    return engine.Set(index, reinterpret_cast<intptr_t>(text));
  }
  std::string GetText(int index) {
    return reinterpret_cast<const char*>(engine.Get(index, nullptr));
  }
  int Call(int method, std::vector<std::string> args) {
    std::vector<intptr_t> values;
    for (auto& a : args) values.push_back(reinterpret_cast<intptr_t>(a.c_str()));
    std::vector<int32_t> lengths(args.size(), 0);
    return engine.Do(method, static_cast<int>(args.size()), values.data(), lengths.data());
  }
  FakePlatform platform;
  Recorder rec;
  Engine engine;
};

constexpr int kAddFormVar = 3, kReset = 6, kSubmitTo = 8, kDownloadURL = 4;
constexpr int kWfEncoding = 9, kWfFollow = 15, kWfIdle = 20, kWfLocalFile = 21, kWfTimeout = 32,
              kWfData = 33, kWfUrl = 35, kWfUser = 36, kWfPassword = 24, kWfAccept = 1;

}  // namespace

TEST(EngineUrl, ParsesAndRefusesUrls) {
  struct Case {
    const char* text;
    bool ok;
    bool secure;
    const char* host;
    int port;
    const char* path;
  } cases[] = {
      {"http://127.0.0.1:8080/download/kestrava/update.php", true, false, "127.0.0.1", 8080,
       "/download/kestrava/update.php"},
      {"HTTP://Example.org", true, false, "Example.org", 80, "/"},
      {"https://example.org/a?b=c#frag", true, true, "example.org", 443, "/a?b=c"},
      {"http://host?x=1", true, false, "host", 80, "/?x=1"},
      {"ftp://host/", false, false, "", 0, ""},
      {"http://", false, false, "", 0, ""},
      {"http://:80/", false, false, "", 0, ""},
      {"http://host:0/", false, false, "", 0, ""},
      {"http://host:65536/", false, false, "", 0, ""},
      {"http://host:8a/", false, false, "", 0, ""},
      {"http://user@host/", false, false, "", 0, ""},
      {"http://host/a b", false, false, "", 0, ""},
      {"http://host/a\r\nX: y", false, false, "", 0, ""},
      {"", false, false, "", 0, ""},
  };
  for (const Case& c : cases) {
    auto url = ParseUrl(c.text);
    ASSERT_EQ(url.has_value(), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(url->secure, c.secure) << c.text;
    EXPECT_EQ(url->host, c.host) << c.text;
    EXPECT_EQ(url->port, c.port) << c.text;
    EXPECT_EQ(url->path, c.path) << c.text;
  }
}

TEST(EngineUrl, RedirectTargetsResolveAgainstTheRequest) {
  Url base = *ParseUrl("http://h:81/dir/page.php?q=1");
  struct Case {
    const char* location;
    const char* expected;
  } cases[] = {
      {"http://other/x", "http://other/x"},     {"/root", "http://h:81/root"},
      {"next.php", "http://h:81/dir/next.php"}, {"//cdn.example/y", "http://cdn.example/y"},
      {"https://h/z", "https://h/z"},
  };
  for (const Case& c : cases) {
    auto url = ResolveUrl(base, c.location);
    ASSERT_TRUE(url) << c.location;
    EXPECT_EQ(url->Text(), c.expected);
  }
  EXPECT_FALSE(ResolveUrl(base, "mailto://x"));
  EXPECT_FALSE(ResolveUrl(base, ""));
}

TEST(EngineUrl, FormEncodingAndBase64) {
  EXPECT_EQ(UrlEncode("get_version"), "get_version");
  EXPECT_EQ(UrlEncode("a b&c=d/\xE4"), "a+b%26c%3Dd%2F%E4");
  EXPECT_EQ(Base64("user:pass"), "dXNlcjpwYXNz");
  EXPECT_EQ(Base64("ab"), "YWI=");
  EXPECT_EQ(Base64("a"), "YQ==");
}

TEST(EngineCore, FormVariablesArePostedUrlEncoded) {
  Fixture f;
  f.platform.replies = {{200, {}, {"1202\r\n"}}};
  ASSERT_EQ(f.Call(kAddFormVar, {"action", "get_version"}), 0);
  ASSERT_EQ(f.Call(kAddFormVar, {"note", "a b&c"}), 0);
  ASSERT_EQ(f.Call(kSubmitTo, {"http://127.0.0.1:9/download/kestrava/update.php"}), 0);
  ASSERT_EQ(f.platform.requests.size(), 1u);
  const Request& r = f.platform.requests[0];
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.body, "action=get_version&note=a+b%26c");
  EXPECT_EQ(r.url.path, "/download/kestrava/update.php");
  EXPECT_EQ(r.timeoutSeconds, 60);
  EXPECT_NE(std::find(r.headers.begin(), r.headers.end(),
                      std::pair<std::string, std::string>("Content-Type",
                                                          "application/x-www-form-urlencoded")),
            r.headers.end());
  int32_t length = -1;
  auto data = reinterpret_cast<const char*>(f.engine.Get(kWfData, &length));
  EXPECT_EQ(std::string(data, length), "1202\r\n");
  EXPECT_EQ(f.GetText(kWfUrl), "http://127.0.0.1:9/download/kestrava/update.php");

  // Reset forgets the variables; the next post is empty.
  f.platform.replies.push_back({200, {}, {"x"}});
  ASSERT_EQ(f.Call(kReset, {}), 0);
  ASSERT_EQ(f.Call(kSubmitTo, {"http://h/"}), 0);
  EXPECT_EQ(f.platform.requests[1].body, "");
}

TEST(EngineCore, OtherEncodingsAndHeaders) {
  Fixture f;
  f.platform.replies = {{200}, {200}};
  f.Call(kAddFormVar, {"a", "1 2"});
  f.engine.Set(kWfEncoding, encQueryString);
  f.SetText(kWfAccept, "text/plain");
  f.SetText(kWfUser, "me");
  f.SetText(kWfPassword, "pw");
  ASSERT_EQ(f.Call(kSubmitTo, {"http://h/p?x=1"}), 0);
  const Request& get = f.platform.requests[0];
  EXPECT_EQ(get.method, "GET");
  EXPECT_EQ(get.url.path, "/p?x=1&a=1+2");
  EXPECT_EQ(get.body, "");
  auto has = [](const Request& r, const char* field, const std::string& value) {
    for (auto& h : r.headers) {
      if (h.first == field && h.second == value) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(get, "Accept", "text/plain"));
  EXPECT_TRUE(has(get, "Authorization", "Basic " + Base64("me:pw")));

  f.engine.Set(kWfEncoding, encMultipartFormData);
  ASSERT_EQ(f.Call(kSubmitTo, {"http://h/p"}), 0);
  const Request& multi = f.platform.requests[1];
  EXPECT_EQ(multi.method, "POST");
  EXPECT_NE(multi.body.find("Content-Disposition: form-data; name=\"a\"\r\n\r\n1 2\r\n"),
            std::string::npos);
}

TEST(EngineCore, ErrorStatusesAndTransportFailuresAreErrors) {
  struct Case {
    FakeReply reply;
    int code;
    const char* text;
  } cases[] = {
      {{500, {}, {"1300"}}, 500, "HTTP 500 Other"},
      {{404, {}, {}}, 404, "HTTP 404 Other"},
      {FakeReply::TransportError(12002, "The operation timed out"), 12002,
       "The operation timed out"},
      {{302, {}, {}}, 302, "Redirect without a target"},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.platform.replies = {c.reply};
    EXPECT_EQ(f.Call(kSubmitTo, {"http://h/"}), c.code);
    EXPECT_STREQ(f.engine.LastError(), c.text);
    EXPECT_EQ(f.rec.events.back(), "5:2");  // OnError came last
  }
  Fixture f;
  EXPECT_EQ(f.Call(kSubmitTo, {"nonsense"}), kErrInvalidUrl);
  EXPECT_TRUE(f.platform.requests.empty());
}

TEST(EngineCore, RedirectsFollowThePolicyAndTheHandlersAnswer) {
  struct Case {
    int policy;
    const char* location;
    std::optional<intptr_t> handlerAnswer;
    bool followed;
  } cases[] = {
      {frNever, "/v", std::nullopt, false},
      {frAlways, "/v", std::nullopt, true},
      {frSameScheme, "/v", std::nullopt, true},
      {frSameScheme, "https://h/v", std::nullopt, false},
      {frAlways, "/v", 0, false},  // the handler refuses
      {frNever, "/v", 1, true},    // the handler accepts
  };
  for (const Case& c : cases) {
    Fixture f;
    f.platform.replies = {{302, {{"Location", c.location}}, {"moved"}}, {200, {}, {"1300"}}};
    f.engine.Set(kWfFollow, c.policy);
    if (c.handlerAnswer) f.rec.onRedirect = [&](const std::string&) { return *c.handlerAnswer; };
    f.Call(kAddFormVar, {"action", "get_version"});
    int result = f.Call(kSubmitTo, {"http://h/old"});
    SCOPED_TRACE(std::to_string(c.policy) + " " + c.location);
    EXPECT_EQ(result == 0, c.followed);
    EXPECT_EQ(f.platform.requests.size(), c.followed ? 2u : 1u);
    if (c.followed) {
      // A redirected post continues as GET; the data is the final reply's only.
      EXPECT_EQ(f.platform.requests[1].method, "GET");
      EXPECT_EQ(f.platform.requests[1].url.Text(), "http://h/v");
      EXPECT_EQ(f.GetText(kWfData), "1300");
    } else {
      EXPECT_EQ(result, 302);
    }
  }
}

TEST(EngineCore, EndlessRedirectsStop) {
  Fixture f;
  f.engine.Set(kWfFollow, frAlways);
  f.platform.replies.assign(20, FakeReply{302, {{"Location", "/again"}}, {}});
  EXPECT_EQ(f.Call(kSubmitTo, {"http://h/"}), kErrTooManyRedirects);
  EXPECT_EQ(f.platform.requests.size(), 11u);
}

TEST(EngineCore, SetCookieHeadersAreReportedFieldByField) {
  struct Case {
    const char* header;
    const char* value;
    const char* cookie;
  };
  const Case cases[] = {
      {"Set-Cookie",
       "id=42; Path=/; Domain=example.org; Expires=Wed, 09 Jun 2027 10:18:14 GMT; Secure",
       "id|42|Wed, 09 Jun 2027 10:18:14 GMT|example.org|/|1"},
      {"SET-COOKIE", " a = b ; PATH=/x;secure", "a|b|||/x|1"},
      {"set-cookie", "n=v=w; HttpOnly; Max-Age=5", "n|v=w||||0"},
      {"Set-Cookie", "flag", "flag|||||0"},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.platform.replies = {{200, {{c.header, c.value}}, {"x"}}};
    ASSERT_EQ(f.Call(kSubmitTo, {"http://h/"}), 0) << c.value;
    EXPECT_EQ(f.rec.cookies, std::vector<std::string>{c.cookie}) << c.header << ": " << c.value;
  }
  Fixture other;
  other.platform.replies = {{200, {{"Set-Cookie2", "a=b"}}, {"x"}}};
  ASSERT_EQ(other.Call(kSubmitTo, {"http://h/"}), 0);
  EXPECT_TRUE(other.rec.cookies.empty()) << "only Set-Cookie itself is a cookie";
}

TEST(EngineCore, AnExchangeThatThrowsLeavesTheObjectIdleAndUsable) {
  Fixture f;
  f.platform.throwOnExecute = true;
  EXPECT_THROW(f.Call(kSubmitTo, {"http://h/"}), std::bad_alloc);
  EXPECT_EQ(f.engine.Get(kWfIdle, nullptr), 1);
  EXPECT_FALSE(f.engine.Busy());
  f.platform.throwOnExecute = false;
  f.platform.replies.assign(2, FakeReply{200, {}, {"ok"}});
  EXPECT_EQ(f.Call(kSubmitTo, {"http://h/"}), 0) << "a stuck request would refuse every call";
}

TEST(EngineCore, TransferEventsCarryBinaryDataByLength) {
  Fixture f;
  std::string binary("a\0b", 3);
  f.platform.replies = {{200, {{"Set-Cookie", "id=7; Path=/; Secure"}}, {binary, "cd"}}};
  ASSERT_EQ(f.Call(kSubmitTo, {"http://h/"}), 0);
  EXPECT_EQ(f.rec.transferred, binary + "cd");
  // Connection status, connected, status, header, cookie, start, two transfers, end, disconnected.
  std::vector<std::string> expected = {"2:3", "1:2",  "10:3", "6:2", "8:6",
                                       "9:0", "11:2", "11:2", "4:0", "3:2"};
  EXPECT_EQ(f.rec.events, expected);
  int32_t length = 0;
  f.engine.Get(kWfData, &length);
  EXPECT_EQ(length, 5);
}

TEST(EngineCore, HttpFrontDownloadsIntoTheLocalFile) {
  Fixture f(Front::Http);
  constexpr int kHttpLocalFile = 20, kHttpRange = 31, kHttpIdle = 18;
  f.platform.replies = {{200, {}, {"line1\r\n", "line2"}}, {500, {}, {"oops"}}, {200, {}, {"x"}}};
  f.SetText(kHttpLocalFile, "C:\\prog\\update.txt");
  f.SetText(kHttpRange, "10-");
  ASSERT_EQ(f.Call(kDownloadURL, {"http://h/update.txt"}), 0);
  EXPECT_EQ(f.platform.files["C:\\prog\\update.txt"], "line1\r\nline2");
  EXPECT_EQ(f.platform.requests[0].method, "GET");
  EXPECT_EQ(f.platform.requests[0].headers.back(),
            (std::pair<std::string, std::string>("Range", "bytes=10-")));
  EXPECT_EQ(f.rec.events[3], "9:1");  // start transfer carries the direction
  EXPECT_EQ(f.rec.events[4], "11:3");

  // A failed download leaves the file as it was.
  EXPECT_EQ(f.Call(kDownloadURL, {"http://h/update.txt"}), 500);
  EXPECT_EQ(f.platform.files["C:\\prog\\update.txt"], "line1\r\nline2");
  f.platform.writable = false;
  EXPECT_EQ(f.Call(kDownloadURL, {"http://h/update.txt"}), kErrLocalFile);
  EXPECT_EQ(f.engine.Get(kHttpIdle, nullptr), 1);
}

TEST(EngineCore, PropertiesCheckIndexRangeAndAccess) {
  Fixture f;
  EXPECT_EQ(f.engine.Get(kWfTimeout, nullptr), 60);
  EXPECT_EQ(f.engine.Set(kWfTimeout, 5), 0);
  EXPECT_EQ(f.engine.Get(kWfTimeout, nullptr), 5);
  EXPECT_EQ(f.engine.Set(kWfTimeout, -1), kErrRange);
  EXPECT_EQ(f.engine.Set(kWfEncoding, 3), kErrRange);
  EXPECT_EQ(f.engine.Set(2, 0), kErrUnknownProperty);
  EXPECT_EQ(f.engine.Set(kWfIdle, 1), kErrReadOnly);
  EXPECT_EQ(f.engine.Set(kWfData, 1), kErrReadOnly);
  EXPECT_EQ(f.engine.Get(kWfIdle, nullptr), 1);
  EXPECT_EQ(f.SetText(kWfLocalFile, nullptr), 0);
  EXPECT_EQ(f.GetText(kWfLocalFile), "");
  EXPECT_EQ(f.engine.Get(99, nullptr), 0);
  // Method numbers belong to their front.
  EXPECT_EQ(f.Call(kDownloadURL, {"http://h/"}), kErrUnknownMethod);
  EXPECT_EQ(f.Call(kAddFormVar, {"only one"}), kErrArguments);
  EXPECT_EQ(f.Call(255, {}), 0);
  EXPECT_EQ(f.platform.aboutShown, 1);
}

TEST(EngineTableTest, HandlesAreCheckedAndDestroyWaitsForTheRunningCall) {
  FakePlatform platform;
  EngineTable table;
  int a = table.Create(Front::WebForm, platform, nullptr, nullptr);
  int b = table.Create(Front::Http, platform, nullptr, nullptr);
  EXPECT_NE(a, 0);
  EXPECT_NE(a, b);
  EXPECT_NE(table.Find(a), nullptr);
  EXPECT_EQ(table.Find(0), nullptr);
  EXPECT_EQ(table.Find(12345), nullptr);
  table.Destroy(a);
  EXPECT_EQ(table.Find(a), nullptr);
  table.Destroy(a);  // twice is harmless

  // An event handler that destroys its own component while the request runs.
  struct Ctx {
    EngineTable* table;
    int handle;
  } ctx{&table, b};
  auto destroyer = [](void* owner, int, int, intptr_t*, int32_t*) ENGINE_STDCALL -> int {
    auto* c = static_cast<Ctx*>(owner);
    c->table->Destroy(c->handle);
    return 0;
  };
  table.Destroy(b);
  int c = table.Create(Front::Http, platform, destroyer, &ctx);
  ctx.handle = c;
  platform.replies = {{200, {}, {"data"}}};
  std::string url = "http://h/";
  intptr_t arg = reinterpret_cast<intptr_t>(url.c_str());
  int32_t len = 0;
  EXPECT_EQ(table.Find(c)->Do(4, 1, &arg, &len), 0);  // the object outlived its destruction
  EXPECT_EQ(table.Find(c), nullptr);
  table.Collect();
}
