// Window utilities under Wine with real windows: who a broadcast reaches, what the skin
// command queries answer, the graphic children and control trees painted into bitmaps
// (solid colours and positions), and the output window.
#include "skin/forms/sVclUtilsWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>

#include "framework/Canvas.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGrey = 0x808080;

// A windowed control that counts the skin commands it gets and answers CmdIsSkinned with
// `skinnedAnswer` (0: not skinned) and CmdGetBgColor with `bgAnswer`.
class TCountingPanel : public TCustomControl {
 public:
  explicit TCountingPanel(TComponent* owner) : TCustomControl(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_SKINCMD) {
      const int cmd = SkinCmdOf(m.WParam);
      ++received[cmd];
      lastLParam[cmd] = m.LParam;
      if (cmd == CmdIsSkinned) m.Result = skinnedAnswer;
      if (cmd == CmdGetBgColor && skinnedAnswer) m.Result = bgAnswer;
      return;
    }
    // A skinned control prints itself (WM_PRINT comes without print flags).
    if (m.Msg == WM_PRINT && skinnedAnswer) {
      PaintSolidRect(reinterpret_cast<HDC>(m.WParam), TRect{0, 0, Width(), Height()}, Color());
      return;
    }
    TCustomControl::WndProc(m);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
  LRESULT skinnedAnswer = 0;
  LRESULT bgAnswer = 0;
  std::map<int, int> received;
  std::map<int, LPARAM> lastLParam;
};

// A graphic control painted in one solid colour; counts the skin commands it gets.
class TSolidGraphic : public TGraphicControl {
 public:
  explicit TSolidGraphic(TComponent* owner) : TGraphicControl(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_SKINCMD) {
      ++received[SkinCmdOf(m.WParam)];
      return;
    }
    TGraphicControl::WndProc(m);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
  std::map<int, int> received;
};

void Pump() {
  for (int i = 0; i < 5; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

struct VclUtilsWindow : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    form = new TForm(Application);
    form->SetBounds(30, 30, 300, 200);
    form->SetColor(kGrey);
    form->Show();
    Pump();
  }
  void TearDown() override { delete form; }
  template <class T>
  T* Make(TWinControl* parent, int left, int top, int width, int height, TColor color) {
    auto* c = new T(form);
    c->SetColor(color);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  TForm* form = nullptr;
};

// A control that asks, while its window is being made, whether it is ready.
class TReadinessProbe : public TCustomControl {
 public:
  explicit TReadinessProbe(TComponent* owner) : TCustomControl(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_CREATE) readyWhileCreating = IsControlReady(this) ? 1 : 0;
    TCustomControl::WndProc(m);
  }
  int readyWhileCreating = -1;
};

TEST_F(VclUtilsWindow, AControlIsReadyOnlyOnceItsWindowIsMadeAndItHasAParent) {
  EXPECT_FALSE(IsControlReady(nullptr));
  auto* probe = new TReadinessProbe(form);
  EXPECT_FALSE(IsControlReady(probe));  // no parent, no window
  probe->SetParent(form);
  ASSERT_TRUE(probe->HandleAllocated());
  EXPECT_EQ(probe->readyWhileCreating, 0);
  EXPECT_TRUE(IsControlReady(probe));
  auto* loose = new TCountingPanel(form);
  loose->HandleNeeded();  // a window but no parent control
  EXPECT_FALSE(IsControlReady(loose));
}

TEST_F(VclUtilsWindow, OnlyAnAnswerOfExactlyOneCountsAsSkinned) {
  auto* panel = Make<TCountingPanel>(form, 0, 0, 20, 20, kRed);
  for (LRESULT answer : {LRESULT(0), LRESULT(1), LRESULT(2), LRESULT(-1), LRESULT(0x101)}) {
    panel->skinnedAnswer = answer;
    EXPECT_EQ(TestSkinCmd(panel->Handle(), CmdIsSkinned), answer == 1) << answer;
  }
  EXPECT_FALSE(TestSkinCmd(nullptr, CmdIsSkinned));
}

