// The shell controls' names without the shell: special folders, extensions of shown names,
// folder parts, a tree root's text, the picker's new folder name, and dropped paths.
#include "skin/controls/skShellNames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ShellNames, RootNamesMapToTheirFoldersWhateverTheirCase) {
  struct TCase {
    const char* Name;
    std::optional<TskRootFolder> Folder;
    int Csidl;
  } const cases[] = {
      {"rfDesktop", TskRootFolder::rfDesktop, 0x00},
      {"RFMYCOMPUTER", TskRootFolder::rfMyComputer, 0x11},
      {"rfcontrolpanel", TskRootFolder::rfControlPanel, 0x03},
      {"rfPersonal", TskRootFolder::rfPersonal, 0x05},
      {"rfNetwork", TskRootFolder::rfNetwork, 0x12},
      {"rfTemplates", TskRootFolder::rfTemplates, 0x15},
      {"C:\\", std::nullopt, 0},
      {"rfDesktop2", std::nullopt, 0},
      {"", std::nullopt, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(RootFolderValue(c.Name), c.Folder);
    if (c.Folder) {
      EXPECT_EQ(RootFolderCsidl(*c.Folder), c.Csidl);
    }
  }
  EXPECT_STREQ(RootFolderName(TskRootFolder::rfMyComputer), "rfMyComputer");
}

TEST(ShellNames, ObjectTypesBecomeEnumerationFlags) {
  EXPECT_EQ(ObjectTypesToEnumFlags(otFolders), 0x20u);
  EXPECT_EQ(ObjectTypesToEnumFlags(otNonFolders), 0x40u);
  EXPECT_EQ(ObjectTypesToEnumFlags(otFolders | otNonFolders | otHidden), 0xE0u);
  EXPECT_EQ(ObjectTypesToEnumFlags(0), 0u);
}

TEST(ShellNames, RootTextsCompareByLengthAndAsciiCase) {
  EXPECT_TRUE(SameRootText("C:\\Temp", "c:\\tEMP"));
  EXPECT_FALSE(SameRootText("C:\\Temp", "C:\\Temp\\"));
  EXPECT_FALSE(SameRootText("\xC4", "\xE4")) << "only ASCII letters ignore case";
}

TEST(ShellNames, ExtensionsStartAtTheLastDotOfTheLastComponent) {
  struct TCase {
    const char* Name;
    const char* Extension;
  } const cases[] = {
      {"a.txt", ".txt"}, {"a.tar.gz", ".gz"}, {"C:\\dir.x\\file", ""}, {"C:\\dir\\file.", "."},
      {"noext", ""},     {"D:.cfg", ".cfg"},  {"x.y:z", ""},           {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(ShellItemExtension(c.Name), c.Extension) << c.Name;
}

TEST(ShellNames, ShownNamesFollowTheExtensionMode) {
  using enum TskShowExtension;
  struct TCase {
    const char* Shown;
    std::optional<std::string> Real;
    TskShowExtension Mode;
    const char* Result;
  } const cases[] = {
      {"a", ".txt", seShow, "a.txt"},
      {"a", ".txt", seHide, "a"},
      {"a", ".txt", seSystem, "a"},
      {"a.txt", ".txt", seShow, "a.txt"},
      {"a.txt", ".txt", seHide, "a"},
      {"a.txt", ".txt", seSystem, "a.txt"},
      {"folder.v2", std::nullopt, seHide, "folder.v2"},  // no file: a folder keeps its name
      {"folder", std::nullopt, seShow, "folder"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Shown) + " " + std::to_string(static_cast<int>(c.Mode)));
    EXPECT_EQ(ApplyShowExtension(c.Shown, c.Real, c.Mode), c.Result);
  }
  EXPECT_EQ(CleanShownName("?1?2"), "12");
  EXPECT_EQ(CleanShownName("?a?"), "?a?");
  EXPECT_EQ(CleanShownName("?"), "?");
}

TEST(ShellNames, FolderPartsAndRootNodeTexts) {
  struct TCase {
    const char* Path;
    const char* Folder;
    const char* Last;
  } const cases[] = {
      {"C:\\data\\dump.sql", "C:\\data\\", "dump.sql"},
      {"C:\\data\\", "C:\\data\\", "data"},
      {"C:\\", "C:\\", "C:"},
      {"C:x", "C:", "C:x"},
      {"name", "", "name"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(FolderPartOfPath(c.Path), c.Folder);
    EXPECT_EQ(LastPathComponent(c.Path), c.Last);
  }
}

TEST(ShellNames, ANewFolderTakesTheFirstFreeNumber) {
  std::set<std::string> present{"C:\\t\\New folder1", "C:\\t\\New folder2"};
  auto exists = [&](const std::string& path) { return present.count(path) > 0; };
  EXPECT_EQ(NextNewFolderName("C:\\t\\", exists), "C:\\t\\New folder3");
  EXPECT_EQ(NextNewFolderName("C:\\u\\", exists), "C:\\u\\New folder1");
  EXPECT_EQ(NextNewFolderName(
                "C:\\t\\", [](const std::string&) { return true; }, 5),
            "")
      << "every candidate taken: no name";
}

TEST(ShellNames, ADroppedPathReplacesOrExtendsTheText) {
  struct TCase {
    const char* Text;
    const char* Dropped;
    bool IsFile, Multiple;
    const char* Result;
  } const cases[] = {
      {"C:\\old", "C:\\new", false, false, "C:\\new"},
      {"C:\\old", "C:\\new", false, true, "C:\\old;C:\\new"},
      {"", "C:\\new", false, true, "C:\\new"},
      {"", "C:\\data\\dump.sql", true, false, "C:\\data\\"},
      {"C:\\a", "C:\\data\\dump.sql", true, true, "C:\\a;C:\\data\\"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TextAfterDrop(c.Text, c.Dropped, c.IsFile, c.Multiple), c.Result) << c.Dropped;
}

}  // namespace
