// Glow effects: the soft light drawn outside a hot title button or a hot skinned control.
// Each glow is a small layered tool window of its own showing a nine-slice glow mask of the
// skin around a rectangle. All live glows sit in one list and are known by their index there
// (the glow id), which title buttons and skin data keep. This is the portable half: the list,
// the geometry of a glow window and the picture it shows, so that both are tested to the
// pixel without windows. The window itself is the Win32 half's (skGlowWin32.h).
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/painting/sFormSkinning.h"

class TsSkinManager;

// The border widths of a glow mask, as the manager answers them (MaskWidthLeft and its
// siblings).
struct TskGlowMaskWidths {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Where a glow window goes and which part of its picture it shows.
struct TskGlowPlacement {
  // The picture built for the whole glow (before a hidden side is cut off).
  int ImageWidth = 0;
  int ImageHeight = 0;
  // The part the window shows: it starts at (CropLeft, CropTop) of the picture.
  int CropLeft = 0;
  int CropTop = 0;
  int Width = 0;
  int Height = 0;
  // The window's top-left corner on the screen.
  TPoint Position{};
  // Nothing is left to show (the rectangle is hidden, or too small for the margin).
  bool Empty() const { return Width <= 0 || Height <= 0 || ImageWidth <= 0 || ImageHeight <= 0; }
};

// The glow around `rect` (screen coordinates) of which `clipRect` is visible (in the
// rectangle's own coordinates; the rectangle's size when all of it shows). The mask's border
// reaches `glowMargin` pixels under the rectangle; a side cut by the clip box ends where the
// visible part ends.
TskGlowPlacement CalcGlowPlacement(const TRect& rect, const TRect& clipRect,
                                   const TskGlowMaskWidths& mask, int glowMargin);

// One glow. The Win32 half derives the window from it; this part keeps what the picture is
// made of.
class TskGlowEffect {
 public:
  // A null manager means the default manager.
  explicit TskGlowEffect(TsSkinManager* manager);
  TskGlowEffect(const TskGlowEffect&) = delete;
  TskGlowEffect& operator=(const TskGlowEffect&) = delete;
  virtual ~TskGlowEffect();

  // A new 32-bit picture of that size, black and fully transparent, with the glow mask
  // painted nine-slice over all of it (state 0, nothing behind) when there is a mask.
  virtual void BuildImage(int width, int height);
  // The glow mask's border widths (all 0 without a mask).
  TskGlowMaskWidths MaskWidths() const;

  TsSkinManager* GlowManager = nullptr;
  // How far the mask's border reaches under the glowing rectangle.
  int GlowMargin = 0;
  // The glow mask's index in the manager's masks; -1 none.
  int GlowMask = -1;
  // The picture while it is built.
  std::unique_ptr<TBitmap> Image;
  // Tells this glow from a later one that got the same id after the list was emptied.
  const uint64_t Serial;
};

// The part of `image` the placement shows, as a new 32-bit bitmap of the placement's size.
std::unique_ptr<TBitmap> CropGlowImage(const TBitmap& image, const TskGlowPlacement& placement);
// Every pixel's colour multiplied by its own alpha: what a layered window blends with.
void PremultiplyAlpha(TBitmap* bitmap);

// ---- the glow list (TskGlowEffects) ----------------------------------------------------------
//
// A glow's id is its index. A freed glow leaves an empty slot, so other ids stay valid; the
// list keeps its length until every glow is freed at once. Main thread only.

// Appends the glow and answers its id.
int AddGlow(std::unique_ptr<TskGlowEffect> glow);
// Frees the glow with that id; nothing for an id outside the list or an empty slot.
void FreeGlow(int id);
// Frees every glow and empties the list.
void FreeAllGlows();
// The list's length (empty slots included).
int GlowCount();
// The glow with that id; null for an id outside the list or an empty slot.
TskGlowEffect* GlowAt(int id);
// The serial number of the glow with that id; 0 for none.
uint64_t GlowSerial(int id);

// The glow list as the skin engine's skin data reaches it: through the form-skinning
// services, since the engine stands below the forms. Showing a glow needs its window, so the
// Win32 half adds it (TskGlowServicesWin32); a program registers those at start.
class TskGlowServices : public ISkinFormServices {
 public:
  void FreeGlow(int id) override { ::FreeGlow(id); }
  void FreeAllGlows() override { ::FreeAllGlows(); }
  uint64_t GlowSerial(int id) override { return ::GlowSerial(id); }
};
