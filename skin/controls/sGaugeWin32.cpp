#include "skin/controls/sGaugeWin32.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ResourceStreamWin32.h"
#include "framework/Streams.h"
#include "imaging/skPNG.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

// RT_RCDATA in its ANSI spelling, whatever the character set of the build.
const char* const kRawData = MAKEINTRESOURCEA(10);

// The text flags of the gauge's value: centred on one line.
UINT TextFlags(TControl* control) {
  return GetTextAlignFlags(control, taCenter) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
}

TRect Intersection(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

// The pie's slice end for a percentage: twelve o'clock, clockwise 3.6 degrees per percent.
TPoint PieEnd(int width, int height, int percent) {
  const double a = (percent / 50.0 + 0.5) * std::numbers::pi;
  return TPoint{static_cast<int>(std::nearbyint((width / 2) * (1 - std::cos(a)))),
                static_cast<int>(std::nearbyint((height / 2) * (1 - std::sin(a))))};
}

}  // namespace

// The skin command as the gauge answers it.
class TsGauge::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsGauge& gauge) : TsControlCmdHandler(gauge, *gauge.skinData_), g_(gauge) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A tick without a skin stopped the strip: a new skin starts it again.
    if (g_.animated_) g_.lightTimer_->SetEnabled(true);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    if (g_.animated_) g_.lightTimer_->SetEnabled(false);
    g_.progressCache_.reset();
    TsSkinCmdHandler::OnRemoveSkin(m);
    g_.Repaint();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    g_.progressCache_.reset();
    TsSkinCmdHandler::OnRefresh(m);
    g_.Repaint();
    if (g_.animated_) g_.lightTimer_->SetEnabled(true);
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().SetPaintSuspended(false);
    g_.Repaint();
    return true;
  }

 private:
  TsGauge& g_;
};

TsGauge::TsGauge(TComponent* owner)
    : TGraphicControl(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, false)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)),
      lightTimer_(new TTimer(this)) {
  lightTimer_->SetEnabled(false);
  lightTimer_->SetInterval(GaugeLightTick);
  lightTimer_->SetOnTimer(MakeEvent<&TsGauge::LightTick>(this));
  skinData_->ControlKind = TsControlKind::Gauge;
  controlStyle_ += csOpaque;
  SetBounds(Left(), Top(), 120, 30);
  // A gauge made in code is complete here: what streaming does after loading happens now,
  // its light strip included.
  skinData_->Loaded();
  if (animated_) lightTimer_->SetEnabled(true);
}

TsGauge::~TsGauge() {
  cmdHandler_.reset();
  skinData_.reset();
}

void TsGauge::Loaded() {
  TGraphicControl::Loaded();
  skinData_->Loaded();
  if (animated_ && !lightTimer_->Enabled()) lightTimer_->SetEnabled(true);
}

// ---- properties -------------------------------------------------------------------------------

void TsGauge::SetMinValue(int value) {
  if (range_.SetMinValue(value, IsLoading())) Refresh();
}

void TsGauge::SetMaxValue(int value) {
  if (range_.SetMaxValue(value, IsLoading())) Refresh();
}

void TsGauge::SetProgress(int value) {
  const int before = range_.Percent();
  if (!range_.SetProgress(value)) return;
  // Only a new whole percentage is painted: a split reports every line.
  if (range_.Percent() != before) {
    if (!SkinChangeInProgress) skinData_->BackgroundDirty = true;
    Refresh();
  }
  if (OnChange_) OnChange_(this);
}

void TsGauge::SetKind(TsGaugeKind value) {
  if (value == kind_) return;
  kind_ = value;
  Refresh();
}

void TsGauge::SetShowText(bool value) {
  if (value == showText_) return;
  showText_ = value;
  Refresh();
}

void TsGauge::SetSuffix(const std::string& value) {
  if (value == suffix_) return;
  suffix_ = value;
  skinData_->Invalidate();
}

void TsGauge::SetCalcPercents(bool value) {
  if (value == calcPercents_) return;
  calcPercents_ = value;
  skinData_->Invalidate();
}

