// The animation painter against a simulated clock: schedules, loops, disposal and stopping.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kColors{clBlack, clWhite, clRed, clBlue};

// Time passes only when the painter sleeps or waits.
class TFakeServices : public TGIFPainterServices {
 public:
  uint32_t Now() override { return now.load(); }
  void Sleep(uint32_t ms) override {
    std::lock_guard<std::mutex> lock(mutex);
    sleeps.push_back(ms);
    now += ms;
  }
  bool WaitForWake(TEvent& event, uint32_t ms) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      waits.push_back(ms);
    }
    if (ms == kWaitForever) return event.WaitFor(kWaitForever) == wrSignaled;
    now += ms;
    return false;
  }
  bool PumpMessages(const std::function<bool()>&) override { return !quit; }
  // Events and painting run on the painter's thread: the tests hold no window.
  void RunOnMainThread(TThread*, const std::function<void()>& method) override { method(); }

  std::atomic<uint32_t> now{1000};
  std::mutex mutex;
  std::vector<uint32_t> sleeps, waits;
  bool quit = false;
};

struct TPaintLog {
  std::mutex mutex;
  std::vector<std::pair<int, uint32_t>> frames;  // frame index and time it was painted
  int loops = 0;
  int starts = 0;
  int ends = 0;
};

class GIFPainterTest : public ::testing::Test {
 protected:
  void Load(const TBytes& bytes, uint16_t flags) {
    LoadGif(image, bytes);
    image.SetPaintFlags(flags);
    image.SetPainterServices(&services);
    canvas.SetPixelFormat(pf24bit);
    canvas.SetSize(image.Width(), image.Height());
    canvas.Fill(clLime);
    image.OnFramePaint = [this](TObject* sender) {
      std::lock_guard<std::mutex> lock(log.mutex);
      log.frames.push_back({static_cast<TGIFPainter*>(sender)->ActiveFrame(), services.Now()});
    };
    image.OnAnimationLoop = [this](TObject*) { ++log.loops; };
    image.OnAnimationStart = [this](TObject*) { ++log.starts; };
    image.OnAnimationEnd = [this](TObject*) { ++log.ends; };
  }
  void Play() {
    TGIFPainter* painter = nullptr;
    EXPECT_EQ(image.StartPainter(&painter, &canvas, image.PaintFlags(),
                                 Rect(0, 0, image.Width(), image.Height())),
              nullptr);
    EXPECT_EQ(painter, nullptr);
  }
  // Starts a threaded painter and serves the main thread until it has gone.
  void PlayThreaded() {
    TGIFPainter* painter = nullptr;
    TGIFPainter* started = image.StartPainter(&painter, &canvas, image.PaintFlags(),
                                              Rect(0, 0, image.Width(), image.Height()));
    ASSERT_NE(started, nullptr);
    started->StartPlayback();
    WaitUntilNoPainters();
  }
  void WaitUntilNoPainters() {
    while (true) {
      {
        std::lock_guard<std::recursive_mutex> lock(image.PainterLock());
        if (image.Painters().empty()) return;
      }
      TThread::CheckSynchronize();
      std::this_thread::yield();
    }
  }
  std::vector<int> FramesPlayed() {
    std::vector<int> out;
    for (auto& f : log.frames) out.push_back(f.first);
    return out;
  }
  std::vector<uint32_t> Gaps() {
    std::vector<uint32_t> out;
    for (size_t i = 1; i < log.frames.size(); ++i)
      out.push_back(log.frames[i].second - log.frames[i - 1].second);
    return out;
  }

  TFakeServices services;
  TGIFImage image;
  TBitmap canvas;
  TPaintLog log;
};

TBytes Animation(const std::vector<int>& delays, int loop = -1, int loopFrame = 0) {
  TGifBuilder b;
  b.Header(2, 1, kColors);
  for (size_t i = 0; i < delays.size(); ++i) {
    if (loop >= 0 && static_cast<int>(i) == loopFrame) b.Loop(loop);
    b.GraphicControl(1, delays[i]).Frame(0, 0, 2, 1, {static_cast<uint8_t>(i % 4), 1}, 2);
  }
  return b.Trailer().Data();
}

