// The skin manager's loading half: sources in their order over a memory file system, the
// folder resolution, loading as a transaction, hue and saturation, names, info, preview data
// and stored skins.
#include "skin/core/skinfiles/sSkinManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "skin/core/pixels/sColors.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sMessages.h"
#include "skin/core/skinfiles/skSkinPack.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

using skintest::BmpFile;
using skintest::Pixel32;
using skintest::SkinFile;
using skintest::TManagerFixture;

std::vector<uint8_t> PackedIni(const std::string& ini) {
  return PackSkin({{"Options.dat", std::vector<uint8_t>(ini.begin(), ini.end())}});
}

// Records what the manager asks of its host, in order; counts the broadcasts.
struct TRecordingHost : ISkinManagerHost {
  int loaded = 0, removed = 0, refreshed = 0;
  std::vector<std::string> messages;
  std::vector<std::string> steps;
  // The flags as each broadcast saw them.
  std::vector<bool> changeFlagAtSend, activeAtSend;
  // The step that throws (empty: none).
  std::string failAt;
  // Hosts a manager until either goes.
  void Attach(TsSkinManager& m) {
    m.SetHost(this);
    attached = &m;
  }
  ~TRecordingHost() override {
    if (attached && FindLiveSkinManager(reinterpret_cast<intptr_t>(attached)))
      attached->SetHost(nullptr);
  }
  TsSkinManager* attached = nullptr;
  void Step(const std::string& step) {
    steps.push_back(step);
    if (step == failAt) throw std::runtime_error("receiver failed at " + step);
  }
  void SendToAllForms(TsSkinManager& m, int cmd) override {
    loaded += cmd == CmdSkinChanged;
    removed += cmd == CmdRemoveSkin;
    refreshed += cmd == CmdRefresh;
    changeFlagAtSend.push_back(SkinChangeInProgress);
    activeAtSend.push_back(m.CurrentSkin().Active);
    Step(cmd == CmdSkinChanged  ? "SkinChanged"
         : cmd == CmdRemoveSkin ? "RemoveSkin"
         : cmd == CmdRefresh    ? "Refresh"
         : cmd == CmdStopFade   ? "StopFade"
                                : "cmd " + std::to_string(cmd));
  }
  void FreeAllGlows() override { Step("FreeAllGlows"); }
  void PrepareSkinChangeAnimation(TsSkinManager&) override { Step("Prepare"); }
  void FreezeFormsForSkinChange(TsSkinManager&) override { Step("Freeze"); }
  void FinishSkinChangeAnimation(TsSkinManager&, bool animate) override {
    Step(animate ? "Finish" : "FinishStill");
  }
  void AbandonSkinChangeAnimation(TsSkinManager&) override { steps.push_back("Abandon"); }
  void RedrawDialogs() override { Step("RedrawDialogs"); }
  void InstallCbtHook(TsSkinManager&) override { Step("InstallHook"); }
  void RemoveCbtHook(TsSkinManager&) override { Step("RemoveHook"); }
  void SkinStateChanged(TsSkinManager&) override { Step("Menus"); }
  void ShowMessage(TsSkinManager&, const std::string& text, bool) override {
    messages.push_back(text);
  }
};

std::string GlobalColorOf(const TsSkinManager& m) { return IntToStr(m.GlobalColor()); }

TEST(SkinManagerTest, ResolvesTheSkinFolder) {
  const struct {
    const char* app;
    const char* property;
    const char* resolved;
  } cases[] = {
      {"C:\\App\\", "Skins", "C:\\App\\Skins"},
      {"C:\\App\\", "..\\Skins", "C:\\Skins"},
      {"C:\\App\\", ".\\Skins", "C:\\App\\Skins"},
      {"C:\\App\\", "./Skins", "C:\\App\\Skins"},
      {"C:\\App\\", "\\\\server\\share", "\\\\server\\share"},
      {"C:\\App\\", "D:\\Skins", "D:\\Skins"},
      {"C:\\", "..\\Skins", "C:\\Skins"},  // a drive root has no parent: ".." stays there
      {"C:\\A\\B\\", "..\\Skins", "C:\\A\\Skins"},
  };
  for (const auto& c : cases) {
    TsSkinManager m(nullptr);
    m.SetAppFolder(c.app);
    m.SetSkinDirectory(c.property);
    EXPECT_EQ(m.ResolveSkinDirectory(), c.resolved) << c.app << " + " << c.property;
  }
  TsSkinManager m(nullptr);
  EXPECT_EQ(m.SkinDirectory(), "c:\\Skins");
}

