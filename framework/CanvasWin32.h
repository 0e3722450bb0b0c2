// The Windows half of the drawing tools: the GDI objects of TFont, TPen and TBrush, and
// TCanvas, which draws on a device context with them.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"

// The font made on first use from the font's properties; owned by the font.
HFONT FontHandle(TFont* font);
// The font takes the look of a font made elsewhere: its properties follow the LOGFONT and
// an equal font of its own is made. The given handle stays its owner's (a window's font
// must not be deleted under it). 0 forgets the current handle.
void SetFontHandle(TFont* font, HFONT value);
bool FontHandleAllocated(const TFont* font);
HPEN PenHandle(TPen* pen);
// As SetFontHandle: a pen of its own like the given one.
void SetPenHandle(TPen* pen, HPEN value);
HBRUSH BrushHandle(TBrush* brush);
// As SetFontHandle: a brush of its own like the given one.
void SetBrushHandle(TBrush* brush, HBRUSH value);


// Draws on a device context with its Font, Pen and Brush. The DC is either
// handed in (SetHandle) or made on demand by a descendant (CreateHandle). The
// tools are selected into the DC lazily, on the first drawing call that needs
// them, and selected out again before the DC is given up, so the caller's DC
// is returned in the state it came in.
class TCanvas : public TPersistent {
  K_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  // The DC with the font, pen and brush selected and the text colours set.
  HDC Handle();
  void SetHandle(HDC value);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  TPen* Pen() { return pen_.get(); }
  void SetPen(TPen* value) { pen_->Assign(value); }
  TBrush* Brush() { return brush_.get(); }
  void SetBrush(TBrush* value) { brush_->Assign(value); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode value) { copyMode_ = value; }
  TPoint PenPos();
  void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }

  // One thread at a time: a worker that paints into a bitmap locks its canvas.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return lockCount_; }

  // Selects the tools out of the DC; the next drawing call selects them again.
  void Refresh();

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void DrawFocusRect(const TRect& rect);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);

  // Text in the font; the brush paints the cell background unless it is clear.
  void TextOut(int x, int y, const std::string& text);
  // As TextOut, clipped to rect.
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // Colour at a point as a TColor; -1 (CLR_INVALID) outside the clip area.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor value);
  TRect ClipRect();

  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source rectangle of another canvas with CopyMode, stretching as needed.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Descendants that own their DC make it here (and set it with SetHandle).
  virtual void CreateHandle() {}
  // Ensures the DC and the named tools are ready; raises EInvalidOperation
  // "Canvas does not allow drawing" when there is no DC.
  void RequiredState(TCanvasState required);
  virtual void Changing();
  virtual void Changed();
  // Puts the DC's original objects back.
  void DeselectHandles();

 private:
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void ToolChanged(TObject* sender);

  HDC dc_ = nullptr;
  TCanvasState state_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  TCopyMode copyMode_ = SRCCOPY;
  std::recursive_mutex lock_;
  std::atomic<int> lockCount_ = 0;  // read by other threads (a bitmap handing out its handle)
};

// Lends a canvas a device context for one drawing pass: locks the canvas and points it at
// dc; on every way out, also an exception from a paint handler, it takes the DC back and
// unlocks, so the canvas never keeps a DC that belongs to the caller.
class TCanvasOnDC {
 public:
  TCanvasOnDC(TCanvas* canvas, HDC dc) : canvas_(canvas) {
    canvas_->Lock();
    canvas_->SetHandle(dc);
  }
  ~TCanvasOnDC() {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  }
  TCanvasOnDC(const TCanvasOnDC&) = delete;
  TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

 private:
  TCanvas* canvas_;
};

