// The one owner of the skin command. The handler applies the trust rule, picks the
// sub-command and gives each one its default answer: the answer of a skin data, which every
// skinned control, form provider and window adapter owns. A receiver that answers some
// commands differently (a window adapter, a form, a control) derives from it and overrides
// only those; nobody writes a second switch over the commands.
#pragma once

#include <cstdint>

#include "skin/core/skinfiles/sMessages.h"

class TsCommonData;
class TsSkinManager;

class TsSkinCmdHandler {
 public:
  explicit TsSkinCmdHandler(TsCommonData& data) : data_(data) {}
  virtual ~TsSkinCmdHandler() = default;
  TsSkinCmdHandler(const TsSkinCmdHandler&) = delete;
  TsSkinCmdHandler& operator=(const TsSkinCmdHandler&) = delete;

  // True when the command is answered here (message.Result holds the answer); false leaves
  // it to the receiver's own procedure, also after acting on it. An untrusted command, and
  // every command while the receiver is not listening, is left entirely alone.
  bool Handle(TSkinCmdMessage& message);

 protected:
  TsCommonData& Data() const { return data_; }
  // The manager whose skin the receiver shows: a skin change naming another one changes
  // nothing here. The skin data's own or the default manager.
  virtual TsSkinManager* Manager() const;
  // The command's LParam names Manager(), compared as a number only.
  bool NamesOurManager(const TSkinCmdMessage& message) const;
  // False: every command is passed on untouched.
  virtual bool Listening() const { return true; }

  // One handler per sub-command; each returns whether it answered. The defaults are the skin
  // data's answers; a command no skin data answers is passed on untouched.
  virtual bool OnSkinChanged(TSkinCmdMessage& message);
  virtual bool OnRemoveSkin(TSkinCmdMessage& message);
  virtual bool OnRefresh(TSkinCmdMessage& message);
  virtual bool OnGetProvider(TSkinCmdMessage&) { return false; }
  virtual bool OnChildPainting(TSkinCmdMessage&) { return false; }
  virtual bool OnResumePainting(TSkinCmdMessage&) { return false; }
  virtual bool OnIsSkinned(TSkinCmdMessage& message);
  virtual bool OnSetUpdating(TSkinCmdMessage& message);
  virtual bool OnSetImmediatePaint(TSkinCmdMessage& message);
  virtual bool OnIsUpdating(TSkinCmdMessage& message);
  virtual bool OnIsPartlyHidden(TSkinCmdMessage& message);
  virtual bool OnRefreshSection(TSkinCmdMessage& message);
  virtual bool OnMenuShown(TSkinCmdMessage&) { return false; }
  virtual bool OnSetSection(TSkinCmdMessage& message);
  virtual bool OnStopFade(TSkinCmdMessage&) { return false; }
  virtual bool OnBgChanged(TSkinCmdMessage& message);
  virtual bool OnRepaintAll(TSkinCmdMessage&) { return false; }
  virtual bool OnIsBgGraphic(TSkinCmdMessage& message);
  virtual bool OnBgChangedRedraw(TSkinCmdMessage& message);
  virtual bool OnGetBgColor(TSkinCmdMessage& message);
  virtual bool OnSetPartlyHidden(TSkinCmdMessage& message);
  virtual bool OnPrepareCache(TSkinCmdMessage&) { return false; }
  virtual bool OnFadeFrame(TSkinCmdMessage&) { return false; }
  virtual bool OnControlChanged(TSkinCmdMessage&) { return false; }
  virtual bool OnGetSectionIndex(TSkinCmdMessage& message);
  virtual bool OnGetContainerInfo(TSkinCmdMessage&) { return false; }
  virtual bool OnRescanChildren(TSkinCmdMessage&) { return false; }
  virtual bool OnMouseEnter(TSkinCmdMessage&) { return false; }
  virtual bool OnMouseLeave(TSkinCmdMessage&) { return false; }
  virtual bool OnUpdateStarted(TSkinCmdMessage&) { return false; }
  virtual bool OnUpdateEnded(TSkinCmdMessage&) { return false; }
  virtual bool OnGetBgInfo(TSkinCmdMessage& message);
  virtual bool OnGetDisabledKind(TSkinCmdMessage&) { return false; }
  virtual bool OnSkinState(TSkinCmdMessage& message);
  virtual bool OnSetPrintDC(TSkinCmdMessage& message);
  virtual bool OnBeforeScroll(TSkinCmdMessage&) { return false; }
  virtual bool OnAfterScroll(TSkinCmdMessage&) { return false; }
  virtual bool OnGetApplication(TSkinCmdMessage&) { return false; }
  virtual bool OnGetClientOffset(TSkinCmdMessage&) { return false; }

 private:
  TsCommonData& data_;
};
