// Text in a grid of equal cells: every character is drawn at one fixed advance measured
// from the editor font, so columns line up whatever the font's own widths. The sixteen
// style variants of a font are shared by every font stock that uses an equal font.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/CanvasWin32.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "framework/HandlesWin32.h"

K_EXCEPTION(EheFontStockException, Exception);
K_EXCEPTION(EheTextDrawerException, Exception);

// A set of font styles as a number 0-15: bit 0 bold, 1 italic, 2 underline, 3 strike-out.
using TheStockFontPatterns = int;
TheStockFontPatterns StyleToPattern(TFontStyles style);

struct TheFontData {
  TGdiObject<HFONT> Handle;
  int CharAdv = 0;
  int DBCharAdv = 0;
  int CharHeight = 0;
};

// One per distinct base font, shared by reference count.
struct TheSharedFontsInfo {
  int RefCount = 0;
  int LockCount = 0;
  std::unique_ptr<TFont> BaseFont;
  LOGFONTA BaseLF{};
  bool IsDBCSFont = false;
  bool IsTrueType = false;
  std::array<TheFontData, 16> FontsData;
};

class TheFontsInfoManager : public TObject {
  K_CLASS(TheFontsInfoManager, TObject)

  ~TheFontsInfoManager() override;

  TheSharedFontsInfo* AcquireFontsInfo(TFont* font);
  void ReleaseFontsInfoRef(TheSharedFontsInfo* info);
  void LockFontHandles(TheSharedFontsInfo* info);
  void UnlockFontHandles(TheSharedFontsInfo* info);
  int Count() const { return static_cast<int>(list_.size()); }

 private:
  std::vector<std::unique_ptr<TheSharedFontsInfo>> list_;
};

// The one manager, made on first use.
TheFontsInfoManager& GetFontsInfoManager();

class TheFontStock : public TObject {
  K_CLASS(TheFontStock, TObject)

  explicit TheFontStock(TFont* font);
  ~TheFontStock() override;
  TheFontStock(const TheFontStock&) = delete;
  TheFontStock& operator=(const TheFontStock&) = delete;

  virtual HDC AcquireScreenDC();
  virtual void ReleaseScreenDC(HDC dc);
  virtual void SetBaseFont(TFont* value);
  virtual void SelectStyle(TheStockFontPatterns style);
  virtual int CharAdvance() const { return current_ ? current_->CharAdv : 0; }
  virtual int CharHeight() const { return current_ ? current_->CharHeight : 0; }
  virtual int DoubleByteCharAdvance() const { return current_ ? current_->DBCharAdv : 0; }
  virtual const TheFontData* FontDataOf(TheStockFontPatterns style) const;
  virtual void DropFontHandles();

  HFONT FontHandle() const { return currentFont_; }
  TheSharedFontsInfo* FontsInfo() const { return info_; }

 protected:
  virtual HFONT CreateStyledFont(TheStockFontPatterns style);
  virtual int MeasureCharAdvance(HDC dc, int& height, int* doubleByteAdvance);

 private:
  void ReleaseFontsInfo();

  TWindowDC dc_;
  int dcRefCount_ = 0;
  TheSharedFontsInfo* info_ = nullptr;
  bool usingFontHandles_ = false;
  TheFontData* current_ = nullptr;
  HFONT currentFont_ = nullptr;
  LOGFONTA baseLF_{};
};

class TheTextDrawer : public TObject {
  K_CLASS(TheTextDrawer, TObject)

  TheTextDrawer(TFontStyles measureStyle, TFont* baseFont);
  ~TheTextDrawer() override;
  TheTextDrawer(const TheTextDrawer&) = delete;
  TheTextDrawer& operator=(const TheTextDrawer&) = delete;

  virtual int CellWidth() const { return baseCharWidth_ + charExtra_; }
  virtual int CellHeight() const { return baseCharHeight_; }
  virtual void StartDrawing(HDC dc);
  virtual void FinishDrawing();
  virtual void PlainTextOut(int x, int y, const char* text, int length);
  virtual void CellTextOut(int x, int y, UINT options, const TRect& rect, const char* text,
                           int length);
  virtual void SetBaseFont(TFont* value);
  virtual void SetMeasureStyle(TFontStyles value);
  virtual void SetDrawStyle(TFontStyles value);
  virtual void SetForeground(TColor value);
  virtual void SetBackground(TColor value);
  virtual void SetCharSpacing(int value);
  virtual void ReleaseTemporaryFonts();

  TFontStyles MeasureStyle() const { return measureStyle_; }
  TColor Foreground() const { return foreground_; }
  TColor Background() const { return background_; }
  int CharSpacing() const { return charExtra_; }
  int CellWidthCount() const { return static_cast<int>(cellWidths_.size()); }
  int DrawingCount() const { return drawingCount_; }

 protected:
  virtual void FreeCellWidths() { cellWidths_.clear(); }
  virtual void SelectCurrentFont();
  virtual void ApplyCharExtra();

 private:
  HDC dc_ = nullptr;
  int savedDC_ = 0;
  std::unique_ptr<TheFontStock> fontStock_;
  TFontStyles measureStyle_;
  int baseCharWidth_ = 0;
  int baseCharHeight_ = 0;
  HFONT currentFont_ = nullptr;
  std::vector<INT> cellWidths_;
  TColor foreground_ = clWindowText;
  TColor background_ = clWindow;
  int charExtra_ = 0;
  int drawingCount_ = 0;
};