TEST(SkinManagerTest, SourcesAreTriedInOrder) {
  TManagerFixture f;
  TsSkinManager& m = *f.Manager;
  m.InternalSkins()->AddSkin("Other", PackedIni("[GLOBALINFO]\nCOLOR=3"));
  m.InternalSkins()->AddSkin("Name", PackedIni("[GLOBALINFO]\nCOLOR=2"));
  f.AddFolderSkin("Name", "[GLOBALINFO]\nCOLOR=1");
  f.Fs.AddFile("C:\\App\\Skins\\Name.asz", PackedIni("[GLOBALINFO]\nCOLOR=0"));

  m.SetSkinName("Name");
  EXPECT_EQ(GlobalColorOf(m), "0");  // the packed file first
  EXPECT_TRUE(m.LoadedFromPack());
  EXPECT_EQ(m.CurrentSkin().SkinPath, "C:\\App\\Skins\\");

  f.Fs.AddFile("C:\\App\\Skins\\Name.asz", std::string());  // an empty file is damaged
  f.Fs.Clear();
  f.AddFolderSkin("Name", "[GLOBALINFO]\nCOLOR=1");
  m.SetSkinName("Name");
  EXPECT_EQ(GlobalColorOf(m), "1");  // then the folder
  EXPECT_FALSE(m.LoadedFromPack());
  EXPECT_EQ(m.CurrentSkin().SkinPath, "C:\\App\\Skins\\Name\\");

  f.Fs.Clear();
  m.SetSkinName("Name");
  EXPECT_EQ(GlobalColorOf(m), "2");  // then the stored skin of that name
  EXPECT_TRUE(m.LoadedFromPack());

  m.SetSkinName("Unknown");
  EXPECT_EQ(GlobalColorOf(m), "3");  // then the first stored skin, whose name it takes
  EXPECT_EQ(m.SkinName(), "Other");

  TManagerFixture empty;
  empty.Manager->SetSkinName("Nothing");
  EXPECT_FALSE(empty.Manager->Active());  // no source at all: the manager switches off
  EXPECT_TRUE(empty.Manager->Sections().empty());
  EXPECT_EQ(empty.Manager->FixedIndexes().GlobalInfo, -1);
}

TEST(SkinManagerTest, StoredSkinNamesAreCaseSensitive) {
  TsStoredSkins skins;
  skins.AddSkin("WMP 2008 (internal)", {});
  EXPECT_EQ(skins.IndexOfName("WMP 2008 (internal)"), 0);
  EXPECT_EQ(skins.IndexOfName("wmp 2008 (internal)"), -1);

  // Copying takes the whole Data, wherever its position stands.
  TsStoredSkin* source = skins.AddSkin("A", {1, 2, 3, 4});
  source->Data()->SetPosition(3);
  TsStoredSkin* copy = skins.AddSkin("", {});
  copy->Assign(source);
  EXPECT_EQ(copy->Name, "A");
  ASSERT_EQ(copy->Data()->Size(), 4);
  EXPECT_EQ(copy->Data()->Memory()[0], 1);
  EXPECT_THROW(copy->Assign(nullptr), EConvertError);
}

TEST(SkinManagerTest, AStoredSkinWithEmptyDataLoadsNoTables) {
  TManagerFixture f;
  f.Manager->InternalSkins()->AddSkin("Empty", {});
  f.Manager->SetSkinName("Empty");
  EXPECT_TRUE(f.Manager->Active());
  EXPECT_FALSE(f.Manager->LoadedFromPack());
  EXPECT_TRUE(f.Manager->Sections().empty());
}

