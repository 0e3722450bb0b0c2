// The language switch on the real main and about windows under Wine, and the translation
// files the program ships checked against those windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Language.h"
#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "framework/TypInfo.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "translate/KxSimpleXml.h"

namespace {

// Every text a translation file must cover: captions, hints, status texts, list entries
// and memo lines of the window and of every component it owns.
const char* const kTextProperties[] = {"Caption", "Hint", "SimpleText"};

bool HasLetter(const std::string& text) {
  for (unsigned char c : text)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0) return true;
  return false;
}

std::vector<TComponent*> WindowAndOwned(TComponent* form) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  return all;
}

// What the running program sees as a window's texts, one line per text.
std::vector<std::string> Texts(TComponent* form) {
  std::vector<std::string> texts;
  for (TComponent* c : WindowAndOwned(form)) {
    // The caption of an edit, a combo box or a memo is the text the user types.
    const bool typed = TKxTranslator::InheritsFromNamed(c->ClassInfo(), "TCustomEdit") ||
                       TKxTranslator::InheritsFromNamed(c->ClassInfo(), "TCustomComboBox");
    for (const char* name : kTextProperties)
      if (const TPropInfo* prop = GetPropInfo(c, name); prop && !(typed && name[0] == 'C'))
        texts.push_back(c->Name() + "." + name + "=" + GetStrProp(c, prop));
    for (const char* name : {"Items", "Lines"})
      if (const TPropInfo* prop = GetPropInfo(c, name); prop && prop->Kind == tkClass)
        if (auto* list = dynamic_cast<TStrings*>(GetObjectProp(c, prop)))
          texts.push_back(c->Name() + "." + name + "=" + list->Text());
  }
  return texts;
}

class LanguageWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }

  void SetUp() override {
    DeleteFileA(ConfigPath().c_str());
    NewWindows();
  }

  void TearDown() override {
    FreeWindows();
    DeleteFileA(ConfigPath().c_str());
  }

  // The test program sits in a folder of its own that holds the shipped translation files,
  // as Kestrava.exe does; config.dat goes there too.
  static std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
  }
  static std::string ConfigPath() { return ExeFolder() + "\\config.dat"; }

  // The program's start: the main window, then the about window; shown later.
  void NewWindows() {
    FreeWindows();
    form = new TForm1(Application);
    Form1 = form;
    form->AfterConstruction();
    about = new TForm2(Application);
    Form2 = about;
    about->AfterConstruction();
  }

  void FreeWindows() {
    delete about;
    delete form;
    about = nullptr;
    form = nullptr;
    Form1 = nullptr;
    Form2 = nullptr;
  }

  void ShowMain() {
    ktest::TMessageBoxWatcher watcher;  // a failing version check must not hang the test
    form->Show();
    Application->ProcessMessages();
  }

  TForm1* form = nullptr;
  TForm2* about = nullptr;
};

// ---- the shipped files ---------------------------------------------------------------------

// Checks one element against the object it translates; collects what does not exist.
void CheckElement(TObject* object, TKxSimpleXMLElem* element, const std::string& where,
                  std::vector<std::string>& problems) {
  if (element->HasProps()) {
    TKxSimpleXMLProps* props = element->GetProps();
    for (int i = 0; i < props->GetCount(); ++i) {
      const std::string& name = props->GetItem(i)->Name();
      const TPropInfo* prop = GetPropInfo(object, name);
      if (prop == nullptr || !prop->IsWritable() || prop->Kind == tkClass)
        problems.push_back(where + ": no writable property " + name);
    }
  }
  if (!element->HasChildren()) return;
  TKxSimpleXMLElems* children = element->GetChildren();
  for (int i = 0; i < children->GetCount(); ++i) {
    TKxSimpleXMLElem* child = children->GetItem(i);
    if (child->Name().empty()) continue;  // comments
    auto* component = dynamic_cast<TComponent*>(object);
    if (TComponent* owned = component ? component->FindComponent(child->Name()) : nullptr) {
      CheckElement(owned, child, where + "/" + child->Name(), problems);
      continue;
    }
    const TPropInfo* prop = GetPropInfo(object, child->Name());
    TObject* value = prop && prop->Kind == tkClass ? GetObjectProp(object, prop) : nullptr;
    if (value == nullptr) {
      problems.push_back(where + ": no component or object property " + child->Name());
    } else if (auto* list = dynamic_cast<TStrings*>(value)) {
      if (!child->HasChildren()) continue;
      for (int k = 0; k < child->GetChildren()->GetCount(); ++k) {
        TKxSimpleXMLElem* entry = child->GetChildren()->GetItem(k);
        if (dynamic_cast<TKxSimpleXMLElemCData*>(entry)) continue;
        const int64_t index = entry->GetProps()->GetIntegerValue("Index", -1);
        if (index < 0 || index >= list->Count())
          problems.push_back(where + "/" + child->Name() + ": no entry " + IntToStr(index));
      }
    } else {
      CheckElement(value, child, where + "/" + child->Name(), problems);
    }
  }
}