void TsGauge::SetForeColor(TColor value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  Repaint();
}

void TsGauge::SetBackColor(TColor value) {
  if (value == backColor_) return;
  backColor_ = value;
  Refresh();
}

void TsGauge::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Refresh();
}

void TsGauge::SetProgressSkin(const std::string& value) {
  if (value == progressSkin_) return;
  progressSkin_ = value;
  progressCache_.reset();
  skinData_->BackgroundDirty = true;
  Repaint();
}

void TsGauge::SetAnimated(bool value) {
  if (value == animated_) return;
  animated_ = value;
  progressCache_.reset();
  lightTimer_->SetEnabled(value);
}

// ---- skin commands ----------------------------------------------------------------------------

void TsGauge::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TGraphicControl::WndProc(m);
    return;
  }
  if (m.Msg == WM_ERASEBKGND && skinData_->IsSkinned()) return;
  if (IsControlReady(this) && skinData_->IsSkinned() && HandleCommonMessage(m, skinData_.get()))
    return;
  TGraphicControl::WndProc(m);
}

// ---- painting ---------------------------------------------------------------------------------

void TsGauge::CatchUpWithSkin() {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (d.SectionIndex < 0 && manager && manager->CurrentSkin().Active) d.Loaded();
}

void TsGauge::Paint() {
  if (Width() < 1 || Height() < 1) return;
  CatchUpWithSkin();
  TsCommonData& d = *skinData_;
  if (!d.IsSkinned()) {
    PaintUnskinned();
    return;
  }
  if (d.PaintingSuspended()) {
    Canvas()->SetPixels(0, 0, clFuchsia);
    return;
  }
  PrepareCache();
  PaintCtrlBorder(d, TsPaintState::Normal);
  CopyCacheToCanvas();
  // Painting builds the picture anew each time: nothing is kept between paints.
  d.CacheBitmap.reset();
}

void TsGauge::CopyCacheToCanvas() {
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (!cache) return;
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TsGauge::SectionReservedBoolean() const {
  const TsGeneralData* section = skinData_->Section();
  return section && section->ReservedBoolean;
}

void TsGauge::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  const TRect r{0, 0, Width(), Height()};
  const TPoint offset{Left(), Top()};
  TBitmap* cache = d.CacheBitmap.get();
  const bool bar = kind_ == gkHorizontalBar || kind_ == gkVerticalBar;
  if (SectionReservedBoolean() && bar) {
    // The border is laid over the filled part.
    PaintControlBackground(d, behind, TsPaintState::Normal, cache, offset, r);
    PaintContent(r);
    if (const TsMaskData* mask = d.BorderMask())
      PaintMaskRect(cache, r, *mask, 0, true, MovedBackground(behind, offset));
  } else {
    PaintControlItem(d, behind, cache, offset, r, TsPaintState::Normal);
    PaintContent(r);
  }
  d.BackgroundDirty = false;
}

void TsGauge::PaintContent(const TRect& r) {
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (showText_) {
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    DrawSkinnedText(
        canvas, *skinData_,
        TsSectionText{
            .Text = ShownText(), .R = r, .Format = TextFlags(this), .Enabled = Enabled()});
  }
  switch (kind_) {
    case gkHorizontalBar:
    case gkVerticalBar:
      PaintSkinnedBar(r);
      break;
    case gkPie:
    case gkNeedle:
      PaintFigure(cache->Canvas(), r, true);
      break;
    case gkText:
      break;
  }
}

void TsGauge::PaintSkinnedText(TBitmap* bitmap, const TRect& r, int sectionIndex) {
  if (!showText_) return;
  TCanvas* canvas = bitmap->Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  DrawSectionText(canvas, TsSectionText{.Text = ShownText(),
                                        .R = r,
                                        .Format = TextFlags(this),
                                        .SectionIndex = sectionIndex,
                                        .Enabled = Enabled(),
                                        .Manager = skinData_->SkinManager()});
}