// Every damaged skin fails with its message and leaves the skin before it in force.
TEST(SkinManagerTest, ABrokenSkinLeavesThePreviousSkinLoaded) {
  const std::pair<const char*, const char*> cases[] = {
      {"truncated-stream", "is cut off"},
      {"count-huge", "number of entries"},
      {"size-too-large", "less than its stated size"},
      {"stream-corrupt", "data error"},
      {"stream-dictionary", "need dictionary"},
      {"options-missing", "no Options.dat"},
      {"options-twice", "Options.dat twice"},
      {"tag-wrong-case", "not a packed skin file"},
      {"ini-zero-imagecount", "image count 0"},
      {"ini-zero-width-own", "image count 0"},
      {"ini-negative-field", "negative values are not allowed"},
      {"ini-short-field", "too short"},
      {"ini-not-a-number", "'00x0' is not a valid integer value"},
      {"ini-outside-master", "outside the master image"},
      {"ini-inverted-rect", "inverted"},
      {"ini-unknown-masktype", "unknown mask type 7"},
      {"ini-negative-kind", "negative mask kind"},
      {"ini-huge-image", "too large"},
      {"ini-bad-shadow", "'abc' is not a valid integer value"},
      {"ini-parent-cycle", "Skin section [A]: its PARENTCLASS chain comes back to section [A]"},
  };
  for (const auto& [name, words] : cases) {
    TManagerFixture f;
    TRecordingHost host;
    host.Attach(*f.Manager);
    skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
    f.Manager->SetSkinName("Test");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    const size_t sections = f.Manager->Sections().size();
    const size_t masks = f.Manager->Masks().size();
    TBitmap* master = f.Manager->MasterImage();
    const TsFixedIndexes fixed = f.Manager->FixedIndexes();

    f.Fs.AddFile(std::string("C:\\App\\Skins\\") + name + ".asz",
                 SkinFile(std::string("broken/") + name + ".asz"));
    f.Manager->SetSkinName(name);
    EXPECT_NE(f.Manager->LastLoadError().find(words), std::string::npos)
        << name << ": " << f.Manager->LastLoadError();
    ASSERT_EQ(host.messages.size(), 1u) << name;
    EXPECT_EQ(host.messages[0], f.Manager->LastLoadError());
    EXPECT_EQ(f.Manager->SkinName(), "Test") << name;
    EXPECT_TRUE(f.Manager->Active());
    EXPECT_EQ(f.Manager->Sections().size(), sections) << name;
    EXPECT_EQ(f.Manager->Masks().size(), masks) << name;
    EXPECT_EQ(f.Manager->MasterImage(), master) << name;
    EXPECT_EQ(f.Manager->FixedIndexes().GlobalInfo, fixed.GlobalInfo);
    EXPECT_EQ(f.Manager->SkinInfo(), "7.1") << name;
    EXPECT_EQ(host.loaded, 1) << name;
  }
}

// Every file in broken/, whatever skingen adds there later, fails and keeps the skin in force.
TEST(SkinManagerTest, EveryGeneratedBrokenSkinFails) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(skintest::SkinsDir()) / "broken")) {
    const std::string name = entry.path().stem().string();
    TManagerFixture f;
    f.Manager->InternalSkins()->AddSkin("Good", PackedIni("[GLOBALINFO]\nVERSION=7.1"));
    f.Manager->SetSkinName("Good");
    f.Fs.AddFile("C:\\App\\Skins\\" + name + ".asz", SkinFile("broken/" + name + ".asz"));
    f.Manager->SetSkinName(name);
    EXPECT_FALSE(f.Manager->LastLoadError().empty()) << name;
    EXPECT_EQ(f.Manager->SkinName(), "Good") << name;
    EXPECT_EQ(f.Manager->SkinInfo(), "7.1") << name;
    ++count;
  }
  EXPECT_GE(count, 30);
}

TEST(SkinManagerTest, OurSkinsLoadInAllThreeForms) {
  for (const char* name : {"Test", "Full", "Office12Style", "WMP 2008 (internal)"}) {
    for (int form = 0; form < 3; ++form) {
      TManagerFixture f;
      if (form == 0)
        f.Fs.AddFile(std::string("C:\\App\\Skins\\") + name + ".asz",
                     SkinFile(std::string("packed/") + name + ".asz"));
      else if (form == 1)
        skintest::AddSkinFolder(f.Fs, name, std::string("C:\\App\\Skins\\") + name);
      else
        f.Manager->InternalSkins()->AddSkin(name,
                                            SkinFile(std::string("stored/") + name + ".skin"));
      f.Manager->SetSkinName(name);
      ASSERT_EQ(f.Manager->LastLoadError(), "") << name << " form " << form;
      EXPECT_EQ(f.Manager->SkinName(), name);
      EXPECT_FALSE(f.Manager->Sections().empty());
      EXPECT_FALSE(f.Manager->MasterImage()->Empty()) << name;
    }
  }
}