struct TShippedFile {
  const char* Path;
  bool Main;
};
const TShippedFile kShippedFiles[] = {
    {"languages\\German\\main.xml", true},
    {"languages\\English\\main.xml", true},
    {"languages\\German\\about.xml", false},
    {"languages\\English\\about.xml", false},
};

TEST_F(LanguageWindows, ShippedFilesNameOnlyComponentsAndPropertiesThatExist) {
  for (const TShippedFile& file : kShippedFiles) {
    TKxSimpleXML xml(nullptr);
    ASSERT_NO_THROW(xml.LoadFromFile(ExeFolder() + file.Path)) << file.Path;
    TComponent* window = file.Main ? static_cast<TComponent*>(form) : about;
    ASSERT_TRUE(SameText(xml.Root()->Name(), window->Name())) << file.Path;
    std::vector<std::string> problems;
    CheckElement(window, xml.Root(), file.Path, problems);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  }
}

TEST_F(LanguageWindows, EnglishChangesEveryTextAndGermanRestoresEveryOne) {
  const std::vector<std::string> germanMain = Texts(form);
  const std::vector<std::string> germanAbout = Texts(about);

  form->Englisch1Click(nullptr);
  const std::vector<std::string> englishMain = Texts(form);
  const std::vector<std::string> englishAbout = Texts(about);
  // Every German text with words in it is either rewritten or the same in English.
  const std::vector<std::string> sameInBoth = {"Form1.Caption=Kestrava 1.2",
                                               "About1.Caption=About",
                                               "Form2.Caption=About",
                                               "sTabSheet1.Caption=ABOUT",
                                               "sLabel1.Caption=Kestrava",
                                               "sStatusBar1.SimpleText=Kestrava",
                                               "sComboBox1.Items=KB\r\nMB\r\nGB\r\n",
                                               "FontSize8px1.Caption=Font Size 8px",
                                               "FontSize9px1.Caption=Font Size 9px",
                                               "FontSize10px1.Caption=Font Size 10px",
                                               "FontSize11px1.Caption=Font Size 11px",
                                               "FontSize12px1.Caption=Font Size 12px"};
  auto checkChanged = [&](const std::vector<std::string>& before,
                          const std::vector<std::string>& after, TComponent* window) {
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
      const std::string text = before[i].substr(before[i].find('=') + 1);
      // Texts the program writes while it runs are not translated.
      if (!HasLetter(text) || before[i].rfind("sLabel5.", 0) == 0 ||
          before[i].rfind("sFontComboBox1.Items", 0) == 0 || before[i].rfind("re_split.", 0) == 0 ||
          before[i].rfind("sStatusBar1.Caption", 0) == 0)
        continue;
      const bool same =
          std::find(sameInBoth.begin(), sameInBoth.end(), before[i]) != sameInBoth.end();
      if (same)
        EXPECT_EQ(before[i], after[i]) << window->Name();
      else
        EXPECT_NE(before[i], after[i]) << window->Name() << ": not translated";
    }
  };
  checkChanged(germanMain, englishMain, form);
  checkChanged(germanAbout, englishAbout, about);

  form->Deutsch1Click(nullptr);
  EXPECT_EQ(Texts(form), germanMain);
  EXPECT_EQ(Texts(about), germanAbout);
}

