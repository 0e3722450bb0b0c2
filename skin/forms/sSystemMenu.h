// What a skinned form's system menu allows: which of its items are shown and enabled. The same
// answers decide which title buttons the frame shows and whether they act. Portable: the
// menu object reads the facts from its form.
#pragma once

#include <string>

#include "skin/forms/sFrameMetrics.h"

// The form as its system menu sees it.
struct TsSysMenuFacts {
  bool HadSysMenu = true;  // the form had WS_SYSMENU when its provider took the style over
  TsFrameBorder Border = TsFrameBorder::Sizeable;
  bool Minimized = false;
  bool Maximized = false;
  bool MdiChild = false;
  bool MaximizeIcon = true;  // biMaximize
  bool MinimizeIcon = true;  // biMinimize
};

// The six answers the title buttons follow, and the four more the menu's items use.
struct TsSysMenuAnswers {
  bool VisibleClose = false;
  bool VisibleMax = false;
  bool VisibleMin = false;
  bool EnabledMax = false;
  bool EnabledMin = false;
  bool EnabledRestore = false;
  bool VisibleRestore = false;
  bool VisibleSize = false;
  bool EnabledMove = false;
  bool EnabledSize = false;
  friend bool operator==(const TsSysMenuAnswers&, const TsSysMenuAnswers&) = default;
};

TsSysMenuAnswers SysMenuAnswers(const TsSysMenuFacts& f);

// The system-menu commands (WM_SYSCOMMAND) the menu's standard items carry.
constexpr int ScSize = 0xF000;
constexpr int ScMove = 0xF010;
constexpr int ScMinimize = 0xF020;
constexpr int ScMaximize = 0xF030;
constexpr int ScClose = 0xF060;
constexpr int ScRestore = 0xF120;
constexpr int ScContextHelp = 0xF180;

// A menu text split at its tab: the caption before it, the shortcut's text after it.
struct TsMenuText {
  std::string Caption;
  std::string ShortCut;
};
TsMenuText SplitMenuText(const std::string& text);

// A skin's name as the skin submenu's item shows it, made a skin name again: the accelerator
// marks removed and anything after the internal-skin suffix ("(internal)") cut off.
std::string SkinNameOfMenuCaption(const std::string& caption, const std::string& internalSuffix);
