// What a form resource keeps of an editor's key table: not the table itself but its
// differences from a reference table (the ancestor's, or the defaults), as the entries
// added and the entries removed.
#pragma once

#include <vector>

#include "editor/KedEditKeyCmds.h"

// Entries of table without a match in reference: same shortcut pair and same command.
std::vector<const TKedEditKeyStroke*> AddedKeystrokes(const TKedEditKeyStrokes& table,
                                                      const TKedEditKeyStrokes& reference);
// Entries of reference without a match in table.
std::vector<const TKedEditKeyStroke*> RemovedKeystrokes(const TKedEditKeyStrokes& table,
                                                        const TKedEditKeyStrokes& reference);
// Reading back: every entry read deletes the table's entry with its shortcut pair when that
// entry has the same command; added entries are appended as copies.
void ApplyRemovedKeystrokes(TKedEditKeyStrokes& table, const TKedEditKeyStrokes& removed);
void ApplyAddedKeystrokes(TKedEditKeyStrokes& table, const TKedEditKeyStrokes& added);