void TsGauge::PaintSkinnedBar(const TRect& r) {
  TsSkinManager* manager = skinData_->SkinManager();
  TBitmap* cache = skinData_->CacheBitmap.get();
  if (!manager || !cache) return;
  TsBackgroundSource behind = MakeBackgroundSource(cache, 0, 0);
  const bool vertical = kind_ == gkVerticalBar;
  std::string section =
      !progressSkin_.empty() ? progressSkin_ : (vertical && !animated_ ? "PROGRESSV" : "PROGRESSH");
  int index = manager->GetSectionIndex(section);
  const int percent = ProgressPercent();

  if (vertical && !animated_ && manager->IsValidSectionIndex(index)) {
    // Upright: the progress section grows from the bottom as it is.
    const int w = r.Width(), h = r.Height();
    const int n = std::min(GaugeFillLength(percent, h), h);
    if (n <= 0) return;
    auto piece = CreateBmp32(w, n);
    PaintItem(TsItemPaint{.Bitmap = piece.get(),
                          .R = TRect{0, 0, w, n},
                          .SectionIndex = index,
                          .SectionName = section,
                          .Background = behind,
                          .Offset = TPoint{0, Height() - n},
                          .Manager = manager});
    TRect text = r;
    text.Top -= Height() - n;
    text.Bottom -= Height() - n;
    PaintSkinnedText(piece.get(), text, index);
    CopyBitmapRect(cache, 0, Height() - n, piece.get(), TRect{0, 0, w, n});
    return;
  }

  // Lying down: a vertical bar is painted turned by 90 degrees and turned back.
  std::unique_ptr<TBitmap> turned;
  int length = r.Width(), thickness = r.Height();
  if (vertical) {
    if (!manager->IsValidSectionIndex(index)) {
      section = "PROGRESSH";
      index = manager->GetSectionIndex(section);
    }
    length = r.Height();
    thickness = r.Width();
    turned = RotateBitmap90(cache, true);
    if (!turned) return;
    behind.Bmp = turned.get();
  }
  const int n = std::min(GaugeFillLength(percent, length), length);
  if (n <= 0 || !manager->IsValidSectionIndex(index)) return;
  auto bar = CreateBmp32(n, thickness);
  const bool reserved = SectionReservedBoolean();
  const bool strip = animated_ && GaugeLightWidth + n > lightPos_;
  TRect lit{};
  int maskIndex = -1;
  std::unique_ptr<TBitmap> maskImage;
  if (strip) {
    const int stripThickness = vertical ? Width() : Height();
    if (!lightBitmap_ || lightBitmap_->Width() != GaugeLightWidth ||
        lightBitmap_->Height() != stripThickness)
      BuildLight(stripThickness);
    lit = Intersection(TRect{0, 0, n, thickness},
                       TRect{lightPos_, 0, lightPos_ + GaugeLightWidth, stripThickness});
    if (!reserved) {
      maskIndex = manager->GetMaskIndex(index, section, "LRGN");
      if (lit.Width() > 0 && manager->IsValidMaskIndex(maskIndex)) {
        TsBackgroundSource white{};
        white.FillColor = static_cast<TColor>(0xFFFFFF);
        PaintMaskRect(bar.get(), TRect{0, 0, n, thickness},
                      manager->Masks()[static_cast<size_t>(maskIndex)], 0, true, white);
        maskImage = CopyBitmapArea(*bar, lit);
      }
    }
  }
  // The filled part is kept while its size stays: only the strip changes from tick to tick.
  if (progressCache_ && progressCache_->Width() == n && progressCache_->Height() == thickness) {
    CopyBitmapRect(bar.get(), 0, 0, progressCache_.get(), TRect{0, 0, n, thickness});
  } else {
    const TsItemPaint item{.Bitmap = bar.get(),
                           .R = TRect{0, 0, n, thickness},
                           .SectionIndex = index,
                           .SectionName = section,
                           .Background = behind,
                           .Manager = manager};
    if (reserved)
      PaintSectionBackground(item);
    else
      PaintItem(item);
    progressCache_ = CopyBitmapArea(*bar, TRect{0, 0, n, thickness});
  }
  if (strip && lightBitmap_ && lit.Width() > 0) {
    const int sx = lightPos_ < 0 ? -lightPos_ : 0;
    const TRect from{sx, lit.Top, sx + lit.Width(), lit.Bottom};
    if (maskImage) {
      auto area = CopyBitmapArea(*bar, lit);
      auto light = CopyBitmapArea(*lightBitmap_, from);
      BlendByAlphaMask(area.get(), light.get(), maskImage.get(),
                       TRect{0, 0, lit.Width(), lit.Height()});
      CopyBitmapRect(bar.get(), lit.Left, lit.Top, area.get(),
                     TRect{0, 0, lit.Width(), lit.Height()});
    } else {
      CopyImageWithEffects(bar.get(), lit, lightBitmap_.get(), from, TsImageEffects{});
    }
  }
  if (vertical) {
    bar = RotateBitmap90(bar, false, true);
    if (!bar) return;
    TRect text = r;
    text.Top += n - Height();
    text.Bottom += n - Height();
    PaintSkinnedText(bar.get(), text, index);
    CopyBitmapRect(cache, 0, Height() - n, bar.get(), TRect{0, 0, thickness, n});
  } else {
    PaintSkinnedText(bar.get(), r, index);
    CopyBitmapRect(cache, r.Left, r.Top, bar.get(), TRect{0, 0, n, thickness});
  }
}

