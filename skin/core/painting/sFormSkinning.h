// What the skin engine uses of the form skinning: a form's skin provider as the engine sees it
// (ISkinProvider), the per-dialog objects of the window-creation hook (ISkinDialogProvider,
// kept in DialogProviderList), and the services the form skinning offers (ISkinFormServices,
// the glows among them; desktop composition is asked through sShadowTemplates directly).
// The form skinning implements these and registers its services; until it does, every
// provider step is skipped, as for a form without a provider, and every service does nothing.
//
// A form answers CmdGetProvider with the address of its provider's ISkinProvider. Such an
// answer is a number from another window procedure, so the engine follows it only after
// FindLiveSkinProvider has found it among the providers alive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

class TsCommonData;

// A window as the engine's portable half knows it (a window handle's value on Windows).
using TWindowKey = uintptr_t;
// A window region handle's value, handed from a provider to the window it shapes.
using TRegionKey = uintptr_t;

// A form's skin provider. Constructing one makes it findable by its address; destroying it
// removes it.
class ISkinProvider {
 public:
  ISkinProvider();
  ISkinProvider(const ISkinProvider&) = delete;
  ISkinProvider& operator=(const ISkinProvider&) = delete;
  virtual ~ISkinProvider();

  // State the engine sets and clears around skin changes and minimizing.
  bool Animating = false;               // a skin change or animation runs on the form
  bool CloseAnimationSkipped = false;   // the form's close animation was played already
  bool MinimizedWithAnimation = false;  // minimized by the provider's own animation
  bool SkinChangeCapture = false;       // the form's image is being captured for a skin change
  // The form's old image, shown while it is frozen for a skin change (32 bits per pixel).
  std::unique_ptr<TBitmap> CoverImage;

  // The manager the provider skins its form with (its own or the default one).
  virtual TsSkinManager* SkinManager() const = 0;
  // DrawNonClientArea: the provider paints the frame and title itself.
  virtual bool DrawNonClientArea() const = 0;
  // The provider's skin data: its cache image is the form's whole painted image.
  virtual TsCommonData* SkinData() = 0;

  // Extended borders: the provider has a border form, and the window of that form when it
  // exists (0 otherwise).
  virtual bool HasBorderForm() const = 0;
  virtual TWindowKey BorderWindow() const = 0;
  // Extended borders are in use and allowed for this form.
  virtual bool ExtendedBordersAllowed() const = 0;
  // A new window region for the border window (TskBorderForm.CreateRegion with both flags 0).
  virtual TRegionKey CreateBorderRegion() = 0;
  // Shows, places and repaints the border window with the given alpha.
  virtual void UpdateExBorder(bool rebuild, int alpha) = 0;
  // The border window's showing flag is cleared.
  virtual void ClearBorderShowing() = 0;

  // The window that covers the form while it is restored with animation, 0 when none.
  virtual TWindowKey CoverWindow() const = 0;
  virtual void FreeCoverWindow() = 0;

  virtual void StartMinimizeAnimation() = 0;
  // False, starting nothing, when no restore animation is pending.
  virtual bool StartRestoreAnimation() = 0;
  virtual void PrepareRegionParts() = 0;
  virtual void SetFormRegion(bool redraw) = 0;

  // Where the client area begins inside the form's painted image (frame and title before it).
  virtual int GetClientOffsetX() const { return 0; }
  virtual int GetClientOffsetY() const { return 0; }
};

// The live provider whose ISkinProvider address is `value`; null for any other number.
ISkinProvider* FindLiveSkinProvider(intptr_t value);

// A standard dialog skinned by the window-creation hook (TskProvider).
class ISkinDialogProvider {
 public:
  virtual ~ISkinDialogProvider() = default;
  // The window of its dialog adapter, 0 when there is none.
  virtual TWindowKey AdapterWindow() const = 0;
};

// The dialog providers the window-creation hook made; exists while the hook is installed
// (null otherwise). The hook's owner frees them when the hook goes.
extern std::unique_ptr<std::vector<std::unique_ptr<ISkinDialogProvider>>> DialogProviderList;

// A glow to show around Rect (cut to ClipRect), from the mask MaskName of a skin section.
struct TsGlowRequest {
  TRect Rect{};
  TRect ClipRect{};
  std::string SectionName{};
  std::string MaskName = "GLOW";
  int Margin = 0;                    // the section's glow margin
  TsSkinManager* Manager = nullptr;  // null: the default manager
};

// The services of the form skinning. The defaults do nothing (no glows, no animations, no
// layered windows), which is what a program without form skinning gets.
class ISkinFormServices {
 public:
  virtual ~ISkinFormServices() = default;
  // With the flag and layered windows: the window becomes layered with alpha 1 (true when it
  // was not layered before); otherwise its visible and layered style bits are cleared.
  virtual bool HideForAnimation(TWindowKey, bool) { return false; }
  // Starts the animated hide of the provider's form (AnimationRunning while it runs).
  virtual void AnimateFormHide(ISkinProvider&) {}
  // Cross-fades the form from its frozen snapshot to its new image; time 0 shows it at once.
  virtual void AnimateFromSnapshot(TWindowKey, int /*time*/, int /*alpha*/, TskAnimType) {}
  virtual void PaintFormToBitmap(TBitmap&, ISkinProvider&) {}
  // Shows the bitmap in the window through a layered update with the constant alpha.
  virtual void UpdateLayeredBitmap(TWindowKey, TBitmap*, int /*alpha*/) {}
  // The reference to the running hide-animation timer is cleared.
  virtual void ForgetHideTimer() {}
  // Frees every popup-menu adapter of the creation hook.
  virtual void FreeMenuAdapters() {}
  // The window-creation hook of the default manager, for each window created while a skin is
  // broadcast: dialogs, message boxes and popup menus get their adapters here.
  virtual void WindowCreating(TWindowKey) {}

  // Glows: the glow shown over the owner window; its id, or -1 when none is shown.
  virtual int ShowGlow(const TsGlowRequest&, TWindowKey /*owner*/) { return -1; }
  virtual void FreeGlow(int /*id*/) {}
  virtual void FreeAllGlows() {}
  // Tells a glow from a later one that took its id over; 0 for none.
  virtual uint64_t GlowSerial(int /*id*/) { return 0; }
};

// The registered services, or the doing-nothing ones.
ISkinFormServices& FormServices();
// The form skinning registers its services (null: back to the defaults).
void SetFormServices(ISkinFormServices* services);

// True while a window animation runs: a form's show, hide, minimize or skin change, painted
// off-screen. Children are not told to resume painting meanwhile, skinned controls only
// validate their windows, and the application-window hook waits for it to end.
extern bool AnimationRunning;
// Set when the main window is asked to end the session.
extern bool SessionEnding;
// The provider of the application's MDI main form, null when there is none.
extern ISkinProvider* MdiMainProvider;
