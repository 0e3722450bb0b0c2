// Undo and redo lists of the editor: a bounded stack of edit records with
// change numbers that group the records of one undo step.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

class TKedEditLineRun;

#include "editor/KedEditTypes.h"
#include "framework/Classes.h"

// Reason codes the list itself interprets; the editor owns the rest of the table.
constexpr std::uint8_t crkNothing = 20;     // what an empty list answers
constexpr std::uint8_t crkGroupBreak = 21;  // separator between undo groups

class TKedEditUndoItem : public TPersistent {
  K_CLASS(TKedEditUndoItem, TPersistent)

  std::uint8_t Reason = 0;
  TKedSelectionMode SelectionMode = TKedSelectionMode::smNormal;
  TBufferCoord StartPos;
  TBufferCoord EndPos;
  std::string Text;
  std::int32_t ChangeId = 0;
  // A deletion of many whole lines keeps them as the line list's records instead of text:
  // Text then holds only the part of the first line and the part of the last, joined by one
  // CR LF, and the lines between come back from here.
  std::shared_ptr<TKedEditLineRun> Lines;

  // From another item: all its fields; other sources go to TPersistent.
  void Assign(TPersistent* source) override;
};

class TKedEditUndoList : public TPersistent {
  K_CLASS(TKedEditUndoList, TPersistent)

  static constexpr int kDefaultMaxActions = 1024;

  TKedEditUndoList() = default;
  ~TKedEditUndoList() override;
  TKedEditUndoList(const TKedEditUndoList&) = delete;
  TKedEditUndoList& operator=(const TKedEditUndoList&) = delete;

  void RecordChange(std::uint8_t reason, const TBufferCoord& startPos, const TBufferCoord& endPos,
                    const std::string& text, TKedSelectionMode selectionMode,
                    std::shared_ptr<TKedEditLineRun> lines = nullptr);
  // Takes ownership; nullptr does nothing.
  void PushItem(std::unique_ptr<TKedEditUndoItem> item);

  void OpenBlock();
  void CloseBlock();
  void AddGroupBreak();

  std::uint8_t LastReason() const;
  TKedEditUndoItem* PeekLast() const;
  // The caller owns the item from then on; nullptr when empty.
  std::unique_ptr<TKedEditUndoItem> PopLast();
  bool HasItems() const { return !items_.empty(); }
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  TKedEditUndoItem* Item(int index) const { return items_[static_cast<std::size_t>(index)].get(); }
  void Clear();

  void SuspendRecording() { ++lockCount_; }
  void ResumeRecording();

  int MaxActions() const { return maxActions_; }
  void SetMaxActions(int value);
  void EnforceMaxActions();

  void RememberSavedState(bool saved);
  bool IsAtSavedState() const;

  // From another list: its items (copied) and state, but not the saved state
  // and not the handler; other sources go to TPersistent.
  void Assign(TPersistent* source) override;

  std::int32_t BlockNumber() const { return blockNumber_; }
  int BlockDepth() const { return blockDepth_; }
  int LockCount() const { return lockCount_; }
  std::int32_t NextChangeId() const { return nextChangeId_; }
  // Continues the numbering from a given value (0 is skipped, as always).
  void SetNextChangeId(std::int32_t value) { nextChangeId_ = value != 0 ? value : 1; }
  std::int32_t SavedChangeId() const { return savedChangeId_; }
  // While not 0, every recorded item takes this change number: a replay step gives all it
  // records one number, the number of the item it replays.
  std::int32_t ForcedChangeId() const { return forcedChangeId_; }
  void SetForcedChangeId(std::int32_t value) { forcedChangeId_ = value; }
  bool RedoInProgress() const { return redoInProgress_; }
  void SetRedoInProgress(bool value) { redoInProgress_ = value; }

  TNotifyEvent OnItemAdded;

 private:
  void AdvanceChangeId();

  std::int32_t blockNumber_ = 0;
  int blockDepth_ = 0;
  // Oldest first; a deque drops the oldest at the limit without moving the others.
  std::deque<std::unique_ptr<TKedEditUndoItem>> items_;
  int lockCount_ = 0;
  int maxActions_ = kDefaultMaxActions;
  std::int32_t nextChangeId_ = 1;
  std::int32_t savedChangeId_ = 0;
  std::int32_t forcedChangeId_ = 0;
  bool redoInProgress_ = false;
};

// The next change number after id: wraps from the greatest to the most
// negative value and never gives 0, which stands for the empty list.
std::int32_t KedNextChangeId(std::int32_t id);
