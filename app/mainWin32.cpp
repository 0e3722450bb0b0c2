#include "app/mainWin32.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/BaseName.h"
#include "app/DumpCleaner.h"
#include "app/FormLabelsWin32.h"
#include "app/Language.h"
#include "app/PieceFileSink.h"
#include "app/ProgramPicturesWin32.h"
#include "app/SplitEngine.h"
#include "app/VersionCheckWin32.h"
#include "app/aboutWin32.h"
#include "editor/KedEditParallel.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "web/inetwebform.h"

TForm1* Form1 = nullptr;

const char* const kEditorFontName = "DejaVu Sans Mono";
const char* const kEditorFontFile = "DejaVuSansMono.ttf";

namespace {

// Length of the longest line, each counted up to its first zero byte: the horizontal
// scroll range of the text.
int LongestLineLength(const TKedEditStringList& lines) {
  const int count = lines.Count();
  // A pass over every byte of the text, like the open's own: on several cores for a large one
  // (sized for dump lines of about a hundred bytes).
  const int parts =
      std::max(1, std::min(KedParallelParts(static_cast<size_t>(count) * 100), count));
  std::vector<size_t> longest(static_cast<size_t>(parts), 0);
  KedRunInParallel(parts, [&](int part) {
    const int first = static_cast<int>(int64_t{count} * part / parts);
    const int last = static_cast<int>(int64_t{count} * (part + 1) / parts);
    size_t mine = 0;
    for (int i = first; i < last; ++i) {
      const std::string_view line = lines.LineView(i);
      mine = std::max(mine, std::min(line.find('\0'), line.size()));
    }
    longest[static_cast<size_t>(part)] = mine;
  });
  return static_cast<int>(
      std::min<size_t>(*std::max_element(longest.begin(), longest.end()), INT_MAX));
}

}  // namespace

// ---- the split as the window shows it -------------------------------------------------

// Collects what the split reports and shows it at the throttled progress reports,
// so a run with thousands of pieces does not spend its time repainting.
class TForm1::SplitView : public TSplitObserver {
 public:
  SplitView(TForm1& form, const TSplitOptions& options, int gaugeShift)
      : form_(form), options_(options), gaugeShift_(gaugeShift) {}

  void PieceCreated(int number, const std::string& path) override {
    if (number == 1) {
      pendingLog_.push_back(form_.Msg(TAppMessage::BeginProcessing));
    } else {
      pendingLog_.push_back(form_.Msg(TAppMessage::StartNewFile));
    }
    pendingLog_.push_back(form_.Msg(TAppMessage::CreatingFile) + path);
  }

  void PieceFinished(int, const std::string& fileName) override { savedFile_ = fileName; }

  void Progress(const TSplitProgress& p) override {
    form_.SetPanelText(1, kPanelWorkingLine + IntToStr(p.LineIndex));
    form_.SetPanelText(2, kPanelBytesWritten + IntToStr(p.BytesWritten));
    form_.SetPanelText(3, kPanelCreatingFile + IntToStr(p.FileCounter));
    form_.sLabel10->SetCaption(PieceFileName(options_, p.FileCounter + 1));
    if (!savedFile_.empty()) form_.Label1->SetCaption(savedFile_);
    form_.sGauge2->SetProgress(p.LineIndex);
    form_.sGauge1->SetProgress(
        static_cast<int>(std::min<int64_t>(p.BytesWritten >> gaugeShift_, INT_MAX)));
    FlushLog();
    Application->ProcessMessages();
  }

  void FlushLog() {
    if (pendingLog_.empty()) return;
    TStrings* log = form_.re_split->Lines();
    log->BeginUpdate();
    for (const std::string& line : pendingLog_) log->Add(line);
    // Keep the newest lines in view. Scrolled while drawing is off, the pane is drawn once,
    // at the next pump, instead of scrolling and repainting at every report.
    form_.re_split->ShowLastLine();
    log->EndUpdate();
    pendingLog_.clear();
  }

 private:
  TForm1& form_;
  const TSplitOptions& options_;
  int gaugeShift_;
  std::vector<std::string> pendingLog_;
  std::string savedFile_;
};

// ---- construction ------------------------------------------------------------------------

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  SetName("Form1");
  ChooseOpenFile = [this](const std::string& filter, std::string& fileName) {
    return RunOpenDialog(filter, fileName);
  };
  CheckVersion = [this] {
    CheckForUpdate(*WebForm1, Handle(), VersionText, ProgramFolder, Language);
  };
  CreateComponents();
  SetOnCreate(MakeEvent<&TForm1::FormCreate>(this));
  SetOnShow(MakeEvent<&TForm1::FormShow>(this));
  SetOnDestroy(MakeEvent<&TForm1::FormDestroy>(this));
  SetOnCloseQuery(MakeEvent<&TForm1::FormCloseQuery>(this));
}

TForm1::~TForm1() = default;