TEST_F(GIFPainterTest, StoredDelaysBecomeWaitsOfTwelveMillisecondsPerUnit) {
  struct Case {
    const char* name;
    std::vector<int> delays;
    int percent;
    std::vector<uint32_t> gaps;
  } cases[] = {
      {"zero delay plays the default", {0, 5}, 100, {120}},
      {"short delay plays the minimum", {1, 1}, 100, {36}},
      {"long delay is capped inline", {5000, 1}, 100, {12000}},
      {"double speed halves the waits", {10, 10, 10}, 200, {60, 60}},
  };
  for (const Case& c : cases) {
    services.now = 1000;
    log.frames.clear();
    image.ClearAll();
    Load(Animation(c.delays), dfAnimate);
    image.SetAnimationPercent(c.percent);
    Play();
    EXPECT_EQ(Gaps(), c.gaps) << c.name;
  }
}

TEST_F(GIFPainterTest, ThreadedPainterKeepsLongDelays) {
  Load(Animation({5000, 1}), dfAnimate | dfThreaded);
  PlayThreaded();
  EXPECT_EQ(FramesPlayed(), (std::vector<int>{0, 1}));
  ASSERT_FALSE(services.waits.empty());
  EXPECT_EQ(services.waits[0], 60000u);
}

TEST_F(GIFPainterTest, RepeatCountPlaysThatManyPassesFromTheLoopingFrame) {
  Load(Animation({2, 2, 2}, 3, 1), dfAnimate | dfLoop);
  Play();
  EXPECT_EQ(FramesPlayed(), (std::vector<int>{0, 1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(log.loops, 2);
  EXPECT_EQ(log.starts, 1);
  EXPECT_EQ(log.ends, 1);
}

TEST_F(GIFPainterTest, WithoutLoopingExtensionOrLoopFlagTheAnimationPlaysOnce) {
  struct Case {
    int loop;
    uint16_t flags;
  } cases[] = {{-1, dfAnimate | dfLoop}, {0, dfAnimate | dfLoop}, {3, dfAnimate}};
  for (const Case& c : cases) {
    log.frames.clear();
    image.ClearAll();
    Load(Animation({2, 2}, c.loop), c.flags);
    Play();
    EXPECT_EQ(FramesPlayed(), (std::vector<int>{0, 1})) << c.loop << " " << c.flags;
  }
}

TEST_F(GIFPainterTest, WithoutAnimateOnlyTheFirstFrameIsShown) {
  Load(Animation({2, 2, 2}), dfLoop);
  TGIFPainter* painter = nullptr;
  image.StartPainter(&painter, &canvas, dfLoop | dfAnimate, Rect(0, 0, 2, 1));
  const size_t animated = log.frames.size();
  log.frames.clear();
  image.StartPainter(&painter, &canvas, dfLoop, Rect(0, 0, 2, 1));
  EXPECT_EQ(animated, 3u);
  EXPECT_EQ(FramesPlayed(), std::vector<int>{0});
}

TEST_F(GIFPainterTest, EventHandlerChoosesTheNextFrame) {
  Load(Animation({2, 2, 2, 2}), dfAnimate);
  image.OnFramePainted = [](TObject* sender) {
    auto* painter = static_cast<TGIFPainter*>(sender);
    if (painter->ActiveFrame() == 0) painter->SetActiveFrame(2);
  };
  Play();
  EXPECT_EQ(FramesPlayed(), (std::vector<int>{0, 2, 3}));
}

TEST_F(GIFPainterTest, RestoringToBackgroundClearsTheFrameArea) {
  // Background index 3 is blue; the red frame is cleared away before the white one.
  const TBytes bytes = TGifBuilder()
                           .Header(4, 1, kColors, "GIF89a", 3)
                           .GraphicControl(2, 2)
                           .Frame(0, 0, 4, 1, {2, 2, 2, 2}, 2)
                           .GraphicControl(1, 2)
                           .Frame(0, 0, 2, 1, {1, 1}, 2)
                           .Trailer()
                           .Data();
  Load(bytes, dfAnimate);
  Play();
  EXPECT_EQ(canvas.PixelColor(0, 0), clWhite);
  EXPECT_EQ(canvas.PixelColor(1, 0), clWhite);
  EXPECT_EQ(canvas.PixelColor(2, 0), clBlue);
  EXPECT_EQ(canvas.PixelColor(3, 0), clBlue);
}

TEST_F(GIFPainterTest, RestoringThePreviousPictureAfterAKeptFrameDrawsOnTheCanvasOnly) {
  const TBytes bytes = TGifBuilder()
                           .Header(4, 1, kColors)
                           .GraphicControl(1, 2)
                           .Frame(0, 0, 4, 1, {2, 2, 2, 2}, 2)
                           .GraphicControl(3, 2)
                           .Frame(0, 0, 2, 1, {1, 1}, 2)
                           .GraphicControl(1, 2)
                           .Frame(3, 0, 1, 1, {3}, 2)
                           .Trailer()
                           .Data();
  Load(bytes, dfAnimate);
  std::vector<TColor> afterSecond;
  image.OnFramePainted = [&](TObject* sender) {
    if (static_cast<TGIFPainter*>(sender)->ActiveFrame() == 1)
      for (int x = 0; x < 4; ++x) afterSecond.push_back(canvas.PixelColor(x, 0));
  };
  Play();
  EXPECT_EQ(afterSecond, (std::vector<TColor>{clWhite, clWhite, clRed, clRed}));
  EXPECT_EQ(canvas.PixelColor(0, 0), clRed);
  EXPECT_EQ(canvas.PixelColor(3, 0), clBlue);
}

TEST_F(GIFPainterTest, PausedThreadedPainterWaitsUntilItIsStopped) {
  Load(Animation({2, 2}), dfAnimate | dfThreaded | dfLoop);
  image.SetAnimationPercent(0);
  TGIFPainter* painter = nullptr;
  TGIFPainter* started =
      image.StartPainter(&painter, &canvas, image.PaintFlags(), Rect(0, 0, 2, 1));
  ASSERT_NE(started, nullptr);
  started->StartPlayback();
  while (true) {
    {
      std::lock_guard<std::mutex> lock(services.mutex);
      if (!services.waits.empty()) break;
    }
    std::this_thread::yield();
  }
  EXPECT_EQ(services.waits[0], kWaitForever);
  image.StopAllPainters();
  std::lock_guard<std::recursive_mutex> lock(image.PainterLock());
  EXPECT_TRUE(image.Painters().empty());
  EXPECT_EQ(painter, nullptr);
}

TEST_F(GIFPainterTest, NegativeSpeedNeverWaits) {
  Load(Animation({50, 50, 50}), dfAnimate | dfThreaded);
  image.SetAnimationPercent(-1);
  PlayThreaded();
  EXPECT_EQ(FramesPlayed().size(), 3u);
  EXPECT_TRUE(services.waits.empty());
}

TEST_F(GIFPainterTest, SingleFrameNeverRunsAsAThread) {
  Load(TGifBuilder().Header(2, 1, kColors).Frame(0, 0, 2, 1, {2, 3}, 2).Trailer().Data(),
       dfAnimate | dfThreaded);
  TGIFPainter* painter = nullptr;
  EXPECT_EQ(image.StartPainter(&painter, &canvas, image.PaintFlags(), Rect(0, 0, 2, 1)), nullptr);
  EXPECT_EQ(canvas.PixelColor(1, 0), clBlue);
}

TEST_F(GIFPainterTest, ErrorWhilePlayingIsRaisedByTheCallerNotByADestructor) {
  Load(Animation({2, 2}), dfAnimate);
  image.OnFramePainted = [](TObject*) { throw EInvalidOperation("handler failed"); };
  TGIFPainter* painter = nullptr;
  try {
    image.StartPainter(&painter, &canvas, image.PaintFlags(), Rect(0, 0, 2, 1));
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "handler failed");
  }
  EXPECT_EQ(FramesPlayed(), std::vector<int>{0});
}

TEST_F(GIFPainterTest, ThreadedErrorIsRaisedFromFinishPainters) {
  Load(Animation({2, 2}), dfAnimate | dfThreaded);
  image.OnFramePaint = [](TObject*) { throw EInvalidOperation("handler failed"); };
  PlayThreaded();
  EXPECT_THROW(image.FinishPainters(), EInvalidOperation);
  EXPECT_NO_THROW(image.FinishPainters());
}

TEST_F(GIFPainterTest, QuitMessageEndsAnInlinePainter) {
  Load(Animation({20, 20, 20}), dfAnimate);
  services.quit = true;
  Play();
  EXPECT_TRUE(log.frames.empty());
}

}  // namespace
