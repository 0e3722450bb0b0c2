// The title buttons of the program's own on a skinned form, in their order from the right.
#pragma once

#include "framework/Collection.h"
#include "skin/forms/sTitleButtonWin32.h"

class TsTitleButtons : public TCollection {
  K_CLASS(TsTitleButtons, TCollection)

 public:
  // `owner`: the provider, which GetOwner answers.
  explicit TsTitleButtons(TPersistent* owner);
  TsTitleButton* GetItem(int index) const { return static_cast<TsTitleButton*>(Items(index)); }
  TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }
};
