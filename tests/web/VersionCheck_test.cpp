#include "web/VersionCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "web/inetwebform.h"

namespace {

TEST(VersionNumbers, OwnVersionWithoutDots) {
  EXPECT_EQ(OwnVersionNumber("1.2.0.1"), 1201);
  EXPECT_EQ(OwnVersionNumber("10.0.0.0"), 10000);
  EXPECT_THROW(OwnVersionNumber("1.2.x.1"), EConvertError);
  EXPECT_THROW(OwnVersionNumber(""), EConvertError);
}

TEST(VersionNumbers, RepliesAreTrimmedDecimalNumbersOnly) {
  struct Case {
    const char* reply;
    std::optional<int> number;
  } cases[] = {
      {"1202", 1202},
      {" 1202\r\n", 1202},
      {"\t1300\n", 1300},
      {"-5", -5},
      {"+7", 7},
      {"2147483647", 2147483647},
      {"1.2.0.2", std::nullopt},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"\r\n", std::nullopt},
      {"12 02", std::nullopt},
      {"0x4B2", std::nullopt},
      {"$4B2", std::nullopt},
      {"2147483648", std::nullopt},
      {"-", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    if (c.number) {
      EXPECT_EQ(VersionReplyNumber(c.reply), *c.number) << c.reply;
    } else {
      EXPECT_THROW(VersionReplyNumber(c.reply), EConvertError) << c.reply;
    }
  }
}

TEST(VersionNumbers, QuestionIsEnglishOnlyForEnglish) {
  const std::string english = "There is a new version available, you want to install them now ?";
  const std::string german =
      "Es ist eine neue Version verf\xFCgbar, m\xF6"
      "chten Sie diese jetzt installieren ?";
  EXPECT_EQ(UpdateQuestion("en"), english);
  EXPECT_EQ(UpdateQuestion("de"), german);
  EXPECT_EQ(UpdateQuestion(""), german);
  EXPECT_EQ(UpdateQuestion("fr"), german);
}

TEST(VersionNumbers, UpdateUrlFromTheServerSetting) {
  EXPECT_EQ(UpdateUrl("127.0.0.1:8123"), "http://127.0.0.1:8123/download/kestrava/update.php");
  EXPECT_EQ(UpdateUrl(" updates.example "), "http://updates.example/download/kestrava/update.php");
  EXPECT_EQ(UpdateUrl("https://h:9/"), "https://h:9/download/kestrava/update.php");
}

// The web-form engine reduced to what the check uses: a reply or an error per request.
struct ScriptedEngine {
  std::string reply;
  int result = 0;
  std::string error;
  std::vector<std::vector<std::string>> formVars;
  std::vector<std::string> urls;
};
ScriptedEngine* scripted = nullptr;

int INET_STDCALL ScriptCreate(TinetEventCallback, void*, int) { return 1; }
int INET_STDCALL ScriptSet(int, int, int, intptr_t, int) { return 0; }
intptr_t INET_STDCALL ScriptGet(int, int index, int, int32_t* length) {
  if (index != 33) return 0;
  if (length) *length = static_cast<int32_t>(scripted->reply.size());
  return reinterpret_cast<intptr_t>(scripted->reply.data());
}
const char* INET_STDCALL ScriptLastError(int) { return scripted->error.c_str(); }
int INET_STDCALL ScriptDo(int, int method, int count, intptr_t* values, int32_t*) {
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.emplace_back(reinterpret_cast<const char*>(values[i]));
  if (method == 6) scripted->formVars.clear();
  if (method == 3) scripted->formVars.push_back(args);
  if (method == 8) {
    scripted->urls.push_back(args.at(0));
    return scripted->result;
  }
  return 0;
}

class VersionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scripted = &engine;
    WebFormEngine() = TWebFormEngine{&ScriptCreate,    nullptr, &ScriptSet, &ScriptGet,
                                     &ScriptLastError, nullptr, &ScriptDo};
    folder = std::filesystem::temp_directory_path() /
             ("kestrava-versioncheck-" +
              std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    actions.askUpdate = [this](const std::string& q) {
      questions.push_back(q);
      return answerYes;
    };
    actions.startUpdater = [this](const std::string& file) {
      started.push_back(file);
      return startWorks;
    };
    actions.terminate = [this] { ++terminated; };
    actions.showError = [this](const std::string& text) { errors.push_back(text); };
  }
  void TearDown() override {
    WebFormEngine() = TWebFormEngine{};
    scripted = nullptr;
    std::filesystem::remove_all(folder);
  }
  std::string Folder() const { return folder.string() + "/"; }
  void Run(const std::string& language = "de") {
    TinetWebForm form(nullptr);
    RunVersionCheck(form, "1.2.0.1", Folder(), language, actions);
  }

