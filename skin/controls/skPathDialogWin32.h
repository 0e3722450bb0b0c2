// The folder picker: a modal dialog with a shell tree of folders, OK, Cancel and a Create
// button that makes a new sub-folder and starts renaming it, and on request a side bar of root
// buttons (Desktop, My Computer, personal documents, Network) that re-root the tree. A folder
// edit creates it each time its button is pressed and reads the chosen path afterwards.
#pragma once

#include <string>

#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sBitBtnWin32.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/controls/sSpeedButtonWin32.h"
#include "skin/controls/sTooleditWin32.h"
#include "skin/controls/skShellTreeViewWin32.h"
#include "skin/forms/sSkinProviderWin32.h"

class TPathDialogForm : public TForm {
  K_CLASS(TPathDialogForm, TForm)
  explicit TPathDialogForm(TComponent* owner);

  TskShellTreeView* sShellTreeView1;
  TsBitBtn* sBitBtn1;  // OK
  TsBitBtn* sBitBtn2;  // Cancel
  TsSkinProvider* sSkinProvider1;
  TsBitBtn* sBitBtn3;       // Create
  TScrollBox* sScrollBox1;  // the side bar of root buttons
  TsLabel* sLabel1;         // the side bar's title
  TImageList* ImageList1;   // the system's large icons, shared, for the root buttons
  TsLabel* TreeLabel;       // the tree's title

  void SetCaptions();
  // Shows the side bar with its buttons; the tree and OK and Cancel move right beside it.
  void ShowRootBar();
  void CreateRootButtons();
  TsSpeedButton* AddRootButton(TskRootFolder kind);
  void RootButtonClick(TObject* sender);
  void AnchorControls();
  // The first free "New folder<n>" in the selected folder; empty when there is none.
  std::string NextNewFolderName();

  void sShellTreeView1Change(TObject* sender);
  void sBitBtn1Click(TObject* sender);
  void sBitBtn2Click(TObject* sender);
  void sBitBtn3Click(TObject* sender);
};

// The picker for a folder edit's request; true after OK, with the chosen folder in path.
bool ExecutePathDialog(const TsFolderDialogRequest& request, std::string& path);
// The picker while it is shown (for tests and the edit), nullptr otherwise.
TPathDialogForm* ActivePathDialog();
