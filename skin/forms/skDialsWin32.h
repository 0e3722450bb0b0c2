// The dialog skinning hook: while a skin is active, the default manager's window-creation hook
// hands every new window of the main thread here. A standard dialog or message box ("#32770")
// gets a dialog provider (TskProvider): the dialog adapter for its frame, and for each child
// window the adapter the class table names. The child adapters live in a room above the form
// skinning: they are made through the factory the adapters register at start; a kind no factory
// makes is left with the standard look. A provider goes with its dialog's window, and all of them
// when the hook is removed.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/painting/sFormSkinning.h"
#include "skin/forms/skDials.h"

class TskDialogWnd;
class TsSkinManager;

// An adapter of a dialog's child window, as the provider owns it.
class IDialogChildAdapter {
 public:
  virtual ~IDialogChildAdapter() = default;
  // The adapter let go of its window (the window was destroyed).
  virtual bool Detached() const = 0;
};
// Makes the adapter of a kind for a child window; null for a kind it does not make. May throw
// when the window cannot be adopted.
using TDialogChildAdapterFactory = std::function<std::unique_ptr<IDialogChildAdapter>(
    HWND child, const TskDialogChildChoice& choice, TsSkinManager* manager)>;
void SetDialogChildAdapterFactory(TDialogChildAdapterFactory factory);

// The adapters of popup menu windows ("#32768") live above the form skinning as well: the
// hook hands each new menu window to Attach, and the form services free them all through
// FreeAll. Empty hooks: menu windows keep the system's frame.
struct TPopupMenuAdapterHooks {
  void (*Attach)(HWND menuWindow) = nullptr;
  void (*FreeAll)() = nullptr;
};
void SetPopupMenuAdapterHooks(TPopupMenuAdapterHooks hooks);
// Every popup menu adapter freed (nothing without hooks).
void FreePopupMenuAdapters();

// What the provider decided for one child window.
struct TskAdaptedChild {
  HWND Wnd = nullptr;
  std::string ClassName;
  TskDialogChildChoice Choice;
  bool HasAdapter = false;  // the factory made one
};

class TskProvider : public ISkinDialogProvider {
 public:
  explicit TskProvider(HWND dialog);
  // The child adapters first, then the dialog adapter: each lets go of its window.
  ~TskProvider() override;
  TskProvider(const TskProvider&) = delete;
  TskProvider& operator=(const TskProvider&) = delete;

  TWindowKey AdapterWindow() const override;
  // Attaches the dialog adapter and the children's adapters; false when an adapter could not
  // be attached (the caller frees the provider, and the dialog keeps the standard look).
  bool SkinDialog(TsSkinManager* manager);
  // Depth first over the child windows, a window's own children before it; windows decided on
  // before are passed over. False as soon as one adapter cannot be attached.
  bool AdaptChildWindows(HWND wnd);
  bool AdaptChildWindow(HWND wnd);

  HWND DialogHandle() const { return dialog_; }
  TskDialogWnd* DialogAdapter() const { return adapter_.get(); }
  // Its dialog is gone (or its adapter let go of it).
  bool Dead() const;
  const std::vector<TskAdaptedChild>& Children() const { return children_; }
  // Child adapters alive (each still holds its window).
  int LiveChildAdapters() const;

 private:
  HWND dialog_;
  TsSkinManager* manager_ = nullptr;
  std::unique_ptr<TskDialogWnd> adapter_;
  std::vector<TskAdaptedChild> children_;
  std::vector<std::unique_ptr<IDialogChildAdapter>> childAdapters_;
};

// The hook's part: a new window of the thread. A dialog to skin gets its provider; a child
// window created inside a skinned dialog later on (a file dialog's new folder view) gets its
// adapter once the dialog handles its messages again.
void DialogWindowCreated(HWND wnd);
// Decides and skins a top-level window; true when a provider was made and attached. A dialog
// whose skinning failed answers false and keeps the standard look.
bool SkinWindow(HWND wnd);
// The provider of a dialog window, or null.
TskProvider* FindDialogProvider(HWND wnd);
// The providers of the skinned dialogs alive now.
int DialogProviderCount();
// Frees the providers whose dialog is gone.
void FreeDeadProviders();
// The dialog's provider is freed now (its window is being destroyed).
void FreeDialogProvider(HWND wnd);
// Number of skinned dialogs whose window shows.
int CountVisibleDialogs();
// True when some descendant's lower-case class name is `className`.
bool HasChildClass(HWND wnd, const std::string& className);
std::string GetWindowClassName(HWND wnd);
// The message a skinned dialog takes to adapt its new children.
UINT DialogRescanMessage();
