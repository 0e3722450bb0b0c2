// Frame optimisation: smaller files that show exactly the same animation.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "framework/ScopeExit.h"
#include "imaging/GIFImage.h"

namespace {

uint8_t DisposalOf(const TGIFSubImage* frame) {
  const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
  return gce != nullptr ? gce->DisposalMethod() : 0;
}

bool ContainsIndex(TGIFSubImage* frame, int index) {
  const uint8_t* p = frame->Pixels();
  if (p == nullptr || index < 0) return false;
  return std::memchr(p, index, static_cast<size_t>(frame->PixelCount())) != nullptr;
}

bool ContainsOtherThan(TGIFSubImage* frame, int index) {
  const uint8_t* p = frame->Pixels();
  for (int64_t k = 0; k < frame->PixelCount(); ++k)
    if (p[k] != index) return true;
  return false;
}

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{Max(a.Left, b.Left), Max(a.Top, b.Top), Min(a.Right, b.Right), Min(a.Bottom, b.Bottom)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return {};
  return r;
}

bool HasLoopExtension(TGIFSubImage* frame) {
  for (int k = 0; k < frame->Extensions().ItemCount(); ++k)
    if (frame->Extensions().ExtensionAt(k)->Is<TGIFAppExtNSLoop>()) return true;
  return false;
}

// The stored delay as the painter plays it (0 and a missing extension mean the default).
int EffectiveDelay(const TGIFSubImage* frame) {
  const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
  if (gce == nullptr || gce->DelayTime() == 0) return DefaultFrameDelay;
  return Max<int>(gce->DelayTime(), MinFrameDelay);
}

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The colour an index shows in a map; false when the map does not hold it.
bool ColorOf(TGIFColorMap* map, int index, TGIFColor& color) {
  if (map == nullptr || index < 0 || index >= map->Count()) return false;
  color = map->Entry(index);
  return true;
}

}  // namespace

bool CanAddTransparentColor(TGIFSubImage* frame) {
  const int local = frame->ColorMap().Count();
  if (local > 0) return local < 256;
  if (frame->Image() == nullptr) return false;
  const int global = frame->Image()->GlobalColorMap().Count();
  return global >= 1 && global <= 255;
}

int ObtainTransparentIndex(TGIFSubImage* frame) {
  TGIFImage* image = frame->Image();
  if (frame->ColorMap().Count() == 0 && image != nullptr) {
    // Another frame's transparent index serves only when this frame never shows that colour:
    // its own pixels of that index would vanish otherwise.
    for (int i = 0; i < image->FrameCount(); ++i) {
      TGIFSubImage* other = image->Frame(i);
      if (other == frame || !other->Transparent() || other->ColorMap().Count() > 0) continue;
      const int index = other->TransparentIndex();
      if (index >= 0 && index < image->GlobalColorMap().Count() && !ContainsIndex(frame, index))
        return index;
    }
    return image->GlobalColorMap().AppendColor(clBlack);
  }
  return frame->ColorMap().AppendColor(clBlack);
}

void TGIFSubImage::TrimTransparentEdges() {
  if (IsEmpty() || !Transparent()) return;
  const int t = TransparentIndex();
  const int w = Width();
  const int h = Height();
  auto columnClear = [&](int x) {
    for (int y = 0; y < h; ++y)
      if (pixels_[static_cast<size_t>(y) * w + x] != t) return false;
    return true;
  };
  int left = 0;
  while (left < w && columnClear(left)) ++left;
  if (left == w) {
    ClearFrame();
    return;
  }
  int right = w - 1;
  while (right > left && columnClear(right)) --right;
  auto rowClear = [&](int y) {
    const uint8_t* row = pixels_.data() + static_cast<size_t>(y) * w;
    for (int x = left; x <= right; ++x)
      if (row[x] != t) return false;
    return true;
  };
  int top = 0;
  while (top < h && rowClear(top)) ++top;
  int bottom = h - 1;
  while (bottom > top && rowClear(bottom)) --bottom;
  const int nw = right - left + 1;
  const int nh = bottom - top + 1;
  if (nw == w && nh == h) return;
  std::vector<uint8_t> trimmed(static_cast<size_t>(nw) * nh);
  for (int y = 0; y < nh; ++y)
    std::memcpy(trimmed.data() + static_cast<size_t>(y) * nw,
                pixels_.data() + static_cast<size_t>(top + y) * w + left, static_cast<size_t>(nw));
  descriptor_.Left = static_cast<uint16_t>(descriptor_.Left + left);
  descriptor_.Top = static_cast<uint16_t>(descriptor_.Top + top);
  descriptor_.Width = static_cast<uint16_t>(nw);
  descriptor_.Height = static_cast<uint16_t>(nh);
  pixels_ = std::move(trimmed);
  ReleaseBitmap();
  ReleaseMask();
}

