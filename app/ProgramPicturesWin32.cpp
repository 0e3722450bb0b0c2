#include "app/ProgramPicturesWin32.h"

#include <windows.h>

#include "framework/ResourceStreamWin32.h"
#include "framework/SysUtils.h"
#include "imaging/skPNG.h"

const char* const kAboutLargePicture = "KESTRAVA_ABOUT_LARGE";
const char* const kAboutSmallPicture = "KESTRAVA_ABOUT_SMALL";

namespace {

// RT_RCDATA in its ANSI spelling, whatever the character set of the build.
const char* const kRawData = MAKEINTRESOURCEA(10);

const char* const kGlyphNames[pgGlyphCount] = {
    "OPEN",     "SAVE", "SAVEAS", "CUT",   "COPY",     "PASTE", "UNDO",   "REDO",  "FIND",
    "FONTSIZE", "FONT", "EXIT",   "ABOUT", "LANGUAGE", "SPLIT", "FOLDER", "CLEAN", "CHECK"};

void LoadPng(TPNGGraphic& png, const std::string& resource) {
  TResourceStream stream(GetModuleHandleA(nullptr), resource, kRawData);
  png.LoadFromStream(stream);
}

}  // namespace

std::string ProgramGlyphResource(TProgramGlyph glyph) {
  return std::string("KESTRAVA_GLYPH_") + kGlyphNames[glyph];
}

void LoadProgramGlyphs(TsAlphaImageList* list) {
  list->SetSize(kProgramGlyphSize, kProgramGlyphSize);
  for (int g = 0; g < pgGlyphCount; ++g) {
    TResourceStream stream(GetModuleHandleA(nullptr),
                           ProgramGlyphResource(static_cast<TProgramGlyph>(g)), kRawData);
    TsImgListItem* item = list->Items()->Add();
    item->ImgData().CopyFrom(&stream, 0);
  }
  list->AfterConstruction();
}

void PaintProgramPicture(TBitmap* target, const char* resource, TColor background) {
  TPNGGraphic png;
  LoadPng(png, resource);
  target->SetPixelFormat(pf24bit);
  target->SetSize(png.Width(), png.Height());
  target->Fill(ColorToRGB(background));
  png.Draw(target->Canvas(), Rect(0, 0, png.Width(), png.Height()));
}
