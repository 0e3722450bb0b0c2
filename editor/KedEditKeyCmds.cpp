#include "editor/KedEditKeyCmds.h"

#include <iterator>

#include "framework/ScopeExit.h"
#include "framework/TypInfo.h"
#include "framework/VirtualKeys.h"

namespace {

struct TCommandName {
  TKedEditorCommand Command;
  const char* Name;
};

// clang-format off
constexpr TCommandName kCommandNames[] = {
    {ecNone, "ecNone"}, {ecLeft, "ecLeft"}, {ecRight, "ecRight"}, {ecUp, "ecUp"},
    {ecDown, "ecDown"}, {ecWordLeft, "ecWordLeft"}, {ecWordRight, "ecWordRight"},
    {ecLineStart, "ecLineStart"}, {ecLineEnd, "ecLineEnd"}, {ecPageUp, "ecPageUp"},
    {ecPageDown, "ecPageDown"}, {ecPageLeft, "ecPageLeft"}, {ecPageRight, "ecPageRight"},
    {ecPageTop, "ecPageTop"}, {ecPageBottom, "ecPageBottom"}, {ecEditorTop, "ecEditorTop"},
    {ecEditorBottom, "ecEditorBottom"}, {ecGotoXY, "ecGotoXY"},
    {ecSelLeft, "ecSelLeft"}, {ecSelRight, "ecSelRight"}, {ecSelUp, "ecSelUp"},
    {ecSelDown, "ecSelDown"}, {ecSelWordLeft, "ecSelWordLeft"},
    {ecSelWordRight, "ecSelWordRight"}, {ecSelLineStart, "ecSelLineStart"},
    {ecSelLineEnd, "ecSelLineEnd"}, {ecSelPageUp, "ecSelPageUp"},
    {ecSelPageDown, "ecSelPageDown"}, {ecSelPageLeft, "ecSelPageLeft"},
    {ecSelPageRight, "ecSelPageRight"}, {ecSelPageTop, "ecSelPageTop"},
    {ecSelPageBottom, "ecSelPageBottom"}, {ecSelEditorTop, "ecSelEditorTop"},
    {ecSelEditorBottom, "ecSelEditorBottom"}, {ecSelGotoXY, "ecSelGotoXY"},
    {ecSelectAll, "ecSelectAll"}, {ecDeleteLastChar, "ecDeleteLastChar"},
    {ecDeleteChar, "ecDeleteChar"}, {ecDeleteWord, "ecDeleteWord"},
    {ecDeleteLastWord, "ecDeleteLastWord"}, {ecDeleteBOL, "ecDeleteBOL"},
    {ecDeleteEOL, "ecDeleteEOL"}, {ecDeleteLine, "ecDeleteLine"}, {ecClearAll, "ecClearAll"},
    {ecLineBreak, "ecLineBreak"}, {ecInsertLine, "ecInsertLine"}, {ecChar, "ecChar"},
    {ecImeStr, "ecImeStr"}, {ecUndo, "ecUndo"}, {ecRedo, "ecRedo"}, {ecCut, "ecCut"},
    {ecCopy, "ecCopy"}, {ecPaste, "ecPaste"}, {ecScrollUp, "ecScrollUp"},
    {ecScrollDown, "ecScrollDown"}, {ecScrollLeft, "ecScrollLeft"},
    {ecScrollRight, "ecScrollRight"}, {ecInsertMode, "ecInsertMode"},
    {ecOverwriteMode, "ecOverwriteMode"}, {ecToggleMode, "ecToggleMode"},
    {ecBlockIndent, "ecBlockIndent"}, {ecBlockUnindent, "ecBlockUnindent"}, {ecTab, "ecTab"},
    {ecShiftTab, "ecShiftTab"}, {ecMatchBracket, "ecMatchBracket"},
    {ecCommentBlock, "ecCommentBlock"}, {ecNormalSelect, "ecNormalSelect"},
    {ecColumnSelect, "ecColumnSelect"}, {ecLineSelect, "ecLineSelect"},
    {ecAutoCompletion, "ecAutoCompletion"}, {ecUserFirst, "ecUserFirst"},
    {ecContextHelp, "ecContextHelp"},
    {301, "ecGotoMarker0"}, {302, "ecGotoMarker1"}, {303, "ecGotoMarker2"},
    {304, "ecGotoMarker3"}, {305, "ecGotoMarker4"}, {306, "ecGotoMarker5"},
    {307, "ecGotoMarker6"}, {308, "ecGotoMarker7"}, {309, "ecGotoMarker8"},
    {310, "ecGotoMarker9"},
    {351, "ecSetMarker0"}, {352, "ecSetMarker1"}, {353, "ecSetMarker2"},
    {354, "ecSetMarker3"}, {355, "ecSetMarker4"}, {356, "ecSetMarker5"},
    {357, "ecSetMarker6"}, {358, "ecSetMarker7"}, {359, "ecSetMarker8"},
    {360, "ecSetMarker9"},
    {ecUpperCase, "ecUpperCase"}, {ecLowerCase, "ecLowerCase"},
    {ecToggleCase, "ecToggleCase"}, {ecTitleCase, "ecTitleCase"},
    {ecUpperCaseBlock, "ecUpperCaseBlock"}, {ecLowerCaseBlock, "ecLowerCaseBlock"},
    {ecToggleCaseBlock, "ecToggleCaseBlock"}, {ecString, "ecString"},
};
// clang-format on

}  // namespace

