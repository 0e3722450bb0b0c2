// The folder picker's side bar under Wine: shown on request beside the tree, with one button
// per root that the user's click makes the tree's root.
#include "skin/controls/skPathDialogWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::TUserScript;

struct PathDialog : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }

  static POINT CentreOf(TUserScript& u, TControl* control) {
    return u.Read<POINT>([&] {
      const TPoint p = control->ClientToScreen({control->Width() / 2, control->Height() / 2});
      return POINT{p.X, p.Y};
    });
  }
  static TsSpeedButton* RootButton(TPathDialogForm* dialog, TskRootFolder kind) {
    for (int i = 0; i < dialog->sScrollBox1->ControlCount(); ++i)
      if (auto* button = dynamic_cast<TsSpeedButton*>(dialog->sScrollBox1->Controls(i)))
        if (button->Tag() == static_cast<int>(kind)) return button;
    return nullptr;
  }
  static std::string RootText(TskShellTreeView* tree) {
    return tree->NodeText(TreeView_GetRoot(tree->Handle()));
  }
};

TEST_F(PathDialog, TheSideBarsButtonsMakeTheirFolderTheTreesRoot) {
  shelltest::TTestFolder folder("picker-bar");
  TsFolderDialogRequest request{.Root = "rfDesktop",
                                .StartFolder = folder.Path(),
                                .DialogText = "Target folder",
                                .AllowCreate = true,
                                .ShowRootButtons = true};
  bool chosen = true;
  std::string path;
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    u.Later([&] { chosen = ExecutePathDialog(request, path); });
    u.WaitUntil("the picker with its side bar", [&] {
      TPathDialogForm* d = ActivePathDialog();
      return d && IsWindowVisible(d->Handle()) && d->sScrollBox1->Visible();
    });
    TPathDialogForm* dialog = ActivePathDialog();
    TskShellTreeView* tree = dialog->sShellTreeView1;
    u.OnProgram([&] {
      const int bar = dialog->sScrollBox1->Width();
      u.Expect(dialog->Width() == 345 + bar + GetSystemMetrics(SM_CXFRAME) + 4,
               "the dialog is wider by the side bar, the frame and 4");
      u.Expect(tree->Left() == 8 + bar + 4, "the tree sits right of the side bar");
      u.Expect(dialog->sBitBtn3->Left() == 12, "Create stays at the left");
      u.Expect(dialog->sBitBtn1->Left() == 173 + bar + 4, "OK moves right with the tree");
      for (TskRootFolder kind : {TskRootFolder::rfDesktop, TskRootFolder::rfMyComputer,
                                 TskRootFolder::rfPersonal, TskRootFolder::rfNetwork}) {
        TsSpeedButton* button = RootButton(dialog, kind);
        u.Expect(button && !button->Caption().empty(),
                 std::string("a captioned button for ") + RootFolderName(kind));
      }
      TsSpeedButton* first = RootButton(dialog, TskRootFolder::rfDesktop);
      TsSpeedButton* second = RootButton(dialog, TskRootFolder::rfMyComputer);
      u.Expect(first && second && first->Top() == 0 && second->Top() == first->Height(),
               "the buttons line up from the top in their order");
    });
    ktest::SaveScreenshot(dialog->Handle(), "folder_picker_root_bar");

    ktest::Click(CentreOf(u, RootButton(dialog, TskRootFolder::rfMyComputer)));
    u.WaitUntil("My Computer as the tree's root", [&] { return tree->Root() == "rfMyComputer"; });
    u.OnProgram([&] {
      HTREEITEM root = TreeView_GetRoot(tree->Handle());
      u.Expect(tree->SelectedNode() == root, "the root node is selected");
      u.Expect(TreeView_GetItemState(tree->Handle(), root, TVIS_EXPANDED) & TVIS_EXPANDED,
               "and expanded");
      u.Expect(RootText(tree) == RootButton(dialog, TskRootFolder::rfMyComputer)->Caption(),
               "the root node has the button's name");
      bool drive = false;
      for (HTREEITEM child : tree->Children(root))
        drive = drive || tree->NodeFolder(child)->GetParsingPath() == "C:\\";
      u.Expect(drive, "the drives are its children");
      u.Expect(!dialog->sBitBtn1->Enabled() && !dialog->sBitBtn3->Enabled(),
               "My Computer has no path: OK and Create are off");
    });
    ktest::SaveScreenshot(dialog->Handle(), "folder_picker_root_my_computer");

    ktest::Click(CentreOf(u, RootButton(dialog, TskRootFolder::rfPersonal)));
    u.WaitUntil("the documents as the tree's root", [&] {
      return tree->Root() == "rfPersonal" && shelltest::IsFolder(tree->GetSelectedPath());
    });
    u.Expect(u.Read<bool>([&] { return dialog->sBitBtn1->Enabled(); }), "a real folder enables OK");
    ktest::Click(CentreOf(u, dialog->sBitBtn2));
    u.WaitUntil("the picker closed", [] { return ActivePathDialog() == nullptr; });
  });
  ASSERT_TRUE(played) << user.Failures();
  EXPECT_FALSE(chosen) << "cancelled";
}

TEST_F(PathDialog, WithoutTheRequestThereIsNoSideBar) {
  TsFolderDialogRequest request;
  request.Root = "rfDesktop";
  std::string path;
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    u.Later([&] { ExecutePathDialog(request, path); });
    u.WaitUntil("the picker", [] {
      TPathDialogForm* d = ActivePathDialog();
      return d && IsWindowVisible(d->Handle());
    });
    TPathDialogForm* dialog = ActivePathDialog();
    u.OnProgram([&] {
      u.Expect(!dialog->sScrollBox1->Visible() && !dialog->sLabel1->Visible(), "no side bar");
      u.Expect(dialog->Width() == 345 && dialog->sShellTreeView1->Left() == 8,
               "the tree keeps its place");
    });
    ktest::Click(CentreOf(u, dialog->sBitBtn2));
    u.WaitUntil("the picker closed", [] { return ActivePathDialog() == nullptr; });
  });
  ASSERT_TRUE(played) << user.Failures();
}

}  // namespace
