// The GIF picture: versions 87a and 89a, single-frame or animated. It loads and saves the
// file format, holds the frames, decides how it is drawn, converts other pictures into
// frames, optimises its frames and plays animations through painters.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "imaging/GIFBlocks.h"
#include "imaging/GIFColorMap.h"
#include "imaging/GIFColorReduction.h"
#include "imaging/GIFFrames.h"
#include "imaging/GIFMemoryBudget.h"
#include "imaging/GIFPainter.h"

// Paint flags.
constexpr uint16_t dfThreaded = 0x0001;
constexpr uint16_t dfTransparent = 0x0002;
constexpr uint16_t dfAnimate = 0x0004;
constexpr uint16_t dfLoop = 0x0008;
constexpr uint16_t dfLoopForever = 0x0010;
constexpr uint16_t dfCheckCanvas = 0x0020;
constexpr uint16_t dfPaintDirect = 0x0040;
constexpr uint16_t dfClearOnRestart = 0x0080;
constexpr uint16_t dfTile = 0x0100;
constexpr uint16_t dfDither = 0x0200;
constexpr uint16_t dfAutoDither = 0x0400;

enum TGIFEncoderKind : uint8_t { ecLZW, ecRLE };

// Optimisation options.
constexpr uint8_t opCrop = 0x01;
constexpr uint8_t opMerge = 0x02;
constexpr uint8_t opCleanup = 0x04;
constexpr uint8_t opColorMaps = 0x08;
constexpr uint8_t opReduceColors = 0x10;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Settings a new image starts with and timing constants of the painter.
extern uint16_t DefaultPaintFlags;
extern uint8_t DefaultReductionMethod;
extern int DefaultReductionBitCount;
extern uint8_t DefaultDitherMethod;
extern uint8_t DefaultEncoderKind;
extern TThreadPriority DefaultPainterPriority;
extern int DefaultAnimationPercent;
extern int FrameDelayUnitMs;
extern int DefaultFrameDelay;
extern int MinFrameDelay;
extern int MaxFrameDelay;
extern bool RenderFramesOnLoad;
extern bool OptimizeWhenStreamed;
extern bool DisplayNeedsDither;
extern bool DisplayIsPaletted;
// The registered clipboard format "GIF Image" (0 natively).
extern uint32_t ClipboardFormatGIF;

using TGIFWarning = TMethod<void(TObject* sender, int severity, const std::string& message)>;

class TGIFImage : public TGraphic {
  K_CLASS(TGIFImage, TGraphic)
  TGIFImage();
  ~TGIFImage() override;
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& rect) override;
  bool Equals(const TGraphic* graphic) const { return graphic == this; }
  bool Empty() const override { return frames_.ItemCount() == 0; }
  int Width() const override { return header_.Descriptor().Width; }
  int Height() const override { return header_.Descriptor().Height; }
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  // The colours drawing uses; raises when asked again while it is being built.
  TColorTable GetPalette();
  void SetPalette(const TColorTable& palette);
  void WriteData(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
#ifdef _WIN32
  void LoadFromClipboardFormat(uint16_t format, void* data, void* palette) override;
  void SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) override;
