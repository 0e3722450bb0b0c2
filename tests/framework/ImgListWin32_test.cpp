#include "framework/ImgListWin32.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TBitmap> SolidBitmap(int width, int height, TColor colour) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  bitmap->Fill(colour);
  return bitmap;
}

class ImageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list = std::make_unique<TImageList>(nullptr);
    list->SetSize(8, 8);
    target = SolidBitmap(20, 20, clWhite);
  }
  TColor DrawnAt(int index, int x, int y, bool enabled = true) {
    target->Canvas()->Brush()->SetColor(clWhite);
    target->Canvas()->FillRect(Rect(0, 0, 20, 20));
    list->Draw(target->Canvas(), 2, 2, index, enabled);
    return target->PixelColor(x, y);
  }

  std::unique_ptr<TImageList> list;
  std::unique_ptr<TBitmap> target;
};

TEST_F(ImageListTest, AddedBitmapsAreDrawnByIndex) {
  auto red = SolidBitmap(8, 8, clRed);
  auto blue = SolidBitmap(8, 8, clBlue);
  EXPECT_EQ(list->Add(red.get(), nullptr), 0);
  EXPECT_EQ(list->Add(blue.get(), nullptr), 1);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(DrawnAt(1, 5, 5), clBlue);
  EXPECT_EQ(DrawnAt(0, 9, 9), clRed);
  EXPECT_EQ(DrawnAt(0, 10, 10), clWhite) << "the image is 8 x 8 at (2, 2)";
  EXPECT_EQ(DrawnAt(5, 5, 5), clWhite) << "an index outside the list draws nothing";
}

TEST_F(ImageListTest, AStripOfImagesAddsOneImagePerCell) {
  auto strip = SolidBitmap(24, 8, clRed);
  strip->Canvas()->Brush()->SetColor(clLime);
  strip->Canvas()->FillRect(Rect(16, 0, 24, 8));
  list->Add(strip.get(), nullptr);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(DrawnAt(2, 4, 4), clLime);
}

TEST_F(ImageListTest, AddMaskedDrawsTheMaskColourTransparentAndKeepsTheCallersBitmap) {
  auto image = SolidBitmap(8, 8, clGreen);
  image->Canvas()->Brush()->SetColor(clFuchsia);
  image->Canvas()->FillRect(Rect(0, 0, 4, 8));
  list->AddMasked(image.get(), clFuchsia);
  EXPECT_EQ(image->PixelColor(1, 1), clFuchsia) << "the system blackens masked pixels of its input";
  EXPECT_EQ(DrawnAt(0, 3, 3), clWhite);
  EXPECT_EQ(DrawnAt(0, 8, 3), clGreen);
}

TEST_F(ImageListTest, IconsAndBitmapsComeBackOut) {
  auto red = SolidBitmap(8, 8, clRed);
  list->Add(red.get(), nullptr);
  TIcon icon;
  list->GetIcon(0, &icon);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 8);
  EXPECT_EQ(list->AddIcon(&icon), 1);
  EXPECT_EQ(DrawnAt(1, 5, 5), clRed);

  TBitmap copy;
  list->GetBitmap(1, &copy);
  EXPECT_EQ(copy.Width(), 8);
  EXPECT_EQ(copy.PixelColor(4, 4), clRed);
}

TEST_F(ImageListTest, DisabledImagesAreDrawnPaler) {
  auto navy = SolidBitmap(8, 8, clNavy);
  list->Add(navy.get(), nullptr);
  EXPECT_EQ(DrawnAt(0, 5, 5), clNavy);
  EXPECT_NE(DrawnAt(0, 5, 5, false), clNavy);
}

TEST_F(ImageListTest, ANewImageSizeEmptiesTheList) {
  auto red = SolidBitmap(8, 8, clRed);
  list->Add(red.get(), nullptr);
  list->SetWidth(16);
  EXPECT_EQ(list->Count(), 0);
  auto wide = SolidBitmap(16, 8, clRed);
  list->Add(wide.get(), nullptr);
  EXPECT_EQ(list->Count(), 1);
}

TEST_F(ImageListTest, ChangeLinksHearChangesUntilEitherSideGoes) {
  int heard = 0;
  auto link = std::make_unique<TChangeLink>();
  link->OnChange = [&](TObject*) { ++heard; };
  list->RegisterChanges(link.get());
  EXPECT_EQ(link->Sender(), list.get());
  auto red = SolidBitmap(8, 8, clRed);
  list->Add(red.get(), nullptr);
  list->Delete(0);
  EXPECT_EQ(heard, 2);

  list->BeginUpdate();
  list->Add(red.get(), nullptr);
  list->Add(red.get(), nullptr);
  EXPECT_EQ(heard, 2);
  list->EndUpdate();
  EXPECT_EQ(heard, 3) << "changes made while updating are told once";

  link.reset();  // unregisters itself
  EXPECT_NO_THROW(list->Clear());
  EXPECT_EQ(heard, 3) << "a link that is gone hears nothing more";

  auto survivor = std::make_unique<TChangeLink>();
  list->RegisterChanges(survivor.get());
  list.reset();
  EXPECT_EQ(survivor->Sender(), nullptr);
}

TEST_F(ImageListTest, AssignCopiesTheImagesIntoAListOfItsOwn) {
  auto red = SolidBitmap(8, 8, clRed);
  list->Add(red.get(), nullptr);
  list->Add(red.get(), nullptr);
  TImageList copy(nullptr);
  copy.Assign(list.get());
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_NE(copy.Handle(), list->Handle());
  list->Clear();
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Width(), 8);
}

TEST_F(ImageListTest, SharedImagesOutliveTheList) {
  HIMAGELIST system = ::ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
  {
    TImageList sharing(nullptr);
    sharing.SetShareImages(true);
    sharing.SetHandle(system);
    EXPECT_EQ(sharing.Width(), 8);
  }
  EXPECT_EQ(::ImageList_GetImageCount(system), 0) << "still a valid list";
  EXPECT_TRUE(::ImageList_Destroy(system));
}

TEST_F(ImageListTest, PublishedPropertiesAreReachableByName) {
  SetOrdProp(list.get(), "Width", 24);
  SetEnumProp(list.get(), "DrawingStyle", "dsTransparent");
  EXPECT_EQ(list->Width(), 24);
  EXPECT_EQ(list->DrawingStyle(), dsTransparent);
  EXPECT_EQ(GetOrdProp(list.get(), "Height"), 8);
}

}  // namespace
