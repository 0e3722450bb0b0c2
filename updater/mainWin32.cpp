#include "updater/mainWin32.h"

#include <windows.h>
// The shell's declarations build on those of windows.h.
#include <shellapi.h>

#include <climits>

#include "framework/ResourceStreamWin32.h"
#include "framework/SysUtils.h"
#include "imaging/skPNG.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "updater/UpdateFolderWin32.h"
#include "web/VersionCheck.h"

TFormMain* FormMain = nullptr;

namespace {

const TColor kFormColor = static_cast<TColor>(0xD1D1D1);
const TColor kHeadlineColor = static_cast<TColor>(0xDED5CD);
const TColor kListColor = static_cast<TColor>(0xF9F2ED);
const char* const kHeadline =
    "Kestrava installiert eine neue Version, bitte brechen Sie diesen Vorgang nicht ab.";

// RT_RCDATA in its ANSI spelling, whatever the character set of the build.
const char* const kRawData = MAKEINTRESOURCEA(10);
// The stored skin's packed bytes, embedded at build time from the skin generator's output.
const char* const kStoredSkinResource = "UPDATER_SKIN";

std::vector<uint8_t> ResourceBytes(const std::string& name) {
  TResourceStream stream(GetModuleHandleA(nullptr), name, kRawData);
  std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

void LoadPng(TPNGGraphic& png, const std::string& resource) {
  TResourceStream stream(GetModuleHandleA(nullptr), resource, kRawData);
  png.LoadFromStream(stream);
}

}  // namespace

TFormMain::TFormMain(TComponent* owner) : TForm(owner) {
  SetName("FormMain");
  CreateComponents();
  SetOnShow(MakeEvent<&TFormMain::FormShow>(this));
}

void TFormMain::CreateComponents() {
  SetCaption("Update");
  SetPosition(poScreenCenter);
  SetColor(kFormColor);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetBounds(0, 0, 551, 439);

  sStatusBar1 = new TsStatusBar(this);
  sStatusBar1->SetName("sStatusBar1");
  sStatusBar1->SetParent(this);
  sStatusBar1->SetAlign(alBottom);
  sStatusBar1->SetHeight(19);
  sStatusBar1->SkinData()->SetSkinSection("STATUSBAR");
  for (int width : {200, 200, 50}) sStatusBar1->Panels()->Add()->SetWidth(width);

  sPanel1 = new TsPanel(this);
  sPanel1->SetName("sPanel1");
  sPanel1->SetParent(this);
  sPanel1->SetAlign(alClient);
  sPanel1->SetCaption("");
  sPanel1->SkinData()->SetSkinSection("PANEL");

  sLabel1 = new TsLabel(this);
  sLabel1->SetName("sLabel1");
  sLabel1->SetParent(sPanel1);
  sLabel1->SetBounds(32, 8, 481, 13);
  sLabel1->SetCaption(kHeadline);
  sLabel1->Font()->SetStyle(TFontStyles{fsBold});
  sLabel1->Font()->SetColor(kHeadlineColor);

  sBevel2 = new TsBevel(this);
  sBevel2->SetName("sBevel2");
  sBevel2->SetParent(sPanel1);
  sBevel2->SetBounds(4, 28, 533, 5);
  sBevel2->SetShape(bsTopLine);

  Image2 = new TImage(this);
  Image2->SetName("Image2");
  Image2->SetParent(sPanel1);
  Image2->SetBounds(8, 64, 179, 250);
  Image2->SetAutoSize(true);
  Image2->SetTransparent(true);

  ImageList1 = new TImageList(this);
  ImageList1->SetName("ImageList1");

  sListView1 = new TsListView(this);
  sListView1->SetName("sListView1");
  sListView1->SetParent(sPanel1);
  sListView1->SetBounds(192, 32, 345, 314);
  sListView1->SetViewStyle(vsReport);
  sListView1->SetShowColumnHeaders(false);
  sListView1->SetFlatScrollBars(true);
  sListView1->SetReadOnly(true);
  sListView1->SetColor(kListColor);
  sListView1->Font()->SetColor(clBlack);
  sListView1->Columns()->Add()->SetCaption("Datei");
  sListView1->Columns()->Items(0)->SetWidth(300);
  for (int i = 0; i < 3; ++i) sListView1->Columns()->Add()->SetWidth(0);
  sListView1->SetSmallImages(ImageList1);
  sListView1->SkinData()->SetSkinSection("EDIT");

  sBevel1 = new TsBevel(this);
  sBevel1->SetName("sBevel1");
  sBevel1->SetParent(sPanel1);
  sBevel1->SetBounds(4, 348, 537, 10);
  sBevel1->SetShape(bsTopLine);

  sGauge1 = new TsGauge(this);
  sGauge1->SetName("sGauge1");
  sGauge1->SetParent(sPanel1);
  sGauge1->SetBounds(12, 360, 509, 14);
  sGauge1->SkinData()->SetSkinSection("GAUGE");
  sGauge1->SetSuffix("%");
  sGauge1->SetProgress(0);
  sGauge1->SetForeColor(clBlack);

  HTTP1 = new TinetHTTP(this);
  HTTP1->SetName("HTTP1");
  HTTP1->SetFirewallPort(80);
  HTTP1->OnHeader = MakeEvent<&TFormMain::HTTP1Header>(this);
  HTTP1->OnStatus = MakeEvent<&TFormMain::HTTP1Status>(this);
  HTTP1->OnStartTransfer = MakeEvent<&TFormMain::HTTP1StartTransfer>(this);
  HTTP1->OnTransfer = MakeEvent<&TFormMain::HTTP1Transfer>(this);
  HTTP1->OnEndTransfer = MakeEvent<&TFormMain::HTTP1EndTransfer>(this);

  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetOnTimer(MakeEvent<&TFormMain::Timer1Timer>(this));

  LoadPictures();
  CreateSkinManager();
}

void TFormMain::LoadPictures() {
  TPNGGraphic decor;
  LoadPng(decor, "UPDATER_DECOR");
  Image2->Picture()->SetGraphic(&decor);

  ImageList1->SetWidth(16);
  ImageList1->SetHeight(16);
  // By the state's number (TUpdateItemState).
  for (const char* resource :
       {"UPDATER_STATE0", "UPDATER_STATE1", "UPDATER_STATE2", "UPDATER_STATE3"}) {
    TPNGGraphic png;
    LoadPng(png, resource);
    // The list's own colour behind the pictures' soft edges.
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.SetSize(16, 16);
    image.Fill(ColorToRGB(kListColor));
    png.Draw(image.Canvas(), Rect(0, 0, 16, 16));
    ImageList1->Add(&image, nullptr);
  }
}

void TFormMain::CreateSkinManager() {
  sSkinManager1 = new TsSkinManager(this);
  sSkinManager1->SetName("sSkinManager1");
  InstallSkinRuntime(*sSkinManager1);
  ThirdPartyList& third = *sSkinManager1->ThirdParty();
  for (std::string& text : third.Texts) text.clear();
  third.Texts[tpButtons] = "TButton";
  sSkinManager1->ReadThirdParty(false);
  // The form keeps its skin: no folder is searched, the stored skin is found by its name.
  sSkinManager1->InternalSkins()->AddSkin(kUpdaterSkinName, ResourceBytes(kStoredSkinResource));
  sSkinManager1->SetSkinName(kUpdaterSkinName);

  sSkinProvider1 = new TsSkinProvider(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SkinData()->SetSkinSection("FORM");
}

std::string TFormMain::UpdateListUrl() const {
  return UpdateServerUrl(ReadUpdateServer(AppFolder), kUpdateListPath);
}

void TFormMain::FormShow(TObject*) {
  AppFolder = ExtractFilePath(Application->ExeName());
  Timer1->SetEnabled(true);
}

void TFormMain::Timer1Timer(TObject*) {
  // Once only, also while a message of the run is open.
  Timer1->SetEnabled(false);
  TUpdateFolderWin32 folder(Application->ExeName());
  TUpdateRun run(*this, folder, *this, *this);
  run.Run(UpdateListUrl());
  Application->Terminate();
}

void TFormMain::DownloadURL(const std::string& url, const std::string& localFile,
                            IUpdateDownloadEvents& events) {
  downloadEvents_ = &events;
  struct TForget {
    IUpdateDownloadEvents*& events;
    ~TForget() { events = nullptr; }
  } forget{downloadEvents_};
  HTTP1->SetLocalFile(localFile);
  HTTP1->DownloadURL(url);
}

void TFormMain::HTTP1Header(TObject*, const std::string& field, const std::string& value) {
  if (downloadEvents_ != nullptr) downloadEvents_->OnHeader(field, value);
}

void TFormMain::HTTP1Status(TObject*, const std::string&, int statusCode, const std::string&) {
  if (downloadEvents_ != nullptr) downloadEvents_->OnStatus(statusCode);
}

void TFormMain::HTTP1StartTransfer(TObject*, int) {
  if (downloadEvents_ != nullptr) downloadEvents_->OnStartTransfer();
}

void TFormMain::HTTP1Transfer(TObject*, int, int bytesTransferred, const std::string&) {
  if (downloadEvents_ != nullptr) downloadEvents_->OnTransfer(bytesTransferred);
}

void TFormMain::HTTP1EndTransfer(TObject*, int) {
  if (downloadEvents_ != nullptr) downloadEvents_->OnEndTransfer();
}

void TFormMain::SetStatus(const std::string& text) {
  sStatusBar1->Panels()->Items(0)->SetText(text);
  // The run holds the message loop: what it shows must be painted now.
  sStatusBar1->Update();
}

void TFormMain::AddItem(const TUpdateListEntry& entry) {
  TListItem* item = sListView1->Items()->Add();
  item->SetCaption(entry.Caption);
  item->SubItems()->Add(entry.URL);
  item->SubItems()->Add(entry.LocalName);
  item->SetImageIndex(static_cast<int>(TUpdateItemState::Listed));
  sListView1->Repaint();
}

void TFormMain::SelectItem(int item) { sListView1->SetItemIndex(item); }

void TFormMain::SetItemState(int item, TUpdateItemState state) {
  sListView1->Items()->Item(item)->SetImageIndex(static_cast<int>(state));
  sListView1->Repaint();
}

void TFormMain::SetGaugeMax(int maxValue) { sGauge1->SetMaxValue(maxValue); }

void TFormMain::SetGaugeProgress(int progress) {
  sGauge1->SetProgress(progress);
  sGauge1->Update();
}

void TFormMain::ShowMessage(const std::string& text) { ShowPlainMessage(text); }

void TFormMain::Start(const std::string& file) {
  // As the main program starts the updater; a failure has nobody left to tell.
  ::ShellExecuteA(Handle(), "open", file.c_str(), nullptr, "", SW_SHOWNORMAL);
}