TEST_F(LanguageWindows, SwitchingRewritesBothWindowsAndWritesConfig) {
  form->Englisch1Click(nullptr);
  EXPECT_EQ(form->Language, "en");
  EXPECT_EQ(form->sBitBtn1->Caption(), "Open file");
  EXPECT_EQ(form->Datei1->Caption(), "File");
  EXPECT_EQ(form->Englisch1->Caption(), "English");
  EXPECT_EQ(form->sFontComboBox1->Hint(), "Font");
  EXPECT_EQ(about->sTabSheet2->Caption(), "Instructions");
  EXPECT_EQ(about->sMemo1->Lines()->Strings(0).substr(0, 15), "Kestrava splits");
  EXPECT_EQ(ReadLanguageSetting(form->ProgramFolder), "en");

  form->Deutsch1Click(nullptr);
  EXPECT_EQ(form->Language, "de");
  EXPECT_EQ(form->sBitBtn1->Caption(), "Datei öffnen");
  EXPECT_EQ(form->ffnen1->Caption(), "Öffnen");
  EXPECT_EQ(about->sTabSheet2->Caption(), "Anleitung");
  EXPECT_EQ(ReadLanguageSetting(form->ProgramFolder), "de");
}

TEST_F(LanguageWindows, RestartComesUpInTheRememberedLanguage) {
  form->Englisch1Click(nullptr);
  NewWindows();
  // The main window is English right after its creation; the about window once the main
  // window is shown.
  EXPECT_EQ(form->Language, "en");
  EXPECT_EQ(form->sGroupBox1->Caption(), "Processing");
  EXPECT_EQ(about->sTabSheet2->Caption(), "Anleitung");
  ShowMain();
  EXPECT_EQ(about->sTabSheet2->Caption(), "Instructions");
}

TEST_F(LanguageWindows, WithoutConfigTheWindowsKeepTheirGermanTexts) {
  ShowMain();
  EXPECT_EQ(form->Language, "");
  EXPECT_EQ(form->sGroupBox1->Caption(), "Verarbeitung");
  EXPECT_EQ(about->sTabSheet2->Caption(), "Anleitung");
  EXPECT_FALSE(FileExists(ConfigPath()));
}

TEST_F(LanguageWindows, AboutWindowShowsTheVersionAndReappliesGerman) {
  form->VersionText = "1.2.0.1";
  form->Language = "de";
  about->sTabSheet2->SetCaption("changed");
  about->FormShow(nullptr);
  EXPECT_EQ(about->sLabel5->Caption(), "Version: 1.2.0.1");
  EXPECT_EQ(about->sTabSheet2->Caption(), "Anleitung");

  // With English or no language the about window's show leaves the texts alone.
  form->Language = "";
  about->sTabSheet2->SetCaption("kept");
  about->FormShow(nullptr);
  EXPECT_EQ(about->sTabSheet2->Caption(), "kept");
}

// Set by the timer that ends the modal about window: its tab caption while it was open.
std::string seenWhileOpen;

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  seenWhileOpen = Form2->sTabSheet2->Caption();
  Form2->SetModalResult(mrOk);
}

TEST_F(LanguageWindows, MenuAboutOpensTheAboutWindowInTheCurrentLanguage) {
  form->Language = "en";
  seenWhileOpen.clear();
  SetTimer(nullptr, 0, 200, &CloseAbout);
  form->About1Click(nullptr);
  EXPECT_EQ(seenWhileOpen, "Instructions");
  EXPECT_FALSE(about->Visible());
}

TEST_F(LanguageWindows, AboutWindowHasItsStoredShape) {
  EXPECT_EQ(about->Width(), 612);
  EXPECT_EQ(about->Height(), 457);
  EXPECT_EQ(about->Caption(), "About");
  EXPECT_EQ(about->BorderIcons(), TBorderIcons{biSystemMenu});
  ASSERT_EQ(about->sPageControl1->PageCount(), 2);
  EXPECT_EQ(about->sPageControl1->Pages(0), about->sTabSheet1);
  EXPECT_EQ(about->sPageControl1->Pages(1), about->sTabSheet2);
  EXPECT_EQ(about->sTabSheet1->Caption(), "ABOUT");
  EXPECT_TRUE(about->sStatusBar1->SimplePanel());
}

}  // namespace
