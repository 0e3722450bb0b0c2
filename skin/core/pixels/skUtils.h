// Small helpers of the whole skin engine: rectangle and integer arithmetic, words of a text
// split by a set of separator characters, tokens, path text, and INI text held in string
// lists. Pure functions; no Win32.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Strings.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"

// A set of 8-bit characters.
using TCharSet = std::bitset<256>;
TCharSet MakeCharSet(std::string_view characters);
inline bool InCharSet(char c, const TCharSet& set) { return set.test(static_cast<uint8_t>(c)); }

// Right - Left and Bottom - Top; with clamp a negative result gives 0.
int RectWidth(const TRect& r, bool clamp = false);
int RectHeight(const TRect& r, bool clamp = false);
// The larger Left and Top, the smaller Right and Bottom (may be empty or inverted).
TRect RectIntersection(const TRect& a, const TRect& b);
// Nothing inside: the right edge not past the left one, or the bottom not below the top.
constexpr bool RectIsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
// True unless the rectangles lie apart or b is empty.
bool RectsOverlap(const TRect& a, const TRect& b);
// Both corners of inner lie in outer, its right and bottom edges counting as inside.
bool RectContainsRect(const TRect& outer, const TRect& inner);

constexpr int MaxOf(int a, int b) { return a > b ? a : b; }
constexpr int MinOf(int a, int b) { return a < b ? a : b; }
// The value limited to the range; the minimum is tested first.
constexpr int ClampInt(int value, int minimum, int maximum) {
  return value < minimum ? minimum : (value > maximum ? maximum : value);
}
constexpr uint8_t ClampByte(int value) {
  return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}
// The value lies between the bounds, in either order, bounds included.
constexpr bool IsBetween(int value, int bound1, int bound2) {
  return bound1 <= bound2 ? value >= bound1 && value <= bound2 : value >= bound2 && value <= bound1;
}
inline void SwapInts(int& a, int& b) { std::swap(a, b); }
constexpr int ChooseInt(bool flag, int a, int b) { return flag ? a : b; }
inline std::string ChooseString(bool flag, const std::string& a, const std::string& b) {
  return flag ? a : b;
}

// Words are the longest runs of characters not in the set; positions count from 1.
int WordCount(std::string_view text, const TCharSet& separators);
int WordCountInSet(std::string_view text, const TCharSet& separators);
// Position of the first character of word n; 0 when there are fewer words.
int WordPosition(int n, std::string_view text, const TCharSet& separators);
int WordPositionInSet(int n, std::string_view text, const TCharSet& separators);
// Word n; empty when there is none.
std::string GetNthWord(int n, std::string_view text, const TCharSet& separators);
// Word n as an integer; 0 when it is missing or not an integer.
int GetNthWordInt(int n, std::string_view text, const TCharSet& separators);
// The text from position up to the next separator (or the end); position moves past that
// separator. Nothing (and position unchanged) past the end of the text.
std::string NextToken(std::string_view text, int& position, const TCharSet& separators);

std::string RemoveChar(std::string_view text, char c);
// Every occurrence of oldText replaced, the search going on after each replacement; an
// empty oldText replaces nothing.
std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText);
// length characters c; empty for a length below 1.
std::string MakeCharString(int length, char c);
// A folder path ending in "\": a final "/" becomes "\", a one-character path (a drive
// letter) gets ":\"; an empty path stays empty.
std::string NormalizeDirPath(const std::string& path);
bool FolderExists(const std::string& path);

// INI text in string lists. SplitIniSections puts each section's lines (empty lines and
// ";" comments left out, nothing trimmed) in a new string list, the object of the section's
// name in result, which then owns them; lines before the first section are dropped.
void SplitIniSections(const TStrings& lines, TStringList& result);
// The text after "key=" in the section, or the default when the section or key is missing.
std::string ReadSectionString(const TStringList& sections, const std::string& section,
                              const std::string& defaultValue, const std::string& key);
// As ReadSectionString, read as a decimal or "0x" hexadecimal integer; the default when
// missing or not an integer.
int ReadSectionInteger(const TStringList& sections, const std::string& section, int defaultValue,
                       const std::string& key);

// Published properties by name (case ignored), for controls the skin engine only knows by
// their published interface. An object without such a property reads as absent: false, -1
// or nil, and writes change nothing.
class TObject;
bool HasProperty(TObject* object, const std::string& name);
// An ordinal property (integer, character, enumeration, set bits); -1 when absent.
int64_t GetOrdProperty(TObject* object, const std::string& name);
void SetOrdProperty(TObject* object, const std::string& name, int64_t value);
TObject* GetObjectProperty(TObject* object, const std::string& name);
// The set property contains the element (its name, case ignored); false for an unknown
// property or element.
bool SetPropContains(TObject* object, const std::string& setName, const std::string& element);
// Adds the element to the set property or takes it out.
void ChangeSetProp(TObject* object, const std::string& setName, const std::string& element,
                   bool include);