bool EditorCommandToIdent(int command, std::string& ident) {
  for (const TCommandName& entry : kCommandNames) {
    if (entry.Command == command) {
      ident = entry.Name;
      return true;
    }
  }
  return false;
}

bool IdentToEditorCommand(const std::string& ident, int& command) {
  for (const TCommandName& entry : kCommandNames) {
    if (SameText(ident, entry.Name)) {
      command = entry.Command;
      return true;
    }
  }
  return false;
}

std::string EditorCommandToCodeString(TKedEditorCommand command) {
  std::string name;
  return EditorCommandToIdent(command, name) ? name : IntToStr(command);
}

int EditorCommandNameCount() { return static_cast<int>(std::size(kCommandNames)); }

// ---- One binding ---------------------------------------------------------------

K_PUBLISH(TKedEditKeyStroke) {
  p.Prop("Command", &TKedEditKeyStroke::Command, &TKedEditKeyStroke::SetCommand);
  p.Prop("ShortCut", &TKedEditKeyStroke::GetShortCut, &TKedEditKeyStroke::SetShortCut);
  p.Prop("ShortCut2", &TKedEditKeyStroke::GetShortCut2, &TKedEditKeyStroke::SetShortCut2);
}

void TKedEditKeyStroke::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedEditKeyStroke*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  command_ = other->command_;
  key_ = other->key_;
  key2_ = other->key2_;
  shift_ = other->shift_;
  shift2_ = other->shift2_;
}

std::string TKedEditKeyStroke::GetDisplayName() const {
  std::string result = EditorCommandToCodeString(command_);
  result += " - ";
  result += ShortCutToText(GetShortCut());
  if (GetShortCut2() != scNone) {
    result += ' ';
    result += ShortCutToText(GetShortCut2());
  }
  return result;
}

void TKedEditKeyStroke::RefuseDuplicate(TShortCut shortCut, TShortCut shortCut2) const {
  auto* strokes = dynamic_cast<TKedEditKeyStrokes*>(Collection());
  if (strokes == nullptr) return;
  const int found = strokes->IndexOfShortCuts(shortCut, shortCut2);
  if (found >= 0 && strokes->Items(found) != this) throw EKedKeyError("Shortcut already exists");
}

void TKedEditKeyStroke::SetShortCut(TShortCut value) {
  if (value != scNone) RefuseDuplicate(value, GetShortCut2());
  ShortCutToKey(value, key_, shift_);
}

void TKedEditKeyStroke::SetShortCut2(TShortCut value) {
  if (value != scNone) RefuseDuplicate(GetShortCut(), value);
  ShortCutToKey(value, key2_, shift2_);
}

// ---- The table -----------------------------------------------------------------

TKedEditKeyStrokes::TKedEditKeyStrokes(TPersistent* owner)
    : TCollection(TKedEditKeyStroke::StaticClassInfo(), owner) {}

TKedEditKeyStroke* TKedEditKeyStrokes::AddBinding(TKedEditorCommand command, std::uint16_t key,
                                                  TShiftState shift, std::uint16_t key2,
                                                  TShiftState shift2) {
  TKedEditKeyStroke* stroke = AddKeyStroke();
  stroke->SetCommand(command);
  stroke->SetKey(key);
  stroke->SetShift(shift);
  stroke->SetKey2(key2);
  stroke->SetShift2(shift2);
  return stroke;
}

int TKedEditKeyStrokes::IndexOfKey(std::uint16_t key, TShiftState shift) const {
  for (int i = 0; i < Count(); ++i) {
    const TKedEditKeyStroke* s = Items(i);
    if (s->Key() == key && s->Shift() == shift && s->Key2() == 0) return i;
  }
  return -1;
}

int TKedEditKeyStrokes::IndexOfKeyPair(std::uint16_t key, TShiftState shift, std::uint16_t key2,
                                       TShiftState shift2) const {
  for (int i = 0; i < Count(); ++i) {
    const TKedEditKeyStroke* s = Items(i);
    if (s->Key() == key && s->Shift() == shift && s->Key2() == key2 && s->Shift2() == shift2)
      return i;
  }
  return -1;
}

