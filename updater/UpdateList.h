// The update list ("update.txt") the server serves: one listed file per line, fields
// separated by "|" (caption, URL, local name; further fields are ignored), and the rule
// that turns a local name from the server into a path inside the program folder.
// Portable: no platform header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kUpdateListPath = "/download/kestrava/update/update.txt";
inline constexpr const char* kUpdateListFile = "update.txt";
inline constexpr const char* kUpdateFieldSeparator = "|";

// Splits `line` at every `separator` into `fields`; returns their number. Three texts
// joined by two separators give three fields, an empty line one empty field, a line
// ending in the separator one more empty field.
int SplitFields(std::vector<std::string>& fields, const std::string& separator,
                const std::string& line);

// The lines of a text with CR LF, LF or CR line ends; a final line end adds no empty line.
std::vector<std::string> ListLines(std::string_view text);

struct TUpdateListEntry {
  std::string Caption;
  std::string URL;
  std::string LocalName;
};

// Every line with at least three fields, in order; shorter lines (an empty one too) name
// no file and are left out.
std::vector<TUpdateListEntry> ParseUpdateList(std::string_view text);

// The path, relative to the program folder and with "\" between its parts, that a local
// name from the list stands for; nothing when the name could reach outside the folder or
// name something that is not a plain file there: empty, rooted, a drive, "." or "..",
// an alternate data stream, a device name (also with an extension), characters Windows
// refuses in names, or a part ending in a dot or a blank (Windows drops those, so the
// file written would not be the one checked).
std::optional<std::string> LocalPathInFolder(std::string_view localName);

// The same file name in Windows' eyes: ASCII letters compared without case.
bool SameFileName(std::string_view a, std::string_view b);
