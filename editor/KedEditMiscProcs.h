// Support routines shared by the editor units: tab expansion, column
// conversion, double-byte aware character searches, word classes of Far East
// characters, the stepped gutter gradient and small integer helpers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditTypes.h"

int ClampValue(int value, int low, int high);
void ExchangeInts(int& a, int& b);
// The earlier position (line first, then char); the first one on a tie.
TBufferCoord MinTextPos(const TBufferCoord& a, const TBufferCoord& b);

// ---- Double-byte code pages ------------------------------------------------
// On a Far East system the 8-bit text holds double-byte characters: a lead
// byte followed by a trail byte. The table is a seam: the program fills it
// from the system code page at start, tests install any table they need.
struct TKedLeadByteTable {
  bool FarEast = false;
  TKedCharSet LeadBytes;
};

const TKedLeadByteTable& KedLeadBytes();
void SetKedLeadBytes(const TKedLeadByteTable& table);
// Reads the system's double-byte code page (nothing on a system without one).
TKedLeadByteTable KedSystemLeadBytes();
// True when c starts a double-byte character on this system.
bool IsKedLeadByte(unsigned char c);
// True when the 1-based character index falls on the second byte of a double-byte
// character, where neither a caret nor a selection end may stand.
bool IsKedTrailByteAt(std::string_view text, int charIndex);

// Installs a lead-byte table for its lifetime and puts the previous one back.
class TKedLeadBytesScope {
 public:
  explicit TKedLeadBytesScope(const TKedLeadByteTable& table);
  ~TKedLeadBytesScope();
  TKedLeadBytesScope(const TKedLeadBytesScope&) = delete;
  TKedLeadBytesScope& operator=(const TKedLeadBytesScope&) = delete;

 private:
  TKedLeadByteTable previous_;
};

// ---- Tab expansion -----------------------------------------------------------
// Expands the tabs of a line for display. Each tab becomes as many tab
// characters as display columns it spans (one blank for widths up to 1), so the
// result has one character per column and still shows where tabs were.
using TKedTabExpander = std::string (*)(const std::string& line, int tabWidth, bool& hasTabs);

TKedTabExpander SelectTabExpander(int tabWidth);
std::string ExpandTabsAsSpace(const std::string& line, int tabWidth, bool& hasTabs);
std::string ExpandTabsByMask(const std::string& line, int tabWidth, bool& hasTabs);
std::string ExpandTabsByModulo(const std::string& line, int tabWidth, bool& hasTabs);

// count := characters before the first tab (all when there is none).
bool CountBeforeTab(std::string_view text, int& count);
int TabExpandedLength(std::string_view text, int tabWidth);
int CharIndexToColumn(int index, int tabWidth, std::string_view text);

// ---- Character searches (1-based indexes, 0 = none) -------------------------
int FindCharInSet(std::string_view text, int start, const TKedCharSet& set);
int FindLastCharInSet(std::string_view text, int count, const TKedCharSet& set);
int FindLeadByte(std::string_view text, int start);
int FindLastLeadByte(std::string_view text, int count);
// The first CR, LF or NUL at or after p; nullptr for nullptr.
const char* FindLineBreak(const char* p);

// Word class of a character from its type word in the system's third
// character-type table; neighbours of different classes separate words.
int ClassifyCharType(std::uint16_t type);

// ---- Stepped gradient -----------------------------------------------------
struct TKedGradientBand {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  std::uint32_t Color = 0;  // 0x00BBGGRR
  friend bool operator==(const TKedGradientBand&, const TKedGradientBand&) = default;
};

// The bands a stepped gradient fills, first to last, from two RGB colours
// (system colours already resolved). Steps is limited to 2..256.
std::vector<TKedGradientBand> StepGradientBands(std::uint32_t startRgb, std::uint32_t endRgb,
                                                int steps, int left, int top, int right, int bottom,
                                                bool horizontal);

#ifdef _WIN32
#include "framework/Graphics.h"
#include "framework/Types.h"
class TCanvas;
// Fills rect band by band with the canvas brush (system colours resolved).
void PaintStepGradient(TCanvas* canvas, TColor startColor, TColor endColor, int steps,
                       const TRect& rect, bool horizontal);
#endif
