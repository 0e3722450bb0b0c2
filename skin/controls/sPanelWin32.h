// The skinned panel: the framework's panel painted from its section (PANEL unless it names
// another) while a skin is active, with its caption in the section's font colours. A panel
// whose section is a plain colour paints straight into the device context and keeps no
// picture; any other composes its picture in its cache and copies it around its children.
// OnPaint lets the owner paint over the skinned picture (or instead of the standard look).
// Without a skin it keeps the standard look.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ExtCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"

using TPaintEvent = TMethod<void(TObject* sender, TCanvas* canvas)>;

class TsPanel : public TPanel {
  K_CLASS(TsPanel, TPanel)
  explicit TsPanel(TComponent* owner);
  ~TsPanel() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  // Owner painting: on the panel's canvas without a skin or on a plain section, on the
  // cache's canvas over the skinned picture otherwise.
  KFW_EVENT(TPaintEvent, OnPaint)

  // Paints the whole skinned panel into dc (0: its canvas); ResumeChildren then lets the
  // children paint again.
  virtual void PaintToDC(HDC dc, bool resumeChildren);
  // The caption, one line in the section's font colours, on canvas (nullptr: a canvas made
  // on dc; nothing when both are missing), centred on the panel's height.
  virtual void DrawCaption(const TRect& r, TCanvas* canvas, HDC dc);
  // Rebuilds the cached picture (nothing while the section is plain and no animation runs).
  void PrepareCache();
  // The bevels and border as pixels from each edge.
  int BevelInset() const;
  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void Paint() override;
  void PaintWindow(HDC dc) override;

 private:
  class TCmdHandler;
  class THost;

  bool CachedWay() const;
  int SectionTransparency() const;
  TRect CaptionArea();
  void PaintCached(HDC target);
  void PaintDirect(HDC dc, HDC target);
  void PaintMessage(TMessage& message);
  void PrintMessage(TMessage& message);
  bool HandleSkinned(TMessage& message);
  bool HandleUnskinned(TMessage& message);

  std::unique_ptr<THost> host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
