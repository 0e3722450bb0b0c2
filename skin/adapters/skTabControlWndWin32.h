// The adapters of tab controls (SysTabControl32): TskTabControlWnd paints the tab strip, the
// page frame and every tab from the skin (the active tab last, larger, straight on the window;
// tabs on the left or right with their text turned), and gives the control's own arrows an
// up-down adapter. TskPageControlWnd also gives each page an adapter (TskPageWnd) that shows
// the tab control's picture behind the page's controls. The control keeps its behaviour: the
// mouse and keys still switch its tabs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/adapters/skTabLayout.h"

class TBitmap;
class TskSpinWnd;
class TTabSheet;

class TskTabControlWnd : public TskMainWnd {
 public:
  ~TskTabControlWnd() override;
  // The page area and the page frame in window coordinates.
  TRect GetDisplayRect();
  TRect GetFrameRect();
  TRect GetTabsArea();
  // A tab's painted rectangle; empty for an index outside the tabs.
  TRect GetTabRect(int index, bool active);
  int GetTabRow(int index);
  TsTabPosition Position() const;
  TsTabStyle Style() const;
  TskSpinWnd* SpinAdapter() const { return spin_.get(); }

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  TskTabControlWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                   const std::string& section);
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;
  void PaintTabControl(HDC given);
  void UpdateSpinAdapter();
  void ReleaseSpinAdapter();

 private:
  int TabCount() const;
  int CurrentTab() const;
  void PaintTabsArea(const TsBackgroundSource& behind);
  void DrawTabTo(int index, int state, HDC dc);
  void DrawTab(int index, int state, TPoint offset, TBitmap* target);
  void DrawTabFace(int index, int state, TBitmap* target, TPoint offset, TRect tab);

  std::unique_ptr<TskSpinWnd> spin_;
};

// A page window that shows what lies behind it in its tab control.
class TskPageWnd : public TskMainWnd {
 public:
  TTabSheet* HostPage = nullptr;

 protected:
  friend class TskMainWnd;
  class TCmdHandler;
  TskPageWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
             const std::string& section);
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

 private:
  void PaintPage(HDC given);
};

class TskPageControlWnd : public TskTabControlWnd {
 public:
  ~TskPageControlWnd() override;
  // Gives each page without skin an adapter; adapters whose page is gone are freed.
  void AttachPages();
  // Page adapters that still hold their page.
  int LivePageAdapters() const;
  int PageAdapterCount() const { return static_cast<int>(pages_.size()); }

 protected:
  friend class TskMainWnd;
  TskPageControlWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                    const std::string& section);
  void Start(bool repaint) override;
  void WndProc(TMessage& message) override;

 private:
  void AddPage(HWND page, TsSkinManager* manager, TTabSheet* sheet);
  std::vector<std::unique_ptr<TskPageWnd>> pages_;
};
