#include "imaging/GIFImage.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "framework/ScopeExit.h"
#include "imaging/GIFBitmapOps.h"

uint16_t DefaultPaintFlags = 0x060F;
uint8_t DefaultReductionMethod = crColorCube216;
int DefaultReductionBitCount = 8;
uint8_t DefaultDitherMethod = dtNearest;
uint8_t DefaultEncoderKind = ecLZW;
TThreadPriority DefaultPainterPriority = tpNormal;
int DefaultAnimationPercent = 100;
int FrameDelayUnitMs = 12;
int DefaultFrameDelay = 10;
int MinFrameDelay = 3;
int MaxFrameDelay = 1000;
bool RenderFramesOnLoad = false;
bool OptimizeWhenStreamed = false;
bool DisplayNeedsDither = false;
bool DisplayIsPaletted = false;
uint32_t ClipboardFormatGIF = 0;

TGIFImage::TGIFImage()
    : header_(this),
      frames_(this),
      paintFlags_(DefaultPaintFlags),
      reductionMethod_(DefaultReductionMethod),
      reductionBitCount_(DefaultReductionBitCount),
      ditherMethod_(DefaultDitherMethod),
      encoderKind_(DefaultEncoderKind),
      painterPriority_(DefaultPainterPriority),
      animationPercent_(DefaultAnimationPercent) {
  ClearAll();
}

TGIFImage::~TGIFImage() {
  // Nothing may leave a destructor: painters are stopped and forgotten, errors dropped.
  try {
    StopAllPainters();
  } catch (...) {
  }
  {
    std::lock_guard<std::recursive_mutex> lock(painterLock_);
    for (TGIFPainter* painter : painters_) painter->ForgetImage();
    painters_.clear();
  }
  bitmap_.reset();
  frames_.FreeAllItems();
}

void TGIFImage::ClearAll() {
  StopAllPainters();
  ReleaseBitmap();
  frames_.FreeAllItems();
  header_.ColorMap().ClearEntries();
  header_.Descriptor().Width = 0;
  header_.Descriptor().Height = 0;
  header_.UpdatePackedFields();
  SetPalette({});
}

void TGIFImage::ReportWarning(TObject* sender, int severity, const std::string& message) {
  if (OnGIFWarning) OnGIFWarning(sender, severity, message);
}

void TGIFImage::DoProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                           const std::string& msg) {
  Progress(sender, stage, percent, redrawNow, TRect{}, msg);
}

void TGIFImage::StorePainterError(std::exception_ptr error) {
  std::lock_guard<std::recursive_mutex> lock(painterLock_);
  if (!painterError_) painterError_ = error;
}

// ---- loading and saving ------------------------------------------------------------------------
void TGIFImage::LoadFromStream(TStream& stream) {
  DoProgress(this, psStarting, 0, false, "Loading...");
  bool loaded = false;
  {
    TScopeExit ending([&] { DoProgress(this, psEnding, loaded ? 100 : 0, true, "Loading..."); });
    ClearAll();
    const int64_t start = stream.Position();
    try {
      header_.LoadFromStream(stream);
      frames_.ReadItems(stream);
      TGIFTrailer trailer(this);
      trailer.LoadFromStream(stream);
    } catch (...) {
      stream.SetPosition(start);
      throw;
    }
    // A screen of 0 x 0 shows nothing: it takes the size its frames need.
    TGIFScreenDescriptor& screen = header_.Descriptor();
    if (screen.Width == 0 || screen.Height == 0)
      for (int i = 0; i < FrameCount(); ++i) {
        const TGIFSubImage* f = Frame(i);
        if (screen.Width == 0 || screen.Width < f->Left() + f->Width())
          screen.Width = static_cast<uint16_t>(Min(f->Left() + f->Width(), 0xFFFF));
        if (screen.Height == 0 || screen.Height < f->Top() + f->Height())
          screen.Height = static_cast<uint16_t>(Min(f->Top() + f->Height(), 0xFFFF));
      }
    loaded = true;
  }
  Changed(this);
}

void TGIFImage::SaveToStream(TStream& stream) {
  DoProgress(this, psStarting, 0, false, "Saving...");
  bool saved = false;
  TScopeExit ending([&] { DoProgress(this, psEnding, saved ? 100 : 0, true, "Saving..."); });
  header_.SaveToStream(stream);
  frames_.WriteItems(stream);
  TGIFTrailer trailer(this);
  trailer.SaveToStream(stream);
  saved = true;
}

void TGIFImage::WriteData(TStream& stream) {
  if (OptimizeWhenStreamed) OptimizeFrames(0x1F, crNone, 8, dtNearest);
  inherited::WriteData(stream);
}

