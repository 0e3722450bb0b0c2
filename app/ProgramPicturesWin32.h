// Kestrava's own pictures, drawn at build time (tools/make_program_pictures.py) and linked
// into the program as resources: the glyphs of the tool bar and the menus, and the about
// window's emblems. The program icon is the resource "MAINICON".
#pragma once

#include <string>

#include "framework/Graphics.h"
#include "imaging/skAlphaImageListWin32.h"

// The glyphs in the order of the main window's image list (the drawing script keeps it).
enum TProgramGlyph {
  pgOpen,
  pgSave,
  pgSaveAs,
  pgCut,
  pgCopy,
  pgPaste,
  pgUndo,
  pgRedo,
  pgFind,
  pgFontSize,
  pgFont,
  pgExit,
  pgAbout,
  pgLanguage,
  pgSplit,
  pgFolder,
  pgClean,
  pgCheck,
  pgGlyphCount
};

// Edge length of every glyph.
constexpr int kProgramGlyphSize = 16;

// The resource name of a glyph, e.g. "KESTRAVA_GLYPH_OPEN".
std::string ProgramGlyphResource(TProgramGlyph glyph);

// Fills the list (made 16 x 16) with every glyph as a PNG item and builds it.
void LoadProgramGlyphs(TsAlphaImageList* list);

// The about window's emblems.
extern const char* const kAboutLargePicture;
extern const char* const kAboutSmallPicture;

// Draws the PNG resource over `background` into the bitmap, which takes the picture's size.
void PaintProgramPicture(TBitmap* target, const char* resource, TColor background);
