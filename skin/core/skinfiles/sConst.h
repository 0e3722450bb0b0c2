// The skin engine's texts and start-up values: captions of the skinned system menu and the
// folder picker, the frame adapter's message, the key colour and the scroll-bar width.
// English, never translated by the form translator.
#pragma once

#include <string>

#include "framework/Graphics.h"

extern std::string SkinTextOK;
extern std::string SkinTextCancel;
extern std::string SkinTextRoot;
extern std::string SkinTextSelectDirectory;
extern std::string SkinTextCreate;
extern std::string SkinTextRestore;
extern std::string SkinTextMove;
extern std::string SkinTextSize;
extern std::string SkinTextMinimize;
extern std::string SkinTextMaximize;
extern std::string SkinTextClose;
extern std::string SkinTextAvailableSkins;
extern std::string SkinTextInternal;
extern std::string SkinTextFrameAdapter;

// Transparent pixels of skin images; also "no colour" in colour answers.
constexpr TColor SkinKeyColor = clFuchsia;

// Width of a standard scroll bar's arrow: 16 until InitSkinConstants runs.
extern int SkinScrollBarWidth;

// Sets the texts to their defaults and takes the scroll-bar width the system reports
// (0 or less keeps the current width). Part of the program's start-up list.
void InitSkinConstants(int systemScrollBarWidth);