void TsGauge::PaintFigure(TCanvas* canvas, const TRect& r, bool skinned) {
  const int w = r.Width(), h = r.Height(), percent = ProgressPercent();
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(foreColor_);
  canvas->Pen()->SetStyle(psSolid);
  if (kind_ == gkPie) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(backColor_);
    canvas->Ellipse(r.Left, r.Top, r.Left + w, r.Top + h);
    if (percent > 0) {
      canvas->Brush()->SetColor(foreColor_);
      const TPoint end = PieEnd(w, h, percent);
      canvas->Pie(r.Left, r.Top, r.Left + w, r.Top + h, end.X, end.Y, w / 2, 0);
    }
    return;
  }
  // The needle: the upper half of an ellipse, and a line from its centre.
  if (skinned) {
    canvas->Brush()->SetStyle(bsClear);
  } else {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(backColor_);
  }
  canvas->Pie(r.Left, r.Top, r.Left + w, r.Top + 2 * h - 1, r.Left + w, r.Bottom - 1, r.Left,
              r.Bottom - 1);
  if (!skinned) {
    canvas->MoveTo(r.Left, r.Bottom);
    canvas->LineTo(r.Left + w, r.Bottom);
  }
  if (percent > 0) {
    const double a = percent / 100.0 * std::numbers::pi;
    const int mx = Width() / 2;
    canvas->MoveTo(Width() / 2, r.Bottom - 1);
    canvas->LineTo(static_cast<int>(std::nearbyint(mx * (1 - std::cos(a)))),
                   static_cast<int>(std::nearbyint((r.Bottom - 1) * (1 - std::sin(a)))));
  }
}