// ---- image-wide values -------------------------------------------------------------------------
int TGIFImage::RequiredVersion() const {
  int version = 0;
  for (int i = 0; i < FrameCount(); ++i) {
    version = Max(version, Frame(i)->RequiredVersion());
    if (version >= 2) break;
  }
  return version;
}

int TGIFImage::MaxColorResolution() const {
  int resolution = header_.ScreenColorResolution();
  for (int i = 0; i < FrameCount(); ++i)
    resolution = Max(resolution, Frame(i)->LocalColorResolution());
  return resolution;
}

int TGIFImage::MaxIndexBits() const {
  int bits = header_.GlobalIndexBits();
  for (int i = 0; i < FrameCount(); ++i) bits = Max(bits, Frame(i)->LocalIndexBits());
  return bits;
}

bool TGIFImage::ShouldDither() const {
  return (paintFlags_ & dfDither) != 0 && ((paintFlags_ & dfAutoDither) == 0 || DisplayNeedsDither);
}

void TGIFImage::SetWidth(int value) {
  for (int i = 0; i < FrameCount(); ++i)
    if (Frame(i)->Left() + Frame(i)->Width() > value)
      RaiseGIFError("Image width too small for contained frames");
  if (value == Width()) return;
  header_.Descriptor().Width = static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF));
  ReleaseBitmap();
  Changed(this);
}

void TGIFImage::SetHeight(int value) {
  for (int i = 0; i < FrameCount(); ++i)
    if (Frame(i)->Top() + Frame(i)->Height() > value)
      RaiseGIFError("Image height too small for contained frames");
  if (value == Height()) return;
  header_.Descriptor().Height = static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF));
  ReleaseBitmap();
  Changed(this);
}

// ---- palette -----------------------------------------------------------------------------------
TColorTable TGIFImage::GetPalette() {
  if (paletteRequest_) RaiseGIFError("No global or local color table defined");
  paletteRequest_ = true;
  struct TReset {
    bool& flag;
    ~TReset() { flag = false; }
  } reset{paletteRequest_};
  if (bitmap_ && !bitmap_->Palette().empty()) return bitmap_->Palette();
  if (!palette_.empty()) return palette_;
  if (ShouldDither()) {
    palette_ = CreateColorCubePalette();
    return palette_;
  }
  if (header_.ColorMap().Count() == 0)
    return FrameCount() > 0 ? Frame(0)->PaletteHandle() : TColorTable{};
  palette_ = header_.ColorMap().MakePalette();
  return palette_;
}

void TGIFImage::SetPalette(const TColorTable& palette) {
  palette_ = palette;
  if (bitmap_ && bitmap_->Palette() != palette) {
    ReleaseBitmap();
    paletteModified_ = true;
    Changed(this);
  }
}

// ---- buffer bitmap -----------------------------------------------------------------------------
TBitmap* TGIFImage::EnsureBufferBitmap(const TRect& drawn) {
  if (bitmap_) return bitmap_.get();
  const TSize size = GIFDrawBufferSize(Width(), Height(), drawn);
  bitmap_ = std::make_unique<TBitmap>();
  bitmap_->SetPixelFormat(pf24bit);
  bitmap_->SetSize(size.cx, size.cy);
  bitmap_->OnChange = [this](TObject*) { Changed(this); };
  return bitmap_.get();
}

bool TGIFImage::BufferFits(const TRect& drawn) const {
  return bitmap_ &&
         TSize{bitmap_->Width(), bitmap_->Height()} == GIFDrawBufferSize(Width(), Height(), drawn);
}

TBitmap* TGIFImage::CurrentBitmap() {
  if (Empty()) return nullptr;
  if (bitmap_ && bitmap_->Width() == Width() && bitmap_->Height() == Height()) return bitmap_.get();
  // A buffer an animation plays in at a smaller size is no picture of the whole screen.
  if (bitmap_) StopDrawPainter();
  int64_t framePixels = 0;
  for (int i = 0; i < FrameCount(); ++i) framePixels += Frame(i)->PixelCount();
  if (!GIFScreenFits(int64_t{Width()} * Height(), framePixels)) throw EOutOfMemory("Out of memory");
  TGIFSubImage* first = Frame(0);
  auto bitmap = std::make_unique<TBitmap>();
  if (first->Width() == Width() && first->Height() == Height() &&
      first->EnsureBitmap() != nullptr) {
    bitmap->Assign(first->RenderedBitmap());
  } else {
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(Width(), Height());
    first->PaintFrame(*bitmap, Rect(0, 0, Width(), Height()), false, false);
  }
  bitmap->OnChange = [this](TObject*) { Changed(this); };
  bitmap_ = std::move(bitmap);
  return bitmap_.get();
}

void TGIFImage::ReleaseBitmap() {
  {
    std::lock_guard<std::recursive_mutex> lock(painterLock_);
    if (drawPainter_ != nullptr) drawPainter_->StopPlayback();
  }
  bitmap_.reset();
}