int TKedEditKeyStrokes::IndexOfShortCuts(TShortCut shortCut, TShortCut shortCut2) const {
  for (int i = 0; i < Count(); ++i) {
    const TKedEditKeyStroke* s = Items(i);
    if (s->GetShortCut() == shortCut && s->GetShortCut2() == shortCut2) return i;
  }
  return -1;
}

void TKedEditKeyStrokes::LoadDefaultBindings() {
  const TShiftState none;
  const TShiftState shift{ssShift};
  const TShiftState ctrl{ssCtrl};
  const TShiftState ctrlShift{ssCtrl, ssShift};
  const TShiftState alt{ssAlt};
  const TShiftState altShift{ssAlt, ssShift};

  BeginUpdate();
  {
    TScopeExit cleanup([&] { EndUpdate(); });
    Clear();
    // Moves: plain, with Shift (selecting), with Ctrl, with Ctrl+Shift.
    struct TMoveRow {
      std::uint16_t Key;
      TKedEditorCommand Plain, Shifted, Ctrl, CtrlShifted;
    };
    constexpr TMoveRow kMoves[] = {
        {vkUp, ecUp, ecSelUp, ecScrollUp, ecNone},
        {vkDown, ecDown, ecSelDown, ecScrollDown, ecNone},
        {vkLeft, ecLeft, ecSelLeft, ecWordLeft, ecSelWordLeft},
        {vkRight, ecRight, ecSelRight, ecWordRight, ecSelWordRight},
        {vkNext, ecPageDown, ecSelPageDown, ecPageBottom, ecSelPageBottom},
        {vkPrior, ecPageUp, ecSelPageUp, ecPageTop, ecSelPageTop},
        {vkHome, ecLineStart, ecSelLineStart, ecEditorTop, ecSelEditorTop},
        {vkEnd, ecLineEnd, ecSelLineEnd, ecEditorBottom, ecSelEditorBottom},
    };
    for (const TMoveRow& row : kMoves) {
      AddBinding(row.Plain, row.Key, none);
      AddBinding(row.Shifted, row.Key, shift);
      AddBinding(row.Ctrl, row.Key, ctrl);
      if (row.CtrlShifted != ecNone) AddBinding(row.CtrlShifted, row.Key, ctrlShift);
    }
    AddBinding(ecToggleMode, vkInsert, none);
    AddBinding(ecCopy, vkInsert, ctrl);
    AddBinding(ecCut, vkDelete, shift);
    AddBinding(ecPaste, vkInsert, shift);
    AddBinding(ecDeleteChar, vkDelete, none);
    AddBinding(ecDeleteLastChar, vkBack, none);
    AddBinding(ecDeleteLastChar, vkBack, shift);
    AddBinding(ecDeleteLastWord, vkBack, ctrl);
    AddBinding(ecUndo, vkBack, alt);
    AddBinding(ecRedo, vkBack, altShift);
    AddBinding(ecLineBreak, vkReturn, none);
    AddBinding(ecLineBreak, vkReturn, shift);
    AddBinding(ecTab, vkTab, none);
    AddBinding(ecShiftTab, vkTab, shift);
    AddBinding(ecContextHelp, vkF1, none);
    AddBinding(ecSelectAll, 'A', ctrl);
    AddBinding(ecCopy, 'C', ctrl);
    AddBinding(ecPaste, 'V', ctrl);
    AddBinding(ecCut, 'X', ctrl);
    AddBinding(ecBlockIndent, 'I', ctrlShift);
    AddBinding(ecBlockUnindent, 'U', ctrlShift);
    AddBinding(ecLineBreak, 'M', ctrl);
    AddBinding(ecInsertLine, 'N', ctrl);
    AddBinding(ecDeleteWord, 'T', ctrl);
    AddBinding(ecDeleteLine, 'Y', ctrl);
    AddBinding(ecDeleteEOL, 'Y', ctrlShift);
    AddBinding(ecUndo, 'Z', ctrl);
    AddBinding(ecRedo, 'Z', ctrlShift);
    for (int digit = 0; digit <= 9; ++digit)
      AddBinding(static_cast<TKedEditorCommand>(ecGotoMarker0 + digit),
                 static_cast<std::uint16_t>(vk0 + digit), ctrl);
    for (int digit = 0; digit <= 9; ++digit)
      AddBinding(static_cast<TKedEditorCommand>(ecSetMarker0 + digit),
                 static_cast<std::uint16_t>(vk0 + digit), ctrlShift);
    AddBinding(ecNormalSelect, 'N', ctrlShift);
    AddBinding(ecColumnSelect, 'C', ctrlShift);
    AddBinding(ecLineSelect, 'L', ctrlShift);
    AddBinding(ecMatchBracket, 'B', ctrlShift);
  }
}
