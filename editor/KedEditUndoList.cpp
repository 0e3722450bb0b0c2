#include "editor/KedEditUndoList.h"

#include <algorithm>

void TKedEditUndoItem::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedEditUndoItem*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  Reason = other->Reason;
  SelectionMode = other->SelectionMode;
  StartPos = other->StartPos;
  EndPos = other->EndPos;
  Text = other->Text;
  ChangeId = other->ChangeId;
  Lines = other->Lines;
}

std::int32_t KedNextChangeId(std::int32_t id) {
  // Unsigned arithmetic wraps without undefined behaviour; the conversion back
  // is modular.
  auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(id) + 1u);
  return next != 0 ? next : 1;
}

TKedEditUndoList::~TKedEditUndoList() { Clear(); }

void TKedEditUndoList::AdvanceChangeId() { nextChangeId_ = KedNextChangeId(nextChangeId_); }

void TKedEditUndoList::RecordChange(std::uint8_t reason, const TBufferCoord& startPos,
                                    const TBufferCoord& endPos, const std::string& text,
                                    TKedSelectionMode selectionMode,
                                    std::shared_ptr<TKedEditLineRun> lines) {
  if (lockCount_ > 0) return;
  // If copying the text throws, the unique_ptr frees the new item.
  auto item = std::make_unique<TKedEditUndoItem>();
  item->Reason = reason;
  item->SelectionMode = selectionMode;
  item->StartPos = startPos;
  item->EndPos = endPos;
  item->Text = text;
  item->Lines = std::move(lines);
  if (forcedChangeId_ != 0) {
    item->ChangeId = forcedChangeId_;
  } else if (blockDepth_ > 0) {
    item->ChangeId = blockNumber_;
  } else {
    item->ChangeId = nextChangeId_;
    AdvanceChangeId();
  }
  PushItem(std::move(item));
}

void TKedEditUndoList::PushItem(std::unique_ptr<TKedEditUndoItem> item) {
  if (!item) return;
  const bool groupBreak = item->Reason == crkGroupBreak;
  items_.push_back(std::move(item));
  EnforceMaxActions();
  if (!groupBreak && OnItemAdded) OnItemAdded(this);
}

void TKedEditUndoList::OpenBlock() {
  ++blockDepth_;
  blockNumber_ = nextChangeId_;
}

void TKedEditUndoList::CloseBlock() {
  if (blockDepth_ <= 0) return;
  if (--blockDepth_ > 0) return;
  const std::int32_t block = blockNumber_;
  blockNumber_ = 0;
  AdvanceChangeId();
  if (!items_.empty() && items_.back()->ChangeId == block && OnItemAdded) OnItemAdded(this);
}

void TKedEditUndoList::AddGroupBreak() {
  if (LastReason() == crkGroupBreak) return;
  RecordChange(crkGroupBreak, TBufferCoord{}, TBufferCoord{}, std::string(),
               TKedSelectionMode::smNormal);
}

std::uint8_t TKedEditUndoList::LastReason() const {
  return items_.empty() ? crkNothing : items_.back()->Reason;
}

TKedEditUndoItem* TKedEditUndoList::PeekLast() const {
  return items_.empty() ? nullptr : items_.back().get();
}

std::unique_ptr<TKedEditUndoItem> TKedEditUndoList::PopLast() {
  if (items_.empty()) return nullptr;
  std::unique_ptr<TKedEditUndoItem> item = std::move(items_.back());
  items_.pop_back();
  return item;
}

void TKedEditUndoList::Clear() { items_.clear(); }

void TKedEditUndoList::ResumeRecording() {
  if (lockCount_ > 0) --lockCount_;
}

void TKedEditUndoList::SetMaxActions(int value) {
  value = std::max(value, 0);
  if (value == maxActions_) return;
  maxActions_ = value;
  EnforceMaxActions();
}

void TKedEditUndoList::EnforceMaxActions() {
  if (items_.size() <= static_cast<std::size_t>(maxActions_)) return;
  while (items_.size() > static_cast<std::size_t>(maxActions_)) items_.pop_front();
}

void TKedEditUndoList::RememberSavedState(bool saved) {
  const std::int32_t current = items_.empty() ? 0 : items_.back()->ChangeId;
  if (saved)
    savedChangeId_ = current;
  else if (current == savedChangeId_)
    savedChangeId_ = -1;
}

bool TKedEditUndoList::IsAtSavedState() const {
  return (items_.empty() ? 0 : items_.back()->ChangeId) == savedChangeId_;
}

void TKedEditUndoList::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedEditUndoList*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;  // clearing first would lose the items to copy
  Clear();
  for (const auto& item : other->items_) {
    auto copy = std::make_unique<TKedEditUndoItem>();
    copy->Assign(item.get());
    items_.push_back(std::move(copy));
  }
  blockNumber_ = other->blockNumber_;
  blockDepth_ = other->blockDepth_;
  lockCount_ = other->lockCount_;
  maxActions_ = other->maxActions_;
  nextChangeId_ = other->nextChangeId_;
  redoInProgress_ = other->redoInProgress_;
}
