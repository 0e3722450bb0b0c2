// What the static, icon, edge and link adapters decide from a window's text and styles: the
// text flags of a static's caption, which statics show a picture, and a link's text without
// its markup. Portable, tested as tables.
#pragma once

#include <cstdint>
#include <string>

// A static with a tab stop or a static edge paints itself: the adapter leaves it alone.
bool StaticPaintsItself(uint32_t style, uint32_t exStyle);
// The caption's DrawText flags: wrapped, tabs expanded, not clipped; right-aligned only with
// WS_EX_RIGHT (the static's own alignment styles are not read).
uint32_t StaticTextFlags(uint32_t exStyle);
// A static that shows an icon (SS_ICON), not a bitmap.
bool ShowsIcon(uint32_t style);
// The text of a link window as it is shown: every anchor tag (<a>, <A HREF="...">, </a>, in
// any case) taken out, the words joined as they stand.
std::string StripLinkMarkup(const std::string& text);
