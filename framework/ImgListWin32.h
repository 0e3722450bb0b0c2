// Image lists over the system's image lists: pictures of one size, added from
// bitmaps or icons and drawn by index onto canvases.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <vector>

#include "framework/CanvasWin32.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/IconWin32.h"

class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

// Lets a control hear when an image list it shows changes.
class TChangeLink : public TObject {
  K_CLASS(TChangeLink, TObject)
  TChangeLink() = default;
  ~TChangeLink() override;

  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* value) { sender_ = value; }
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
  K_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  // The system list, made on first use with Width x Height, 32-bit colours and a
  // mask when Masked.
  HIMAGELIST Handle();
  // Takes over a system list; with ShareImages it is never destroyed by this object.
  void SetHandle(HIMAGELIST value);
  bool HandleAllocated() const { return handle_ != nullptr; }

  int Width() const { return width_; }
  void SetWidth(int value);
  int Height() const { return height_; }
  void SetHeight(int value);
  // A new size empties the list.
  void SetSize(int width, int height);
  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int value) { allocBy_ = value; }
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool value) { shareImages_ = value; }
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType value);
  // clNone draws transparently, clDefault in the list's own background colour.
  TColor BkColor();
  void SetBkColor(TColor value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value);

  int Count();
  // Each answers the new image's index, or -1 when the system list refused it.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void ReplaceIcon(int index, TIcon* icon);
  void Delete(int index);
  void Clear();
  // Copies image index into the bitmap (resized to the list's size) or the icon.
  void GetBitmap(int index, TBitmap* image);
  void GetIcon(int index, TIcon* icon);

  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
            bool enabled);

  void Assign(TPersistent* source) override;

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  // Collects changes: one Change at the end when anything changed in between.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  TNotifyEvent OnChange;

 protected:
  // Draws one image; the style holds ILD_ flags. Descendants draw their own way.
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);
  // Tells the change links and OnChange; nothing while updating.
  virtual void Change();
  // Creates the system list (or, when none exists, leaves it to the next Handle()).
  void CreateImageList();
  void FreeHandle();
  void Loaded() override;

 private:
  HIMAGELIST handle_ = nullptr;
  int width_ = 16;
  int height_ = 16;
  bool masked_ = true;
  int allocBy_ = 4;
  bool shareImages_ = false;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  std::vector<TChangeLink*> links_;
  int updateCount_ = 0;
  bool changed_ = false;
};

class TImageList : public TCustomImageList {
  K_CLASS_PUBLISHED(TImageList, TCustomImageList)
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};