void TGIFSubImage::MakeUnchangedTransparent(TGIFSubImage* previous) {
  if (previous == nullptr || IsEmpty() || previous->IsEmpty()) return;
  const uint8_t prevDisposal = DisposalOf(previous);
  if (prevDisposal == 2 || prevDisposal == 3) return;
  const TRect area = Intersect(FrameRect(), previous->FrameRect());
  if (IsEmptyRect(area)) return;
  const bool wasTransparent = Transparent();
  int dest = wasTransparent ? TransparentIndex() : -1;
  if (!wasTransparent && !CanAddTransparentColor(this)) return;
  const int prevTransparent = previous->Transparent() ? previous->TransparentIndex() : -1;
  TGIFColorMap* map = EffectiveColorMap();
  TGIFColorMap* prevMap = previous->EffectiveColorMap();
  bool obtained = false;
  for (int y = area.Top; y < area.Bottom; ++y) {
    uint8_t* row = PixelRow(y - Top());
    const uint8_t* prow = previous->PixelRow(y - previous->Top());
    for (int x = area.Left; x < area.Right; ++x) {
      uint8_t& p = row[x - Left()];
      const uint8_t q = prow[x - previous->Left()];
      if (dest >= 0 && p == dest) continue;
      if (q == prevTransparent) continue;
      bool same;
      if (map == prevMap) {
        same = p == q;
      } else {
        TGIFColor a, b;
        same = ColorOf(map, p, a) && ColorOf(prevMap, q, b) && a == b;
      }
      if (!same) continue;
      if (dest < 0) {
        dest = ObtainTransparentIndex(this);
        obtained = true;
        map = EffectiveColorMap();
      }
      p = static_cast<uint8_t>(dest);
    }
  }
  if (!wasTransparent && obtained) {
    if (gce_ == nullptr)
      extensions_.AppendItem(std::make_unique<TGIFGraphicControlExtension>(this));
    gce_->SetTransparentIndex(dest);
    gce_->SetTransparentFlag(true);
  }
  ReleaseBitmap();
  ReleaseMask();
}

