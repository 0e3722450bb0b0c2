#include "skin/controls/skPathDialogWin32.h"

#include <shellapi.h>

#include "framework/ScopeExit.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/skinfiles/sConst.h"

namespace {

TPathDialogForm* gDialog = nullptr;
// The system's large icons, asked for once; the shell keeps the list.
HIMAGELIST gSystemImages = nullptr;

bool IsExistingFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SkinTextOr(const std::string& skinText, const char* fallback) {
  return skinText.empty() ? fallback : skinText;
}

TsBitBtn* AddButton(TPathDialogForm* form, const char* name, int left, int tabOrder) {
  auto* button = new TsBitBtn(form);
  button->SetName(name);
  button->SkinData()->SetSkinSection("BUTTON");
  button->SetParent(form);
  button->SetBounds(left, 344, 75, 25);
  button->SetTabOrder(tabOrder);
  return button;
}

}  // namespace

TPathDialogForm::TPathDialogForm(TComponent* owner) : TForm(owner) {
  SetName("PathDialogForm");
  SetCaption("Select directory");
  SetPosition(poScreenCenter);
  SetBorderStyle(bsSizeable);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetBounds(0, 0, 345, 411);
  Constraints()->MinWidth = 275;
  Constraints()->MinHeight = 250;

  sShellTreeView1 = new TskShellTreeView(this);
  sShellTreeView1->SetName("sShellTreeView1");
  sShellTreeView1->SetShowRoot(false);
  sShellTreeView1->SetObjectTypes(otFolders);
  sShellTreeView1->SetParent(this);
  sShellTreeView1->SetBounds(8, 20, 321, 319);
  sShellTreeView1->SetTabOrder(0);
  sShellTreeView1->SetOnChange(MakeEvent<&TPathDialogForm::sShellTreeView1Change>(this));

  sBitBtn1 = AddButton(this, "sBitBtn1", 173, 1);
  sBitBtn1->SetCaption("OK");
  sBitBtn1->SetDefault(true);
  sBitBtn1->SetModalResult(mrOk);
  sBitBtn1->SetOnClick(MakeEvent<&TPathDialogForm::sBitBtn1Click>(this));

  sBitBtn2 = AddButton(this, "sBitBtn2", 250, 2);
  sBitBtn2->SetCaption("Cancel");
  sBitBtn2->SetCancel(true);
  sBitBtn2->SetModalResult(mrCancel);
  sBitBtn2->SetOnClick(MakeEvent<&TPathDialogForm::sBitBtn2Click>(this));

  sSkinProvider1 = new TsSkinProvider(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SkinData()->SetSkinSection("DIALOG");
  sSkinProvider1->SetGripMode(gmRightBottom);
  sSkinProvider1->SetShowAppIcon(false);

  sBitBtn3 = AddButton(this, "sBitBtn3", 12, 3);
  sBitBtn3->SetCaption("Create");
  sBitBtn3->SetEnabled(false);
  sBitBtn3->SetOnClick(MakeEvent<&TPathDialogForm::sBitBtn3Click>(this));

  sScrollBox1 = new TScrollBox(this);
  sScrollBox1->SetName("sScrollBox1");
  sScrollBox1->SetVisible(false);
  sScrollBox1->SetParent(this);
  sScrollBox1->SetBounds(8, 20, 101, 317);
  sScrollBox1->SetTabOrder(4);

  sLabel1 = new TsLabel(this);
  sLabel1->SetName("sLabel1");
  sLabel1->SetParent(this);
  sLabel1->SetBounds(8, 3, 100, 13);
  sLabel1->SetCaption("Root :");

  ImageList1 = new TImageList(this);
  ImageList1->SetName("ImageList1");
  ImageList1->SetShareImages(true);

  TreeLabel = new TsLabel(this);
  TreeLabel->SetName("TreeLabel");
  TreeLabel->SetParent(this);
  TreeLabel->SetBounds(12, 3, 300, 13);
  TreeLabel->SetCaption("");
}

void TPathDialogForm::SetCaptions() {
  SetCaption(SkinTextOr(SkinTextSelectDirectory, "Select directory"));
  sLabel1->SetCaption(SkinTextOr(SkinTextRoot, "Root :"));
  sBitBtn1->SetCaption(SkinTextOr(SkinTextOK, "OK"));
  sBitBtn2->SetCaption(SkinTextOr(SkinTextCancel, "Cancel"));
  sBitBtn3->SetCaption(SkinTextOr(SkinTextCreate, "Create"));
}

void TPathDialogForm::ShowRootBar() {
  sScrollBox1->SetVisible(true);
  sLabel1->SetVisible(true);
  const int shift = sScrollBox1->Width() + 4;
  for (TControl* control :
       {static_cast<TControl*>(sShellTreeView1), static_cast<TControl*>(sBitBtn1),
        static_cast<TControl*>(sBitBtn2), static_cast<TControl*>(TreeLabel)})
    control->SetLeft(control->Left() + shift);
  SetWidth(Width() + sScrollBox1->Width() + GetSystemMetrics(SM_CXFRAME) + 4);
  CreateRootButtons();
}

void TPathDialogForm::CreateRootButtons() {
  sScrollBox1->SetColor(clAppWorkSpace);
  if (!gSystemImages) {
    SHFILEINFOA info{};
    gSystemImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX));
  }
  if (gSystemImages) ImageList1->SetHandle(gSystemImages);
  int top = 0;
  for (TskRootFolder kind : {TskRootFolder::rfDesktop, TskRootFolder::rfMyComputer,
                             TskRootFolder::rfPersonal, TskRootFolder::rfNetwork}) {
    TsSpeedButton* button = AddRootButton(kind);
    // Placed below the ones before it, so that aligning to the top keeps their order.
    button->SetTop(top);
    top += button->Height();
    button->SetAlign(alTop);
    button->SetParent(sScrollBox1);
  }
}

