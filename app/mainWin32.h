// The main window: opening a dump, deleting comment and blank lines, and the split.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppMessages.h"
#include "editor/KedEditSearch.h"
#include "editor/KedEditTextBuffer.h"
#include "editor/KedEditWin32.h"
#include "editor/KedHighlighterGeneral.h"
#include "editor/KedHighlighterSQL.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/DialogsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "imaging/skAlphaImageListWin32.h"
#include "skin/controls/sBitBtnWin32.h"
#include "skin/controls/sCheckBoxWin32.h"
#include "skin/controls/sComboBoxWin32.h"
#include "skin/controls/sEditWin32.h"
#include "skin/controls/sGaugeWin32.h"
#include "skin/controls/sGroupBoxWin32.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/controls/sRichEditWin32.h"
#include "skin/controls/sStatusBarWin32.h"
#include "skin/controls/sToolBarWin32.h"
#include "skin/controls/sTooleditWin32.h"
#include "skin/controls/sUpDownWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "translate/KxTranslator.h"

class TSplitObserver;
class TinetWebForm;

class TForm1 : public TForm {
  K_CLASS(TForm1, TForm)

  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  // Fields the other commands share.
  std::string VersionText;
  std::string ProgramFolder;
  std::string Language;
  std::string OpenedPath;
  std::string OpenedFileName;
  int FindIndex = 0;

  // Components, named as the window's commands refer to them.
  TsBitBtn* sBitBtn1;  // "Datei öffnen"
  TsCheckBox* cb_csv;
  TsLabel* sLabel1;
  TsLabel* sLabel2;
  TsCheckBox* sCheckBox1;
  TsCheckBox* sCheckBox2;
  TsGauge* sGauge3;
  TsGauge* sGauge4;
  TsToolBar* sToolBar1;
  TToolButton* ToolButton1;  // room for the font combo box lying over the bar
  TToolButton* ToolButton2;  // font size
  TToolButton* ToolButton3;
  TToolButton* ToolButton4;  // save
  TToolButton* ToolButton5;  // save as
  TToolButton* ToolButton7;
  TToolButton* ToolButton6;  // cut
  TToolButton* ToolButton8;  // copy
  TToolButton* ToolButton9;  // paste
  TToolButton* ToolButton10;
  TToolButton* ToolButton11;  // redo
  TToolButton* ToolButton12;  // undo
  TToolButton* ToolButton13;
  TToolButton* ToolButton14;  // find
  TComboBox* sFontComboBox1;
  TKedEdit* re_org;  // the editor; disabled until a file is opened
  TKedSQLHl* KedSQLHl1;
  TKedGeneralHl* KedGeneralHl1;  // highlighter of CSV dumps
  TKedEditSearch* KedEditSearch1;
  TsGroupBox* sGroupBox1;
  TsLabel* sLabel5;
  TsDirectoryEdit* sDirectoryEdit1;
  TsLabel* sLabel6;
  TsEdit* sEdit1;
  TsLabel* sLabel7;
  TsEdit* sEdit2;
  TsUpDown* sUpDown1;
  TsComboBox* sComboBox1;
  TsBitBtn* sBitBtn2;  // "Starten"
  TsRichEdit* re_split;
  TsGauge* sGauge1;
  TsGauge* sGauge2;
  TsLabel* sLabel3;
  TsLabel* sLabel4;
  TsLabel* sLabel8;
  TsLabel* sLabel9;
  TsLabel* sLabel10;
  TLabel* Label1;
  TsStatusBar* sStatusBar1;
  TMainMenu* MainMenu1;
  TsSkinManager* sSkinManager1;
  TsSkinProvider* sSkinProvider1;
  TMenuItem* Datei1;
  TMenuItem* ffnen1;
  TMenuItem* N1;
  TMenuItem* Beenden1;
  TMenuItem* Sprache1;
  TMenuItem* Deutsch1;
  TMenuItem* Englisch1;
  TMenuItem* Hilfe1;
  TMenuItem* About1;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;
  TFindDialog* FindDialog1;
  TsAlphaImageList* sAlphaImageList1;  // our glyphs: tool bar and context menu
  TPopupMenu* PopupMenu1;              // font sizes
  TMenuItem* FontSize8px1;
  TMenuItem* FontSize9px1;
  TMenuItem* FontSize10px1;
  TMenuItem* FontSize11px1;
  TMenuItem* FontSize12px1;
  TPopupMenu* PopupMenu2;  // the editor's context menu
  TMenuItem* Ausschneiden1;
  TMenuItem* Kopieren1;
  TMenuItem* Einfgen1;
  TMenuItem* N2;
  TMenuItem* Wiederherstellen1;
  TMenuItem* Rckgngig1;
  TMenuItem* N3;
  TMenuItem* Suchen1;
  TKxTranslator* KxTranslator1;
  TKxTranslatorStrings* KxTranslatorStrings1;
  TinetWebForm* WebForm1;