void TGIFImage::OptimizeFrames(uint8_t options, uint8_t reduction, int /*bits*/,
                               uint8_t /*dither*/) {
  if (FrameCount() == 0) return;
  StopAllPainters();
  std::lock_guard<std::recursive_mutex> lock(PainterLock());
  DoProgress(this, psStarting, 0, false, "Optimizing...");
  const int total = Max(1, FrameCount() * 6);
  int done = 0;
  auto running = [&](int stepFrames) {
    done += stepFrames;
    DoProgress(this, psRunning, static_cast<uint8_t>(Min(done * 100 / total, 100)), false,
               "Optimizing...");
  };
  bool ok = false;
  // The work bitmap goes on every path; the palette is dropped only after a whole run.
  TScopeExit ending([&] {
    ReleaseBitmap();
    if (ok) SetPalette({});
    DoProgress(this, psEnding, ok ? 100 : 0, false, "Optimizing...");
  });
  {
    if ((options & opColorMaps) != 0) {
      if (GlobalColorMap().Count() > 0) GlobalColorMap().OptimizeOrder();
      for (int i = 0; i < FrameCount(); ++i)
        if (Frame(i)->ColorMap().Count() > 0) Frame(i)->ColorMap().OptimizeOrder();
      running(FrameCount());
    }
    if ((options & opCleanup) != 0) {
      for (int i = 0; i < FrameCount(); ++i) {
        TGIFSubImage* frame = Frame(i);
        if (frame->Transparent() && !ContainsIndex(frame, frame->TransparentIndex()))
          frame->GraphicControlExtension()->SetTransparentFlag(false);
      }
      for (int i = 0; i + 1 < FrameCount(); ++i) {
        TGIFSubImage* frame = Frame(i);
        TGIFSubImage* next = Frame(i + 1);
        TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
        if (gce == nullptr || (gce->DisposalMethod() != 2 && gce->DisposalMethod() != 3)) continue;
        // Only a next frame that paints over this whole frame makes the disposal invisible;
        // one that later restores the picture before it would bring the disposal back.
        if (next->Transparent() || next->IsEmpty() || DisposalOf(next) == 3) continue;
        if (Intersect(frame->FrameRect(), next->FrameRect()) == frame->FrameRect())
          gce->SetDisposalMethod(0);
      }
      running(FrameCount());
    }
    if ((options & opMerge) != 0) {
      for (int i = FrameCount() - 1; i >= 1; --i) {
        int p = i - 1;
        while (p > 0 && DisposalOf(Frame(p)) == 3 && Frame(p)->GraphicControlExtension() != nullptr)
          --p;
        Frame(i)->MakeUnchangedTransparent(Frame(p));
      }
      running(FrameCount());
    }
    if ((options & opCrop) != 0) {
      for (int i = FrameCount() - 1; i >= 0; --i) {
        TGIFSubImage* frame = Frame(i);
        if (frame->IsEmpty() || !frame->Transparent()) continue;
        // Restoring the background covers the frame's whole rectangle, transparent edges
        // included: trimming would leave part of the old picture standing.
        if (DisposalOf(frame) == 2) continue;
        // The looping extension would go with an emptied frame.
        if (HasLoopExtension(frame)) continue;
        // A frame that shows nothing of its own still shows the picture the frame before it
        // left behind: the background first of all, or what that frame's disposal restored.
        // Only after a frame that stays on screen can it go.
        if (!ContainsOtherThan(frame, frame->TransparentIndex()) &&
            (i == 0 || DisposalOf(Frame(i - 1)) >= 2))
          continue;
        const int delay = EffectiveDelay(frame);
        frame->TrimTransparentEdges();
        if (!frame->IsEmpty()) continue;
        frames_.FreeItemAt(i);
        if (i > 0) {
          // The previous picture stays up for the removed frame's time as well.
          TGIFSubImage* prev = Frame(i - 1);
          const int prevDelay = EffectiveDelay(prev);
          TGIFGraphicControlExtension* prevGce = prev->GraphicControlExtension();
          if (prevGce == nullptr) {
            prev->Extensions().AppendItem(std::make_unique<TGIFGraphicControlExtension>(prev));
            prevGce = prev->GraphicControlExtension();
          }
          prevGce->SetDelayTime(static_cast<uint16_t>(Min(prevDelay + delay, 0xFFFF)));
        }
      }
      running(FrameCount());
    }
    if ((options & opCleanup) != 0) {
      const bool single = FrameCount() == 1;
      for (int i = FrameCount() - 1; i >= 0; --i) {
        TGIFSubImage* frame = Frame(i);
        TGIFExtensionList& list = frame->Extensions();
        for (int k = list.ItemCount() - 1; k >= 0; --k) {
          TGIFExtension* ext = list.ExtensionAt(k);
          bool drop = ext->Is<TGIFCommentExtension>() || ext->Is<TGIFTextExtension>() ||
                      ext->Is<TGIFUnknownAppExtension>();
          if (ext->Is<TGIFAppExtNSLoop>()) drop = !(i == 0 && FrameCount() > 1);
          if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext)) {
            drop = (gce->DelayTime() == 0 || single) && !gce->TransparentFlag() &&
                   !gce->UserInputFlag() && (gce->DisposalMethod() < 2 || single);
          }
          if (drop) list.FreeItemAt(k);
        }
        if (frame->IsEmpty() && list.ItemCount() == 0) frames_.FreeItemAt(i);
      }
      running(FrameCount());
    }
    if ((options & opCleanup) == 0 && (options & opReduceColors) != 0 &&
        reduction == crCustomPalette)
      RaiseGIFError("Invalid reduction method");
    ok = true;
  }
}
