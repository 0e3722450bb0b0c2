// The shell list view and the shell combo box under Wine, on a folder tree the test makes under
// the prefix's drive: what the list shows and in which order, navigation by the user's
// double-click and keys, and the combo box's chain of parents that moves the list.
#include "skin/controls/skShellListViewWin32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/skShellChangeNotifierWin32.h"
#include "skin/controls/skShellComboBoxWin32.h"
#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using shelltest::TTestFolder;

// The shown names of the list's items, as the window asks for them.
std::vector<std::string> ShownNames(TskShellListView* list) {
  std::vector<std::string> names;
  int count = ListView_GetItemCount(list->Handle());
  for (int i = 0; i < count; ++i) {
    char text[MAX_PATH]{};
    ListView_GetItemText(list->Handle(), i, 0, text, sizeof text);
    names.push_back(text);
  }
  return names;
}

std::string ListFolder(TskShellListView* list) {
  return list->RootFolder() ? list->RootFolder()->GetParsingPath() : std::string();
}

struct ShellList : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  ShellList() {
    InitShellControls();
    form.Form->SetBounds(60, 60, 520, 420);
  }
  ~ShellList() override { DoneShellControls(); }

  TskShellListView* MakeList(const std::string& root) {
    auto* list = form.Add<TskShellListView>();
    list->SetBounds(10, 50, 480, 300);
    list->SetViewStyle(vsReport);
    list->SetShowExt(TskShowExtension::seShow);
    list->SetRoot(root);
    return list;
  }
  // A folder tree: two folders and two files, named so that name order alone would mix them.
  void MakeTree(const TTestFolder& folder) {
    folder.MakeFolder("beta\\inner");
    folder.MakeFolder("Delta");
    folder.MakeFile("alpha.sql");
    folder.MakeFile("charlie.csv");
    folder.MakeFile("beta\\inside.txt");
  }
  POINT ItemCentre(TskShellListView* list, int index) {
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list->Handle(), &p);
    return p;
  }
  int IndexOfName(TskShellListView* list, const std::string& name) {
    std::vector<std::string> names = ShownNames(list);
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<int>(i);
    return -1;
  }
  ktest::TFormGuard form;
};

TEST_F(ShellList, ListsFoldersFirstAndFilesByTheirMask) {
  TTestFolder folder("list-order");
  MakeTree(folder);
  TskShellListView* list = MakeList(folder.Path());
  form.Show();
  using TNames = std::vector<std::string>;
  EXPECT_EQ(ShownNames(list), (TNames{"beta", "Delta", "alpha.sql", "charlie.csv"}));
  EXPECT_EQ(list->ItemFolder(0)->GetParsingPath(), folder.Sub("beta"));
  EXPECT_GE(list->Columns()->Count(), 1) << "a report view gets the folder's columns";

  struct TCase {
    const char* Mask;
    TNames Names;
  } const cases[] = {
      {"*.SQL", {"beta", "Delta", "alpha.sql"}},
      {"*.sql;*.csv", {"beta", "Delta", "alpha.sql", "charlie.csv"}},
      {"nothing.*", {"beta", "Delta"}},
      {"", {"beta", "Delta", "alpha.sql", "charlie.csv"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Mask);
    list->SetMask(c.Mask);
    EXPECT_EQ(ShownNames(list), c.Names);
  }
  list->SetObjectTypes(otFolders);
  EXPECT_EQ(ShownNames(list), (TNames{"beta", "Delta"}));
}

TEST_F(ShellList, WithAutoRefreshAFolderMadeMeanwhileShowsAndTheSelectionStays) {
  TTestFolder folder("list-refresh");
  MakeTree(folder);
  TskShellListView* list = MakeList(folder.Path());
  form.Show();
  list->SetAutoRefresh(true);
  list->SetItemIndex(3);
  ASSERT_TRUE(ktest::PumpUntil([&] {
    TThread::CheckSynchronize();
    return list->Notifier() && list->Notifier()->Thread()->WatchedDirectory() == folder.Path();
  })) << "the list's folder is watched";
  folder.MakeFolder("echo");
  EXPECT_TRUE(ktest::PumpUntil([&] {
    TThread::CheckSynchronize();
    return IndexOfName(list, "echo") == 2;
  })) << "the new folder shows among the folders";
  EXPECT_EQ(list->ItemIndex(), 3) << "the selected position stays, also as the last item";
  list->SetAutoRefresh(false);
}

TEST_F(ShellList, OpensAFolderByDoubleClickAndEnterAndGoesUpByBackspace) {
  TTestFolder folder("list-navigate");
  MakeTree(folder);
  TskShellListView* list = MakeList(folder.Path());
  form.Show();
  ktest::Settle(form.Form->Handle());

  ktest::DoubleClick(ItemCentre(list, IndexOfName(list, "beta")));
  ASSERT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Sub("beta"); }))
      << "a double-click on a folder opens it; the list shows " << ListFolder(list);
  EXPECT_EQ(ShownNames(list), (std::vector<std::string>{"inner", "inside.txt"}));

  list->SetFocus();
  ktest::PressKey(VK_BACK);
  ASSERT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Path(); }))
      << "Backspace goes up; the list shows " << ListFolder(list);

  list->SetItemIndex(IndexOfName(list, "Delta"));
  list->SetFocus();
  ktest::PressKey(VK_RETURN);
  EXPECT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Sub("Delta"); }))
      << "Enter opens the selected folder; the list shows " << ListFolder(list);
  EXPECT_TRUE(ShownNames(list).empty());
}