TEST(SkinManagerTest, FindsAndLoadsOurSkinsOnDisk) {
  TsSkinManager m(nullptr);
  m.SetAppFolder("");  // the skin folders below are absolute already
  m.SetSkinDirectory(skintest::SkinsDir() + "/packed");
  TStringList names;
  EXPECT_EQ(m.GetSkinNames(&names, snAll).empty(), false);
  EXPECT_EQ(names.Text(), "Full\r\nOffice12Style\r\nTest\r\nWMP 2008 (internal)\r\n");
  m.SetSkinName("WMP 2008 (internal)");
  EXPECT_EQ(m.LastLoadError(), "");
  EXPECT_TRUE(m.LoadedFromPack());
  m.SetSkinDirectory(skintest::SkinsDir() + "/folders");
  m.SetSkinName("Office12Style");
  EXPECT_EQ(m.LastLoadError(), "");
  EXPECT_FALSE(m.LoadedFromPack());
  EXPECT_GE(m.GetSectionIndex("FORMTITLE"), 0);
}

TEST(SkinManagerTest, TheFullSkinHasEverythingTheWindowsLookUp) {
  TManagerFixture f;
  f.Fs.AddFile("C:\\App\\Skins\\Full.asz", SkinFile("packed/Full.asz"));
  f.Manager->SetSkinName("Full");
  TRecordingHost host;
  host.Attach(*f.Manager);
  f.Manager->BroadcastNewSkin(false);
  const TsFixedIndexes& x = f.Manager->FixedIndexes();
  const int all[] = {x.GlobalInfo,     x.BoxChecked,      x.BoxUnchecked,       x.BoxGrayed,
                     x.RadioChecked,   x.RadioUnchecked,  x.RadioGrayed,        x.SmallChecked,
                     x.SmallUnchecked, x.SmallGrayed,     x.ExBorder,           x.ComboBtn,
                     x.ComboBtnBorder, x.ComboBtnPattern, x.ComboBtnHotPattern, x.ComboGlyph};
  for (int index : all) EXPECT_GE(index, 0);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_GE(x.Tab[i], 0);
    EXPECT_GE(x.TabMask[i], 0);
    EXPECT_GE(x.ScrollBtn[i].GlyphMask, 0);
    EXPECT_GE(x.ScrollBar[i].Pattern, 0);
    EXPECT_GE(x.ScrollBar[i].HotPattern, 0);
  }
  EXPECT_GE(x.ScrollSliderV.GlyphMask, 0);
  EXPECT_GE(x.ScrollSliderH.BorderMask, 0);
  for (const char* section :
       {"FORM",        "FORMTITLE", "EDIT",      "BUTTON",      "COMBOBOX",   "CHECKBOX",
        "RADIOBUTTON", "GROUPBOX",  "PANEL",     "TOOLBAR",     "TOOLBUTTON", "STATUSBAR",
        "GAUGE",       "PROGRESSH", "PROGRESSV", "PAGECONTROL", "COLHEADER",  "TRACKBAR",
        "SELECTION",   "MAINMENU",  "MENUITEM",  "MENULINE",    "ICOLINE",    "SPEEDBUTTON",
        "UPDOWNBTN",   "DIALOG"})
    EXPECT_GE(f.Manager->GetSectionIndex(section), 0) << section;
  EXPECT_EQ(f.Manager->CurrentSkin().Active, true);
  EXPECT_EQ(host.loaded, 1);
}

