// Tree nodes, list items and list columns of real controls under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/ComCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "translate/KxTranslator.h"

namespace {

class TranslatorItems : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }

  void SetUp() override {
    form = new TForm(Application);
    form->SetName("Form1");
    tree = new TTreeView(form);
    tree->SetName("TreeView1");
    tree->SetParent(form);
    TTreeNode* first = tree->Items()->Add(nullptr, "Eins");
    tree->Items()->AddChild(first, "Eins.Eins");
    tree->Items()->Add(nullptr, "Zwei");
    list = new TListView(form);
    list->SetName("ListView1");
    list->SetParent(form);
    list->SetViewStyle(vsReport);
    list->Columns()->Add()->SetCaption("Name");
    list->Columns()->Add()->SetCaption("Größe");
    for (const char* caption : {"a", "b"}) {
      TListItem* item = list->Items()->Add();
      item->SetCaption(caption);
      item->SubItems()->Add("klein");
    }
    translator = new TKxTranslator(form);
  }
  void TearDown() override { delete form; }

  void Translate(const std::string& xml) {
    translator->Document()->LoadFromString(xml);
    translator->TranslateControl(form);
  }

  TForm* form = nullptr;
  TTreeView* tree = nullptr;
  TListView* list = nullptr;
  TKxTranslator* translator = nullptr;
};

TEST_F(TranslatorItems, TreeNodesAreNumberedInDisplayOrder) {
  Translate(
      "<Form1><TreeView1><Items><N Index='1' Value='One.One'/><N Index='2' Value='Two'/>"
      "<N Index='-1' Value='bad'/><N Index='3' Value='past the end'/><N Value='no index'/>"
      "<N Index='0' Value='One'/></Items></TreeView1></Form1>");
  ASSERT_EQ(tree->Items()->Count(), 3);
  EXPECT_EQ(tree->Items()->Item(0)->Text(), "One");
  EXPECT_EQ(tree->Items()->Item(1)->Text(), "One.One");
  EXPECT_EQ(tree->Items()->Item(2)->Text(), "Two");
}

TEST_F(TranslatorItems, ListItemsTakeCaptionsAndSubItemsByColumn) {
  Translate(
      "<Form1><ListView1><Items>"
      "<I Index='0' Column='0' Value='A'/><I Index='0' Column='1' Value='small'/>"
      "<I Index='1' Column='2' Value='no such sub-item'/><I Index='1' Value='no column'/>"
      "<I Index='-2' Column='0' Value='bad'/><I Index='1' Column='0' Value='B'/>"
      "</Items><Columns><C Index='1' Caption='Size'/><C Index='7' Caption='x'/></Columns>"
      "</ListView1></Form1>");
  EXPECT_EQ(list->Items()->Item(0)->Caption(), "A");
  EXPECT_EQ(list->Items()->Item(0)->SubItems()->Strings(0), "small");
  EXPECT_EQ(list->Items()->Item(1)->Caption(), "B");
  EXPECT_EQ(list->Items()->Item(1)->SubItems()->Count(), 1);
  EXPECT_EQ(list->Items()->Item(1)->SubItems()->Strings(0), "klein");
  EXPECT_EQ(list->Columns()->Items(0)->Caption(), "Name");
  EXPECT_EQ(list->Columns()->Items(1)->Caption(), "Size");
}

}  // namespace
