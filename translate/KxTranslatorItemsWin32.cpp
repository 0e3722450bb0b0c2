// Built on Windows only: the item lists of tree and list views.
#include "translate/KxTranslatorItems.h"

#include "framework/ComCtrlsWin32.h"

void RegisterWindowedItemLists() {
  static const bool registered = [] {
    RegisterKxItemList("TTreeNodes",
                       {[](TObject* list) { return static_cast<TTreeNodes*>(list)->Count(); },
                        [](TObject* list, int index, int column, const std::string& text) {
                          if (column == 0)
                            static_cast<TTreeNodes*>(list)->Item(index)->SetText(text);
                        }});
    RegisterKxItemList("TListItems",
                       {[](TObject* list) { return static_cast<TListItems*>(list)->Count(); },
                        [](TObject* list, int index, int column, const std::string& text) {
                          TListItem* item = static_cast<TListItems*>(list)->Item(index);
                          if (column == 0)
                            item->SetCaption(text);
                          else if (column > 0 && column - 1 < item->SubItems()->Count())
                            item->SubItems()->SetStrings(column - 1, text);
                        }});
    return true;
  }();
  (void)registered;
}
