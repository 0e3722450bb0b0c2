// The hot or pressed title button of a skinned form: at most one at a time, named by its hit
// code (0 or -1: none). Portable: the mouse side says what happened, this record answers which
// buttons look different now, and the provider repaints them.
#pragma once

#include <vector>

class TsTitleButtonStates {
 public:
  // 0 normal, 1 hot, 2 pressed.
  int StateOf(int hitCode) const { return hitCode > 0 && hitCode == hot_ ? state_ : 0; }
  int HotButtonCode() const { return hot_; }
  // A button was pressed and has been neither released nor left since.
  bool ButtonPressed() const { return pressed_; }

  // That button becomes hot (0: none, -1: none until the next hot button); answers the
  // buttons whose look changed.
  std::vector<int> SetHot(int hitCode);
  // That button is pressed; a button that cannot act now (`canAct` false) is neither pressed
  // nor hot afterwards.
  std::vector<int> SetPressed(int hitCode, bool canAct);
  // While a pressed button is held, the mouse left it (`over` false) or came back: it shows
  // normal or pressed, and stays the pressed one.
  std::vector<int> ShowPressed(bool over);

 private:
  int hot_ = 0;
  int state_ = 0;
  bool pressed_ = false;
};