TEST_F(VclUtilsWindow, BackgroundColourComesFromTheSkinOnlyWhenSkinned) {
  EXPECT_EQ(GetControlBgColor(nullptr), clFuchsia);
  EXPECT_EQ(GetWindowBgColor(nullptr), clFuchsia);
  auto* panel = Make<TCountingPanel>(form, 0, 0, 20, 20, kRed);
  panel->HandleNeeded();
  panel->bgAnswer = kBlue;
  EXPECT_EQ(GetControlBgColor(panel), kRed);
  panel->skinnedAnswer = 1;
  EXPECT_EQ(GetControlBgColor(panel), kBlue);
  EXPECT_EQ(panel->lastLParam[CmdGetBgColor], static_cast<LPARAM>(clFuchsia));
  EXPECT_EQ(GetWindowBgColor(panel->Handle()), kBlue);
  // A window that does not know the command answers 0: black.
  auto* plain = Make<TPanel>(form, 30, 0, 20, 20, kRed);
  EXPECT_EQ(GetWindowBgColor(plain->Handle()), 0);
}

// The unskinned panel in the middle passes the message on to its children without getting
// it; a control without a window (or without a window handle yet) gets it by Perform.
TEST_F(VclUtilsWindow, BroadcastReachesSkinnedGrandchildrenPastAnUnskinnedChild) {
  auto* middle = Make<TCountingPanel>(form, 0, 0, 200, 150, kRed);
  auto* grandchild = Make<TCountingPanel>(middle, 10, 10, 50, 50, kGreen);
  grandchild->skinnedAnswer = 1;
  auto* graphic = Make<TSolidGraphic>(middle, 70, 10, 20, 20, kBlue);
  auto* skinned = Make<TCountingPanel>(form, 210, 0, 50, 50, kGreen);
  skinned->skinnedAnswer = 1;
  middle->HandleNeeded();
  grandchild->HandleNeeded();
  skinned->HandleNeeded();
  // A hidden unskinned panel: its new child gets no window handle.
  auto* shelf = Make<TCountingPanel>(form, 0, 160, 50, 20, kRed);
  shelf->SetVisible(false);
  shelf->HandleNeeded();
  auto* noHandle = new TCountingPanel(form);
  noHandle->SetParent(shelf);
  ASSERT_FALSE(noHandle->HandleAllocated());

  BroadcastToChildren(form, TSkinCmdMessage{CmdRefresh, 0, 0, 0, true});
  EXPECT_EQ(middle->received[CmdRefresh], 0);
  EXPECT_EQ(grandchild->received[CmdRefresh], 1);
  EXPECT_EQ(graphic->received[CmdRefresh], 1);
  EXPECT_EQ(skinned->received[CmdRefresh], 1);
  EXPECT_EQ(shelf->received[CmdRefresh], 0);
  EXPECT_EQ(noHandle->received[CmdRefresh], 1);
  EXPECT_FALSE(noHandle->HandleAllocated());
}

// A child on its way out gets nothing; its later siblings still get the message.
TEST_F(VclUtilsWindow, BroadcastPassesOverAChildBeingDestroyed) {
  auto* first = Make<TCountingPanel>(form, 0, 0, 20, 20, kRed);
  auto* dying = Make<TSolidGraphic>(form, 30, 0, 20, 20, kRed);
  auto* last = Make<TCountingPanel>(form, 60, 0, 20, 20, kRed);
  first->skinnedAnswer = last->skinnedAnswer = 1;
  first->HandleNeeded();
  last->HandleNeeded();
  dying->Destroying();
  BroadcastToChildren(form, TSkinCmdMessage{CmdSkinChanged, 0, 0, 0, true});
  EXPECT_EQ(first->received[CmdSkinChanged], 1);
  EXPECT_EQ(dying->received[CmdSkinChanged], 0);
  EXPECT_EQ(last->received[CmdSkinChanged], 1);
}

TEST_F(VclUtilsWindow, ChildWindowBroadcastStopsAtTheDirectChildren) {
  auto* child = Make<TCountingPanel>(form, 0, 0, 200, 150, kRed);
  auto* grandchild = Make<TCountingPanel>(child, 10, 10, 50, 50, kGreen);
  grandchild->HandleNeeded();
  BroadcastToChildWindows(form->Handle(), TMessage{SM_SKINCMD, SkinCmdWParam(CmdBgChanged), 0, 0});
  EXPECT_EQ(child->received[CmdBgChanged], 1);
  EXPECT_EQ(grandchild->received[CmdBgChanged], 0);
}

