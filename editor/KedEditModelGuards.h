// Scopes the editor model's own sources share: the painting lock and an open undo block,
// each released on every path out of the scope.
#pragma once

#include "editor/KedEditModel.h"
#include "editor/KedEditUndoList.h"
#include "framework/ScopeExit.h"

namespace ked_detail {

// Runs f under the painting lock, releasing it on every path.
template <class F>
void Locked(TKedEditModel& model, F&& f) {
  model.LockPainting();
  {
    TScopeExit cleanup([&] { model.UnlockPainting(); });
    f();
  }
}

// Holds one undo block of a list open for a scope.
class UndoBlock {
 public:
  explicit UndoBlock(TKedEditUndoList& list) : list_(list) { list_.OpenBlock(); }
  ~UndoBlock() { list_.CloseBlock(); }
  UndoBlock(const UndoBlock&) = delete;
  UndoBlock& operator=(const UndoBlock&) = delete;

 private:
  TKedEditUndoList& list_;
};

}  // namespace ked_detail
