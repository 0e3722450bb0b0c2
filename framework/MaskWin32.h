// The masked edit: an edit whose text follows an edit mask (see Mask.h). Without a mask it is
// a plain edit. With one the window always shows the mask's literals, and typing, Backspace,
// Delete, cutting and pasting overwrite the input places only, as the mask allows.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Mask.h"
#include "framework/StdCtrlsWin32.h"

class TCustomMaskEdit : public TCustomEdit {
  K_CLASS_PUBLISHED(TCustomMaskEdit, TCustomEdit)
  explicit TCustomMaskEdit(TComponent* owner);

  const std::string& EditMask() const { return editMask_; }
  // Keeps the value: the text read through the old mask is shown through the new one.
  void SetEditMask(const std::string& value);
  // What the window shows: the text with the mask's literals and blanks.
  std::string EditText() { return TCustomEdit::GetText(); }
  void SetEditText(const std::string& value);
  bool IsMasked() const { return !mask_.Empty(); }
  const TEditMask& Mask() const { return mask_; }

  void WndProc(TMessage& message) override;

 protected:
  std::string GetText() override;
  void SetTextValue(const std::string& value) override;
  void CreateWnd() override;

 private:
  // Step (b) of a masked edit: true when the key or clipboard message was answered.
  bool HandleMaskedInput(TMessage& message);
  void Apply(const TEditMask::TMaskChange& edit);
  void Selection(int& start, int& end);
  std::string ClipboardText();

  std::string editMask_;
  TEditMask mask_;
};

class TMaskEdit : public TCustomMaskEdit {
  K_CLASS(TMaskEdit, TCustomMaskEdit)
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};
