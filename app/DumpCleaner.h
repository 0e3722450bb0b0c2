// Deleting comment lines and blank lines from a loaded dump.
#pragma once

#include <functional>
#include <string_view>

#include "app/ProgressThrottle.h"

class TKedEditStringList;

// A line that begins, at its very first byte, with "--", "#" or "/*".
bool IsCommentLine(std::string_view line);
// A line of length 0; a line of blanks or tabs is not blank.
bool IsBlankLine(std::string_view line);

enum class TCleanKind { CommentLines, BlankLines };

// Lines examined so far out of the list's count when the run began.
using TCleanProgress = std::function<void(int examined, int total)>;

// Deletes the matching lines in one compaction pass and returns how many went.
// Progress is reported throttled and always once at the end with examined == total.
int RemoveLines(TKedEditStringList& lines, TCleanKind kind, const TCleanProgress& progress,
                ProgressThrottle throttle = ProgressThrottle());
