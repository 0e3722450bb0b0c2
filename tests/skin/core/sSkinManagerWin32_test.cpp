// The Win32 half of the skin manager's loading: the program's folder, preview data sent with
// WM_COPYDATA.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "framework/ControlsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TEST(SkinManagerWin32Test, NewManagersHangFromTheProgramsFolder) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string exe(path, length);
  TsSkinManager manager(nullptr);
  EXPECT_EQ(manager.AppFolder(), exe.substr(0, exe.find_last_of('\\') + 1));
  manager.SetSkinDirectory("Skins");
  EXPECT_EQ(manager.ResolveSkinDirectory(), manager.AppFolder() + "Skins");
}

TEST(SkinManagerWin32Test, CopyDataFromASkinEditorIsAnswered) {
  TsSkinManager manager(nullptr);
  std::vector<uint8_t> block(TSkinPreviewData::BlockSize, 0);
  const uint32_t signature = TSkinPreviewData::Signature;
  std::memcpy(block.data(), &signature, 4);
  std::memcpy(block.data() + 4, "Edited", 6);
  COPYDATASTRUCT copy{};
  copy.lpData = block.data();
  copy.cbData = static_cast<DWORD>(block.size() - 1);  // short: refused
  TMessage message;
  message.Msg = WM_COPYDATA;
  message.LParam = reinterpret_cast<LPARAM>(&copy);
  EXPECT_FALSE(HandleSkinPreviewData(message, manager));
  EXPECT_EQ(message.Result, 0);
  copy.cbData = static_cast<DWORD>(block.size());
  EXPECT_TRUE(HandleSkinPreviewData(message, manager));
  EXPECT_EQ(message.Result, 1);
  EXPECT_EQ(manager.SkinName(), "Edited");
  SkinPreviewMode = false;
}

}  // namespace