void TForm1::CreateMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  auto item = [this](TMenuItem* parent, const std::string& name, const std::string& caption) {
    auto* menuItem = new TMenuItem(this);
    menuItem->SetName(name);
    menuItem->SetCaption(caption);
    parent->Add(menuItem);
    return menuItem;
  };
  Datei1 = item(MainMenu1->Items(), "Datei1", "Datei");
  ffnen1 = item(Datei1, "ffnen1", "Öffnen");
  N1 = item(Datei1, "N1", "-");
  Beenden1 = item(Datei1, "Beenden1", "Beenden");
  Sprache1 = item(MainMenu1->Items(), "Sprache1", "Sprache");
  Deutsch1 = item(Sprache1, "Deutsch1", "Deutsch");
  Englisch1 = item(Sprache1, "Englisch1", "Englisch");
  Hilfe1 = item(MainMenu1->Items(), "Hilfe1", "Hilfe");
  About1 = item(Hilfe1, "About1", "About");
  ffnen1->SetOnClick(MakeEvent<&TForm1::ffnen1Click>(this));
  Beenden1->SetOnClick(MakeEvent<&TForm1::Beenden1Click>(this));
  Deutsch1->SetOnClick(MakeEvent<&TForm1::Deutsch1Click>(this));
  Englisch1->SetOnClick(MakeEvent<&TForm1::Englisch1Click>(this));
  About1->SetOnClick(MakeEvent<&TForm1::About1Click>(this));
  SetMenu(MainMenu1);
}

void TForm1::CreateEditorCommands() {
  // Our glyphs for the tool bar and the context menu; the hint says what a button does.
  sAlphaImageList1 = new TsAlphaImageList(this);
  sAlphaImageList1->SetName("sAlphaImageList1");
  LoadProgramGlyphs(sAlphaImageList1);
  // Captions stay for the translations; the bar shows the glyphs alone.
  auto button = [this](const std::string& name, const std::string& caption, int glyph,
                       const std::string& hint) {
    auto* b = new TToolButton(this);
    b->SetName(name);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetShowHint(!hint.empty());
    if (glyph < 0) b->SetStyle(tbsSeparator);
    b->SetImageIndex(glyph);
    b->SetParent(sToolBar1);
    return b;
  };
  sToolBar1->SetImages(sAlphaImageList1);
  sToolBar1->SetShowCaptions(false);
  sToolBar1->SetFlat(true);
  sToolBar1->SetButtonWidth(40);
  sToolBar1->SetButtonHeight(23);
  ToolButton1 = button("ToolButton1", "", -1, "");
  ToolButton1->SetWidth(157);
  ToolButton2 = button("ToolButton2", "Grösse", pgFontSize, "Schriftgrösse");
  ToolButton3 = button("ToolButton3", "", -1, "");
  ToolButton4 = button("ToolButton4", "Speich.", pgSave, "Speichern");
  ToolButton5 = button("ToolButton5", "Unter", pgSaveAs, "Speichern unter");
  ToolButton7 = button("ToolButton7", "", -1, "");
  ToolButton6 = button("ToolButton6", "Ausschn.", pgCut, "Ausschneiden");
  ToolButton8 = button("ToolButton8", "Kopie", pgCopy, "Kopieren");
  ToolButton9 = button("ToolButton9", "Einfüg.", pgPaste, "Einfügen");
  ToolButton10 = button("ToolButton10", "", -1, "");
  ToolButton11 = button("ToolButton11", "Wdh.", pgRedo, "Wiederholen");
  ToolButton12 = button("ToolButton12", "Rückg.", pgUndo, "Rückgängig");
  ToolButton13 = button("ToolButton13", "", -1, "");
  ToolButton14 = button("ToolButton14", "Suchen", pgFind, "Suchen");
  ToolButton2->SetOnClick(MakeEvent<&TForm1::ToolButton2Click>(this));
  ToolButton4->SetOnClick(MakeEvent<&TForm1::ToolButton4Click>(this));
  ToolButton5->SetOnClick(MakeEvent<&TForm1::ToolButton5Click>(this));
  ToolButton6->SetOnClick(MakeEvent<&TForm1::ToolButton6Click>(this));
  ToolButton8->SetOnClick(MakeEvent<&TForm1::ToolButton8Click>(this));
  ToolButton9->SetOnClick(MakeEvent<&TForm1::ToolButton9Click>(this));
  ToolButton11->SetOnClick(MakeEvent<&TForm1::ToolButton11Click>(this));
  ToolButton12->SetOnClick(MakeEvent<&TForm1::ToolButton12Click>(this));
  ToolButton14->SetOnClick(MakeEvent<&TForm1::ToolButton14Click>(this));
  // The font combo box lies over the bar's first, empty stretch.
  sFontComboBox1->SetBounds(sToolBar1->Left() + 2, sToolBar1->Top() + 3, 153, 21);
  sFontComboBox1->SetOnChange(MakeEvent<&TForm1::sFontComboBox1Change>(this));

  auto item = [this](TPopupMenu* menu, const std::string& name, const std::string& caption,
                     TNotifyEvent click) {
    auto* menuItem = new TMenuItem(this);
    menuItem->SetName(name);
    menuItem->SetCaption(caption);
    if (click) menuItem->SetOnClick(click);
    menu->Items()->Add(menuItem);
    return menuItem;
  };
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  FontSize8px1 = item(PopupMenu1, "FontSize8px1", "Font Size 8px",
                      MakeEvent<&TForm1::FontSize8px1Click>(this));
  FontSize9px1 = item(PopupMenu1, "FontSize9px1", "Font Size 9px",
                      MakeEvent<&TForm1::FontSize9px1Click>(this));
  FontSize10px1 = item(PopupMenu1, "FontSize10px1", "Font Size 10px",
                       MakeEvent<&TForm1::FontSize10px1Click>(this));
  FontSize11px1 = item(PopupMenu1, "FontSize11px1", "Font Size 11px",
                       MakeEvent<&TForm1::FontSize11px1Click>(this));
  FontSize12px1 = item(PopupMenu1, "FontSize12px1", "Font Size 12px",
                       MakeEvent<&TForm1::FontSize12px1Click>(this));
  FontSize9px1->SetChecked(true);

  PopupMenu2 = new TPopupMenu(this);
  PopupMenu2->SetName("PopupMenu2");
  PopupMenu2->SetImages(sAlphaImageList1);
  PopupMenu2->SetOwnerDraw(true);
  Ausschneiden1 =
      item(PopupMenu2, "Ausschneiden1", "Ausschneiden", MakeEvent<&TForm1::ToolButton6Click>(this));
  Kopieren1 = item(PopupMenu2, "Kopieren1", "Kopieren", MakeEvent<&TForm1::ToolButton8Click>(this));
  Einfgen1 = item(PopupMenu2, "Einfgen1", "Einfügen", MakeEvent<&TForm1::ToolButton9Click>(this));
  N2 = item(PopupMenu2, "N2", "-", nullptr);
  Wiederherstellen1 = item(PopupMenu2, "Wiederherstellen1", "Wiederherstellen",
                           MakeEvent<&TForm1::ToolButton11Click>(this));
  Rckgngig1 =
      item(PopupMenu2, "Rckgngig1", "Rückgängig", MakeEvent<&TForm1::ToolButton12Click>(this));
  N3 = item(PopupMenu2, "N3", "-", nullptr);
  Suchen1 = item(PopupMenu2, "Suchen1", "Suchen", MakeEvent<&TForm1::ToolButton14Click>(this));
  Ausschneiden1->SetImageIndex(pgCut);
  Kopieren1->SetImageIndex(pgCopy);
  Einfgen1->SetImageIndex(pgPaste);
  Wiederherstellen1->SetImageIndex(pgRedo);
  Rckgngig1->SetImageIndex(pgUndo);
  Suchen1->SetImageIndex(pgFind);
  re_org->SetPopupMenu(PopupMenu2);

  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  FindDialog1 = new TFindDialog(this);
  FindDialog1->SetName("FindDialog1");
  FindDialog1->SetOptions(
      {frDown, frHideMatchCase, frHideUpDown, frDisableMatchCase, frDisableUpDown});
  FindDialog1->SetOnFind(MakeEvent<&TForm1::FindDialog1Find>(this));
}

