// The program's 8-bit texts are Windows-1252: a German text must reach the ANSI API as
// such, so that the system shows the right letters.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(AnsiText, GermanLiteralsReachTheSystemAsWindows1252) {
  HWND label = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(label, nullptr);
  ASSERT_TRUE(SetWindowTextA(label, "Datei öffnen, Größe"));
  wchar_t shown[64] = {};
  GetWindowTextW(label, shown, 64);
  DestroyWindow(label);
  EXPECT_EQ(std::wstring(shown), L"Datei \u00F6ffnen, Gr\u00F6\u00DFe");
}