  // The text being worked on: the editor's line list.
  TKedEditStringList* Lines() { return re_org->Lines(); }

  // Shows OpenDialog1 with the given filter; false when cancelled. Replaced by window
  // tests, which cannot click through a system dialog.
  std::function<bool(const std::string& filter, std::string& fileName)> ChooseOpenFile;
  // Shows SaveDialog1 preset with fileName; false when cancelled. Replaced by tests.
  std::function<bool(std::string& fileName)> ChooseSaveFile;
  // The version check the show handler runs (asks the update server). Window tests that
  // are not about it replace it, so that no test waits on a server.
  std::function<void()> CheckVersion;

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void Beenden1Click(TObject* sender);
  // Language menu and about window (app/Language.h).
  void Englisch1Click(TObject* sender);
  void Deutsch1Click(TObject* sender);
  void About1Click(TObject* sender);
  void sBitBtn1Click(TObject* sender);
  void ffnen1Click(TObject* sender);
  void sCheckBox1Click(TObject* sender);
  void sCheckBox2Click(TObject* sender);
  void sBitBtn2Click(TObject* sender);
  // Editor commands: tool bar, context menu, font size and font name, find, save.
  void ToolButton2Click(TObject* sender);
  void ToolButton4Click(TObject* sender);
  void ToolButton5Click(TObject* sender);
  void ToolButton6Click(TObject* sender);
  void ToolButton8Click(TObject* sender);
  void ToolButton9Click(TObject* sender);
  void ToolButton11Click(TObject* sender);
  void ToolButton12Click(TObject* sender);
  void ToolButton14Click(TObject* sender);
  void FindDialog1Find(TObject* sender);
  void FontSize8px1Click(TObject* sender);
  void FontSize9px1Click(TObject* sender);
  void FontSize10px1Click(TObject* sender);
  void FontSize11px1Click(TObject* sender);
  void FontSize12px1Click(TObject* sender);
  void sFontComboBox1Change(TObject* sender);

  // The two halves of the open commands behind their dialogs. The Open button picks the
  // highlighter and the dialog's filter before its dialog; these do the rest.
  void OpenWithPreparation(const std::string& path);
  void OpenPlain(const std::string& path);
  // True while a split or a cleaning runs.
  bool Busy() const { return busy_; }

 private:
  class SplitView;
  friend class SplitView;

  void CreateComponents();
  void CreateSkinManager();
  // A progress gauge of the window: its skin section, an empty bar, the percentage shown.
  TsGauge* MakeGauge(const std::string& name);
  void CreateHighlighters();
  void CreateMenu();
  void CreateEditorCommands();
  void SetEditorFontSize(int size, TMenuItem* item);
  void SaveEditorText(const std::string& fileName);
  // Loads into a fresh list and takes it over only when the load succeeded.
  bool LoadFile(const std::string& path);
  void RemoveLines(bool comments);
  void SetBusy(bool busy);
  std::string Msg(TAppMessage message) const { return AppMessage(message, Language); }
  std::string FontFileName() const;
  bool RunOpenDialog(const std::string& filter, std::string& fileName);
  void SetPanelText(int index, const std::string& text);

  std::string registeredFont_;
  bool busy_ = false;
  // What SetBusy(true) found enabled, to put back afterwards.
  std::vector<std::pair<TControl*, bool>> savedControls_;
  std::vector<std::pair<TMenuItem*, bool>> savedItems_;
};

extern TForm1* Form1;

// The program's file version "a.b.c.d" from its version resource; "" without one.
std::string ReadOwnFileVersion();

// The family of the monospace font the program ships in font\.
extern const char* const kEditorFontName;
extern const char* const kEditorFontFile;
