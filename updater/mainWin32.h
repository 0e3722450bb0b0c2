// The updater's one window: a file list, a gauge for the transfer in progress and a status
// bar, skinned with its stored skin. Once shown, it runs the update (updater/UpdateRun.h)
// from a one-shot timer, carrying out what the run decides.
#pragma once

#include <memory>
#include <string>

#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sBevelWin32.h"
#include "skin/controls/sGaugeWin32.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/controls/sListViewWin32.h"
#include "skin/controls/sPanelWin32.h"
#include "skin/controls/sStatusBarWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "updater/UpdateRun.h"
#include "updater/inethttp.h"

inline constexpr const char* kUpdaterSkinName = "WMP 2008 (internal)";

class TFormMain : public TForm, private IUpdateView, private IUpdateHttp, private IUpdateLauncher {
  K_CLASS(TFormMain, TForm)

  explicit TFormMain(TComponent* owner);

  TsStatusBar* sStatusBar1;
  TsPanel* sPanel1;
  TsLabel* sLabel1;
  TsBevel* sBevel2;
  TImage* Image2;
  TsListView* sListView1;
  TsBevel* sBevel1;
  TsGauge* sGauge1;
  TsSkinManager* sSkinManager1;
  TsSkinProvider* sSkinProvider1;
  TImageList* ImageList1;
  TinetHTTP* HTTP1;
  TTimer* Timer1;

  // The folder of the updater's own program file, with a final separator.
  std::string AppFolder;

  void FormShow(TObject* sender);
  void Timer1Timer(TObject* sender);
  void HTTP1Header(TObject* sender, const std::string& field, const std::string& value);
  void HTTP1Status(TObject* sender, const std::string& httpVersion, int statusCode,
                   const std::string& description);
  void HTTP1StartTransfer(TObject* sender, int direction);
  void HTTP1Transfer(TObject* sender, int direction, int bytesTransferred, const std::string& text);
  void HTTP1EndTransfer(TObject* sender, int direction);

  // Where the run fetches the list: the server Kestrava asked for the version.
  std::string UpdateListUrl() const;

 private:
  void CreateComponents();
  void CreateSkinManager();
  void LoadPictures();

  // IUpdateView
  void SetStatus(const std::string& text) override;
  void AddItem(const TUpdateListEntry& entry) override;
  void SelectItem(int item) override;
  void SetItemState(int item, TUpdateItemState state) override;
  void SetGaugeMax(int maxValue) override;
  void SetGaugeProgress(int progress) override;
  void ShowMessage(const std::string& text) override;
  // IUpdateHttp
  void DownloadURL(const std::string& url, const std::string& localFile,
                   IUpdateDownloadEvents& events) override;
  // IUpdateLauncher
  void Start(const std::string& file) override;

  IUpdateDownloadEvents* downloadEvents_ = nullptr;
};

extern TFormMain* FormMain;
