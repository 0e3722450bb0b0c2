#include "app/aboutWin32.h"

#include "app/FormLabelsWin32.h"
#include "app/Language.h"
#include "app/ProgramPicturesWin32.h"
#include "app/mainWin32.h"

TForm2* Form2 = nullptr;

namespace {

const TColor kFormColor = static_cast<TColor>(14675954);

const char* const kUsageText =
    "Kestrava teilt große SQL- und CSV-Dumps in mehrere kleinere Dateien auf, die sich\r\n"
    "einzeln bearbeiten und importieren lassen.\r\n"
    "\r\n"
    "1. Mit \"Datei öffnen\" den Dump laden.\r\n"
    "2. Wahlweise Kommentarzeilen und Leerzeilen entfernen.\r\n"
    "3. Speicherort, Dateiname und neue Dateigröße wählen.\r\n"
    "4. \"Starten\" drücken: die Dateien werden nummeriert im Speicherort abgelegt.";

}  // namespace

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  SetName("Form2");
  VersionText = [] { return Form1 != nullptr ? Form1->VersionText : std::string(); };
  Language = [] { return Form1 != nullptr ? Form1->Language : std::string(); };
  ProgramFolder = [] { return Form1 != nullptr ? Form1->ProgramFolder : std::string(); };
  CreateComponents();
  SetOnShow(MakeEvent<&TForm2::FormShow>(this));
}

void TForm2::CreateComponents() {
  SetCaption("About");
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetBorderStyle(bsSingle);
  SetPosition(poMainFormCenter);
  SetColor(kFormColor);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetBounds(0, 0, 612, 457);

  sStatusBar1 = new TsStatusBar(this);
  sStatusBar1->SetName("sStatusBar1");
  sStatusBar1->SetParent(this);
  sStatusBar1->SetAlign(alBottom);
  sStatusBar1->SetSimplePanel(true);
  sStatusBar1->SetSimpleText("Kestrava");
  sStatusBar1->SetSizeGrip(false);
  sStatusBar1->SkinData()->SetSkinSection("STATUSBAR");

  sPageControl1 = new TsPageControl(this);
  sPageControl1->SetName("sPageControl1");
  sPageControl1->SetParent(this);
  sPageControl1->SetAlign(alClient);

  CreateAboutPage();
  CreateUsagePage();
  sPageControl1->SetActivePage(sTabSheet1);

  KxTranslator1 = new TKxTranslator(this);
  KxTranslator1->SetName("KxTranslator1");

  sSkinProvider1 = new TsSkinProvider(this);
  sSkinProvider1->SetName("sSkinProvider1");
}

void TForm2::CreateAboutPage() {
  sTabSheet1 = new TsTabSheet(this);
  sTabSheet1->SetName("sTabSheet1");
  sTabSheet1->SetPageControl(sPageControl1);
  sTabSheet1->SetCaption("ABOUT");

  sImage1 = new TImage(this);
  sImage1->SetName("sImage1");
  sImage1->SetParent(sTabSheet1);
  sImage1->SetBounds(24, 24, 96, 96);
  PaintProgramPicture(sImage1->Picture()->Bitmap(), kAboutLargePicture, sTabSheet1->Color());

  sImage2 = new TImage(this);
  sImage2->SetName("sImage2");
  sImage2->SetParent(sTabSheet1);
  sImage2->SetBounds(24, 300, 48, 48);
  PaintProgramPicture(sImage2->Picture()->Bitmap(), kAboutSmallPicture, sTabSheet1->Color());

  sLabel1 = MakeLabel(this, sTabSheet1, "sLabel1", 144, 32, "Kestrava");
  sLabel1->Font()->SetHeight(-24);
  sLabel1->Font()->SetStyle(TFontStyles{fsBold});
  sLabel2 = MakeLabel(this, sTabSheet1, "sLabel2", 144, 76,
                      "Teilt SQL- und CSV-Dumps in kleinere Dateien auf.");
  sLabel3 = MakeLabel(this, sTabSheet1, "sLabel3", 144, 100,
                      "Kommentar- und Leerzeilen lassen sich vorher entfernen.");
  sLabel4 = MakeLabel(this, sTabSheet1, "sLabel4", 144, 160, "Kostenlos nutzbar.");
  sLabel5 = MakeLabel(this, sTabSheet1, "sLabel5", 144, 130, "Version:");
}

void TForm2::CreateUsagePage() {
  sTabSheet2 = new TsTabSheet(this);
  sTabSheet2->SetName("sTabSheet2");
  sTabSheet2->SetPageControl(sPageControl1);
  sTabSheet2->SetCaption("Anleitung");

  sMemo1 = new TMemo(this);
  sMemo1->SetName("sMemo1");
  sMemo1->SetParent(sTabSheet2);
  sMemo1->SetAlign(alClient);
  sMemo1->SetReadOnly(true);
  sMemo1->SetScrollBars(ssVertical);
  sMemo1->Lines()->SetText(kUsageText);
}

void TForm2::FormShow(TObject*) {
  sLabel5->SetCaption("Version: " + VersionText());
  // A file that sets this label's caption replaces the version text: the German file
  // leaves it out for that reason.
  if (Language() == "de") TranslateWindow(*KxTranslator1, ProgramFolder(), "de", "about", this);
}