TEST_F(VclUtilsWindow, ResumingReachesWindowedChildrenButNotDuringAnAnimation) {
  auto* shown = Make<TCountingPanel>(form, 0, 0, 20, 20, kRed);
  auto* graphic = Make<TSolidGraphic>(form, 30, 0, 20, 20, kRed);
  shown->HandleNeeded();
  Pump();
  AnimationRunning = true;
  ResumeChildrenPainting(form);
  AnimationRunning = false;
  EXPECT_EQ(shown->received[CmdResumePainting], 0);
  ResumeChildrenPainting(form);
  EXPECT_EQ(shown->received[CmdResumePainting], 1);
  EXPECT_EQ(graphic->received[CmdResumePainting], 0);

  auto* grandchild = Make<TCountingPanel>(shown, 2, 2, 5, 5, kRed);
  grandchild->HandleNeeded();
  ResumeChildWindowsPainting(form->Handle());
  EXPECT_EQ(shown->received[CmdResumePainting], 2);
  EXPECT_EQ(grandchild->received[CmdResumePainting], 0);
}

TEST_F(VclUtilsWindow, AlignedSizesAddUpOnlyTheirSide) {
  Make<TCountingPanel>(form, 0, 0, 10, 15, kRed)->SetAlign(alTop);
  Make<TCountingPanel>(form, 0, 0, 10, 25, kRed)->SetAlign(alTop);
  auto* hidden = Make<TCountingPanel>(form, 0, 0, 10, 100, kRed);
  hidden->SetAlign(alTop);
  hidden->SetVisible(false);
  Make<TSolidGraphic>(form, 0, 0, 10, 7, kRed)->SetAlign(alTop);
  Make<TCountingPanel>(form, 0, 0, 33, 10, kRed)->SetAlign(alLeft);
  Make<TCountingPanel>(form, 0, 0, 10, 10, kRed)->SetAlign(alClient);
  EXPECT_EQ(SumAlignedSizes(form, alTop, false), 40);
  EXPECT_EQ(SumAlignedSizes(form, alTop, true), 47);
  EXPECT_EQ(SumAlignedSizes(form, alLeft, false), 33);
  EXPECT_EQ(SumAlignedSizes(form, alClient, true), 0);
  EXPECT_EQ(SumAlignedSizes(form, alNone, true), 0);
}

TEST_F(VclUtilsWindow, SmallQueriesAnswerOwnerOrderAndGeometry) {
  auto* panel = Make<TCountingPanel>(form, 0, 0, 20, 20, kRed);
  EXPECT_EQ(GetOwnerForm(panel), form);
  EXPECT_EQ(GetOwnerForm(form), form);
  EXPECT_EQ(GetOwnerForm(Application), nullptr);
  EXPECT_EQ(GetOwnerFrame(panel), nullptr);

  auto* a = Make<TSolidGraphic>(form, 0, 0, 5, 5, kRed);
  auto* b = Make<TSolidGraphic>(form, 0, 0, 5, 5, kRed);
  auto* c = Make<TSolidGraphic>(form, 0, 0, 5, 5, kRed);
  PlaceAfterSibling(c, a);  // panel a b c -> panel a c b
  EXPECT_EQ(form->Controls(1), a);
  EXPECT_EQ(form->Controls(2), c);
  EXPECT_EQ(form->Controls(3), b);
  PlaceAfterSibling(panel, b);  // a c b panel
  EXPECT_EQ(form->Controls(3), panel);
  PlaceAfterSibling(panel, form);  // not a sibling: nothing
  EXPECT_EQ(form->Controls(3), panel);

  RECT window, client;
  GetWindowRect(form->Handle(), &window);
  GetClientRect(form->Handle(), &client);
  POINT origin{0, 0};
  ClientToScreen(form->Handle(), &origin);
  const TRect r = GetClientRectInWindow(form->Handle());
  EXPECT_EQ(r.Left, origin.x - window.left);
  EXPECT_EQ(r.Top, origin.y - window.top);
  EXPECT_EQ(r.Width(), client.right);
  EXPECT_EQ(r.Height(), client.bottom);
  EXPECT_GT(r.Top, 0);  // below the title

  EXPECT_EQ(GetTextAlignFlags(panel, taLeftJustify), UINT(DT_LEFT | DT_VCENTER | DT_EXPANDTABS));
  EXPECT_EQ(GetTextAlignFlags(panel, taRightJustify), UINT(DT_RIGHT | 0x44));
  EXPECT_EQ(GetTextAlignFlags(panel, taCenter), UINT(DT_CENTER | 0x44));
}

