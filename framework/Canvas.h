// Drawing tools: TFont, TBrush and TPen describe how to draw and build under every
// compiler. Their GDI objects and TCanvas, which draws on a device context, are the
// Windows half: CanvasWin32.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/NativeHandle.h"
#include "framework/TypInfo.h"
#include "framework/Types.h"

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


 private:
  void PropertiesChanged();

  std::string name_;
  int height_;
  TColor color_;
  TFontStyles style_;
  uint8_t charset_ = DEFAULT_FONT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int pixelsPerInch_;
  // The GDI object made from the properties on first use (CanvasWin32.h); a change of
  // them lets it go.
  TNativeHandle handle_;
  friend class TGdiTools;
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


 private:
  void PropertiesChanged();

  TColor color_;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  // The GDI object made from the properties on first use (CanvasWin32.h); a change of
  // them lets it go.
  TNativeHandle handle_;
  friend class TGdiTools;
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


 private:
  void PropertiesChanged();

  TColor color_;
  TBrushStyle style_ = bsSolid;
  // The GDI object made from the properties on first use (CanvasWin32.h); a change of
  // them lets it go.
  TNativeHandle handle_;
  friend class TGdiTools;
};

// The screen's resolution, which new fonts take: 96 where there is no screen.
int ScreenPixelsPerInch();
