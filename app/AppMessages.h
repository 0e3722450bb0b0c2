// The main window's message texts in German and English.
#pragma once

#include <string>

enum class TAppMessage {
  NoDirectory,
  NoFileName,
  InvalidSize,
  NoText,
  BeginProcessing,
  CreatingFile,
  StartNewFile,
  ProcessingTerminated,
  OpenError,
  OpenFile,
  CommentsDeleted,
  BlankLinesDeleted,
  NoLines,
  CreateDirectoryFailed,
  CreateFileFailed,
  WriteFailed,
  BusyCannotClose,
  FileSaved,
  PieceIsSource,
};

// German when the language is "de", English otherwise (also when it is empty).
// Texts that name a file carry one "%s".
std::string AppMessage(TAppMessage message, const std::string& language);

// Follows the match count of a search, in every language.
inline constexpr const char* kMatchCountSuffix = " Fundquellen";

// Status-bar texts exist in German only.
inline constexpr const char* kPanelLineCount = "Anzahl Zeilen: ";
inline constexpr const char* kPanelWorkingLine = "Bearbeite Zeile: ";
inline constexpr const char* kPanelBytesWritten = "Speicher Zeile: ";
inline constexpr const char* kPanelCreatingFile = "Erzeuge Datei: ";
