// The skinned-forms list, the broadcast of a skin command to every window that shows the
// skin, and the skin-change animation (capture, freeze, cross-fade). The portable half holds
// the rules (who is reached, in which order, exactly once; which forms are frozen and what
// each step does to them) over window keys; the Win32 half supplies the trees
// (ISkinBroadcastTree, ISkinChangeWindows) over real windows.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/skinfiles/sMessages.h"

// The forms whose provider skins them, in order of registration.
extern std::vector<TWindowKey> SkinnedForms;

void AddSkinnedForm(TWindowKey form);
// Every slot holding the form takes the list's last entry, and the list gets shorter: the
// order of the others changes, none is lost.
void RemoveSkinnedForm(TWindowKey form);
void RemoveFromSkinnedList(std::vector<TWindowKey>& list, TWindowKey form);

// What a broadcast needs of the windows.
class ISkinBroadcastTree {
 public:
  virtual ~ISkinBroadcastTree() = default;
  // The forms of the application, in component order.
  virtual std::vector<TWindowKey> ApplicationForms() const = 0;
  // The window still exists, is a form and is not being destroyed.
  virtual bool IsLiveForm(TWindowKey form) const = 0;
  // A form that gets the broadcast directly: not an MDI child, not loading, and not skinned
  // by a provider (those are reached through the list).
  virtual bool TakesDirectBroadcast(TWindowKey form) const = 0;
  // The message to the form, then to all its child controls, and to its MDI client window.
  virtual void SendToFormTree(TWindowKey form, TSkinCmdMessage& message) = 0;
  // The adapter windows of DialogProviderList that exist and are visible.
  virtual std::vector<TWindowKey> VisibleDialogWindows() const = 0;
  virtual void SendToWindow(TWindowKey window, TSkinCmdMessage& message) = 0;
};

// The list's forms (each alive when its turn comes), then the skinned dialogs.
void SendToSkinnedWindows(ISkinBroadcastTree& tree, const std::vector<TWindowKey>& list,
                          TSkinCmdMessage& message);
// The application's forms from the last to the first, skipping the skinned ones, then
// SendToSkinnedWindows. Walks a snapshot: a receiver that frees forms ends nothing; the freed
// forms are simply not reached.
void SendToAllForms(ISkinBroadcastTree& tree, const std::vector<TWindowKey>& list,
                    TSkinCmdMessage& message);

// ---- the skin-change animation ----------------------------------------------------------------

// What the skin-change animation knows of a form.
struct TSkinFormFacts {
  bool IsForm = false;
  bool Minimized = false;
  bool Maximized = false;
  bool MdiChild = false;
  bool HasParentWindow = false;
  bool Visible = false;
  int Alpha = 255;  // AlphaBlendValue when AlphaBlend is set, else 255
};

// What the skin-change animation needs of the windows.
class ISkinChangeWindows {
 public:
  virtual ~ISkinChangeWindows() = default;
  virtual bool ApplicationMinimized() const = 0;
  // The forms of the application, in component order.
  virtual std::vector<TWindowKey> Forms() const = 0;
  virtual TSkinFormFacts FactsOf(TWindowKey form) const = 0;
  // The form's answer to CmdGetProvider when it names a live provider; null otherwise.
  virtual ISkinProvider* ProviderOf(TWindowKey form) = 0;
  // WM_SETREDRAW to the form.
  virtual void SetRedraw(TWindowKey form, bool redraw) = 0;
  // Invalidates, erases and repaints the form and its children now; with frame, the frame too.
  virtual void Redraw(TWindowKey form, bool frame) = 0;
  virtual void SetWindowRegion(TWindowKey window, TRegionKey region, bool redraw) = 0;
  // The form's window region is removed, on Windows versions below 6 only.
  virtual void RemoveRegionOnOldSystems(TWindowKey form) = 0;
  // A maximized form is shown maximized again without taking the focus away: its visible bit
  // cleared, shown with SW_SHOWMAXIMIZED, the bit set again, the previously active window
  // activated again.
  virtual void ReshowMaximized(TWindowKey form) = 0;
};

// The forms that take part in a skin change of the manager, each with its provider: forms
// that are not minimized, not MDI children, not placed in another window, visible, and whose
// live provider uses this manager. None while the application is minimized.
std::vector<std::pair<TWindowKey, ISkinProvider*>> SkinChangeForms(ISkinChangeWindows& windows,
                                                                   const TsSkinManager& manager);

// Before a new skin is read (extended borders with the skin-change animation): forms with a
// border window are captured into their cover image; every taking form's provider animates.
void PrepareSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager);
// Before a new skin is sent: every taking form stops painting (its border window shows the
// cover image meanwhile).
void FreezeFormsForSkinChange(ISkinChangeWindows& windows, TsSkinManager& manager);
// After CmdRefresh: every taking form cross-fades to its new image and paints again.
void FinishSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager, bool animate);
// A skin change that failed or ended without a new skin after its forms were prepared or
// frozen: nothing stays frozen or animating, and AnimationRunning is cleared.
void AbandonSkinChangeAnimation(ISkinChangeWindows& windows, TsSkinManager& manager);
