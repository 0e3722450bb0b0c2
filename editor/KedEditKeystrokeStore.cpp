#include "editor/KedEditKeystrokeStore.h"

namespace {

bool HasMatch(const TKedEditKeyStrokes& table, const TKedEditKeyStroke& entry) {
  const int i = table.IndexOfShortCuts(entry.GetShortCut(), entry.GetShortCut2());
  return i >= 0 && table.Items(i)->Command() == entry.Command();
}

std::vector<const TKedEditKeyStroke*> Unmatched(const TKedEditKeyStrokes& from,
                                                const TKedEditKeyStrokes& in) {
  std::vector<const TKedEditKeyStroke*> result;
  for (int i = 0; i < from.Count(); ++i)
    if (!HasMatch(in, *from.Items(i))) result.push_back(from.Items(i));
  return result;
}

}  // namespace

std::vector<const TKedEditKeyStroke*> AddedKeystrokes(const TKedEditKeyStrokes& table,
                                                      const TKedEditKeyStrokes& reference) {
  return Unmatched(table, reference);
}

std::vector<const TKedEditKeyStroke*> RemovedKeystrokes(const TKedEditKeyStrokes& table,
                                                        const TKedEditKeyStrokes& reference) {
  return Unmatched(reference, table);
}

void ApplyRemovedKeystrokes(TKedEditKeyStrokes& table, const TKedEditKeyStrokes& removed) {
  for (int i = 0; i < removed.Count(); ++i) {
    const TKedEditKeyStroke* entry = removed.Items(i);
    const int at = table.IndexOfShortCuts(entry->GetShortCut(), entry->GetShortCut2());
    if (at >= 0 && table.Items(at)->Command() == entry->Command()) table.Delete(at);
  }
}

void ApplyAddedKeystrokes(TKedEditKeyStrokes& table, const TKedEditKeyStrokes& added) {
  for (int i = 0; i < added.Count(); ++i) table.AddKeyStroke()->Assign(added.Items(i));
}