void TsGauge::PaintUnskinned() {
  // Figure and text are composed by exclusive-or, so the text shows in the inverse of
  // whatever lies beneath each of its parts.
  const int w = Width(), h = Height();
  auto image = CreateBmp32(w, h);
  auto overlay = CreateBmp32(w, h);
  PatBlt(image->Canvas()->Handle(), 0, 0, w, h, BLACKNESS);
  PatBlt(overlay->Canvas()->Handle(), 0, 0, w, h, BLACKNESS);
  TRect pr{0, 0, w, h};
  if (borderStyle_ == bsSingle) pr = TRect{1, 1, w - 1, h - 1};
  TCanvas* c = overlay->Canvas();
  c->Brush()->SetStyle(bsSolid);
  const int percent = ProgressPercent();
  switch (kind_) {
    case gkText:
      c->Brush()->SetColor(backColor_);
      c->FillRect(pr);
      break;
    case gkHorizontalBar:
    case gkVerticalBar: {
      const int bw = pr.Right - pr.Left + 1, bh = pr.Bottom - pr.Top + 1;
      c->Brush()->SetColor(backColor_);
      c->FillRect(pr);
      c->Brush()->SetColor(foreColor_);
      if (kind_ == gkHorizontalBar) {
        const int n = std::min(GaugeFillLength(percent, bw), bw);
        if (n > 0) c->FillRect(TRect{pr.Left, pr.Top, n, bh});
      } else {
        int n = GaugeFillLength(percent, bh);
        if (n >= bh) n = bh - 1;
        if (n > 0) c->FillRect(TRect{pr.Left, bh - n, bw, bh});
      }
      break;
    }
    case gkPie:
    case gkNeedle: {
      const int extra = borderStyle_ == bsSingle ? 1 : 0;
      c->Brush()->SetColor(Color());
      c->FillRect(pr);
      PaintFigure(c, TRect{pr.Left, pr.Top, pr.Right + extra, pr.Bottom + extra}, false);
      break;
    }
  }
  BitBlt(image->Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCINVERT);
  if (showText_) {
    auto text = CreateBmp32(w, h);
    TCanvas* t = text->Canvas();
    PatBlt(t->Handle(), 0, 0, w, h, BLACKNESS);
    t->Font()->Assign(Font());
    t->Font()->SetColor(static_cast<TColor>(0xFFFFFF));
    t->Brush()->SetStyle(bsClear);
    const std::string shown = ShownText();
    const int x = (pr.Right - pr.Left + 1 - t->TextWidth(shown)) / 2;
    const int y = (pr.Bottom - pr.Top + 1 - t->TextHeight(shown)) / 2;
    t->TextRect(pr, x, y, shown);
    BitBlt(image->Canvas()->Handle(), 0, 0, w, h, t->Handle(), 0, 0, SRCINVERT);
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- the light strip --------------------------------------------------------------------------

void TsGauge::BuildLight(int thickness) {
  HMODULE module = GetModuleHandleA(nullptr);
  // A program without the strip's picture shows its bars without the strip.
  if (!FindResourceA(module, "ACGL", kRawData) || thickness <= 0) {
    lightBitmap_.reset();
    return;
  }
  TResourceStream stream(module, "ACGL", kRawData);
  TPNGGraphic png;
  png.LoadFromStream(stream);
  if (!lightBitmap_) lightBitmap_ = CreateBmp32(GaugeLightWidth, thickness);
  lightBitmap_->SetSize(GaugeLightWidth, thickness);
  int y = 0;
  if (png.Height() > thickness) {
    y = (png.Height() - thickness) / 2 + 1;
    if (thickness - 2 * y < 0) y = 0;
  }
  // The picture's rows stretched over the strip, alpha included.
  SetStretchBltMode(lightBitmap_->Canvas()->Handle(), COLORONCOLOR);
  StretchBlt(lightBitmap_->Canvas()->Handle(), 0, 0, GaugeLightWidth, thickness,
             png.Canvas()->Handle(), 0, y, png.Width(), png.Height() - y, SRCCOPY);
}

void TsGauge::LightTick(TObject*) {
  CatchUpWithSkin();
  TsCommonData& d = *skinData_;
  if (!d.IsSkinned()) {
    lightTimer_->SetEnabled(false);
    return;
  }
  if (lightCycleTime_ > GaugeLightCycle) {
    lightPos_ = -GaugeLightWidth;
    lightCycleTime_ = 0;
  }
  lightCycleTime_ += GaugeLightTick;
  const int extent = kind_ == gkVerticalBar ? Height() : Width();
  if (lightPos_ >= extent) return;
  if (Visible() && Progress() > 0 && Parent() && Parent()->HandleAllocated() &&
      IsWindowVisible(Parent()->Handle()) && Width() > 0 && Height() > 0) {
    PrepareCache();
    PaintCtrlBorder(d, TsPaintState::Normal);
    CopyCacheToCanvas();
    static_cast<TControlCanvas*>(Canvas())->FreeHandle();
  }
  lightPos_ += GaugeLightStep(extent);
}
