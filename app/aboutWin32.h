// The about window: what the program is, its version, and a short German usage text.
#pragma once

#include <functional>
#include <string>

#include "framework/ComCtrlsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/controls/sPageControlWin32.h"
#include "skin/controls/sStatusBarWin32.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "translate/KxTranslator.h"

class TForm2 : public TForm {
  K_CLASS(TForm2, TForm)

  explicit TForm2(TComponent* owner);

  TsPageControl* sPageControl1;
  TsTabSheet* sTabSheet1;  // "ABOUT"
  TImage* sImage1;
  TImage* sImage2;
  TsLabel* sLabel1;
  TsLabel* sLabel2;
  TsLabel* sLabel3;
  TsLabel* sLabel4;
  TsLabel* sLabel5;        // "Version: " and the program's version
  TsTabSheet* sTabSheet2;  // "Anleitung"
  TMemo* sMemo1;
  TsStatusBar* sStatusBar1;
  TKxTranslator* KxTranslator1;
  TsSkinProvider* sSkinProvider1;

  // Where the version, the language and the program folder come from; the main window
  // unless a caller sets another.
  std::function<std::string()> VersionText;
  std::function<std::string()> Language;
  std::function<std::string()> ProgramFolder;

  void FormShow(TObject* sender);

 private:
  void CreateComponents();
  void CreateAboutPage();
  void CreateUsagePage();
};

extern TForm2* Form2;
