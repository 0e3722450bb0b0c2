#include "app/DumpCleaner.h"

#include "editor/KedEditTextBuffer.h"

bool IsCommentLine(std::string_view line) {
  return line.starts_with("--") || line.starts_with("#") || line.starts_with("/*");
}

bool IsBlankLine(std::string_view line) { return line.empty(); }

int RemoveLines(TKedEditStringList& lines, TCleanKind kind, const TCleanProgress& progress,
                ProgressThrottle throttle) {
  const int total = lines.Count();
  const bool comments = kind == TCleanKind::CommentLines;
  const int removed = lines.DeleteLinesIf([&](int index, std::string_view line) {
    if (progress && throttle.Due()) progress(index, total);
    return comments ? IsCommentLine(line) : IsBlankLine(line);
  });
  if (progress) progress(total, total);
  return removed;
}
