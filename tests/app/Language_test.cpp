#include "app/Language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/IniFiles.h"
#include "framework/TypInfo.h"
#include "translate/KxTranslator.h"

namespace {

namespace fs = std::filesystem;

class TCaptioned : public TComponent {
  K_CLASS_PUBLISHED(TCaptioned, TComponent)
  explicit TCaptioned(TComponent* owner) : TComponent(owner) {}
  std::string caption = "Deutsch";
};
K_PUBLISH(TCaptioned) {
  p.Prop(
      "Caption", [](TCaptioned* c) { return c->caption; },
      [](TCaptioned* c, const std::string& v) { c->caption = v; });
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A program folder with both languages' files for a main and an about window.
class LanguageSwitch : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::path(::testing::TempDir()) /
           ("kestrava_language_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root);
    folder = root.string() + "/";  // as the program keeps it: with its separator
    main.SetName("Form1");
    about.SetName("Form2");
  }
  void TearDown() override { fs::remove_all(root); }

  void WriteTranslation(const std::string& language, const std::string& window,
                        const std::string& xml) {
    const fs::path path = TranslationFileName(folder, language, window);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << xml;
  }
  void WriteAllTranslations() {
    WriteTranslation("en", "main", "<Form1 Caption='Main EN'/>");
    WriteTranslation("en", "about", "<Form2 Caption='About EN'/>");
    WriteTranslation("de", "main", "<Form1 Caption='Haupt DE'/>");
    WriteTranslation("de", "about", "<Form2 Caption='Info DE'/>");
  }

  fs::path root;
  std::string folder;
  TCaptioned main{nullptr};
  TCaptioned about{nullptr};
  TKxTranslator translator{nullptr};
  std::string language;
};

TEST(LanguageFiles, EnglishOnlyForEnAndGermanForEveryOtherValue) {
  struct {
    const char* Language;
    const char* Window;
    const char* Expected;
  } const cases[] = {
      {"en", "main",
       "P/"
       "/languages/English/main.xml"},
      {"en", "about",
       "P/"
       "/languages/English/about.xml"},
      {"de", "main",
       "P/"
       "/languages/German/main.xml"},
      {"", "about",
       "P/"
       "/languages/German/about.xml"},
      {"EN", "main",
       "P/"
       "/languages/German/main.xml"},
  };
  for (const auto& c : cases) {
    std::string expected = c.Expected;
    for (char& ch : expected)
      if (ch == '/') ch = PathDelim;
    EXPECT_EQ(TranslationFileName(std::string("P") + PathDelim, c.Language, c.Window), expected)
        << c.Language << " " << c.Window;
  }
  EXPECT_EQ(ConfigFileName("P"), std::string("P") + PathDelim + "config.dat");
}

TEST_F(LanguageSwitch, SwitchRewritesBothWindowsAndRemembersTheChoice) {
  WriteAllTranslations();
  EXPECT_EQ(ReadLanguageSetting(folder), "");

  SwitchLanguage(translator, folder, "en", &main, &about, language);
  EXPECT_EQ(main.caption, "Main EN");
  EXPECT_EQ(about.caption, "About EN");
  EXPECT_EQ(language, "en");
  EXPECT_EQ(ReadLanguageSetting(folder), "en");
  EXPECT_NE(ReadFile(root / "config.dat").find("[Main]\r\nLanguage=en"), std::string::npos);

  SwitchLanguage(translator, folder, "de", &main, &about, language);
  EXPECT_EQ(main.caption, "Haupt DE");
  EXPECT_EQ(about.caption, "Info DE");
  EXPECT_EQ(language, "de");
  EXPECT_EQ(ReadLanguageSetting(folder), "de");
}

TEST_F(LanguageSwitch, OtherSettingsInConfigSurviveTheSwitch) {
  WriteAllTranslations();
  std::ofstream(root / "config.dat", std::ios::binary)
      << "[Window]\r\nLeft=10\r\n[Main]\r\nLanguage=de\r\n";
  SwitchLanguage(translator, folder, "en", &main, &about, language);
  TIniFile ini(ConfigFileName(folder));
  EXPECT_EQ(ini.ReadString("Window", "Left", ""), "10");
  EXPECT_EQ(ini.ReadString("Main", "Language", ""), "en");
}

TEST_F(LanguageSwitch, MissingFilesChangeNoTextButTheChoiceIsStillKept) {
  WriteTranslation("en", "main", "<Form1 Caption='Main EN'");  // cut short
  SwitchLanguage(translator, folder, "en", &main, &about, language);
  EXPECT_EQ(main.caption, "Deutsch");
  EXPECT_EQ(about.caption, "Deutsch");
  EXPECT_EQ(language, "en");
  EXPECT_EQ(ReadLanguageSetting(folder), "en");
}

TEST_F(LanguageSwitch, AnUnwritableConfigRaisesAfterTheWindowsAreTranslated) {
  WriteAllTranslations();
  fs::create_directories(root / "config.dat");  // a folder where the file should be
  EXPECT_THROW(SwitchLanguage(translator, folder, "en", &main, &about, language), Exception);
  EXPECT_EQ(main.caption, "Main EN");
  EXPECT_EQ(about.caption, "About EN");
  EXPECT_EQ(language, "en");
}

TEST_F(LanguageSwitch, AWindowNotYetCreatedIsSkipped) {
  WriteAllTranslations();
  SwitchLanguage(translator, folder, "en", &main, nullptr, language);
  EXPECT_EQ(main.caption, "Main EN");
  EXPECT_EQ(language, "en");
}

}  // namespace