// ---- frames ------------------------------------------------------------------------------------
int TGIFImage::AddFrame(TPersistent* object) {
  std::unique_ptr<TGIFSubImage> frame;
  if (auto* given = dynamic_cast<TGIFSubImage*>(object)) {
    TGIFImage* owner = given->Image();
    if (owner != nullptr && owner->Frames().IndexOf(given) >= 0) {
      // A frame that another list still owns is copied: taking it would free it twice.
      frame = std::make_unique<TGIFSubImage>(this);
      frame->Assign(given);
    } else {
      // The caller hands the frame over.
      frame.reset(given);
    }
  } else if (dynamic_cast<TGraphic*>(object) != nullptr) {
    frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(object);
  } else {
    RaiseGIFError("Object type not supported for operation");
  }
  const int index = frames_.AppendItem(std::move(frame));
  ReleaseBitmap();
  Changed(this);
  return index;
}

void TGIFImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    ClearAll();
    return;
  }
  if (auto* image = dynamic_cast<TGIFImage*>(source)) {
    AssignImage(image);
    return;
  }
  ClearAll();
  auto frame = std::make_unique<TGIFSubImage>(this);
  try {
    frame->Assign(source);
  } catch (const EConvertError&) {
    frame.reset();
    inherited::Assign(source);
    return;
  }
  AddFrame(frame.release());
}

void TGIFImage::AssignImage(TGIFImage* source) {
  ClearAll();
  OnProgress = source->OnProgress;
  OnGIFWarning = source->OnGIFWarning;
  bool ok = false;
  TScopeExit ending([&] {
    DoProgress(this, psEnding, ok ? 100 : 0, false, "Copying...");
    OnProgress = nullptr;
    OnGIFWarning = nullptr;
  });
  {
    DoProgress(this, psStarting, 0, false, "Copying...");
    header_.Assign(&source->header_);
    painterPriority_ = source->painterPriority_;
    backgroundOverride_ = source->backgroundOverride_;
    paintFlags_ = source->paintFlags_;
    reductionMethod_ = source->reductionMethod_;
    ditherMethod_ = source->ditherMethod_;
    pinnedFrame_ = source->pinnedFrame_;
    OnAnimationStart = source->OnAnimationStart;
    OnFramePaint = source->OnFramePaint;
    OnFramePainted = source->OnFramePainted;
    OnAnimationLoop = source->OnAnimationLoop;
    OnAnimationEnd = source->OnAnimationEnd;
    const int count = source->FrameCount();
    for (int i = 0; i < count; ++i) {
      auto frame = std::make_unique<TGIFSubImage>(this);
      frame->Assign(source->Frame(i));
      AddFrame(frame.release());
      DoProgress(this, psRunning, static_cast<uint8_t>((i + 1) * 100 / count), false, "Copying...");
    }
    ok = true;
  }
}

void TGIFImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    if (TBitmap* current = CurrentBitmap())
      bitmap->Assign(current);
    else
      bitmap->SetSize(0, 0);
    return;
  }
  inherited::AssignTo(dest);
}

// ---- painters ----------------------------------------------------------------------------------
TGIFPainter* TGIFImage::StartPainter(TGIFPainter** variable, TBitmap* canvas, uint16_t flags,
                                     const TRect& rect) {
  if (variable != nullptr) *variable = nullptr;
  if (Empty() || rect.Width() <= 0 || rect.Height() <= 0) return nullptr;
  if (FrameCount() == 1) flags &= ~(dfThreaded | dfAnimate);
  TGIFPainter* painter = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(painterLock_);
    painter = TGIFPainter::CreateLinked(variable, this, flags, rect, canvas, services_);
    painters_.push_back(painter);
    painter->OnAnimationStart = OnAnimationStart;
    painter->OnFramePaint = OnFramePaint;
    painter->OnFramePainted = OnFramePainted;
    painter->OnAnimationLoop = OnAnimationLoop;
    painter->OnAnimationEnd = OnAnimationEnd;
  }
  if ((flags & dfThreaded) != 0) return painter;
  // Played to the end on this thread; its error is raised here, not from its destructor.
  std::unique_ptr<TGIFPainter> owned(painter);
  owned->RunInline();
  std::exception_ptr error = owned->StoredError();
  owned.reset();
  if (variable != nullptr) *variable = nullptr;
  if (error) std::rethrow_exception(error);
  return nullptr;
}

void TGIFImage::StopAllPainters() {
  while (true) {
    int threaded = 0;
    {
      std::lock_guard<std::recursive_mutex> lock(painterLock_);
      if (painters_.empty()) break;
      for (auto it = painters_.rbegin(); it != painters_.rend(); ++it) {
        (*it)->StopPlayback();
        if ((*it)->Threaded()) ++threaded;
      }
    }
    if (threaded == 0) break;
    if (TThread::IsMainThread()) {
      while (TThread::CheckSynchronize()) {
      }
    }
    std::this_thread::yield();
  }
  bitmap_.reset();
}

