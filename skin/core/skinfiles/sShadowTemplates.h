// The window shadow of extended borders: the program's default shadow (two nine-slice
// templates read at start) and the pair of shadow images a skin gets, from its own EXBORDER
// mask when it has one, else from those templates. Portable: the images and margins are
// decided and copied here and tested without windows; the Win32 half reads the templates
// from the program's resources.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "imaging/skPNG.h"

class TsSkinManager;

// The program's default window shadow for active and inactive windows; null until read.
extern std::unique_ptr<TPNGGraphic> ActiveShadowTemplate;
extern std::unique_ptr<TPNGGraphic> InactiveShadowTemplate;

// Both templates from PNG bytes. A pair that cannot be read leaves both null (the skins'
// own shadows still work) and answers false.
bool LoadShadowTemplates(const std::vector<uint8_t>& activePng,
                         const std::vector<uint8_t>& inactivePng);
// Frees both templates (the end of the run).
void FreeShadowTemplates();

// The shadow widths of the default templates: left, top, right, bottom.
constexpr TRect DefaultShadowMargins{11, 7, 11, 11};

struct TsShadowImages {
  std::unique_ptr<TBitmap> Active;
  std::unique_ptr<TBitmap> Inactive;
  // The shadow's width on the left, top, right and bottom of the window.
  TRect Margins{};
};

// The shadow a skin gets. With the skin's GLOBALINFO mask EXBORDER: margins FORMOFFSET on
// every side when BORDERMODE is not 0, else the mask's border widths less FORMOFFSET; the
// inactive image is the mask's first state image and the active one its second (or a copy of
// the first when the mask has one state). Without that mask: the templates, with the
// default margins one wider on every side when desktop composition is on. Pure white
// pixels with alpha 0 are cleared in both images. No mask and no templates: no images,
// margins 0.
TsShadowImages MakeShadowImages(TsSkinManager& manager, const TBitmap* activeTemplate,
                                const TBitmap* inactiveTemplate, bool compositionEnabled);

// Desktop composition is on (always false where there is no desktop window manager).
bool IsCompositionEnabled();

#ifdef _WIN32
// Reads "skSHDA" and "skSHDI" (RT_RCDATA) of the program into the templates; false when the
// program has them not or they are no PNG images. Part of the program's start-up list.
bool ReadShadowTemplates();
#endif
