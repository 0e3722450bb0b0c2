// Drawing tools and the drawing surface: TFont, TBrush and TPen describe how to
// draw and build under every compiler; their GDI handles and TCanvas, which
// draws on a device context, exist on Windows only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/TypInfo.h"
#include "framework/Types.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/HandlesWin32.h"
#endif

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The sixteen raster operations of a pen, in the order of their R2_ codes minus one.
enum TPenMode {
  pmBlack,
  pmNotMerge,
  pmMaskNotPen,
  pmNotCopy,
  pmMaskPenNot,
  pmNot,
  pmXor,
  pmNotMask,
  pmMask,
  pmNotXor,
  pmNop,
  pmMergeNotPen,
  pmCopy,
  pmMergePenNot,
  pmMerge,
  pmWhite
};
enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;
using TCopyMode = uint32_t;  // a raster operation code (SRCCOPY, ...)

constexpr uint8_t DEFAULT_FONT_CHARSET = 1;  // the system's default character set

// Common base of the drawing tools: a value changed reports OnChange once.
class TGraphicsObject : public TPersistent {
  K_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

class TFont : public TGraphicsObject {
  K_CLASS_PUBLISHED(TFont, TGraphicsObject)
  TFont();
  ~TFont() override;

  void Assign(TPersistent* source) override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  // Height in pixels: negative is the character height, positive the cell height.
  int Height() const { return height_; }
  void SetHeight(int value);
  // Size in points, derived from Height at PixelsPerInch.
  int Size() const;
  void SetSize(int value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t value);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch value);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }

#ifdef _WIN32
  // The font made on first use from the properties above; owned by the font.
  HFONT Handle();
  // Takes the look of a font made elsewhere: the properties follow its LOGFONT and
  // an equal font of its own is made. The given handle stays its owner's (a window's
  // font must not be deleted under it). 0 forgets the current handle.
  void SetHandle(HFONT value);
  bool HandleAllocated() const { return bool(handle_); }
#endif

 private:
  void PropertiesChanged();

  std::string name_;
  int height_;
  TColor color_;
  TFontStyles style_;
  uint8_t charset_ = DEFAULT_FONT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int pixelsPerInch_;
#ifdef _WIN32
  TGdiObject<HFONT> handle_;
#endif
};

class TPen : public TGraphicsObject {
  K_CLASS_PUBLISHED(TPen, TGraphicsObject)
  TPen();
  ~TPen() override;

  void Assign(TPersistent* source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);

#ifdef _WIN32
  HPEN Handle();
  // As TFont::SetHandle: a pen of its own like the given one.
  void SetHandle(HPEN value);
#endif

 private:
  void PropertiesChanged();

  TColor color_;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
#ifdef _WIN32
  TGdiObject<HPEN> handle_;
#endif
};

class TBrush : public TGraphicsObject {
  K_CLASS_PUBLISHED(TBrush, TGraphicsObject)
  TBrush();
  ~TBrush() override;

  void Assign(TPersistent* source) override;

  TColor Color() const { return color_; }
  // Choosing a colour makes a clear brush solid again.
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);

#ifdef _WIN32
  HBRUSH Handle();
  // As TFont::SetHandle: a brush of its own like the given one.
  void SetHandle(HBRUSH value);
#endif

 private:
  void PropertiesChanged();

  TColor color_;
  TBrushStyle style_ = bsSolid;
#ifdef _WIN32
  TGdiObject<HBRUSH> handle_;
#endif
};

#ifdef _WIN32

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

#endif  // _WIN32