TsSpeedButton* TPathDialogForm::AddRootButton(TskRootFolder kind) {
  auto* button = new TsSpeedButton(sScrollBox1);
  button->SetName(std::string("RootButton") + RootFolderName(kind));
  button->SetHeight(70);
  button->SetLayout(blGlyphTop);
  button->SetFlat(true);
  button->SkinData()->SetSkinSection("TOOLBUTTON");
  // The folder's list is freed here once its name and icon are read.
  TItemIdList list;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, RootFolderCsidl(kind), list.Put())) && list) {
    button->SetCaption(ReadItemDisplayName(DesktopShellFolder()->ShellFolder(), list.Get(),
                                           SHGDN_NORMAL, TskShowExtension::seHide));
    button->SetImageIndex(GetSystemIconIndex(list.Get(), false, false));
  }
  button->SetImages(ImageList1);
  button->SetTag(static_cast<int>(kind));
  button->SetOnClick(MakeEvent<&TPathDialogForm::RootButtonClick>(this));
  return button;
}

void TPathDialogForm::RootButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TsSpeedButton*>(sender);
  if (!button) return;
  sShellTreeView1->SetRoot(RootFolderName(static_cast<TskRootFolder>(button->Tag())));
}

void TPathDialogForm::AnchorControls() {
  sShellTreeView1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  sScrollBox1->SetAnchors(TAnchors{akLeft, akTop, akBottom});
  sBitBtn1->SetAnchors(TAnchors{akRight, akBottom});
  sBitBtn2->SetAnchors(TAnchors{akRight, akBottom});
  sBitBtn3->SetAnchors(TAnchors{akLeft, akBottom});
}

void TPathDialogForm::sShellTreeView1Change(TObject*) {
  // Virtual folders (My Computer, the network) have no path to write into.
  bool folder = IsExistingFolder(sShellTreeView1->GetSelectedPath());
  sBitBtn1->SetEnabled(folder);
  sBitBtn3->SetEnabled(folder);
}

void TPathDialogForm::sBitBtn1Click(TObject*) {
  if (sShellTreeView1->IsEditing()) {
    SetModalResult(mrNone);
    sShellTreeView1->EndEdit(false);
    sShellTreeView1->SetFocus();
  } else {
    SetModalResult(mrOk);
  }
}

void TPathDialogForm::sBitBtn2Click(TObject*) {
  SetModalResult(sShellTreeView1->IsEditing() ? mrNone : mrCancel);
}

std::string TPathDialogForm::NextNewFolderName() {
  return ::NextNewFolderName(NormalizeDirPath(sShellTreeView1->GetSelectedPath()),
                             [](const std::string& path) { return FolderExists(path); });
}

void TPathDialogForm::sBitBtn3Click(TObject*) {
  std::string candidate = NextNewFolderName();
  if (!candidate.empty()) CreateDirectoryA(candidate.c_str(), nullptr);
  if (!IsExistingFolder(candidate)) {
    ShowErrorMessage("Directory " + candidate + " can`t be created!");
    return;
  }
  TskShellTreeView* tree = sShellTreeView1;
  HTREEITEM selected = tree->SelectedNode();
  tree->RebuildNode(selected);
  tree->Expand(selected);
  for (HTREEITEM child : tree->Children(selected)) {
    TskShellFolder* folder = tree->NodeFolder(child);
    if (!folder || folder->GetParsingPath() != candidate) continue;
    TreeView_SelectItem(tree->Handle(), child);
    tree->SetFocus();
    tree->StartEdit(child);
    break;
  }
}

TPathDialogForm* ActivePathDialog() { return gDialog; }

bool ExecutePathDialog(const TsFolderDialogRequest& request, std::string& path) {
  // The shell's objects need OLE on this thread, whether or not the program started it.
  InitShellControls();
  TScopeExit done([] { DoneShellControls(); });
  std::unique_ptr<TPathDialogForm> dialog = std::make_unique<TPathDialogForm>(Application);
  gDialog = dialog.get();
  TScopeExit clear([] { gDialog = nullptr; });
  dialog->SetCaptions();
  dialog->sBitBtn3->SetVisible(request.AllowCreate);
  if (request.ShowRootButtons)
    dialog->ShowRootBar();
  else
    dialog->sLabel1->SetVisible(false);
  dialog->AnchorControls();
  dialog->TreeLabel->SetCaption(request.DialogText);
  dialog->sShellTreeView1->SetRoot(request.Root);
  dialog->sShellTreeView1->HandleNeeded();
  if (!request.StartFolder.empty()) dialog->sShellTreeView1->SelectPath(request.StartFolder);
  if (dialog->ShowModal() != mrOk) return false;
  path = dialog->sShellTreeView1->GetSelectedPath();
  return true;
}