  ScriptedEngine engine;
  std::filesystem::path folder;
  TVersionCheckActions actions;
  std::vector<std::string> questions, started, errors;
  int terminated = 0;
  bool answerYes = true;
  bool startWorks = true;
};

TEST_F(VersionCheckTest, OnlyAHigherNumberLeadsToTheQuestion) {
  struct Case {
    const char* reply;
    bool asked;
  } cases[] = {
      {"1202", true},  {" 1202\r\n", true}, {"1300", true},
      {"1201", false}, {"1200", false},     {"999", false},  // numeric, not textual
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    questions.clear();
    started.clear();
    terminated = 0;
    engine.reply = c.reply;
    Run();
    EXPECT_EQ(questions.size(), c.asked ? 1u : 0u);
    EXPECT_EQ(started.size(), c.asked ? 1u : 0u);
    EXPECT_EQ(terminated, c.asked ? 1 : 0);
    if (c.asked) {
      EXPECT_EQ(started.at(0), Folder() + "Updater.exe");
    }
  }
}

TEST_F(VersionCheckTest, PostsTheVersionRequestToTheConfiguredServer) {
  engine.reply = "1";
  Run();
  EXPECT_EQ(engine.urls.back(), std::string("http://") + kDefaultUpdateServer + kUpdatePath);
  ASSERT_EQ(engine.formVars.size(), 1u);
  EXPECT_EQ(engine.formVars[0], (std::vector<std::string>{"action", "get_version"}));

  std::ofstream(folder / "config.dat")
      << "[Main]\r\nLanguage=en\r\nUpdateServer=127.0.0.1:8123\r\n";
  Run();
  EXPECT_EQ(engine.urls.back(), "http://127.0.0.1:8123/download/kestrava/update.php");
}

TEST_F(VersionCheckTest, FailuresOfTheCheckAreRaised) {
  struct Case {
    const char* reply;
    int result;
  } cases[] = {{"1.2.0.2", 0}, {"abc", 0}, {"", 0}, {"1300", 500}, {"1300", 12002}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.reply) + " " + std::to_string(c.result));
    engine.reply = c.reply;
    engine.result = c.result;
    engine.error = "HTTP 500 Internal Server Error";
    EXPECT_THROW(Run(), Exception);
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(started.empty());
  }
  // An unusable own version fails before anything is sent.
  engine.urls.clear();
  TinetWebForm form(nullptr);
  EXPECT_THROW(RunVersionCheck(form, "1.2.beta", Folder(), "de", actions), EConvertError);
  EXPECT_TRUE(engine.urls.empty());
}

TEST_F(VersionCheckTest, NoMeansNothingAndAFailedStartKeepsTheProgramRunning) {
  engine.reply = "1300";
  answerYes = false;
  Run("en");
  EXPECT_EQ(questions, (std::vector<std::string>{UpdateQuestion("en")}));
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(terminated, 0);

  answerYes = true;
  startWorks = false;
  Run("en");
  EXPECT_EQ(started.size(), 1u);
  EXPECT_EQ(terminated, 0);
  EXPECT_EQ(errors, (std::vector<std::string>{"The updater could not be started."}));
}

}  // namespace
