// The skinned-forms list and the broadcast of a skin command to every window that shows the
// skin. The portable half holds the rules (who is reached, in which order, exactly once)
// over window keys; the Win32 half supplies the tree (ISkinBroadcastTree) over real windows.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/core/sMessages.h"

// A window as the broadcast knows it (a window handle's value in the Win32 half).
using TWindowKey = uintptr_t;

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
  // The windows of the skinned standard dialogs that exist and are visible.
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