#endif
  virtual void ReportWarning(TObject* sender, int severity, const std::string& message);

  void ClearAll();
  TBitmap* CurrentBitmap();
  // The buffer an animated Draw plays in, made for drawing into `drawn` when there is none
  // (its size: GIFDrawBufferSize).
  TBitmap* EnsureBufferBitmap(const TRect& drawn);
  void ReleaseBitmap();
  // A picture is converted into a new frame; a frame that no image owns is taken over, one
  // that an image still owns is copied. Answers the frame's index.
  int AddFrame(TPersistent* object);
  void OptimizeFrames(uint8_t options, uint8_t reduction, int bits, uint8_t dither);

  // Painters.
  TGIFPainter* StartPainter(TGIFPainter** variable, TBitmap* canvas, uint16_t flags,
                            const TRect& rect);
  void StopAllPainters();
  void StopDrawPainter();
  // Stops all painters and raises the error that ended a threaded painter, if any.
  void FinishPainters();
  TGIFPainter* DrawPainter() const { return drawPainter_; }
  // Portable drawing onto a bitmap (what Draw does on a device context).
  void DrawOn(TBitmap& target, const TRect& rect);
  TGIFPainterServices* PainterServices() const { return services_; }
  void SetPainterServices(TGIFPainterServices* services) { services_ = services; }

  int RequiredVersion() const;
  int MaxColorResolution() const;
  int MaxIndexBits() const;
  TColor ScreenBackground() { return header_.ScreenBackground(); }
  TGIFGlobalColorMap& GlobalColorMap() { return header_.ColorMap(); }
  bool ShouldDither() const;

  TGIFHeader& Header() { return header_; }
  TGIFImageList& Frames() { return frames_; }
  int FrameCount() const { return frames_.ItemCount(); }
  TGIFSubImage* Frame(int index) const { return frames_.ItemAt(index); }

  uint16_t PaintFlags() const { return paintFlags_; }
  void SetPaintFlags(uint16_t value) { paintFlags_ = value; }
  uint8_t ReductionMethod() const { return reductionMethod_; }
  void SetReductionMethod(uint8_t value) { reductionMethod_ = value; }
  int ReductionBitCount() const { return reductionBitCount_; }
  // More than 8 bits would ask for more colours than a GIF holds.
  void SetReductionBitCount(int value) { reductionBitCount_ = Max(1, Min(value, 8)); }
  uint8_t DitherMethod() const { return ditherMethod_; }
  void SetDitherMethod(uint8_t value) { ditherMethod_ = value; }
  uint8_t EncoderKind() const { return encoderKind_; }
  void SetEncoderKind(uint8_t value) { encoderKind_ = value; }
  TThreadPriority PainterPriority() const { return painterPriority_; }
  void SetPainterPriority(TThreadPriority value) { painterPriority_ = value; }
  int AnimationPercent() const { return animationPercent_; }
  void SetAnimationPercent(int value) { animationPercent_ = value; }
  int PinnedFrame() const { return pinnedFrame_; }
  void SetPinnedFrame(int value) { pinnedFrame_ = value; }
  TColor BackgroundOverride() const { return backgroundOverride_; }
  void SetBackgroundOverride(TColor value) { backgroundOverride_ = value; }

  TGIFWarning OnGIFWarning;
  TNotifyEvent OnAnimationStart, OnFramePaint, OnFramePainted, OnAnimationLoop, OnAnimationEnd;

  // For the frames and lists of this image.
  void DoProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                  const std::string& msg);
  void DoChanged(TObject* sender) { Changed(sender); }
  bool PaletteModified() const { return paletteModified_; }
  void SetPaletteModified(bool value) { paletteModified_ = value; }
  std::recursive_mutex& PainterLock() { return painterLock_; }
  std::vector<TGIFPainter*>& Painters() { return painters_; }
  void StorePainterError(std::exception_ptr error);

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  void AssignImage(TGIFImage* source);
  void DrawBufferTiled(TBitmap& target, const TRect& rect, TBitmap& bitmap);
  bool BufferFits(const TRect& drawn) const;
  // `key` names the caller's surface (a second Draw on it with the same rectangle leaves the
  // running animation alone); `present` shows a directly painted frame on that surface.
  void DrawImpl(TBitmap& target, const TRect& rect, const void* key,
                const std::function<void()>& present);

  bool drawing_ = false;
  bool paletteRequest_ = false;
  bool paletteModified_ = false;
  TGIFHeader header_;
  TGIFImageList frames_;
  TColorTable palette_;
  std::recursive_mutex painterLock_;
  std::vector<TGIFPainter*> painters_;
  uint16_t paintFlags_;
  uint8_t reductionMethod_;
  int reductionBitCount_;
  uint8_t ditherMethod_;
  uint8_t encoderKind_;
  std::unique_ptr<TBitmap> bitmap_;
  TGIFPainter* drawPainter_ = nullptr;
  TThreadPriority painterPriority_;
  int animationPercent_;
  int pinnedFrame_ = -1;
  TColor backgroundOverride_ = clNone;
  TGIFPainterServices* services_ = nullptr;
  std::exception_ptr painterError_;
  const void* drawKey_ = nullptr;
  TRect drawRect_;
  std::unique_ptr<TBitmap> directBitmap_;  // the surface of a direct painter under Win32
};

// Registers TGIFImage for "GIF" with TPicture; under Windows also its clipboard format and
// the painter's drawing services. Called from a program's start-up list.
void RegisterGIFImage();
#if defined(_WIN32)
// The Windows part of RegisterGIFImage (GIFImageWin32.cpp).
void RegisterGIFImageWin32();
#endif
