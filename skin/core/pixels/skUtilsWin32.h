// System settings that the skin engine reads (Win32 half of skUtils).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

class TIcon;

// lfHeight of the system caption font; 0 when the system does not say.
// The major version the system reports (6 and later have the desktop window manager).
int WindowsMajorVersion();
int CaptionFontHeight();
// A new font handle for the system caption font (the caller deletes it); null on failure.
HFONT CreateCaptionFont();

// The system's minimize and restore animation is on (SPI_GETANIMATION).
bool IsWindowAnimationOn();
// Switches it for this session only (not written to the user profile).
void SetWindowAnimation(bool on);
// Waits that long while the application's messages are processed.
void WaitProcessingMessages(unsigned milliseconds);

// The path with each existing component in its long form, or in its short 8.3 form where
// one exists; the path as given when the system cannot resolve it.
std::string LongPathName(const std::string& path);
std::string ShortPathName(const std::string& path);

// Asks desktop composition to take the window's task-bar thumbnail and live preview from the
// program (or gives them back to the system), and sets IconicPreviewEnabled, under which
// forms answer the composition's requests for those pictures. Without composition only the
// flag changes.
void EnableIconicPreview(HWND window, bool on);
extern bool IconicPreviewEnabled;

// The shell's icon for the file (its flags plus SHGFI_ICON, e.g. SHGFI_SMALLICON) in a new
// icon that owns the handle; null when the file does not exist or the shell gives no icon.
std::unique_ptr<TIcon> GetShellFileIcon(const std::string& fileName, UINT flags);