TEST(SkinManagerTest, HueAndSaturationRecolourImagesAndColours) {
  TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  TsSkinManager& m = *f.Manager;
  TRecordingHost host;
  host.Attach(m);
  m.SetSkinName("Test");
  const TColor buttonColor = m.Sections()[static_cast<size_t>(m.GetSectionIndex("BUTTON"))].Color;
  const int refreshedBefore = host.refreshed;
  m.SetHueOffset(120);
  EXPECT_EQ(host.refreshed, refreshedBefore + 1);
  TBitmap& master = *m.MasterImage();
  EXPECT_EQ(Pixel32(master, 5, 5), ChangeHue(120, 0xFFFF0000u));  // red turned
  EXPECT_EQ(Pixel32(master, 205, 5), 0x00FF00FFu);                // key pixels stay
  EXPECT_EQ(Pixel32(master, 250, 250), 0xFFFFFFFFu);              // grey stays
  const TsGeneralData& button = m.Sections()[static_cast<size_t>(m.GetSectionIndex("BUTTON"))];
  EXPECT_EQ(button.Color, ChangeColorHue(120, buttonColor));
  EXPECT_EQ(button.Props[0].Color, button.Color);

  m.SetHueOffset(0);
  m.SetSaturation(-100 - 101);  // taken mod 101: -100, all grey
  const uint32_t grey = Pixel32(*m.MasterImage(), 5, 5);
  EXPECT_EQ((grey >> 16) & 0xFF, grey & 0xFF);
  EXPECT_EQ((grey >> 8) & 0xFF, grey & 0xFF);
  EXPECT_EQ(Pixel32(*m.MasterImage(), 205, 5), 0x00FF00FFu);
}

TEST(SkinManagerTest, InfoNamesAndActivity) {
  TManagerFixture f;
  TsSkinManager& m = *f.Manager;
  TRecordingHost host;
  host.Attach(m);
  EXPECT_EQ(m.SkinInfo(), "N/A");
  m.InternalSkins()->AddSkin("zeta", PackedIni("[GLOBALINFO]\nVERSION=8.5"));
  f.AddFolderSkin("Alpha", "[GLOBALINFO]");
  f.Fs.AddFile("C:\\App\\Skins\\Beta.asz", PackedIni("[GLOBALINFO]\nVERSION=7.1"));
  f.Fs.AddFile("C:\\App\\Skins\\gamma.v2.asz", PackedIni("[A]"));
  f.Fs.AddFile("C:\\App\\Skins\\delta.ASZ", PackedIni("[A]"));
  f.Fs.AddFolder("C:\\App\\Skins\\NoOptions");
  f.AddFolderSkin(".hidden", "[A]");
  TStringList names;
  EXPECT_EQ(m.GetSkinNames(&names, snAll), "zeta");
  EXPECT_EQ(names.Text(), "Alpha\r\nBeta\r\ngamma\r\nzeta\r\n");
  m.GetSkinNames(&names, snFolders);
  EXPECT_EQ(names.Text(), "Alpha\r\nzeta\r\n");
  m.GetSkinNames(&names, snPacked);
  EXPECT_EQ(names.Text(), "Beta\r\ngamma\r\nzeta\r\n");

  m.SetSkinName("Beta");
  EXPECT_EQ(m.SkinInfo(), "7.1");
  m.SetSkinName("zeta");  // made for a newer engine: loads, with a note
  EXPECT_EQ(m.SkinInfo(), "8.5");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("This version of the skin"), std::string::npos);

  m.SetActive(false);
  EXPECT_EQ(host.removed, 1);
  EXPECT_EQ(m.SkinInfo(), "N/A");
  EXPECT_TRUE(m.Sections().empty());
  m.SetActive(true);  // loads the current name again
  EXPECT_EQ(m.SkinInfo(), "8.5");

  EXPECT_TRUE(m.IsDefault());
  m.SetIsDefault(false);
  EXPECT_TRUE(m.IsDefault());  // the default manager keeps the role
}

TEST(SkinManagerTest, SelectionAndGlobalColours) {
  TManagerFixture f;
  TsSkinManager& m = *f.Manager;
  EXPECT_EQ(m.GlobalColor(), clBtnFace);
  EXPECT_EQ(m.GlobalFontColor(), clFuchsia);
  EXPECT_EQ(m.SelectionColor(false), clHighlight);
  EXPECT_EQ(m.SelectionTextColor(true), clHighlightText);
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  m.SetSkinName("Test");
  EXPECT_EQ(m.GlobalColor(), 13421772);
  EXPECT_EQ(m.SelectionColor(false), MakeColor(0, 120, 215));
  EXPECT_EQ(m.SelectionColor(true), MakeColor(0, 90, 180));
  EXPECT_EQ(m.SelectionTextColor(true), MakeColor(255, 255, 0));
  EXPECT_EQ(m.EditTextColor(), clWindowText);
}

