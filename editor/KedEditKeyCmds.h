// Editor commands and the table of key bindings that turns key strokes
// (optionally two in a row) into them.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Collection.h"
#include "framework/ShortCuts.h"
#include "framework/SysUtils.h"
#include "framework/Types.h"

using TKedEditorCommand = std::uint16_t;

// clang-format off
constexpr TKedEditorCommand ecNone = 0;
constexpr TKedEditorCommand ecLeft = 1, ecRight = 2, ecUp = 3, ecDown = 4, ecWordLeft = 5,
    ecWordRight = 6, ecLineStart = 7, ecLineEnd = 8, ecPageUp = 9, ecPageDown = 10,
    ecPageLeft = 11, ecPageRight = 12, ecPageTop = 13, ecPageBottom = 14, ecEditorTop = 15,
    ecEditorBottom = 16, ecGotoXY = 17;
// A selecting move is its plain move + 100.
constexpr TKedEditorCommand ecSelection = 100;
constexpr TKedEditorCommand ecSelLeft = 101, ecSelRight = 102, ecSelUp = 103, ecSelDown = 104,
    ecSelWordLeft = 105, ecSelWordRight = 106, ecSelLineStart = 107, ecSelLineEnd = 108,
    ecSelPageUp = 109, ecSelPageDown = 110, ecSelPageLeft = 111, ecSelPageRight = 112,
    ecSelPageTop = 113, ecSelPageBottom = 114, ecSelEditorTop = 115, ecSelEditorBottom = 116,
    ecSelGotoXY = 117;
constexpr TKedEditorCommand ecSelectAll = 199;
constexpr TKedEditorCommand ecDeleteLastChar = 501, ecDeleteChar = 502, ecDeleteWord = 503,
    ecDeleteLastWord = 504, ecDeleteBOL = 505, ecDeleteEOL = 506, ecDeleteLine = 507,
    ecClearAll = 508, ecLineBreak = 509, ecInsertLine = 510, ecChar = 511;
constexpr TKedEditorCommand ecImeStr = 550;
constexpr TKedEditorCommand ecUndo = 601, ecRedo = 602, ecCut = 603, ecCopy = 201, ecPaste = 604;
constexpr TKedEditorCommand ecScrollUp = 211, ecScrollDown = 212, ecScrollLeft = 213,
    ecScrollRight = 214;
constexpr TKedEditorCommand ecInsertMode = 221, ecOverwriteMode = 222, ecToggleMode = 223;
constexpr TKedEditorCommand ecBlockIndent = 610, ecBlockUnindent = 611, ecTab = 612,
    ecShiftTab = 613;
constexpr TKedEditorCommand ecMatchBracket = 250, ecCommentBlock = 251;
constexpr TKedEditorCommand ecNormalSelect = 231, ecColumnSelect = 232, ecLineSelect = 233;
constexpr TKedEditorCommand ecAutoCompletion = 650;
constexpr TKedEditorCommand ecUserFirst = 1001;
constexpr TKedEditorCommand ecContextHelp = 490;
constexpr TKedEditorCommand ecGotoMarker0 = 301, ecGotoMarker9 = 310;
constexpr TKedEditorCommand ecSetMarker0 = 351, ecSetMarker9 = 360;
constexpr TKedEditorCommand ecUpperCase = 620, ecLowerCase = 621, ecToggleCase = 622,
    ecTitleCase = 623;
constexpr TKedEditorCommand ecUpperCaseBlock = 625, ecLowerCaseBlock = 626,
    ecToggleCaseBlock = 627;
constexpr TKedEditorCommand ecString = 630;
// clang-format on

// Command names: the name for a number and back (names compared without regard
// to letter case). False when the number or name is not a known command.
bool EditorCommandToIdent(int command, std::string& ident);
bool IdentToEditorCommand(const std::string& ident, int& command);
// The name, or the number in decimal for a command without a name.
std::string EditorCommandToCodeString(TKedEditorCommand command);
// How many commands have names.
int EditorCommandNameCount();

K_EXCEPTION(EKedKeyError, Exception);

class TKedEditKeyStrokes;

class TKedEditKeyStroke : public TCollectionItem {
  K_CLASS_PUBLISHED(TKedEditKeyStroke, TCollectionItem)

  explicit TKedEditKeyStroke(TCollection* collection) : TCollectionItem(collection) {}

  void Assign(TPersistent* source) override;
  // Command name, " - ", the first shortcut, then a blank and the second one.
  std::string GetDisplayName() const override;

  TKedEditorCommand Command() const { return command_; }
  void SetCommand(TKedEditorCommand value) { command_ = value; }
  std::uint16_t Key() const { return key_; }
  void SetKey(std::uint16_t value) { key_ = value; }
  TShiftState Shift() const { return shift_; }
  void SetShift(TShiftState value) { shift_ = value; }
  std::uint16_t Key2() const { return key2_; }
  void SetKey2(std::uint16_t value) { key2_ = value; }
  TShiftState Shift2() const { return shift2_; }
  void SetShift2(TShiftState value) { shift2_ = value; }

  TShortCut GetShortCut() const { return ::ShortCut(key_, shift_); }
  // Raise EKedKeyError "Shortcut already exists" when another binding has the
  // same pair of shortcuts; 0 is never a duplicate.
  void SetShortCut(TShortCut value);
  TShortCut GetShortCut2() const { return ::ShortCut(key2_, shift2_); }
  void SetShortCut2(TShortCut value);

 private:
  void RefuseDuplicate(TShortCut shortCut, TShortCut shortCut2) const;

  std::uint16_t key_ = 0;
  TShiftState shift_;
  std::uint16_t key2_ = 0;
  TShiftState shift2_;
  TKedEditorCommand command_ = ecNone;
};

class TKedEditKeyStrokes : public TCollection {
  K_CLASS(TKedEditKeyStrokes, TCollection)

  // owner: the editor, found by form streaming through GetOwner.
  explicit TKedEditKeyStrokes(TPersistent* owner = nullptr);

  TKedEditKeyStroke* Items(int index) const {
    return static_cast<TKedEditKeyStroke*>(TCollection::Items(index));
  }
  TKedEditKeyStroke* AddKeyStroke() { return static_cast<TKedEditKeyStroke*>(Add()); }
  TKedEditKeyStroke* AddBinding(TKedEditorCommand command, std::uint16_t key, TShiftState shift,
                                std::uint16_t key2 = 0, TShiftState shift2 = {});

  // The first binding of a single key stroke (no second key); -1 when none.
  int IndexOfKey(std::uint16_t key, TShiftState shift) const;
  int IndexOfKeyPair(std::uint16_t key, TShiftState shift, std::uint16_t key2,
                     TShiftState shift2) const;
  int IndexOfShortCuts(TShortCut shortCut, TShortCut shortCut2) const;

  // Clears the table and loads the editor's default bindings.
  void LoadDefaultBindings();
};
