// The shell tree under Wine: expanding a file's node runs nothing, and after the shell's
// "delete" a node goes exactly when nothing (file or folder) is left at its path.
#include "skin/controls/skShellTreeViewWin32.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"

namespace {

using shelltest::TTestFolder;

int ChildProcesses() {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

struct ShellTree : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  ShellTree() { InitShellControls(); }
  ~ShellTree() override { DoneShellControls(); }

  TskShellTreeView* MakeTree(const std::string& root, TskShellObjectTypes types) {
    auto* tree = form.Add<TskShellTreeView>();
    tree->SetBounds(10, 10, 300, 250);
    tree->SetObjectTypes(types);
    tree->SetRoot(root);
    form.Show();
    return tree;
  }
  HTREEITEM Child(TskShellTreeView* tree, const std::string& path) {
    for (HTREEITEM node : tree->Children(TreeView_GetRoot(tree->Handle())))
      if (tree->NodeFolder(node)->GetParsingPath() == path) return node;
    return nullptr;
  }
  ktest::TFormGuard form;
};

TEST_F(ShellTree, ExpandingAFilesNodeRunsNothing) {
  TTestFolder folder("tree-run");
  std::string script = folder.MakeFile("long.cmd", "@ping -n 30 127.0.0.1 > nul\r\n");
  TskShellTreeView* tree = MakeTree(folder.Path(), otFolders | otNonFolders);
  HTREEITEM node = Child(tree, script);
  ASSERT_NE(node, nullptr);
  int before = ChildProcesses();
  // The expansion and whatever it would start happen inside this call.
  SendMessageA(tree->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
  EXPECT_EQ(ChildProcesses(), before) << "expanding the node started a program";
  EXPECT_TRUE(tree->Children(node).empty());
}

TEST_F(ShellTree, AfterADeleteANodeGoesWhenNothingIsLeftAtItsPath) {
  TTestFolder folder("tree-delete");
  struct TCase {
    const char* Name;
    bool IsFolder, Remove, NodeGoes;
  } const cases[] = {
      {"gone-folder", true, true, true},
      {"gone.txt", false, true, true},
      {"kept-folder", true, false, false},
      {"kept.txt", false, false, false},
  };
  for (const TCase& c : cases)
    c.IsFolder ? (void)folder.MakeFolder(c.Name) : (void)folder.MakeFile(c.Name);
  TskShellTreeView* tree = MakeTree(folder.Path(), otFolders | otNonFolders);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string path = folder.Sub(c.Name);
    HTREEITEM node = Child(tree, path);
    ASSERT_NE(node, nullptr);
    TreeView_SelectItem(tree->Handle(), node);
    if (c.Remove)
      c.IsFolder ? (void)RemoveDirectoryA(path.c_str()) : (void)DeleteFileA(path.c_str());
    tree->VerbCompleted("delete", true);
    EXPECT_EQ(Child(tree, path) == nullptr, c.NodeGoes);
  }
}

}  // namespace