TEST(SkinManagerTest, MaskWidthsFallBackToTheBorderWidthAndTheStateSize) {
  TManagerFixture f;
  f.AddFolderSkin("S",
                  "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[A]\nG=@0000,0000,0060,0021,3,1\n"
                  "H=#(0,0,30,30)(1,0,5,1)",
                  {{"M.BMP", BmpFile(64, 64, clWhite)}});
  TsSkinManager& m = *f.Manager;
  m.SetSkinName("S");
  ASSERT_EQ(m.Masks().size(), 2u);
  EXPECT_EQ(m.MaskWidthLeft(0), 20);
  EXPECT_EQ(m.MaskWidthTop(0), 10);  // 21 div 2
  EXPECT_EQ(m.MaskWidthRight(1), 5);
  EXPECT_EQ(m.MaskWidthBottom(99), 0);
}

TEST(SkinManagerTest, PreviewDataIsTakenOnlyWhole) {
  TManagerFixture f;
  TsSkinManager& m = *f.Manager;
  TRecordingHost host;
  host.Attach(m);
  std::vector<uint8_t> block(TSkinPreviewData::BlockSize, 'x');  // no terminators anywhere
  const uint32_t signature = TSkinPreviewData::Signature;
  std::memcpy(block.data(), &signature, 4);
  TSkinPreviewData preview;
  ASSERT_TRUE(ParseSkinPreviewData(block.data(), block.size(), preview));
  EXPECT_EQ(preview.SkinName.size(), TSkinPreviewData::NameSize);
  EXPECT_EQ(preview.SkinFolder.size(), TSkinPreviewData::FolderSize);
  EXPECT_EQ(preview.OptionsText.size(), TSkinPreviewData::TextSize);
  EXPECT_FALSE(ParseSkinPreviewData(block.data(), block.size() - 1, preview));
  block[1] = 0;
  EXPECT_FALSE(ApplySkinPreviewData(m, block.data(), block.size()));
  EXPECT_FALSE(SkinPreviewMode);

  std::vector<uint8_t> good(TSkinPreviewData::BlockSize, 0);
  std::memcpy(good.data(), &signature, 4);
  std::memcpy(good.data() + 4, "Edited", 6);
  std::memcpy(good.data() + 132, "C:\\Work", 7);
  const char ini[] = "[GLOBALINFO]\r\nCOLOR=4660";
  std::memcpy(good.data() + 645, ini, sizeof ini - 1);
  EXPECT_TRUE(ApplySkinPreviewData(m, good.data(), good.size()));
  EXPECT_TRUE(SkinPreviewMode);
  EXPECT_EQ(m.SkinName(), "Edited");
  EXPECT_EQ(m.SkinDirectory(), "C:\\Work");
  EXPECT_EQ(m.GlobalColor(), 4660);
  EXPECT_EQ(host.loaded, 1);  // once, at the end of the batch
  SkinPreviewMode = false;
}

TEST(SkinManagerTest, CommonSectionsAddSectionsMasksAndPatterns) {
  TManagerFixture f;
  f.AddFolderSkin("S",
                  "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[BUTTON]\nCOLOR=255\nGLOW=3\n"
                  "[EDIT]\nCOLOR=1",
                  {{"M.BMP", BmpFile(64, 64, clWhite)}, {"EXTRA.BMP", BmpFile(8, 4, clRed)}});
  TStringList lines;
  lines.SetText(
      "[MYBUTTON]\nPARENT CLASS = button\nFONTCOLOR=128\nGLOW=-1\nGSIZE=\n"
      "FRAME=#(0,0,30,30)(3,1,2,1)\n; a comment keeps its blanks\nPIC=extra.bmp\n"
      "[EDIT]\nCOLOR=7");
  TsSkinManager& m = *f.Manager;
  m.SetCommonSections(lines);
  EXPECT_EQ(m.CommonSections()[1], "PARENTCLASS=button");
  EXPECT_EQ(m.CommonSections()[6], "; a comment keeps its blanks");
  m.SetSkinName("S");
  ASSERT_EQ(m.LastLoadError(), "");
  ASSERT_EQ(m.Sections().size(), 4u);
  const TsGeneralData& added = m.Sections()[3];
  EXPECT_EQ(added.ClassName, "MYBUTTON");
  EXPECT_EQ(added.ParentClass, "BUTTON");
  EXPECT_EQ(added.FontColor, 128);  // its own
  EXPECT_EQ(added.Color, 255);      // the parent skin section's
  EXPECT_EQ(added.Glow, 3);         // an explicit -1 takes the parent's
  EXPECT_EQ(added.States, 4);
  EXPECT_EQ(m.Sections()[static_cast<size_t>(m.GetSectionIndex("EDIT"))].Color, 1);  // kept
  const int frame = FindMaskIndex(&m, "MYBUTTON", "FRAME");
  ASSERT_GE(frame, 0);
  EXPECT_EQ(m.Masks()[static_cast<size_t>(frame)].SourceRect, (TRect{0, 0, 30, 30}));
  EXPECT_EQ(m.Masks()[static_cast<size_t>(frame)].BorderWidth, 2);
  const int pic = FindMaskIndex(&m, "MYBUTTON", "PIC");
  ASSERT_GE(pic, 0);
  EXPECT_EQ(m.Masks()[static_cast<size_t>(pic)].Image->Width(), 8);
  EXPECT_EQ(m.Masks()[static_cast<size_t>(pic)].ImageCount, 0);
}

