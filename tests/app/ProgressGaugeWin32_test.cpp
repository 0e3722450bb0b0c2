#include "app/ProgressGaugeWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "framework/FormsWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

class ProgressGaugeWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    form = new TForm(Application);
    form->SetBounds(50, 50, 300, 120);
    form->SetColor(clBtnFace);
    gauge = new TProgressGauge(form);
    gauge->SetParent(form);
    gauge->SetBounds(10, 10, 202, 20);
    gauge->SetColor(clWhite);
    gauge->SetForeColor(clNavy);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { delete form; }

  COLORREF At(int x, int y) {
    Application->ProcessMessages();
    return ktest::ClientPixel(form->Handle(), gauge->Left() + x, gauge->Top() + y);
  }

  TForm* form = nullptr;
  TProgressGauge* gauge = nullptr;
};

TEST_F(ProgressGaugeWindow, FillsTheShareOfItsRangeFromTheLeft) {
  gauge->SetMaxValue(200);
  gauge->SetProgress(50);  // 25%: 50 of the 200 inner pixels
  EXPECT_EQ(At(10, 4), static_cast<COLORREF>(clNavy));
  EXPECT_EQ(At(45, 4), static_cast<COLORREF>(clNavy));
  EXPECT_EQ(At(60, 4), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(gauge->GaugeText(), "25%");
  gauge->SetProgress(0);
  EXPECT_EQ(At(10, 4), static_cast<COLORREF>(clWhite));
}

TEST_F(ProgressGaugeWindow, RefusedMaximumKeepsThePicture) {
  gauge->SetMaxValue(100);
  gauge->SetProgress(100);
  EXPECT_THROW(gauge->SetMaxValue(-1), EInvalidOperation);
  EXPECT_EQ(gauge->MaxValue(), 100);
  EXPECT_EQ(At(190, 4), static_cast<COLORREF>(clNavy));
}

}  // namespace