void TGIFImage::StopDrawPainter() {
  while (true) {
    {
      std::lock_guard<std::recursive_mutex> lock(painterLock_);
      if (drawPainter_ == nullptr) break;
      drawPainter_->StopPlayback();
      if (!drawPainter_->Threaded()) break;
    }
    if (TThread::IsMainThread()) TThread::CheckSynchronize();
    std::this_thread::yield();
  }
  bitmap_.reset();
}

void TGIFImage::FinishPainters() {
  StopAllPainters();
  std::exception_ptr error;
  {
    std::lock_guard<std::recursive_mutex> lock(painterLock_);
    error = painterError_;
    painterError_ = nullptr;
  }
  if (error) std::rethrow_exception(error);
}

// ---- drawing -----------------------------------------------------------------------------------
void TGIFImage::DrawBufferTiled(TBitmap& target, const TRect& rect, TBitmap& bitmap) {
  const TRect whole = Rect(0, 0, bitmap.Width(), bitmap.Height());
  if ((paintFlags_ & dfTile) == 0) {
    StretchPixels(target, rect, bitmap, whole);
    return;
  }
  // Tiles repeat at the screen's size; a buffer smaller than the screen holds the part of
  // the first tile that the rectangle shows, at its own size.
  const int w = Max(1, Width());
  const int h = Max(1, Height());
  for (int y = rect.Top; y < rect.Bottom; y += h)
    for (int x = rect.Left; x < rect.Right; x += w)
      StretchPixels(target, Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap, whole);
}

void TGIFImage::DrawOn(TBitmap& target, const TRect& rect) { DrawImpl(target, rect, &target, {}); }

void TGIFImage::DrawImpl(TBitmap& target, const TRect& rect, const void* key,
                         const std::function<void()>& present) {
  if (drawing_ || Empty()) return;
  drawing_ = true;
  struct TReset {
    bool& flag;
    ~TReset() { flag = false; }
  } reset{drawing_};
  const bool tile = (paintFlags_ & dfTile) != 0;
  const bool transparent = (paintFlags_ & dfTransparent) != 0;
  if (FrameCount() == 1 || (paintFlags_ & dfAnimate) == 0) {
    const int index = pinnedFrame_ >= 0 && pinnedFrame_ < FrameCount() ? pinnedFrame_ : 0;
    Frame(index)->PaintFrame(target, rect, tile, transparent);
    return;
  }
  const bool direct = (paintFlags_ & dfPaintDirect) != 0;
  // A buffer sized for another rectangle is too small or larger than needed: play anew.
  if (bitmap_ && !direct && !BufferFits(rect)) StopDrawPainter();
  if (!bitmap_ || direct) {
    {
      std::lock_guard<std::recursive_mutex> lock(painterLock_);
      if (drawPainter_ != nullptr && drawKey_ == key && drawRect_ == rect) return;
    }
    StopDrawPainter();
    TBitmap* canvas = &target;
    TRect targetRect = rect;
    if (!direct) {
      canvas = EnsureBufferBitmap(rect);
      targetRect = Rect(0, 0, canvas->Width(), canvas->Height());
      // The animation is laid over what the caller's picture shows there.
      StretchPixels(*canvas, targetRect, target, rect);
    }
    drawKey_ = key;
    drawRect_ = rect;
    TGIFPainter* painter = StartPainter(&drawPainter_, canvas, paintFlags_, targetRect);
    if (painter == nullptr) {
      if (!direct && bitmap_) DrawBufferTiled(target, rect, *bitmap_);
      return;
    }
    if (direct) painter->OnPresent = present;
    painter->StartPlayback();
    if (direct) return;
    while (true) {
      {
        std::lock_guard<std::recursive_mutex> guard(painterLock_);
        if (drawPainter_ != painter || painter->Terminated() || painter->Started()) break;
      }
      if (!TThread::IsMainThread() || !TThread::CheckSynchronize()) std::this_thread::yield();
    }
    if (bitmap_) DrawBufferTiled(target, rect, *bitmap_);
    return;
  }
  DrawBufferTiled(target, rect, *bitmap_);
}

#ifndef _WIN32
void TGIFImage::Draw(TCanvas*, const TRect&) {}
#endif

// ---- registration ------------------------------------------------------------------------------
void RegisterGIFImage() {
  TPicture::RegisterFileFormat("GIF", "GIF Image", TGIFImage::StaticClassInfo());
#if defined(_WIN32)
  RegisterGIFImageWin32();
#endif
}
