#include "editor/KedEditKeyCmds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "framework/VirtualKeys.h"

namespace {

const TShiftState kNone;
const TShiftState kShift{ssShift};
const TShiftState kCtrl{ssCtrl};
const TShiftState kCtrlShift{ssCtrl, ssShift};

class DefaultKeysTest : public ::testing::Test {
 protected:
  DefaultKeysTest() { keys.LoadDefaultBindings(); }

  TKedEditorCommand CommandOf(std::uint16_t key, TShiftState shift) {
    const int i = keys.IndexOfKey(key, shift);
    return i < 0 ? ecNone : keys.Items(i)->Command();
  }

  TKedEditKeyStrokes keys;
};

}  // namespace

TEST(KedEditCommandNames, EveryCommandHasOneNameAndRoundTrips) {
  EXPECT_EQ(EditorCommandNameCount(), 100);
  std::set<int> numbers;
  std::set<std::string> names;
  for (int command = 0; command <= 2000; ++command) {
    std::string name;
    if (!EditorCommandToIdent(command, name)) continue;
    numbers.insert(command);
    names.insert(name);
    int back = -1;
    ASSERT_TRUE(IdentToEditorCommand(name, back)) << name;
    EXPECT_EQ(back, command) << name;
  }
  EXPECT_EQ(numbers.size(), 100u);
  EXPECT_EQ(names.size(), 100u);
}

TEST(KedEditCommandNames, NamesAndNumbersConvertBothWays) {
  struct Case {
    int command;
    const char* name;
  } cases[] = {
      {630, "ecString"},      {0, "ecNone"},         {301, "ecGotoMarker0"},
      {310, "ecGotoMarker9"}, {355, "ecSetMarker4"}, {201, "ecCopy"},
      {1001, "ecUserFirst"},  {117, "ecSelGotoXY"},  {490, "ecContextHelp"},
  };
  for (const Case& c : cases) {
    std::string name;
    ASSERT_TRUE(EditorCommandToIdent(c.command, name));
    EXPECT_EQ(name, c.name);
  }
  int command = -1;
  EXPECT_TRUE(IdentToEditorCommand("ECSTRING", command));
  EXPECT_EQ(command, 630);
  EXPECT_FALSE(IdentToEditorCommand("ecNoSuchCommand", command));
  std::string name;
  EXPECT_FALSE(EditorCommandToIdent(18, name));
  EXPECT_EQ(EditorCommandToCodeString(18), "18");
}

TEST_F(DefaultKeysTest, LoadsEightyTwoBindingsInOrder) {
  ASSERT_EQ(keys.Count(), 82);
  struct Case {
    int index;
    std::uint16_t key;
    TShiftState shift;
    TKedEditorCommand command;
  } cases[] = {
      {0, vkUp, kNone, ecUp},
      {2, vkUp, kCtrl, ecScrollUp},
      {3, vkDown, kNone, ecDown},
      {6, vkLeft, kNone, ecLeft},
      {9, vkLeft, kCtrlShift, ecSelWordLeft},
      {29, vkEnd, kCtrlShift, ecSelEditorBottom},
      {30, vkInsert, kNone, ecToggleMode},
      {39, vkBack, TShiftState{ssAlt, ssShift}, ecRedo},
      {44, vkF1, kNone, ecContextHelp},
      {45, 'A', kCtrl, ecSelectAll},
      {57, 'Z', kCtrlShift, ecRedo},
      {58, '0', kCtrl, ecGotoMarker0},
      {68, '0', kCtrlShift, ecSetMarker0},
      {77, '9', kCtrlShift, ecSetMarker9},
      {81, 'B', kCtrlShift, ecMatchBracket},
  };
  for (const Case& c : cases) {
    const TKedEditKeyStroke* s = keys.Items(c.index);
    EXPECT_EQ(s->Key(), c.key) << c.index;
    EXPECT_EQ(s->Shift(), c.shift) << c.index;
    EXPECT_EQ(s->Command(), c.command) << c.index;
  }
  for (int i = 0; i < keys.Count(); ++i) EXPECT_EQ(keys.Items(i)->Key2(), 0) << i;
}

TEST_F(DefaultKeysTest, NoTwoDefaultBindingsShareAShortcut) {
  std::set<std::pair<TShortCut, TShortCut>> seen;
  for (int i = 0; i < keys.Count(); ++i)
    EXPECT_TRUE(seen.insert({keys.Items(i)->GetShortCut(), keys.Items(i)->GetShortCut2()}).second)
        << i;
}