TEST(SkinManagerTest, ThirdPartyListsTakeTheirDefaultsWhenLeftEmpty) {
  TsSkinManager m(nullptr);
  m.BeginLoading();
  m.ThirdParty()->Texts[tpEdits] = " \r\nTKedEdit\r\nTKedMemo\r\nTDBKedEdit";
  m.ThirdParty()->Texts[tpGrids] = "";
  m.EndLoading();
  EXPECT_EQ(m.ThirdPartyLists(tpEdits).IndexOf("TKedMemo"), 2);
  EXPECT_EQ(m.ThirdPartyLists(tpEdits).IndexOf("tkedmemo"), -1);  // case-sensitive
  EXPECT_EQ(m.ThirdParty()->Texts[tpGrids], " ");
  EXPECT_EQ(m.ThirdPartyLists(tpButtons).IndexOf("TButton"), 0);
  m.ThirdPartyLists(tpPanels).Add("TMyPanel");
  m.WriteThirdParty();
  EXPECT_NE(m.ThirdParty()->Texts[tpPanels].find("TMyPanel"), std::string::npos);
}

TEST(SkinConstantsTest, TextsAndValues) {
  InitSkinConstants(17);
  EXPECT_EQ(SkinTextOK, "OK");
  EXPECT_EQ(SkinTextRoot, "Root :");
  EXPECT_EQ(SkinTextAvailableSkins, "Available skins");
  EXPECT_EQ(SkinTextInternal, "(internal)");
  EXPECT_EQ(SkinScrollBarWidth, 17);
  EXPECT_EQ(SkinKeyColor, 0xFF00FF);
  EXPECT_EQ(ThirdPartyList::DefaultText(tpButtons), "TButton");
  EXPECT_EQ(ThirdPartyList::DefaultText(tpEdits), " ");
}

}  // namespace

