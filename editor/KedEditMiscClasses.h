// The editor's small option objects (selection colours, gutter, bookmark
// options, glyphs), the gutter's picture strips and the method chains through
// which a highlighter notifies its editors.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"

class TCustomImageList;

// Colours of selected text.
class TKedSelectedColor : public TPersistent {
  K_CLASS_PUBLISHED(TKedSelectedColor, TPersistent)

  void Assign(TPersistent* source) override;

  TColor Background() const { return background_; }
  void SetBackground(TColor value);
  TColor Foreground() const { return foreground_; }
  void SetForeground(TColor value);

  TNotifyEvent OnChange;

 private:
  void Changed();

  TColor background_ = clHighlight;
  TColor foreground_ = clHighlightText;
};

enum TKedGutterBorderStyle { gbsNone, gbsMiddle, gbsRight };

// The strip left of the text with line numbers, bookmarks and marks.
class TKedGutter : public TPersistent {
  K_CLASS_PUBLISHED(TKedGutter, TPersistent)

  TKedGutter();
  ~TKedGutter() override;

  // Copies the font and the layout values (not the border and gradient), then
  // reports one change.
  void Assign(TPersistent* source) override;

  // Widens the digit field to the number shown for the last line, when the
  // gutter sizes itself to its line numbers.
  void AdjustDigitCount(int lineCount);
  std::string FormatLineNumber(int line) const;
  int ComputeWidth(int charWidth) const;
  // Digits line numbers are formatted with now.
  int RealDigitCount() const { return realDigitCount_; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TKedGutterBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TKedGutterBorderStyle value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  int Cursor() const { return cursor_; }
  void SetCursor(int value) { cursor_ = value; }
  int DigitCount() const { return digitCount_; }
  void SetDigitCount(int value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool LeadingZeros() const { return leadingZeros_; }
  void SetLeadingZeros(bool value);
  int LeftOffset() const { return leftOffset_; }
  void SetLeftOffset(int value);
  int RightOffset() const { return rightOffset_; }
  void SetRightOffset(int value);
  bool ShowLineNumbers() const { return showLineNumbers_; }
  void SetShowLineNumbers(bool value);
  bool UseFontStyle() const { return useFontStyle_; }
  void SetUseFontStyle(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int Width() const { return width_; }
  void SetWidth(int value);
  bool ZeroStart() const { return zeroStart_; }
  void SetZeroStart(bool value);
  int LineNumberStart() const { return lineNumberStart_; }
  void SetLineNumberStart(int value);
  bool Gradient() const { return gradient_; }
  void SetGradient(bool value);
  TColor GradientStartColor() const { return gradientStartColor_; }
  void SetGradientStartColor(TColor value);
  TColor GradientEndColor() const { return gradientEndColor_; }
  void SetGradientEndColor(TColor value);
  int GradientSteps() const { return gradientSteps_; }
  void SetGradientSteps(int value);

  TNotifyEvent OnChange;

 private:
  void Changed();
  void FontChanged(TObject* sender);
  int ShownNumber(int line) const;
  template <typename T>
  void Store(T& field, T value);

  bool autoSize_ = false;
  TKedGutterBorderStyle borderStyle_ = gbsMiddle;
  TColor color_ = clBtnFace;
  TColor borderColor_ = clWindow;
  int cursor_ = 0;  // crDefault
  int digitCount_ = 4;
  int realDigitCount_ = 4;
  std::unique_ptr<TFont> font_;
  bool leadingZeros_ = false;
  int leftOffset_ = 16;
  int rightOffset_ = 2;
  bool showLineNumbers_ = false;
  bool useFontStyle_ = true;
  bool visible_ = true;
  int width_ = 30;
  bool zeroStart_ = false;
  int lineNumberStart_ = 1;
  bool gradient_ = false;
  TColor gradientStartColor_ = clWindow;
  TColor gradientEndColor_ = clBtnFace;
  int gradientSteps_ = 48;
  bool assigning_ = false;
};

// Bookmark options of an editor.
class TKedBookMarkOpt : public TPersistent {
  K_CLASS_PUBLISHED(TKedBookMarkOpt, TPersistent)

  // owner: the editor, told when the image list goes away.
  explicit TKedBookMarkOpt(TComponent* owner = nullptr) : owner_(owner) {}

  void Assign(TPersistent* source) override;

  TCustomImageList* BookmarkImages() const { return bookmarkImages_; }
  void SetBookmarkImages(TCustomImageList* value);
  bool DrawBookmarksFirst() const { return drawBookmarksFirst_; }
  void SetDrawBookmarksFirst(bool value);
  bool EnableKeys() const { return enableKeys_; }
  void SetEnableKeys(bool value) { enableKeys_ = value; }
  bool GlyphsVisible() const { return glyphsVisible_; }
  void SetGlyphsVisible(bool value);
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int value);
  int Xoffset() const { return xoffset_; }
  void SetXoffset(int value);

  TNotifyEvent OnChange;

 private:
  void Changed();

  TComponent* owner_;
  TCustomImageList* bookmarkImages_ = nullptr;
  bool drawBookmarksFirst_ = true;
  bool enableKeys_ = true;
  bool glyphsVisible_ = true;
  int leftMargin_ = 2;
  int xoffset_ = 12;
};

// ---- Pictures in the gutter ----------------------------------------------------

// Loads a bitmap resource of the program; a missing one raises the
// framework's resource error. Replaceable, so the pictures can be tested
// without the program's resources.
using TKedBitmapResourceLoader = std::function<std::unique_ptr<TBitmap>(const std::string& name)>;
void SetKedBitmapResourceLoader(TKedBitmapResourceLoader loader);
std::unique_ptr<TBitmap> LoadKedBitmapResource(const std::string& name);

// Where a picture of the given size is drawn in a line: vertically centred,
// or its middle part when it is taller than the line.
struct TKedCellPlacement {
  TRect Source;  // in the picture
  TRect Dest;    // on the canvas
  friend bool operator==(const TKedCellPlacement&, const TKedCellPlacement&) = default;
};
TKedCellPlacement PlaceKedCell(int sourceLeft, int width, int height, int x, int y, int lineHeight);

// A picture with a transparent colour: the mark at wrapped line ends.
class TKedGlyph : public TPersistent {
  K_CLASS_PUBLISHED(TKedGlyph, TPersistent)

  // With a resource name the internal picture is loaded from that bitmap resource.
  explicit TKedGlyph(const std::string& resourceName = std::string(), TColor maskColor = clNone);
  ~TKedGlyph() override;

  void Assign(TPersistent* source) override;

  // Glyph when it holds a picture, else the internal one (nullptr: none).
  TBitmap* PictureUsed() const;
  TColor MaskColorUsed() const;
  int GetGlyphWidth() const;
  // Where DrawGlyph puts the picture; false when there is nothing to draw.
  bool Placement(int x, int y, int lineHeight, TKedCellPlacement& placement) const;
#ifdef _WIN32
  void DrawGlyph(TCanvas* canvas, int x, int y, int lineHeight) const;
#endif

  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value) { glyph_->Assign(value); }
  TColor MaskColor() const { return maskColor_; }
  void SetMaskColor(TColor value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  TNotifyEvent OnChange;

 private:
  void Changed();
  void GlyphChanged(TObject* sender);

  std::unique_ptr<TBitmap> internalGlyph_;
  TColor internalMaskColor_ = clNone;
  std::unique_ptr<TBitmap> glyph_;
  TColor maskColor_ = clNone;
  bool visible_ = true;
};

// A horizontal strip of equally wide pictures from a bitmap resource, shared
// by every internal image of the same resource.
class TKedInternalImage : public TObject {
  K_CLASS(TKedInternalImage, TObject)

  TKedInternalImage(int count, const std::string& resourceName);
  ~TKedInternalImage() override;
  TKedInternalImage(const TKedInternalImage&) = delete;
  TKedInternalImage& operator=(const TKedInternalImage&) = delete;

  int Count() const { return count_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TBitmap* Images() const { return images_; }
  // Where DrawCell puts picture `number`; false outside 0..Count-1.
  bool CellPlacement(int number, int x, int y, int lineHeight, TKedCellPlacement& placement) const;
#ifdef _WIN32
  void DrawCell(TCanvas* canvas, int number, int x, int y, int lineHeight) const;
#endif

  // Strips held by the shared cache (for tests of its lifetime).
  static int CachedStripCount();

 private:
  TBitmap* images_ = nullptr;
  int count_;
  int width_ = 0;
  int height_ = 0;
};

// ---- Method chains ---------------------------------------------------------------

K_EXCEPTION(EKedMethodChain, Exception);

class TKedMethodChain;
// Decides after a failing method: keep doContinue to go on with the next one.
using TKedExceptionEvent = TMethod<void(TObject* sender, Exception& e, bool& doContinue)>;

// An ordered list of methods called one after another.
class TKedMethodChain : public TObject {
  K_CLASS(TKedMethodChain, TObject)

  void AddHandler(const TNotifyEvent& method) { methods_.push_back(method); }
  // Removes every stored copy of the method.
  void RemoveHandler(const TNotifyEvent& method);
  int Count() const { return static_cast<int>(methods_.size()); }
  // Calls each method in the order of adding; a method's Exception goes to
  // the exception handler, any other exception passes through.
  void InvokeAll();

  TKedExceptionEvent OnException;

 protected:
  virtual void FireMethod(const TNotifyEvent& method) = 0;
  // True to go on with the next method.
  virtual bool DoHandleException(Exception& e);

 private:
  std::vector<TNotifyEvent> methods_;
};

class TKedNotifyEventChain : public TKedMethodChain {
  K_CLASS(TKedNotifyEventChain, TKedMethodChain)

  explicit TKedNotifyEventChain(TObject* sender = nullptr) : sender_(sender) {}
  TObject* Sender() const { return sender_; }
  void SetSender(TObject* value) { sender_ = value; }

 protected:
  void FireMethod(const TNotifyEvent& method) override { method(sender_); }

 private:
  TObject* sender_;
};