TEST_F(DefaultKeysTest, IndexOfKeyFindsTheBindingOfAKeyStroke) {
  struct Case {
    std::uint16_t key;
    TShiftState shift;
    TKedEditorCommand command;
  } cases[] = {
      {vkUp, kNone, ecUp},
      {vkBack, kShift, ecDeleteLastChar},
      {vkUp, kCtrlShift, ecNone},  // no binding
      {vkInsert, kShift, ecPaste},
      {'M', kCtrl, ecLineBreak},
      {'5', kCtrl, static_cast<TKedEditorCommand>(ecGotoMarker0 + 5)},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandOf(c.key, c.shift), c.command) << c.key;
  EXPECT_EQ(keys.IndexOfKey(vkBack, kShift), 36);
  EXPECT_EQ(keys.IndexOfShortCuts(ShortCut('C', kCtrl), 0), 46);
}

TEST_F(DefaultKeysTest, TwoKeyBindingIsFoundOnlyAsAPair) {
  keys.AddBinding(ecCommentBlock, 'K', kCtrl, 'C', kNone);
  EXPECT_EQ(keys.IndexOfKey('K', kCtrl), -1);
  EXPECT_EQ(keys.IndexOfKeyPair('K', kCtrl, 'C', kNone), 82);
  EXPECT_EQ(keys.IndexOfKeyPair('K', kCtrl, 'C', kShift), -1);
  EXPECT_EQ(keys.IndexOfShortCuts(ShortCut('K', kCtrl), ShortCut('C', kNone)), 82);
}

TEST_F(DefaultKeysTest, DuplicateShortcutIsRefusedAndLeavesTheItem) {
  TKedEditKeyStroke* second = keys.Items(1);
  const TShortCut before = second->GetShortCut();
  try {
    second->SetShortCut(ShortCut('C', kCtrl));
    FAIL() << "no exception";
  } catch (const EKedKeyError& e) {
    EXPECT_EQ(e.Message(), "Shortcut already exists");
  }
  EXPECT_EQ(second->GetShortCut(), before);

  second->SetShortCut(0);  // zero is never a duplicate
  second->SetShortCut(0);
  EXPECT_EQ(second->GetShortCut(), 0);
  // Setting an item to its own shortcut is no duplicate either.
  keys.Items(0)->SetShortCut(keys.Items(0)->GetShortCut());
  // The whole pair is compared: Up Q is no duplicate of Up, but of another Up Q.
  keys.Items(0)->SetShortCut2(ShortCut('Q', kNone));
  keys.Items(2)->SetShortCut(ShortCut(vkUp, kNone));
  EXPECT_THROW(keys.Items(2)->SetShortCut2(ShortCut('Q', kNone)), EKedKeyError);
  EXPECT_EQ(keys.Items(2)->GetShortCut2(), 0);
}

TEST_F(DefaultKeysTest, DisplayNameShowsCommandAndShortcuts) {
  EXPECT_EQ(keys.Items(0)->DisplayName(), "ecUp - " + ShortCutToText(ShortCut(vkUp, kNone)));
  EXPECT_EQ(keys.Items(0)->DisplayName(), "ecUp - Up");
  TKedEditKeyStroke* pair = keys.AddBinding(1234, 'K', kCtrl, 'B', kNone);
  EXPECT_EQ(pair->DisplayName(), "1234 - Ctrl+K B");
}

TEST_F(DefaultKeysTest, AssignCopiesEveryBinding) {
  keys.AddBinding(ecCommentBlock, 'K', kCtrl, 'C', kShift);
  TKedEditKeyStrokes copy;
  copy.AddBinding(ecUp, 'Q', kNone);
  copy.Assign(&keys);
  ASSERT_EQ(copy.Count(), keys.Count());
  for (int i = 0; i < keys.Count(); ++i) {
    EXPECT_EQ(copy.Items(i)->Command(), keys.Items(i)->Command());
    EXPECT_EQ(copy.Items(i)->GetShortCut(), keys.Items(i)->GetShortCut());
    EXPECT_EQ(copy.Items(i)->GetShortCut2(), keys.Items(i)->GetShortCut2());
  }
  EXPECT_EQ(copy.Items(82)->Shift2(), kShift);
}