void TForm1::CreateComponents() {
  SetCaption("Kestrava 1.2");
  SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
  SetBorderStyle(bsSingle);
  SetPosition(poScreenCenter);
  SetColor(static_cast<TColor>(14675954));
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  CreateMenu();
  SetBounds(0, 0, 843, 710);

  sBitBtn1 = new TsBitBtn(this);
  sBitBtn1->SetName("sBitBtn1");
  sBitBtn1->SkinData()->SetSkinSection("BUTTON");
  sBitBtn1->SetParent(this);
  sBitBtn1->SetBounds(8, 8, 110, 27);
  sBitBtn1->SetCaption("Datei öffnen");
  sBitBtn1->SetOnClick(MakeEvent<&TForm1::sBitBtn1Click>(this));

  cb_csv = new TsCheckBox(this);
  cb_csv->SetName("cb_csv");
  cb_csv->SkinData()->SetSkinSection("CHECKBOX");
  cb_csv->SetParent(this);
  cb_csv->SetBounds(128, 13, 90, 17);
  cb_csv->SetCaption("csv-Datei");

  sLabel1 = MakeLabel(this, this, "sLabel1", 230, 15, "Zeilen Anzahl:");
  sLabel2 = MakeLabel(this, this, "sLabel2", 320, 15, "0");

  sCheckBox1 = new TsCheckBox(this);
  sCheckBox1->SetName("sCheckBox1");
  sCheckBox1->SkinData()->SetSkinSection("CHECKBOX");
  sCheckBox1->SetParent(this);
  sCheckBox1->SetBounds(420, 6, 200, 17);
  sCheckBox1->SetCaption("Kommentarzeilen entfernen");
  sCheckBox1->SetEnabled(false);
  sCheckBox1->SetOnClick(MakeEvent<&TForm1::sCheckBox1Click>(this));

  sCheckBox2 = new TsCheckBox(this);
  sCheckBox2->SetName("sCheckBox2");
  sCheckBox2->SkinData()->SetSkinSection("CHECKBOX");
  sCheckBox2->SetParent(this);
  sCheckBox2->SetBounds(420, 26, 200, 17);
  sCheckBox2->SetCaption("Leerzeilen entfernen");
  sCheckBox2->SetEnabled(false);
  sCheckBox2->SetOnClick(MakeEvent<&TForm1::sCheckBox2Click>(this));

  sGauge3 = MakeGauge("sGauge3");
  sGauge3->SetBounds(630, 6, 190, 17);
  sGauge4 = MakeGauge("sGauge4");
  sGauge4->SetBounds(630, 26, 190, 17);

  sToolBar1 = new TsToolBar(this);
  sToolBar1->SetName("sToolBar1");
  sToolBar1->SkinData()->SetSkinSection("TOOLBAR");
  sToolBar1->SetParent(this);
  sToolBar1->SetAlign(alNone);
  sToolBar1->SetBounds(8, 48, 812, 28);
  sToolBar1->SetEnabled(false);

  sFontComboBox1 = new TComboBox(this);
  sFontComboBox1->SetName("sFontComboBox1");
  sFontComboBox1->SetParent(this);
  sFontComboBox1->SetBounds(620, 51, 200, 21);
  sFontComboBox1->SetHint("Schriftart");
  sFontComboBox1->SetShowHint(true);

  CreateHighlighters();
  re_org = new TKedEdit(this);
  re_org->SetName("re_org");
  re_org->SetParent(this);
  re_org->SetBounds(8, 82, 812, 300);
  re_org->Font()->SetName(kEditorFontName);
  re_org->Font()->SetHeight(-11);
  re_org->Gutter()->Font()->SetName("Courier New");
  re_org->Gutter()->Font()->SetHeight(-11);
  re_org->Gutter()->SetLeadingZeros(true);
  re_org->Gutter()->SetShowLineNumbers(true);
  re_org->SetHighlighter(KedSQLHl1);
  re_org->SetSearchEngine(KedEditSearch1);
  re_org->Model().SetWantReturns(false);
  re_org->SetEnabled(false);
  CreateEditorCommands();

  sGroupBox1 = new TsGroupBox(this);
  sGroupBox1->SetName("sGroupBox1");
  sGroupBox1->SetParent(this);
  sGroupBox1->SetBounds(8, 390, 400, 150);
  sGroupBox1->SetCaption("Verarbeitung");
  sGroupBox1->SetEnabled(false);

  sLabel5 = MakeLabel(this, sGroupBox1, "sLabel5", 10, 24, "Speicherort:");
  sDirectoryEdit1 = new TsDirectoryEdit(this);
  sDirectoryEdit1->SetName("sDirectoryEdit1");
  sDirectoryEdit1->SkinData()->SetSkinSection("EDIT");
  sDirectoryEdit1->SetParent(sGroupBox1);
  sDirectoryEdit1->SetBounds(120, 20, 270, 21);
  sDirectoryEdit1->SetMaxLength(255);
  sDirectoryEdit1->SetColor(static_cast<TColor>(16776441));
  sDirectoryEdit1->Font()->SetName("MS Sans Serif");
  sDirectoryEdit1->Font()->SetHeight(-11);
  sDirectoryEdit1->Font()->SetColor(clBlack);
  sDirectoryEdit1->SetRoot("rfMyComputer");
  sDirectoryEdit1->SetText("");

  sLabel6 = MakeLabel(this, sGroupBox1, "sLabel6", 10, 52, "Dateiname:");
  sEdit1 = new TsEdit(this);
  sEdit1->SetName("sEdit1");
  sEdit1->SetParent(sGroupBox1);
  sEdit1->SetBounds(120, 48, 270, 21);
  sEdit1->SetText("");

  sLabel7 = MakeLabel(this, sGroupBox1, "sLabel7", 10, 80, "neue Dateigrösse:");
  sEdit2 = new TsEdit(this);
  sEdit2->SetName("sEdit2");
  sEdit2->SetParent(sGroupBox1);
  sEdit2->SetBounds(120, 76, 60, 21);
  sEdit2->SetText("2");
  sUpDown1 = new TsUpDown(this);
  sUpDown1->SetName("sUpDown1");
  sUpDown1->SetParent(sGroupBox1);
  sUpDown1->SetBounds(180, 76, 16, 21);
  sUpDown1->SetMin(0);
  sUpDown1->SetMax(10000);
  sUpDown1->SetPosition(2);
  sUpDown1->SetThousands(false);
  sUpDown1->SetAssociate(sEdit2);
  sComboBox1 = new TsComboBox(this);
  sComboBox1->SetName("sComboBox1");
  sComboBox1->SkinData()->SetSkinSection("COMBOBOX");
  sComboBox1->SetParent(sGroupBox1);
  sComboBox1->SetBounds(206, 76, 60, 21);
  sComboBox1->Items()->Add("KB");
  sComboBox1->Items()->Add("MB");
  sComboBox1->Items()->Add("GB");
  sComboBox1->SetItemIndex(1);

  sBitBtn2 = new TsBitBtn(this);
  sBitBtn2->SetName("sBitBtn2");
  sBitBtn2->SkinData()->SetSkinSection("BUTTON");
  sBitBtn2->SetParent(sGroupBox1);
  sBitBtn2->SetBounds(120, 110, 110, 27);
  sBitBtn2->SetCaption("Starten");
  sBitBtn2->SetOnClick(MakeEvent<&TForm1::sBitBtn2Click>(this));

  sLabel3 = MakeLabel(this, this, "sLabel3", 420, 400, "Datei:");
  sGauge1 = MakeGauge("sGauge1");
  sGauge1->SetBounds(480, 398, 340, 18);
  sLabel4 = MakeLabel(this, this, "sLabel4", 420, 426, "Gesamt:");
  sGauge2 = MakeGauge("sGauge2");
  sGauge2->SetBounds(480, 424, 340, 18);
  sLabel8 = MakeLabel(this, this, "sLabel8", 420, 456, "Gespeicherte Datei:");
  Label1 = MakePlainLabel(this, this, "Label1", 540, 456, "");
  sLabel9 = MakeLabel(this, this, "sLabel9", 420, 480, "Erzeuge Datei:");
  sLabel10 = MakeLabel(this, this, "sLabel10", 540, 480, "");

  re_split = new TsRichEdit(this);
  re_split->SetName("re_split");
  re_split->SkinData()->SetSkinSection("EDIT");
  re_split->SetParent(this);
  re_split->SetPlainText(true);
  re_split->SetBounds(8, 548, 812, 80);
  re_split->SetScrollBars(ssVertical);
  re_split->SetWordWrap(false);
  re_split->SetReadOnly(true);

  sStatusBar1 = new TsStatusBar(this);
  sStatusBar1->SetName("sStatusBar1");
  sStatusBar1->SetParent(this);
  sStatusBar1->SetSizeGrip(false);
  sStatusBar1->SkinData()->SetSkinSection("STATUSBAR");
  for (int i = 0; i < 5; ++i) sStatusBar1->Panels()->Add()->SetWidth(150);

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");
  OpenDialog1->SetFilter("SQL-Dateien|*.sql|CSV-Dateien|*.csv");

  KxTranslator1 = new TKxTranslator(this);
  KxTranslator1->SetName("KxTranslator1");
  KxTranslatorStrings1 = new TKxTranslatorStrings(this);
  KxTranslatorStrings1->SetName("KxTranslatorStrings1");

  WebForm1 = new TinetWebForm(this);
  WebForm1->SetName("WebForm1");
  WebForm1->SetFirewallPort(80);

  CreateSkinManager();
}

