// Reaching the texts of item lists (tree nodes, list-view items) whose classes belong to
// the windowed half of the framework: the translator stays portable and asks these hooks.
#pragma once

#include <functional>
#include <string>

#include "framework/System.h"

struct TKxItemListAccess {
  std::function<int(TObject* list)> Count;
  // Column 0 is the item's caption, column n its sub-item n - 1; a column the item does not
  // have is left alone.
  std::function<void(TObject* list, int index, int column, const std::string& text)> SetText;
};

// `className` is matched exactly against the list object's class and its ancestors.
void RegisterKxItemList(const std::string& className, TKxItemListAccess access);
// The hooks of the nearest class of `list` that has some; nullptr when none has.
const TKxItemListAccess* FindKxItemList(const TObject* list, const std::string& className);

#ifdef _WIN32
// Registers tree nodes and list items of the windowed controls (once).
void RegisterWindowedItemLists();
#endif