TEST_F(ShellList, TheComboShowsTheParentsAndChoosingOneMovesTheList) {
  TTestFolder folder("list-combo");
  MakeTree(folder);
  auto* combo = form.Add<TskShellComboBox>();
  combo->SetBounds(10, 10, 480, 24);
  TskShellListView* list = MakeList("rfDesktop");
  list->SetShellComboBox(combo);
  form.Show();
  TItemIdList start(ILCreateFromPathA(folder.Sub("beta\\inner").c_str()));
  ASSERT_TRUE(start);
  list->SetIdList(start.Get());
  ktest::Settle(form.Form->Handle());

  // The chosen item is the list's folder; above it, each parent one level less deep.
  const std::vector<std::string> chain{"C:\\", folder.Path(), folder.Sub("beta"),
                                       folder.Sub("beta\\inner")};
  int selected = combo->ItemIndex();
  ASSERT_GE(selected, 3);
  for (size_t i = 0; i < chain.size(); ++i) {
    int index = selected - 3 + static_cast<int>(i);
    SCOPED_TRACE(chain[i]);
    EXPECT_EQ(combo->ItemFolder(index)->GetParsingPath(), chain[i]);
    if (i > 0) {
      EXPECT_EQ(combo->ItemIndent(index), combo->ItemIndent(index - 1) + 1);
    }
  }
  TItemIdList inner = CloneItemIdList(list->RootFolder()->AbsoluteIdList());
  EXPECT_EQ(combo->IndexOfIdList(inner.Get()), selected);

  // Up in the closed box chooses the parent: the list goes there and the deeper item goes.
  combo->SetFocus();
  ktest::PressKey(VK_UP);
  ASSERT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Sub("beta"); }))
      << "the list shows " << ListFolder(list);
  EXPECT_EQ(combo->ItemFolder(combo->ItemIndex())->GetParsingPath(), folder.Sub("beta"));
  EXPECT_LT(combo->IndexOfIdList(inner.Get()), 0);

  // The list's own moves show in the box: opening a folder adds it below its parent.
  ktest::DoubleClick(ItemCentre(list, IndexOfName(list, "inner")));
  ASSERT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Sub("beta\\inner"); }));
  EXPECT_EQ(combo->ItemFolder(combo->ItemIndex())->GetParsingPath(), folder.Sub("beta\\inner"));

  // Choosing with the mouse in the dropped list: the test folder two levels up.
  int target = combo->ItemIndex() - 2;
  RECT box{};
  GetWindowRect(combo->Handle(), &box);
  ktest::Click(POINT{box.right - 8, (box.top + box.bottom) / 2});
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(ktest::PumpUntil([&] {
    return GetComboBoxInfo(combo->Handle(), &info) && IsWindowVisible(info.hwndList);
  })) << "the list drops down";
  SendMessageA(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(target), 0);
  RECT item{};
  SendMessageA(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(target),
               reinterpret_cast<LPARAM>(&item));
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(info.hwndList, &p);
  ktest::Click(p);
  EXPECT_TRUE(ktest::PumpUntil([&] { return ListFolder(list) == folder.Path(); }))
      << "the list shows " << ListFolder(list);
}

}  // namespace