// Graphic children go through an off-screen image over the parent's colour; a child that
// leaves its top-left pixel in the key colour is not copied.
TEST_F(VclUtilsWindow, GraphicChildrenArePaintedAtTheOffsetOverTheParentsColour) {
  auto* parent = Make<TCountingPanel>(form, 0, 0, 100, 80, kGrey);
  Make<TSolidGraphic>(parent, 10, 10, 20, 20, kRed);
  Make<TSolidGraphic>(parent, 50, 10, 20, 20, clFuchsia);
  auto* hidden = Make<TSolidGraphic>(parent, 10, 40, 20, 20, kBlue);
  hidden->SetVisible(false);
  Make<TCountingPanel>(parent, 50, 40, 20, 20, kBlue);  // windowed: not painted here
  parent->HandleNeeded();
  auto target = CreateBmp32(120, 100);
  HDC dc = target->Canvas()->Handle();
  PaintSolidRect(dc, TRect{0, 0, 120, 100}, kGreen);

  PaintGraphicChildren(dc, parent, TPoint{5, 3}, true);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 15, 13)), kRed);    // the child's corner, moved
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 34, 32)), kRed);    // its last pixel
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 35, 33)), kGreen);  // just past it
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 14, 12)), kGreen);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 60, 20)), kGreen);  // the key-coloured child
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 20, 50)), kGreen);  // hidden
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 60, 50)), kGreen);  // windowed
}

TEST_F(VclUtilsWindow, AnEmptyClipBoxPaintsNothingAndTellsTheParent) {
  auto* parent = Make<TCountingPanel>(form, 0, 0, 100, 80, kGrey);
  Make<TSolidGraphic>(parent, 10, 10, 20, 20, kRed);
  parent->HandleNeeded();
  auto target = CreateBmp32(120, 100);
  HDC dc = target->Canvas()->Handle();
  PaintSolidRect(dc, TRect{0, 0, 120, 100}, kGreen);
  TRegion empty(CreateRectRgn(0, 0, 0, 0));
  SelectClipRgn(dc, empty.Get());
  PaintGraphicChildren(dc, parent, TPoint{0, 0}, true);
  SelectClipRgn(dc, nullptr);
  EXPECT_EQ(parent->received[CmdSetPartlyHidden], 1);
  EXPECT_EQ(parent->lastLParam[CmdSetPartlyHidden], 0);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 15, 15)), kGreen);
}

TEST_F(VclUtilsWindow, TreePaintingShowsOnlyTheBackgroundForAHiddenChild) {
  auto* parent = Make<TCountingPanel>(form, 0, 0, 100, 80, kGrey);
  auto* hidden = Make<TCountingPanel>(parent, 10, 10, 30, 20, kRed);
  parent->HandleNeeded();
  hidden->SetVisible(false);
  auto target = CreateBmp32(60, 40);
  HDC dc = target->Canvas()->Handle();
  PaintSolidRect(dc, TRect{0, 0, 60, 40}, kGreen);
  PaintControlTree(target.get(), hidden, 5, 5);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 5, 5)), kGrey);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 34, 24)), kGrey);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 35, 25)), kGreen);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 4, 4)), kGreen);
  EXPECT_EQ(hidden->received[CmdSetPrintDC], 0);
}

// A skinned control is printed with the print DC announced before and taken back after;
// its windowed children are painted at their places.
TEST_F(VclUtilsWindow, TreePaintingPrintsSkinnedControlsAndPlacesChildren) {
  auto* parent = Make<TCountingPanel>(form, 0, 0, 100, 80, kGrey);
  parent->skinnedAnswer = 1;
  auto* child = Make<TCountingPanel>(parent, 10, 20, 30, 20, kBlue);
  form->Update();
  Pump();
  auto target = CreateBmp32(100, 80);
  HDC dc = target->Canvas()->Handle();
  PaintSolidRect(dc, TRect{0, 0, 100, 80}, kGreen);
  PaintControlTree(target.get(), parent, 0, 0);
  EXPECT_EQ(parent->received[CmdSetPrintDC], 2);
  EXPECT_EQ(parent->lastLParam[CmdSetPrintDC], 0);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 10, 20)), kBlue);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 39, 39)), kBlue);
  EXPECT_EQ(ColorToRGB(GetPixel(dc, 40, 40)), kGrey);
  (void)child;
}

TEST_F(VclUtilsWindow, OutputWindowIsAHiddenPopupOwnedByTheApplication) {
  TOutputWindow output(nullptr);
  EXPECT_EQ(output.Tag(), -98);
  EXPECT_EQ(output.Caption(), "skOutputWindow");
  EXPECT_FALSE(output.Visible());
  EXPECT_EQ(output.Color(), clFuchsia);
  HWND wnd = output.Handle();
  ASSERT_TRUE(wnd);
  // The system adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
            DWORD(WS_POPUP));
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), Application->Handle());
  EXPECT_EQ(SendMessageA(wnd, WM_ERASEBKGND, 0, 0), 1);
}

}  // namespace
