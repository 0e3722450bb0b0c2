#include "skin/forms/sVclUtilsAnimWin32.h"

#include <algorithm>

#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/forms/sDwmApi.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/skBorderGeometry.h"

namespace {

int CoversAlive = 0;
TskHideTimer* TheHideTimer = nullptr;

// A snapshot and its cover made while a form was about to hide, until the hide takes them.
struct TPreparedHide {
  TsSkinProvider* Provider = nullptr;
  std::unique_ptr<TskCoverForm> Cover;
  std::unique_ptr<TBitmap> Snapshot;
  void Clear() {
    Provider = nullptr;
    Cover.reset();
    Snapshot.reset();
  }
};
TPreparedHide PreparedHide;

// The picture of a control kept by CoverWithSnapshot and the window that shows it.
struct TChangeCover {
  std::unique_ptr<TOutputWindow> Window;
  std::unique_ptr<TBitmap> Snapshot;
  void Clear() {
    Window.reset();
    Snapshot.reset();
  }
};
TChangeCover ChangeCover;

HDC DCOf(TBitmap* bitmap) { return bitmap->Canvas()->Handle(); }

// The window right above `wnd` in the z-order, so that a window put after it lies directly
// over `wnd`.
HWND WindowAbove(HWND wnd) {
  HWND above = GetWindow(wnd, GW_HWNDPREV);
  return above ? above : HWND_TOP;
}

// A cover at `place` (screen), directly over the form, or topmost over a topmost form. It is
// layered and hidden until its first frame is pushed.
std::unique_ptr<TskCoverForm> MakeCover(HWND form, const RECT& place) {
  auto cover = std::make_unique<TskCoverForm>(nullptr);
  const HWND wnd = cover->Handle();
  SetWindowLongPtrA(
      wnd, GWL_EXSTYLE,
      GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
  const bool topmost = (GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  SetWindowPos(wnd, topmost ? HWND_TOPMOST : WindowAbove(form), place.left, place.top,
               place.right - place.left, place.bottom - place.top,
               SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW | SWP_NOSENDCHANGING);
  return cover;
}

void ShowCover(HWND cover, HWND insertAfter) {
  ShowWindow(cover, SW_SHOWNOACTIVATE);
  SetWindowPos(cover, insertAfter, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOCOPYBITS |
                   SWP_NOACTIVATE | SWP_NOREDRAW);
}

// Puts the image into the cover with the constant alpha on top of the image's own; a
// numbered frame (or the end state, index -1) also goes to the frame sink.
void PushFrame(HWND cover, TBitmap* image, int alpha, TskAnimKind kind, int index,
               bool report = true) {
  TWindowDC screen(nullptr);
  SIZE size{image->Width(), image->Height()};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  CallUpdateLayeredWindow(cover, screen.Get(), nullptr, &size, DCOf(image), &origin, 0, &blend,
                          ULW_ALPHA);
  if (!report) return;
  if (IskAnimationFrameSink* sink = AnimationFrameSink())
    sink->FramePushed(
        TskPushedFrame{kind, reinterpret_cast<TWindowKey>(cover), index, alpha, image});
}

// The frame's image: zoomed, the snapshot stretched into its rectangle over transparent
// black; fading, the snapshot itself, copied once.
void PaintFrame(TBitmap* frame, TBitmap* snapshot, const TskAnimFrame& f, TskAnimType mode,
                bool first) {
  const int w = snapshot->Width(), h = snapshot->Height();
  if (mode != atAero) {
    if (first) BitBlt(DCOf(frame), 0, 0, w, h, DCOf(snapshot), 0, 0, SRCCOPY);
    return;
  }
  HDC dest = DCOf(frame);
  PatBlt(dest, 0, 0, w, h, BLACKNESS);
  const TRect& r = f.ImageRect;
  if (f.Stretched) {
    SetStretchBltMode(dest, COLORONCOLOR);
    StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), DCOf(snapshot), 0, 0, w, h, SRCCOPY);
  } else {
    BitBlt(dest, r.Left, r.Top, w, h, DCOf(snapshot), 0, 0, SRCCOPY);
  }
}

// A fade or zoom in: frames 0 to N, 12 ms apart, then the whole snapshot at the end alpha.
void RunShowFrames(HWND cover, TBitmap* snapshot, const TskAnimationSteps& steps, TskAnimType mode,
                   TskAnimKind kind) {
  auto frame = CreateBmp32(snapshot->Width(), snapshot->Height());
  for (int i = 0; i < steps.FrameCount(); ++i) {
    const TskAnimFrame f = steps.FrameAt(i);
    PaintFrame(frame.get(), snapshot, f, mode, i == 0);
    PushFrame(cover, frame.get(), f.Alpha, kind, i);
    Sleep(kAnimationFrameTime);
  }
  PushFrame(cover, snapshot, steps.FinalAlpha(), kind, -1);
}

// A form layered only for its show (it does not blend by itself) is shown plainly again.
void EndShowLayering(TCustomForm* form) {
  const HWND wnd = form->Handle();
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  if (!form->AlphaBlend() && (exStyle & WS_EX_LAYERED))
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

constexpr UINT kRedrawWhole =
    RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

// The form painted by itself again, under its cover.
void RedrawUnderCover(TCustomForm* form, bool eraseNow) {
  const HWND wnd = form->Handle();
  SendMessageA(wnd, WM_SETREDRAW, 1, 0);
  AnimationRunning = false;
  RedrawWindow(wnd, nullptr, nullptr, kRedrawWhole | (eraseNow ? RDW_ERASENOW : 0));
}

// The form's whole look; null without a frame image. Opaque, except with a border window:
// then the frame image keeps its own alpha (the shadow) and only the client area, with the
// children, is opaque.
std::unique_ptr<TBitmap> SnapshotOf(TsSkinProvider& provider) {
  const TsFormFacts facts = provider.FormFacts();
  provider.PaintFormCache(facts);
  const TSize size = provider.FrameImageSize();
  if (!provider.FrameImage() || size.cx <= 0 || size.cy <= 0) return nullptr;
  auto snapshot = CreateBmp32(size.cx, size.cy);
  provider.PaintFormToBitmap(*snapshot);
  if (!provider.HasBorderForm()) return snapshot;
  auto framed = CreateBmp32(size.cx, size.cy);
  BitBlt(DCOf(framed.get()), 0, 0, size.cx, size.cy, DCOf(provider.FrameImage()), 0, 0, SRCCOPY);
  const TRect client = Bounds(GetClientOffsetX(facts), GetClientOffsetY(facts), facts.ClientWidth,
                              facts.ClientHeight);
  BitBlt(DCOf(framed.get()), client.Left, client.Top, client.Width(), client.Height(),
         DCOf(snapshot.get()), client.Left, client.Top, SRCCOPY);
  FillAlphaRect(framed.get(), client, 255, false);
  return framed;
}

// Where the snapshot lies on the screen: the border window's place when the form has one
// (where it is to lie with the image in force, which a skin change may have resized).
RECT SnapshotPlace(TsSkinProvider& provider) {
  RECT place{};
  GetWindowRect(provider.Form()->Handle(), &place);
  if (!provider.HasBorderForm()) return place;
  const TRect bounds = PlaceBorderWindow(provider.FormFacts(),
                                         TRect{place.left, place.top, place.right, place.bottom},
                                         provider.FrameImageSize(), DwmCompositionEnabled())
                           .Bounds;
  return RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
}

}  // namespace

// ---- the cover

TskCoverForm::TskCoverForm(TComponent* owner) : TForm(owner) {
  ++CoversAlive;
  SetTag(kDialogHookSkipTag);
  SetBorderStyle(bsNone);
}

TskCoverForm::~TskCoverForm() { --CoversAlive; }

int TskCoverForm::Alive() { return CoversAlive; }

// ---- showing

void AnimateFormShow(TsSkinProvider& provider, int time, int value, TskAnimType mode) {
  TCustomForm* form = provider.Form();
  if (!provider.SkinData() || !form->HandleAllocated()) return;
  const HWND wnd = form->Handle();
  AnimationRunning = true;
  bool shown = false;
  bool borderCleared = false;
  TScopeExit done([&] {
    AnimationRunning = false;
    // A show that failed half-way must not leave the form see-through or unpainted.
    if (!shown) {
      EndShowLayering(form);
      RedrawWindow(wnd, nullptr, nullptr, kRedrawWhole & ~RDW_UPDATENOW);
    }
    if (borderCleared) provider.UpdateExBorder(true, 255);
  });
  // A new show ends what a hide of the same form prepared.
  if (PreparedHide.Provider == &provider) PreparedHide.Clear();

  std::unique_ptr<TBitmap> snapshot;
  if (AnimationFrames(time) > 0) snapshot = SnapshotOf(provider);
  if (!snapshot) {
    // No frame to show: the form shows at once, as it is.
    if (form->AlphaBlend()) form->SetAlphaBlendValue(value);
    EndShowLayering(form);
    shown = true;
    RedrawUnderCover(form, true);
    return;
  }
  const std::unique_ptr<TskCoverForm> cover = MakeCover(wnd, SnapshotPlace(provider));
  const HWND coverWnd = cover->Handle();
  const bool topmost = (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  PushFrame(coverWnd, snapshot.get(), 0, TskAnimKind::FormShow, 0, false);
  ShowCover(coverWnd, topmost ? HWND_TOPMOST : WindowAbove(wnd));
  // The border window shows nothing while its picture fades in with the cover.
  if (const TWindowKey border = provider.HasBorderForm() ? provider.BorderWindow() : 0) {
    FormServices().UpdateLayeredBitmap(border, nullptr, 0);
    borderCleared = true;
  }

  const TskAnimationSteps steps(TskAnimDirection::FormShow, mode, time, value, snapshot->Width(),
                                snapshot->Height());
  RunShowFrames(coverWnd, snapshot.get(), steps, mode, TskAnimKind::FormShow);

  if (form->AlphaBlend()) form->SetAlphaBlendValue(value);
  EndShowLayering(form);
  shown = true;
  RedrawUnderCover(form, true);
  if (borderCleared) {
    borderCleared = false;
    provider.UpdateExBorder(true, 255);
  }
  // Under composition the form's new picture reaches the screen a frame later.
  if (DwmCompositionEnabled()) Sleep(kAnimationFrameTime);
  SetWindowPos(coverWnd, wnd, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW);
}

// ---- hiding

void PrepareFormHide(TsSkinProvider& provider) {
  PreparedHide.Clear();
  TCustomForm* form = provider.Form();
  if (!form->HandleAllocated()) return;
  std::unique_ptr<TBitmap> snapshot = SnapshotOf(provider);
  if (!snapshot) return;
  const HWND wnd = form->Handle();
  std::unique_ptr<TskCoverForm> cover = MakeCover(wnd, SnapshotPlace(provider));
  PushFrame(cover->Handle(), snapshot.get(), 255, TskAnimKind::FormHide, 0, false);
  const bool topmost = (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  ShowCover(cover->Handle(), topmost ? HWND_TOPMOST : WindowAbove(wnd));
  PreparedHide.Provider = &provider;
  PreparedHide.Cover = std::move(cover);
  PreparedHide.Snapshot = std::move(snapshot);
}

void DropPreparedHide(TsSkinProvider& provider) {
  if (PreparedHide.Provider == &provider) PreparedHide.Clear();
}

void AnimateFormHide(TsSkinProvider& provider) {
  FormServices().FreeAllGlows();
  TCustomForm* form = provider.Form();
  TsSkinManager* manager = provider.SkinManager();
  if (!manager || form->FormStyle() == fsMDIChild || !form->HandleAllocated()) {
    DropPreparedHide(provider);
    return;
  }
  AnimationRunning = true;
  TScopeExit done([] { AnimationRunning = false; });
  std::unique_ptr<TskCoverForm> cover;
  std::unique_ptr<TBitmap> snapshot;
  if (PreparedHide.Provider == &provider) {
    cover = std::move(PreparedHide.Cover);
    snapshot = std::move(PreparedHide.Snapshot);
    PreparedHide.Clear();
  } else {
    snapshot = SnapshotOf(provider);
    if (!snapshot) return;
    cover = MakeCover(form->Handle(), SnapshotPlace(provider));
  }
  const TskFormHide& hide = manager->AnimEffects()->FormHide;
  StartHideAnimation(std::move(cover), std::move(snapshot), hide.Time, 255, hide.Mode);
}

// ---- dialogs

std::unique_ptr<TskCoverForm> AnimateDialogShow(HWND dialog, std::unique_ptr<TBitmap> snapshot,
                                                int time, int value, TskAnimType mode) {
  if (!snapshot || AnimationFrames(time) == 0 || !HasLayeredWindows()) return nullptr;
  AnimationRunning = true;
  TScopeExit done([] { AnimationRunning = false; });
  RECT place;
  GetWindowRect(dialog, &place);
  auto cover = MakeCover(dialog, place);
  const HWND coverWnd = cover->Handle();
  PushFrame(coverWnd, snapshot.get(), 0, TskAnimKind::DialogShow, 0, false);
  const bool topmost = (GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  ShowCover(coverWnd, topmost ? HWND_TOPMOST : WindowAbove(dialog));
  const TskAnimationSteps steps(TskAnimDirection::DialogShow, mode, time, value, snapshot->Width(),
                                snapshot->Height());
  RunShowFrames(coverWnd, snapshot.get(), steps, mode, TskAnimKind::DialogShow);
  return cover;
}

void AnimateDialogHide(HWND dialog, std::unique_ptr<TBitmap> snapshot, int time, TskAnimType mode) {
  if (!snapshot || AnimationFrames(time) == 0 || !HasLayeredWindows()) return;
  FormServices().FreeAllGlows();
  AnimationRunning = true;
  TScopeExit done([] { AnimationRunning = false; });
  RECT place;
  GetWindowRect(dialog, &place);
  auto cover = MakeCover(dialog, place);
  PushFrame(cover->Handle(), snapshot.get(), 255, TskAnimKind::FormHide, 0, false);
  const bool topmost = (GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  ShowCover(cover->Handle(), topmost ? HWND_TOPMOST : WindowAbove(dialog));
  StartHideAnimation(std::move(cover), std::move(snapshot), time, 255, mode);
}

void StartHideAnimation(std::unique_ptr<TskCoverForm> cover, std::unique_ptr<TBitmap> snapshot,
                        int time, int startAlpha, TskAnimType mode) {
  StopHideAnimation();
  // Below one frame there is nothing to show: the cover and the snapshot go here.
  if (AnimationFrames(time) == 0 || !cover || !snapshot) return;
  if (!TheHideTimer) TheHideTimer = new TskHideTimer(Application);
  TheHideTimer->Start(std::move(cover), std::move(snapshot), time, startAlpha, mode);
}

void StopHideAnimation() {
  if (TheHideTimer) TheHideTimer->Finish();
}

TskHideTimer* HideTimer() { return TheHideTimer; }

TskHideTimer::TskHideTimer(TComponent* owner) : TskThreadedTimer(owner, nullptr, true) {}

TskHideTimer::~TskHideTimer() {
  // The ticks stop before the cover and pictures they use go.
  SetEnabled(false);
  if (TheHideTimer == this) TheHideTimer = nullptr;
  try {
    cover_.reset();
  } catch (...) {
    // Nothing leaves a destructor.
  }
}

HWND TskHideTimer::CoverWindow() const {
  return cover_ && cover_->HandleAllocated() ? cover_->Handle() : nullptr;
}

void TskHideTimer::Start(std::unique_ptr<TskCoverForm> cover, std::unique_ptr<TBitmap> snapshot,
                         int time, int startAlpha, TskAnimType mode) {
  Finish();
  cover_ = std::move(cover);
  source_ = std::move(snapshot);
  mode_ = mode;
  steps_ = std::make_unique<TskAnimationSteps>(TskAnimDirection::Hide, mode, time, startAlpha,
                                               source_->Width(), source_->Height());
  frame_ = CreateBmp32(source_->Width(), source_->Height());
  index_ = 0;
  const HWND wnd = cover_->Handle();
  PushFrame(wnd, source_.get(), startAlpha, TskAnimKind::FormHide, 0, false);
  ShowCover(wnd, HWND_TOPMOST);
  if (Application->Terminated()) {
    // While the program ends no timer ticks: the frames run now.
    while (Running()) {
      Tick();
      if (Running()) Sleep(kAnimationFrameTime);
    }
    return;
  }
  Tick();
  SetInterval(kAnimationFrameTime);
  SetEnabled(true);
}

void TskHideTimer::Tick() {
  if (inTick_ || !Running()) return;
  inTick_ = true;
  TScopeExit out([this] { inTick_ = false; });
  if (index_ > steps_->Frames()) {
    Finish();
    return;
  }
  const TskAnimFrame f = steps_->FrameAt(index_);
  PaintFrame(frame_.get(), source_.get(), f, mode_, index_ == 0);
  PushFrame(CoverWindow(), frame_.get(), f.Alpha, TskAnimKind::FormHide, index_);
  ++index_;
}

void TskHideTimer::Finish() {
  SetEnabled(false);
  cover_.reset();
  source_.reset();
  frame_.reset();
  steps_.reset();
  index_ = 0;
}

// ---- the skin change

void AnimateFromSnapshot(TsSkinProvider& provider, int time, int value, TskAnimType mode) {
  TCustomForm* form = provider.Form();
  const auto border = reinterpret_cast<HWND>(provider.BorderWindow());
  if (!form->HandleAllocated() || !HasLayeredWindows() || AnimationFrames(time) == 0 ||
      (provider.HasBorderForm() && !border))
    return;
  AnimationRunning = true;
  const bool withBorder = provider.HasBorderForm();
  TScopeExit done([&] {
    AnimationRunning = false;
    if (!withBorder) return;
    // The old picture is not needed any more; the border window shows the new one.
    provider.CoverImage.reset();
    provider.UpdateExBorder(true, 255);
  });
  const std::unique_ptr<TBitmap> snapshot = SnapshotOf(provider);
  if (!snapshot) return;
  const HWND wnd = form->Handle();
  // The form is frozen with its old look on the screen (with a border window, the old
  // picture in it); the new one fades in over it.
  const std::unique_ptr<TskCoverForm> cover = MakeCover(wnd, SnapshotPlace(provider));
  const HWND coverWnd = cover->Handle();
  const bool topmost = (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  PushFrame(coverWnd, snapshot.get(), 0, TskAnimKind::SkinChange, 0, false);
  ShowCover(coverWnd, topmost ? HWND_TOPMOST : WindowAbove(wnd));
  const TskAnimationSteps steps(TskAnimDirection::FormShow, mode, time, value, snapshot->Width(),
                                snapshot->Height());
  auto frame = CreateBmp32(snapshot->Width(), snapshot->Height());
  TBitmap* old = withBorder ? provider.CoverImage.get() : nullptr;
  for (int i = 0; i < steps.FrameCount(); ++i) {
    const TskAnimFrame f = steps.FrameAt(i);
    PaintFrame(frame.get(), snapshot.get(), f, mode, i == 0);
    PushFrame(coverWnd, frame.get(), f.Alpha, TskAnimKind::SkinChange, i);
    // The old border fades out three times as fast as the new look comes.
    if (old) UpdateLayeredBitmap(border, old, CrossFadeOldAlpha(value, f.Alpha));
    Sleep(kAnimationFrameTime);
  }
  PushFrame(coverWnd, snapshot.get(), value, TskAnimKind::SkinChange, -1);
  if (form->AlphaBlend()) form->SetAlphaBlendValue(value);
  RedrawUnderCover(form, false);
}

// ---- a control's change

void CoverWithSnapshot(TWinControl* control) {
  if (!control || !control->HandleAllocated()) return;
  const HWND wnd = control->Handle();
  RECT place;
  GetWindowRect(wnd, &place);
  const int w = place.right - place.left, h = place.bottom - place.top;
  if (w <= 0 || h <= 0) return;
  if (!ChangeCover.Snapshot || ChangeCover.Snapshot->Width() != w ||
      ChangeCover.Snapshot->Height() != h)
    ChangeCover.Snapshot = CreateBmp32(w, h);
  {
    TWindowDC screen(nullptr);
    BitBlt(DCOf(ChangeCover.Snapshot.get()), 0, 0, w, h, screen.Get(), place.left, place.top,
           SRCCOPY);
  }
  if (!ChangeCover.Window) ChangeCover.Window = std::make_unique<TOutputWindow>(nullptr);
  TOutputWindow* output = ChangeCover.Window.get();
  if (TWinControl* parent = control->Parent()) {
    output->SetParent(parent);
    PlaceAfterSibling(output, control);
    output->SetBounds(control->Left(), control->Top(), control->Width(), control->Height());
    // Right over the control, whatever the child order says, so that it hides the change.
    SetWindowPos(output->Handle(), WindowAbove(wnd), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    ShowWindow(output->Handle(), SW_SHOWNA);
  } else {
    SetWindowPos(output->Handle(), WindowAbove(wnd), place.left, place.top, w, h,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
  }
}

void FreeChangeCover() { ChangeCover.Clear(); }

HWND ChangeCoverWindow() {
  return ChangeCover.Window && ChangeCover.Window->HandleAllocated() ? ChangeCover.Window->Handle()
                                                                     : nullptr;
}

void AnimateFromSnapshot(TWinControl* control, int time, int value) {
  if (!control) return;
  AnimationRunning = true;
  // The output window and the pictures go whatever happens.
  TScopeExit done([] {
    AnimationRunning = false;
    ChangeCover.Clear();
  });
  auto* form = dynamic_cast<TCustomForm*>(control);
  TsSkinProvider* provider = form ? FormSkinProvider(form) : nullptr;
  if (provider && HasLayeredWindows()) {
    ChangeCover.Clear();
    AnimateFromSnapshot(*provider, time, value, atFading);
    return;
  }
  if (!ChangeCover.Window) CoverWithSnapshot(control);
  const HWND output = ChangeCoverWindow();
  TBitmap* old = ChangeCover.Snapshot.get();
  if (!output || !old || !control->HandleAllocated()) return;
  const int w = old->Width(), h = old->Height();
  auto fresh = CreateBmp32(w, h);
  PaintControlTree(fresh.get(), control, 0, 0, provider);
  if (provider && !provider->HasBorderForm()) {
    // The output window takes the form's shape.
    provider->PrepareRegionParts();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(form->Handle(), region) != ERROR)
      SetWindowRgn(output, region, FALSE);
    else
      DeleteObject(region);
  }
  const int frames = AnimationFrames(time);
  {
    auto mix = CreateBmp32(w, h);
    TWindowDC dc(output, true);
    for (int i = 0; i < frames + (frames > 0 ? 1 : 0); ++i) {
      const int share = MixOldShareAt(i, frames);
      MixBitmaps(mix.get(), old, fresh.get(), static_cast<uint8_t>(share), nullptr);
      BitBlt(dc.Get(), 0, 0, w, h, DCOf(mix.get()), 0, 0, SRCCOPY);
      if (IskAnimationFrameSink* sink = AnimationFrameSink())
        sink->FramePushed(TskPushedFrame{TskAnimKind::ControlChange,
                                         reinterpret_cast<TWindowKey>(output), i, 255 - share,
                                         mix.get()});
      Sleep(kAnimationFrameTime);
    }
    BitBlt(dc.Get(), 0, 0, w, h, DCOf(fresh.get()), 0, 0, SRCCOPY);
    if (IskAnimationFrameSink* sink = AnimationFrameSink())
      sink->FramePushed(TskPushedFrame{TskAnimKind::ControlChange,
                                       reinterpret_cast<TWindowKey>(output), -1, 255, fresh.get()});
  }
  AnimationRunning = false;
  if (control->Visible()) {
    SendMessageA(control->Handle(), WM_SETREDRAW, 1, 0);
    RedrawWindow(control->Handle(), nullptr, nullptr, kRedrawWhole);
  }
  SetWindowPos(
      output, nullptr, 0, 0, 0, 0,
      SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
}