namespace {

using TSteps = std::vector<std::string>;

// The broadcast steps of a new skin, a removal and a refresh, in the order windows see them.
TEST(SkinManagerBroadcast, EachChangeRunsItsStepsInOrder) {
  TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  TsSkinManager& m = *f.Manager;
  TRecordingHost host;
  host.Attach(m);

  m.SetSkinName("Plain");  // a switch is animated
  EXPECT_EQ(host.steps, (TSteps{"FreeAllGlows", "Freeze", "SkinChanged", "InstallHook", "Menus",
                                "StopFade", "Refresh", "Finish", "RedrawDialogs"}));
  // CmdSkinChanged goes out with the change flag set and the skin not yet in force.
  EXPECT_TRUE(host.changeFlagAtSend[0]);
  EXPECT_FALSE(host.activeAtSend[0]);
  EXPECT_TRUE(host.activeAtSend[2]);  // CmdRefresh: in force
  EXPECT_FALSE(SkinChangeInProgress);
  EXPECT_FALSE(SkinLoadInProgress);
  EXPECT_TRUE(m.CurrentSkin().Active);

  host.steps.clear();
  m.BroadcastNewSkin(false);
  EXPECT_EQ(host.steps, (TSteps{"FreeAllGlows", "SkinChanged", "InstallHook", "Menus"}));

  host.steps.clear();
  m.SetHueOffset(40);  // read again: refreshed with the forms frozen
  EXPECT_EQ(host.steps, (TSteps{"StopFade", "Freeze", "Refresh", "Finish", "RedrawDialogs"}));
  host.steps.clear();
  m.BeginSkinBatch();
  m.SetSaturation(10);  // inside a batch: read, not sent
  EXPECT_TRUE(host.steps.empty());
  m.EndSkinBatch(false, true);
  EXPECT_EQ(host.steps, (TSteps{"FreeAllGlows", "SkinChanged", "InstallHook", "Menus"}));

  host.steps.clear();
  m.SetActive(false);
  EXPECT_EQ(host.steps, (TSteps{"FreeAllGlows", "RemoveHook", "RemoveSkin", "Menus"}));
  EXPECT_TRUE(m.Sections().empty());
  EXPECT_FALSE(m.Unskinning());
}

// A receiver's exception goes on to the caller, but no form stays frozen and no flag stays set.
TEST(SkinManagerBroadcast, AFailingStepAbandonsTheAnimationAndClearsTheFlags) {
  for (const char* failing : {"Freeze", "SkinChanged", "InstallHook", "Refresh", "Finish"}) {
    TManagerFixture f;
    f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
    TRecordingHost host;
    host.Attach(*f.Manager);
    host.failAt = failing;
    EXPECT_THROW(f.Manager->SetSkinName("Plain"), std::runtime_error) << failing;
    EXPECT_FALSE(SkinChangeInProgress) << failing;
    EXPECT_FALSE(SkinLoadInProgress) << failing;
    EXPECT_EQ(host.steps.back(), "Abandon") << failing;
  }
  TManagerFixture f;
  TRecordingHost host;
  host.Attach(*f.Manager);
  f.Manager->SetSkinName("Plain");
  host.failAt = "RemoveSkin";
  EXPECT_THROW(f.Manager->SetActive(false), std::runtime_error);
  EXPECT_FALSE(f.Manager->Unskinning());
}

// A manager freed while its skin is active tells every window, so that none keeps it.
TEST(SkinManagerBroadcast, AFreedManagerRemovesItsSkinFromEveryWindow) {
  TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  TRecordingHost host;
  host.Attach(*f.Manager);
  f.Manager->SetSkinName("Plain");
  host.steps.clear();
  f.Manager.reset();
  EXPECT_EQ(host.steps, (TSteps{"FreeAllGlows", "RemoveHook", "RemoveSkin", "Menus"}));
  EXPECT_EQ(DefaultManager, nullptr);
}

}  // namespace

namespace {

// Taking the default role broadcasts the manager's state; giving it up is not possible.
TEST(SkinManagerBroadcast, TakingTheDefaultRoleBroadcastsTheManagersState) {
  TManagerFixture f;
  ASSERT_TRUE(f.Manager->IsDefault());
  auto second = std::make_unique<TsSkinManager>(nullptr);
  TRecordingHost host;
  host.Attach(*second);
  second->SetIsDefault(false);
  EXPECT_FALSE(second->IsDefault());
  EXPECT_TRUE(host.steps.empty());

  second->SetIsDefault(true);
  EXPECT_TRUE(second->IsDefault());
  EXPECT_EQ(host.steps.front(), "FreeAllGlows");
  EXPECT_EQ(host.loaded, 1);
  EXPECT_EQ(std::count(host.steps.begin(), host.steps.end(), "InstallHook"), 1);

  f.Manager->SetIsDefault(false);  // another manager holds the role: nothing changes
  EXPECT_EQ(DefaultManager, second.get());
  host.steps.clear();
  second->SetActive(false);
  second->SetIsDefault(true);  // inactive: its state is the removal
  EXPECT_EQ(host.steps,
            (std::vector<std::string>{"FreeAllGlows", "RemoveHook", "RemoveSkin", "Menus",
                                      "FreeAllGlows", "RemoveHook", "RemoveSkin", "Menus"}));
  second.reset();
  EXPECT_EQ(DefaultManager, nullptr);  // no other manager takes the role
}

}  // namespace
