// The skin command: one window message through which the skin engine's parts talk to each
// other. The sub-command travels in the high word of WParam, its small argument in the low
// word, its argument in LParam; the answer is the message result (0 = not answered). Every
// sender and receiver uses these names; no number is written anywhere else.
#pragma once

#include <cstdint>
#include <string>

// Fixed: the name "SM_SKINCMD" is registered at start, but the number in use is always this.
constexpr uint32_t SM_SKINCMD = 0xA100;

enum TSkinCmd : int {
  CmdSkinChanged = 1,
  CmdRemoveSkin = 2,
  CmdRefresh = 3,
  CmdGetProvider = 4,
  CmdChildPainting = 5,
  CmdResumePainting = 6,
  CmdIsSkinned = 7,
  CmdSetUpdating = 8,
  CmdSetImmediatePaint = 9,
  CmdIsUpdating = 10,
  CmdIsPartlyHidden = 11,
  CmdRefreshSection = 13,
  CmdMenuShown = 14,
  CmdSetSection = 15,
  CmdStopFade = 16,
  CmdBgChanged = 17,
  CmdRepaintAll = 18,
  CmdIsBgGraphic = 19,
  CmdBgChangedRedraw = 20,
  CmdGetBgColor = 21,
  CmdSetPartlyHidden = 22,
  CmdPrepareCache = 23,
  CmdFadeFrame = 24,
  CmdControlChanged = 25,
  CmdGetSectionIndex = 26,
  CmdGetContainerInfo = 27,
  CmdRescanChildren = 28,
  CmdMouseEnter = 29,
  CmdMouseLeave = 30,
  CmdUpdateStarted = 31,
  CmdUpdateEnded = 32,
  CmdGetBgInfo = 34,
  CmdGetDisabledKind = 35,
  CmdSkinState = 36,
  CmdSetPrintDC = 38,
  CmdBeforeScroll = 51,
  CmdAfterScroll = 52,
  CmdGetApplication = 60,
  CmdGetClientOffset = 61,
};

// WParam of a skin command: MakeLong(low word, sub-command).
constexpr uintptr_t SkinCmdWParam(int cmd, int lowWord = 0) {
  return (static_cast<uintptr_t>(static_cast<uint16_t>(cmd)) << 16) |
         static_cast<uint16_t>(lowWord);
}
constexpr int SkinCmdOf(uintptr_t wParam) { return static_cast<int>((wParam >> 16) & 0xFFFF); }
constexpr int SkinCmdLowWord(uintptr_t wParam) { return static_cast<int>(wParam & 0xFFFF); }

// Skin-state flags (TsSkinStateFlags).
enum : uint16_t {
  ssPlainBackground = 0x0001,  // the cache need not follow size or position
  ssPrinting = 0x0200,         // being printed into a device context
  ssMenuChangePending = 0x0400,
  ssUpdating = 0x0800,
  ssFocusChanging = 0x1000,
};

// LParam of CmdSetSection and CmdGetSectionIndex (SectionIndex is the first field).
struct TskSectionInfo {
  int32_t SectionIndex = -1;
  std::string SectionName;
  bool NeedsRepaint = false;
};

// A skin command as a receiver sees it. FromOwnThread: one of our own senders is delivering it
// on this thread right now; a command from another thread or process, or a posted one, is not.
struct TSkinCmdMessage {
  int Cmd = 0;
  int LowWord = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
  bool FromOwnThread = false;
};

// The trust rule, the same for every receiver. Anybody may ask a question: it reads a flag
// or a colour, carries no pointer and changes nothing. Every other command changes state or
// has a pointer in LParam, and any number may arrive there from elsewhere: it is obeyed only
// from our own senders, and a receiver leaves an untrusted one entirely alone.
constexpr bool IsSkinCmdQuestion(int cmd, intptr_t lParam) {
  switch (cmd) {
    case CmdIsSkinned:
    case CmdIsUpdating:
    case CmdIsPartlyHidden:
    case CmdIsBgGraphic:
    case CmdGetBgColor:
      return true;
    case CmdSkinState:
      return lParam != 1;  // 1 asks the receiver to recompute: a change
    default:
      return false;
  }
}
constexpr bool IsSkinCmdTrusted(const TSkinCmdMessage& m) {
  return m.FromOwnThread || IsSkinCmdQuestion(m.Cmd, m.LParam);
}