TsGauge* TForm1::MakeGauge(const std::string& name) {
  auto* gauge = new TsGauge(this);
  gauge->SetName(name);
  gauge->SetParent(this);
  gauge->SkinData()->SetSkinSection("GAUGE");
  gauge->SetProgress(0);
  gauge->SetForeColor(clBlack);
  gauge->SetSuffix("%");
  return gauge;
}

void TForm1::CreateSkinManager() {
  sSkinManager1 = new TsSkinManager(this);
  sSkinManager1->SetName("sSkinManager1");
  InstallSkinRuntime(*sSkinManager1);
  ThirdPartyList& third = *sSkinManager1->ThirdParty();
  third.Texts[tpEdits] = "TKedEdit\nTKedMemo\nTDBKedEdit";
  third.Texts[tpButtons] = "TButton";
  sSkinManager1->ReadThirdParty(false);
  TskAnimEffects& effects = *sSkinManager1->AnimEffects();
  effects.DialogShow.Active = false;
  effects.DialogShow.Time = 100;
  effects.FormShow.Active = false;
  effects.FormShow.Time = 100;
  // The skins travel with the program, in the folder Skins beside it.
  sSkinManager1->SetSkinDirectory("Skins");
  sSkinManager1->SetSkinName("Office12Style");

  sSkinProvider1 = new TsSkinProvider(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetMakeSkinMenu(true);
}

void TForm1::CreateHighlighters() {
  KedSQLHl1 = new TKedSQLHl(this);
  KedSQLHl1->SetName("KedSQLHl1");
  KedSQLHl1->SetSQLDialect(sqlMySQL);
  KedSQLHl1->CommentAttri()->SetForeground(clGreen);
  KedSQLHl1->FunctionAttri()->SetForeground(clRed);
  KedSQLHl1->IdentifierAttri()->SetForeground(clRed);
  KedSQLHl1->KeyAttri()->SetForeground(clBlue);

  // CSV has neither comments nor preprocessor lines; the separators and quotes count as
  // word characters so that a double click selects a whole field.
  KedGeneralHl1 = new TKedGeneralHl(this);
  KedGeneralHl1->SetName("KedGeneralHl1");
  KedGeneralHl1->SetComments(TCommentStyles{});
  KedGeneralHl1->SetDetectPreprocessor(false);
  KedGeneralHl1->SetIdentifierChars(" ',;");
  KedGeneralHl1->CommentAttri()->SetForeground(clMoneyGreen);
  KedGeneralHl1->IdentifierAttri()->SetForeground(clNavy);
  KedGeneralHl1->PreprocessorAttri()->SetForeground(clRed);
  KedGeneralHl1->SymbolAttri()->SetForeground(clRed);
  KedGeneralHl1->SpaceAttri()->SetForeground(clMenuHighlight);
  KedGeneralHl1->StringAttri()->SetForeground(clActiveCaption);

  KedEditSearch1 = new TKedEditSearch(this);
  KedEditSearch1->SetName("KedEditSearch1");
}

void TForm1::SetPanelText(int index, const std::string& text) {
  TStatusPanel* panel = sStatusBar1->Panels()->Items(index);
  if (panel->Text() == text) return;
  // Drawn at the next message pump, which every long run reaches at its progress reports:
  // three panels drawn at once instead of one by one.
  panel->SetText(text);
}

bool TForm1::RunOpenDialog(const std::string& filter, std::string& fileName) {
  OpenDialog1->SetFilter(filter);
  if (!OpenDialog1->Execute()) return false;
  fileName = OpenDialog1->FileName();
  return true;
}

// ---- creation, show and destruction ----------------------------------------------------

std::string TForm1::FontFileName() const { return ProgramFolder + "font\\" + kEditorFontFile; }

void TForm1::FormCreate(TObject*) {
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  {
    // The version is read and the error mode put back even when the font steps fail.
    TScopeExit finish(IgnoringExceptions([&] {
      VersionText = ReadOwnFileVersion();
      SetErrorMode(previousMode);
    }));
    ProgramFolder = ExtractFilePath(Application->ExeName());
    // A missing font file is not reported: the system substitutes another font.
    registeredFont_ = FontFileName();
    AddFontResourceA(registeredFont_.c_str());
    SendMessageA(Application->Handle(), WM_FONTCHANGE, 0, 0);
    sFontComboBox1->Items()->Assign(Screen->Fonts());
    sFontComboBox1->SetItemIndex(sFontComboBox1->Items()->IndexOf(kEditorFontName));
    re_split->Font()->SetName(kEditorFontName);
  }
  if (FileExists(ConfigFileName(ProgramFolder))) {
    Language = ReadLanguageSetting(ProgramFolder, Language);
    // The about window does not exist yet: it follows when this window is first shown.
    if (Language == "en") TranslateWindow(*KxTranslator1, ProgramFolder, "en", "main", this);
  }
}

void TForm1::FormShow(TObject*) {
  // The font box lies over the tool bar's first stretch, so it must be above the bar.
  SetWindowPos(sFontComboBox1->Handle(), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  try {
    if (Language == "en") {
      if (!ReadLanguageSetting(ProgramFolder).empty()) {
        TranslateWindow(*KxTranslator1, ProgramFolder, "en", "main", this);
        TranslateWindow(*KxTranslator1, ProgramFolder, "en", "about", Form2);
      } else {
        Englisch1Click(this);
      }
    }
    if (CheckVersion) CheckVersion();
  } catch (...) {
    // The language steps and the check fail alike: the user gets one message for either.
    ShowPlainMessage(kVersionCheckFailed);
  }
}

void TForm1::FormDestroy(TObject*) {
  if (registeredFont_.empty()) return;
  RemoveFontResourceA(registeredFont_.c_str());
  SendMessageA(Application->Handle(), WM_FONTCHANGE, 0, 0);
}

void TForm1::FormCloseQuery(TObject*, bool& canClose) {
  // A closed window under a running split would be written to after its death.
  if (busy_) {
    ShowPlainMessage(Msg(TAppMessage::BusyCannotClose));
    canClose = false;
  }
}

void TForm1::Beenden1Click(TObject*) { Close(); }

void TForm1::Englisch1Click(TObject*) {
  SwitchLanguage(*KxTranslator1, ProgramFolder, "en", this, Form2, Language);
}

void TForm1::Deutsch1Click(TObject*) {
  SwitchLanguage(*KxTranslator1, ProgramFolder, "de", this, Form2, Language);
}

void TForm1::About1Click(TObject*) {
  if (Form2 == nullptr) return;
  if (Language == "en") TranslateWindow(*KxTranslator1, ProgramFolder, "en", "about", Form2);
  Form2->ShowModal();
}

// ---- editor commands ---------------------------------------------------------------------

void TForm1::ToolButton2Click(TObject*) {
  const TPoint at = ToolButton2->ClientToScreen({0, ToolButton2->Height()});
  PopupMenu1->Popup(at.X, at.Y);
}

void TForm1::SaveEditorText(const std::string& fileName) {
  // The file is replaced only once the whole text was written; a failure raises and
  // keeps both the old file and the edited text.
  if (fileName.empty()) throw EFCreateError("Cannot create file \"\"");
  Lines()->SaveToFile(fileName);
  re_org->SetModified(false);
  ShowPlainMessage(Msg(TAppMessage::FileSaved));
}

void TForm1::ToolButton4Click(TObject*) { SaveEditorText(OpenedPath); }

void TForm1::ToolButton5Click(TObject*) {
  std::string fileName = OpenedFileName;
  const bool chosen = ChooseSaveFile ? ChooseSaveFile(fileName) : [&] {
    SaveDialog1->SetFileName(fileName);
    if (!SaveDialog1->Execute()) return false;
    fileName = SaveDialog1->FileName();
    return true;
  }();
  if (chosen) SaveEditorText(fileName);
}

void TForm1::ToolButton6Click(TObject*) { re_org->CutToClipboard(); }
void TForm1::ToolButton8Click(TObject*) { re_org->CopyToClipboard(); }
void TForm1::ToolButton9Click(TObject*) { re_org->PasteFromClipboard(); }
void TForm1::ToolButton11Click(TObject*) { re_org->Redo(); }
void TForm1::ToolButton12Click(TObject*) { re_org->Undo(); }

void TForm1::ToolButton14Click(TObject*) {
  FindDialog1->Execute();
  FindIndex = 0;
}

void TForm1::FindDialog1Find(TObject*) {
  KedEditSearch1->SetPattern(FindDialog1->FindText());
  // Every press searches the current text again, line by line: no joined copy of a dump.
  const int count = KedEditSearch1->FindAllInLines(*Lines());
  if (FindIndex == 0) ShowPlainMessage(std::to_string(count) + kMatchCountSuffix);
  if (FindIndex < count) {
    const int position = KedEditSearch1->GetResult(FindIndex);
    re_org->SetSelStart(position - 1);
    re_org->SetSelLength(static_cast<int64_t>(FindDialog1->FindText().size()));
  }
  ++FindIndex;
  // After the last match the dialog closes instead of selecting before the text.
  if (count < FindIndex) FindDialog1->CloseDialog();
}

void TForm1::SetEditorFontSize(int size, TMenuItem* item) {
  re_org->Font()->SetSize(size);
  for (int i = 0; i < PopupMenu1->Items()->Count(); ++i)
    PopupMenu1->Items()->Items(i)->SetChecked(false);
  item->SetChecked(true);
}

void TForm1::FontSize8px1Click(TObject*) { SetEditorFontSize(8, FontSize8px1); }
void TForm1::FontSize9px1Click(TObject*) { SetEditorFontSize(9, FontSize9px1); }
void TForm1::FontSize10px1Click(TObject*) { SetEditorFontSize(10, FontSize10px1); }
void TForm1::FontSize11px1Click(TObject*) { SetEditorFontSize(11, FontSize11px1); }
void TForm1::FontSize12px1Click(TObject*) { SetEditorFontSize(12, FontSize12px1); }

void TForm1::sFontComboBox1Change(TObject*) { re_org->Font()->SetName(sFontComboBox1->Text()); }

// ---- opening ---------------------------------------------------------------------------

bool TForm1::LoadFile(const std::string& path) {
  try {
    Application->ProcessMessages();  // lets the wait cursor show before a long load
    TKedEditStringList fresh;
    fresh.LoadFromFile(path);
    // Emptied only now, so that a failed load keeps the text; ClearAll also forgets the
    // undo and redo steps of the old text.
    re_org->ClearAll();
    Lines()->SwapContents(fresh);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TForm1::sBitBtn1Click(TObject*) {
  if (busy_) return;
  // Highlighter and filter follow the CSV box even when the dialog is then cancelled.
  if (cb_csv->Checked()) {
    re_org->SetHighlighter(KedGeneralHl1);
    OpenDialog1->SetFilter("CSV-Dateien|*.csv");
  } else {
    re_org->SetHighlighter(KedSQLHl1);
    OpenDialog1->SetFilter("SQL-Dateien|*.sql");
  }
  std::string path;
  if (!ChooseOpenFile(OpenDialog1->Filter(), path)) return;
  OpenWithPreparation(path);
}

void TForm1::OpenWithPreparation(const std::string& path) {
  sCheckBox1->SetChecked(false);
  sCheckBox2->SetChecked(false);
  Screen->SetCursor(crSQLWait);
  const bool loaded = LoadFile(path);
  if (loaded) {
    re_org->SetMaxScrollWidth(LongestLineLength(*Lines()));
    re_split->Lines()->Add(Msg(TAppMessage::OpenFile) + path);
    OpenedPath = path;
    OpenedFileName = ExtractFileName(path);
    sEdit1->SetText(ProposedBaseName(path));
    sDirectoryEdit1->SetText(ProposedFolder(path));
  } else {
    Screen->SetCursor(crDefault);
    ShowPlainMessage(Msg(TAppMessage::OpenError));
  }
  Screen->SetCursor(crDefault);
  sLabel2->SetCaption(IntToStr(Lines()->Count()));
  sGroupBox1->SetEnabled(true);
  sCheckBox1->SetEnabled(true);
  sCheckBox2->SetEnabled(true);
  sToolBar1->SetEnabled(true);
  re_org->SetEnabled(true);
  SetPanelText(0, kPanelLineCount + IntToStr(Lines()->Count()));
}

void TForm1::ffnen1Click(TObject*) {
  if (busy_) return;
  std::string path;
  if (!ChooseOpenFile(OpenDialog1->Filter(), path)) return;
  OpenPlain(path);
}

void TForm1::OpenPlain(const std::string& path) {
  Screen->SetCursor(crHourGlass);
  const bool loaded = LoadFile(path);
  Screen->SetCursor(crDefault);
  if (loaded) {
    // Save writes to the file on screen, whichever command opened it.
    OpenedPath = path;
    OpenedFileName = ExtractFileName(path);
  } else {
    ShowPlainMessage(Msg(TAppMessage::OpenError));
  }
  sLabel2->SetCaption(IntToStr(Lines()->Count()));
}

// ---- cleaning ---------------------------------------------------------------------------

void TForm1::sCheckBox1Click(TObject*) {
  if (sCheckBox1->Checked()) RemoveLines(true);
}

void TForm1::sCheckBox2Click(TObject*) {
  if (sCheckBox2->Checked()) RemoveLines(false);
}

void TForm1::RemoveLines(bool comments) {
  if (busy_) return;
  TsGauge* gauge = comments ? sGauge3 : sGauge4;
  const int total = Lines()->Count();
  if (total == 0) {
    ShowPlainMessage(Msg(TAppMessage::NoLines));
    return;
  }
  {
    SetBusy(true);
    Screen->SetCursor(crHourGlass);
    TScopeExit restore(IgnoringExceptions([this] {
      Screen->SetCursor(crDefault);
      SetBusy(false);
    }));
    gauge->SetProgress(0);
    gauge->SetMaxValue(total);
    ::RemoveLines(*Lines(), comments ? TCleanKind::CommentLines : TCleanKind::BlankLines,
                  [this, gauge](int examined, int) {
                    SetPanelText(1, kPanelWorkingLine + IntToStr(examined));
                    gauge->SetProgress(examined);
                    Application->ProcessMessages();
                  });
    sLabel2->SetCaption(IntToStr(Lines()->Count()));
    SetPanelText(0, kPanelLineCount + IntToStr(Lines()->Count()));
  }
  ShowPlainMessage(Msg(comments ? TAppMessage::CommentsDeleted : TAppMessage::BlankLinesDeleted));
  gauge->SetProgress(0);
}

// ---- the split -------------------------------------------------------------------------

void TForm1::sBitBtn2Click(TObject*) {
  if (busy_) return;
  if (sDirectoryEdit1->Text().empty()) {
    ShowPlainMessage(Msg(TAppMessage::NoDirectory));
    sDirectoryEdit1->SetFocus();
    return;
  }
  if (sEdit1->Text().empty()) {
    ShowPlainMessage(Msg(TAppMessage::NoFileName));
    sEdit1->SetFocus();
    return;
  }
  TSplitOptions options;
  if (!TrySizeLimit(sEdit2->Text(), sComboBox1->ItemIndex(), options.SizeLimit)) {
    ShowPlainMessage(Msg(TAppMessage::InvalidSize));
    sEdit2->SetFocus();
    return;
  }
  const int count = Lines()->Count();
  if (count == 0 || (count == 1 && Lines()->LineView(0).empty())) {
    ShowPlainMessage(Msg(TAppMessage::NoText));
    return;
  }
  options.Folder = sDirectoryEdit1->Text();
  options.BaseName = sEdit1->Text();
  options.CsvMode = cb_csv->Checked();

  // The gauges count in 32 bits: a limit of 2 GB and more is shown in coarser steps.
  int gaugeShift = 0;
  while ((options.SizeLimit >> gaugeShift) > INT_MAX) ++gaugeShift;

  re_split->Lines()->Clear();
  sGauge1->SetProgress(0);
  sGauge2->SetProgress(0);
  sGauge1->SetMaxValue(static_cast<int>(options.SizeLimit >> gaugeShift));
  sGauge2->SetMaxValue(count - 1);

  std::string failure;
  {
    SetBusy(true);
    TScopeExit restore(IgnoringExceptions([this] { SetBusy(false); }));
    SplitView view(*this, options, gaugeShift);
    try {
      TLineListSource source(*Lines());
      TPieceFileSink sink;
      sink.SetSourceFile(OpenedPath);
      RunSplit(source, options, sink, view);
    } catch (const ESplitIoError& e) {
      const TAppMessage message =
          e.Kind() == ESplitIoError::ioCreateFolder ? TAppMessage::CreateDirectoryFailed
          : e.Kind() == ESplitIoError::ioCreateFile ? TAppMessage::CreateFileFailed
          : e.Kind() == ESplitIoError::ioSourceFile ? TAppMessage::PieceIsSource
                                                    : TAppMessage::WriteFailed;
      failure = Format(Msg(message), e.Path());
    } catch (const ESplitRefused& e) {
      failure = Msg(e.Reason() == ESplitRefused::InvalidSize ? TAppMessage::InvalidSize
                                                             : TAppMessage::NoText);
    }
    view.FlushLog();
  }
  if (!failure.empty()) {
    ShowPlainMessage(failure);
    return;
  }
  ShowPlainMessage(Msg(TAppMessage::ProcessingTerminated));
  sGauge1->SetProgress(0);
  sGauge2->SetProgress(0);
}

// ---- busy state --------------------------------------------------------------------------

void TForm1::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    // Nothing may re-enter a run while it pumps messages.
    savedControls_.clear();
    savedItems_.clear();
    for (TControl* c :
         std::initializer_list<TControl*>{sBitBtn1, sBitBtn2, cb_csv, sCheckBox1, sCheckBox2,
                                          sToolBar1, sFontComboBox1, re_org, sGroupBox1}) {
      savedControls_.emplace_back(c, c->Enabled());
      c->SetEnabled(false);
    }
    for (TMenuItem* item : {Datei1, Sprache1, Hilfe1}) {
      savedItems_.emplace_back(item, item->Enabled());
      item->SetEnabled(false);
    }
  } else {
    for (auto& [control, enabled] : savedControls_) control->SetEnabled(enabled);
    for (auto& [item, enabled] : savedItems_) item->SetEnabled(enabled);
    savedControls_.clear();
    savedItems_.clear();
  }
}

// ---- own version ----------------------------------------------------------------------------

std::string ReadOwnFileVersion() {
  char path[MAX_PATH] = {};
  if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return "";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return "";
  std::vector<char> buffer(size);
  if (!GetFileVersionInfoA(path, 0, size, buffer.data())) return "";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
    return "";
  return IntToStr(HIWORD(info->dwFileVersionMS)) + "." + IntToStr(LOWORD(info->dwFileVersionMS)) +
         "." + IntToStr(HIWORD(info->dwFileVersionLS)) + "." +
         IntToStr(LOWORD(info->dwFileVersionLS));
}
