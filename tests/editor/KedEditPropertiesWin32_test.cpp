// The editor's published properties as the translator and the skin engine see them: read
// and written by name through the property registry, with the control's own clamps and side
// effects applied.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/KedEditWin32.h"
#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditSearch.h"
#include "editor/KedHighlighterSQL.h"
#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/TypInfo.h"

namespace {

class TPropsTestForm : public TForm {
  K_CLASS(TPropsTestForm, TForm)
  explicit TPropsTestForm(TComponent* owner) : TForm(owner) {}
};

class EditorPropertiesTest : public ::testing::Test {
 protected:
  EditorPropertiesTest() {
    form = new TPropsTestForm(Application);
    form->SetBounds(40, 40, 420, 300);
    editor = new TKedEdit(form);
    editor->SetParent(form);
    editor->SetBounds(10, 10, 380, 240);
  }
  ~EditorPropertiesTest() override { delete form; }

  TPropsTestForm* form = nullptr;
  TKedEdit* editor = nullptr;
};

TEST_F(EditorPropertiesTest, EveryPropertyReadsItsConstructionDefaultByName) {
  struct Case {
    const char* name;
    std::string value;
  };
  const Case cases[] = {
      {"ActiveLineColor", "536870911"},  // clNone
      {"BorderStyle", "bsSingle"},
      {"ExtraLineSpacing", "0"},
      {"HideSelection", "False"},
      {"InsertCaret", "ctVerticalLine"},
      {"InsertMode", "True"},
      {"MaxScrollWidth", "1024"},
      {"MaxUndo", "1024"},
      {"Options",
       "[eoAutoIndent,eoDragDropEditing,eoEnhanceEndKey,eoGroupUndo,eoScrollPastEol,"
       "eoShowScrollHint,eoSmartTabDelete,eoSmartTabs,eoTabsToSpaces]"},
      {"OverwriteCaret", "ctBlock"},
      {"ReadOnly", "False"},
      {"RightEdge", "80"},
      {"RightEdgeColor", "12632256"},  // clSilver
      {"ScrollHintColor", std::to_string(clInfoBk)},
      {"ScrollHintFormat", "shfTopLineOnly"},
      {"ScrollBars", "ssBoth"},
      {"SelectionMode", "smNormal"},
      {"TabWidth", "8"},
      {"WantReturns", "True"},
      {"WantTabs", "False"},
      {"WordWrap", "False"},
      {"TabStop", "True"},
      {"ParentColor", "False"},
      {"ParentFont", "False"},
      {"Font.Name", "Courier New"},
      {"Font.Size", "10"},
      {"SelectedColor.Background", std::to_string(clHighlight)},
      {"SelectedColor.Foreground", std::to_string(clHighlightText)},
      {"BookMarkOptions.LeftMargin", "2"},
      {"BookMarkOptions.Xoffset", "12"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetPropValue(editor, c.name), c.value) << c.name;
  EXPECT_EQ(GetObjectProp(editor, "Highlighter"), nullptr);
  EXPECT_EQ(GetObjectProp(editor, "SearchEngine"), nullptr);
  EXPECT_EQ(GetObjectProp(editor, "PopupMenu"), nullptr);
  EXPECT_EQ(GetObjectProp(editor, "Lines"), editor->Lines());
  EXPECT_EQ(GetObjectProp(editor, "Gutter"), editor->Gutter());
}

TEST_F(EditorPropertiesTest, IntegerWritesByNameAreClampedLikeDirectWrites) {
  struct Case {
    const char* name;
    int64_t written;
    int64_t read;
  };
  const Case cases[] = {
      {"MaxScrollWidth", 0, 1},
      {"MaxScrollWidth", -7, 1},
      {"MaxScrollWidth", 2147483647, 2147483646},
      {"MaxScrollWidth", 500, 500},
      {"TabWidth", 0, 1},
      {"TabWidth", -3, 1},
      {"TabWidth", 300, 256},
      {"TabWidth", 4, 4},
      {"MaxUndo", 0, 0},
      {"MaxUndo", 50, 50},
      {"RightEdge", 0, 0},
      {"RightEdge", 120, 120},
      {"ExtraLineSpacing", 3, 3},
      {"ActiveLineColor", 0x00CCFFFF, 0x00CCFFFF},
      {"RightEdgeColor", 0x000000FF, 0x000000FF},
      {"ScrollHintColor", 0x0000FF00, 0x0000FF00},
  };
  for (const Case& c : cases) {
    SetOrdProp(editor, c.name, c.written);
    EXPECT_EQ(GetOrdProp(editor, c.name), c.read) << c.name << " := " << c.written;
  }
}

TEST_F(EditorPropertiesTest, ANegativeMaxUndoLeavesBothListLimits) {
  SetOrdProp(editor, "MaxUndo", 40);
  SetOrdProp(editor, "MaxUndo", -1);
  EXPECT_EQ(editor->Model().UndoList().MaxActions(), 40);
  EXPECT_EQ(editor->Model().RedoList().MaxActions(), 40);
}

TEST_F(EditorPropertiesTest, ExtraLineSpacingByNameRemeasuresTheLineHeight) {
  const int before = editor->LineHeight();
  SetOrdProp(editor, "ExtraLineSpacing", 5);
  EXPECT_EQ(editor->LineHeight(), before + 5);
}

TEST_F(EditorPropertiesTest, EnumerationsAreWrittenByValueNameInDeclarationOrder) {
  TKedEdit* e = editor;
  struct Case {
    const char* name;
    const char* value;
    std::function<bool()> holds;
  };
  const Case cases[] = {
      {"BorderStyle", "bsNone", [e] { return e->BorderStyle() == bsNone; }},
      {"InsertCaret", "ctHalfBlock", [e] { return e->InsertCaret() == ctHalfBlock; }},
      {"InsertCaret", "ctHorizontalLine", [e] { return e->InsertCaret() == ctHorizontalLine; }},
      {"OverwriteCaret", "ctVerticalLine", [e] { return e->OverwriteCaret() == ctVerticalLine; }},
      {"ScrollHintFormat", "shfTopToBottom",
       [e] { return e->ScrollHintFormat() == shfTopToBottom; }},
      {"ScrollBars", "ssVertical", [e] { return e->ScrollBars() == ssVertical; }},
      {"ScrollBars", "ssNone", [e] { return e->ScrollBars() == ssNone; }},
      {"SelectionMode", "smColumn",
       [e] { return e->SelectionMode() == TKedSelectionMode::smColumn; }},
      {"SelectionMode", "smline",  // value names ignore case
       [e] { return e->SelectionMode() == TKedSelectionMode::smLine; }},
      {"WordWrap", "True", [e] { return e->WordWrap(); }},
      {"WantTabs", "True", [e] { return e->WantTabs(); }},
      {"WantReturns", "False", [e] { return !e->WantReturns(); }},
      {"HideSelection", "True", [e] { return e->HideSelection(); }},
  };
  for (const Case& c : cases) {
    SetEnumProp(editor, c.name, c.value);
    EXPECT_TRUE(c.holds()) << c.name << " := " << c.value;
  }
}

TEST_F(EditorPropertiesTest, AnUnknownValueNameIsRefusedAndChangesNothing) {
  EXPECT_THROW(SetEnumProp(editor, "InsertCaret", "ctUnderline"), EPropertyError);
  EXPECT_EQ(editor->InsertCaret(), ctVerticalLine);
  EXPECT_THROW(SetSetProp(editor, "Options", "[eoAutoIndent,eoNoSuchOption]"), EPropertyError);
  EXPECT_EQ(editor->Options(), KedDefaultOptions);
  EXPECT_THROW(SetOrdProp(editor, "ScrollBars", 4), ERangeError);
  EXPECT_EQ(editor->ScrollBars(), ssBoth);
  EXPECT_THROW(GetPropValue(editor, "WordWrapMode"), EPropertyError);
}

TEST_F(EditorPropertiesTest, EveryOptionNameMapsToItsOwnBit) {
  const TPropInfo* info = GetPropInfo(editor, "Options");
  ASSERT_NE(info, nullptr);
  ASSERT_EQ(info->EnumNames.size(), 27u);
  // Spot checks against the enumeration tie the names to the bits the editor tests.
  struct Case {
    const char* name;
    TKedEditorOption option;
  };
  const Case cases[] = {
      {"eoAltSetsColumnMode", eoAltSetsColumnMode},
      {"eoDropFiles", eoDropFiles},
      {"eoKeepCaretX", eoKeepCaretX},
      {"eoScrollPastEof", eoScrollPastEof},
      {"eoShowSpecialChars", eoShowSpecialChars},
      {"eoTrimTrailingSpaces", eoTrimTrailingSpaces},
  };
  for (const Case& c : cases) {
    SetSetProp(editor, "Options", std::string("[") + c.name + "]");
    EXPECT_EQ(editor->Options(), TKedEditorOptions{c.option}) << c.name;
    EXPECT_EQ(GetSetProp(editor, "Options"), std::string("[") + c.name + "]");
  }
  SetSetProp(editor, "Options", "[]");
  EXPECT_EQ(editor->Options(), TKedEditorOptions{});
}

TEST_F(EditorPropertiesTest, DropFilesWrittenByNameSwitchesTheWindowAtOnce) {
  form->Show();
  auto accepts = [&] {
    return (GetWindowLongA(editor->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  };
  ASSERT_FALSE(accepts());
  SetSetProp(editor, "Options", "eoDropFiles, eoAutoIndent");
  EXPECT_TRUE(accepts());
  SetSetProp(editor, "Options", "[eoAutoIndent]");
  EXPECT_FALSE(accepts());
}

TEST_F(EditorPropertiesTest, StatusFlagsWrittenByNameReportTheirChange) {
  std::vector<TKedStatusChanges> reports;
  editor->SetOnStatusChange(
      TStatusChangeEvent([&](TObject*, TKedStatusChanges c) { reports.push_back(c); }));
  SetEnumProp(editor, "ReadOnly", "True");
  SetEnumProp(editor, "InsertMode", "False");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_TRUE(reports[0].Contains(scReadOnly));
  EXPECT_TRUE(reports[1].Contains(scInsertMode));
  EXPECT_TRUE(editor->ReadOnly());
  EXPECT_FALSE(editor->InsertMode());
}

TEST_F(EditorPropertiesTest, OwnedObjectsAreCopiedIntoNeverReplaced) {
  TStringList text;
  text.Add("select 1");
  text.Add("from dual");
  SetObjectProp(editor, "Lines", &text);
  EXPECT_EQ(GetObjectProp(editor, "Lines"), editor->Lines());
  ASSERT_EQ(editor->Lines()->Count(), 2);
  EXPECT_EQ(editor->Lines()->Get(1), "from dual");

  TKedGutter gutter;
  gutter.SetLeadingZeros(true);
  gutter.SetShowLineNumbers(true);
  SetObjectProp(editor, "Gutter", &gutter);
  EXPECT_NE(GetObjectProp(editor, "Gutter"), &gutter);
  EXPECT_TRUE(editor->Gutter()->LeadingZeros());
  EXPECT_TRUE(editor->Gutter()->ShowLineNumbers());

  TKedSelectedColor colours;
  colours.SetBackground(clNavy);
  colours.SetForeground(clYellow);
  SetObjectProp(editor, "SelectedColor", &colours);
  EXPECT_EQ(editor->SelectedColor()->Background(), clNavy);
  EXPECT_EQ(editor->SelectedColor()->Foreground(), clYellow);

  TKedBookMarkOpt marks(nullptr);
  marks.SetLeftMargin(7);
  SetObjectProp(editor, "BookMarkOptions", &marks);
  EXPECT_EQ(editor->BookMarkOptions()->LeftMargin(), 7);
}

TEST_F(EditorPropertiesTest, PathsWriteIntoTheOwnedObjects) {
  SetPropValue(editor, "Gutter.LeadingZeros", "True");
  SetPropValue(editor, "SelectedColor.Background", std::to_string(clRed));
  SetPropValue(editor, "Font.Name", "Consolas");
  EXPECT_TRUE(editor->Gutter()->LeadingZeros());
  EXPECT_EQ(editor->SelectedColor()->Background(), clRed);
  EXPECT_EQ(editor->Font()->Name(), "Consolas");
}

TEST_F(EditorPropertiesTest, AProportionalFontWrittenByNameBecomesFixedPitch) {
  TFont arial;
  arial.SetName("Arial");
  arial.SetSize(12);
  SetObjectProp(editor, "Font", &arial);
  EXPECT_EQ(editor->Font()->Name(), "Arial");
  EXPECT_EQ(editor->Font()->Size(), 12);
  EXPECT_EQ(editor->Font()->Pitch(), fpFixed);
}

TEST_F(EditorPropertiesTest, KeystrokesAreCopiedAndNilEmptiesTheTable) {
  ASSERT_GT(editor->Keystrokes()->Count(), 0);
  TKedEditKeyStrokes table(nullptr);
  table.LoadDefaultBindings();
  table.Delete(0);
  SetObjectProp(editor, "Keystrokes", &table);
  EXPECT_EQ(editor->Keystrokes()->Count(), table.Count());
  SetObjectProp(editor, "Keystrokes", nullptr);
  EXPECT_EQ(editor->Keystrokes()->Count(), 0);
}

TEST_F(EditorPropertiesTest, ReferencedComponentsAreForgottenWhenFreed) {
  auto* sql = new TKedSQLHl(form);
  auto* search = new TKedEditSearch(form);
  auto* menu = new TPopupMenu(form);
  SetObjectProp(editor, "Highlighter", sql);
  SetObjectProp(editor, "SearchEngine", search);
  SetObjectProp(editor, "PopupMenu", menu);
  EXPECT_EQ(editor->Highlighter(), sql);
  EXPECT_EQ(editor->SearchEngine(), search);
  EXPECT_EQ(editor->PopupMenu(), menu);
  delete sql;
  delete search;
  EXPECT_EQ(GetObjectProp(editor, "Highlighter"), nullptr);
  EXPECT_EQ(GetObjectProp(editor, "SearchEngine"), nullptr);
}

TEST_F(EditorPropertiesTest, AnObjectOfTheWrongClassOrNilForAnOwnedOneIsRefused) {
  auto* search = new TKedEditSearch(form);
  auto* sql = new TKedSQLHl(form);
  EXPECT_THROW(SetObjectProp(editor, "Highlighter", search), EPropertyError);
  EXPECT_THROW(SetObjectProp(editor, "SearchEngine", sql), EPropertyError);
  EXPECT_THROW(SetObjectProp(editor, "Gutter", editor->SelectedColor()), EPropertyError);
  EXPECT_EQ(editor->Highlighter(), nullptr);
  EXPECT_EQ(editor->SearchEngine(), nullptr);
  // An owned object has nothing to copy from nil; the editor's own one stays.
  editor->Lines()->Add("kept");
  EXPECT_THROW(SetObjectProp(editor, "Lines", nullptr), EConvertError);
  EXPECT_THROW(SetObjectProp(editor, "Gutter", nullptr), EConvertError);
  EXPECT_EQ(GetObjectProp(editor, "Gutter"), editor->Gutter());
  EXPECT_EQ(editor->Lines()->Count(), 1);
}

TEST_F(EditorPropertiesTest, EveryPublishedEditorPropertyCanBeWritten) {
  // None of the editor's own properties is read-only: forms stream every one of them.
  for (const char* name : {"ActiveLineColor",
                           "BookMarkOptions",
                           "BorderStyle",
                           "ExtraLineSpacing",
                           "Font",
                           "Gutter",
                           "HideSelection",
                           "Highlighter",
                           "InsertCaret",
                           "InsertMode",
                           "Keystrokes",
                           "Lines",
                           "MaxScrollWidth",
                           "MaxUndo",
                           "Options",
                           "OverwriteCaret",
                           "PopupMenu",
                           "ReadOnly",
                           "RightEdge",
                           "RightEdgeColor",
                           "ScrollHintColor",
                           "ScrollHintFormat",
                           "ScrollBars",
                           "SearchEngine",
                           "SelectedColor",
                           "SelectionMode",
                           "TabWidth",
                           "WantReturns",
                           "WantTabs",
                           "WordWrap"}) {
    const TPropInfo* info = GetPropInfo(editor, name);
    ASSERT_NE(info, nullptr) << name;
    EXPECT_TRUE(info->IsWritable()) << name;
    EXPECT_EQ(info->Owner, TKedEdit::StaticClassInfo()) << name;
  }
}

}  // namespace
