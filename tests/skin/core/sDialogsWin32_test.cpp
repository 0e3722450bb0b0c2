#include "skin/core/runtime/sDialogs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "framework/FormsWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

TEST(sDialogs, ButtonSetsMapToTheSystemStylesFirstMatchFirst) {
  struct Case {
    const char* name;
    TsDialogButtons buttons;
    UINT style;
  };
  const Case cases[] = {
      {"yes no cancel", sdbYes | sdbNo | sdbCancel, MB_YESNOCANCEL},
      {"yes alone", sdbYes, MB_YESNO},
      {"no alone", sdbNo, MB_YESNO},
      {"ok wins over yes", sdbOK | sdbYes, MB_OK},
      {"ok cancel", sdbOK | sdbCancel, MB_OKCANCEL},
      {"cancel alone", sdbCancel, MB_OK},
      {"abort", sdbAbort, MB_ABORTRETRYIGNORE},
      {"ignore beats yes", sdbIgnore | sdbYes, MB_ABORTRETRYIGNORE},
      {"retry", sdbRetry, MB_RETRYCANCEL},
      {"all buttons ignored", sdbAll | sdbNoToAll | sdbYesToAll, MB_OK},
      {"help bit", sdbOK | sdbHelp, MB_OK | MB_HELP},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageDialogStyle(sdkPlain, c.buttons), c.style) << c.name;
}

TEST(sDialogs, KindsChooseIconAndCaption) {
  struct Case {
    TsDialogKind kind;
    UINT icon;
    const char* caption;
  };
  const Case cases[] = {
      {sdkWarning, MB_ICONWARNING, "Warning"},
      {sdkError, MB_ICONERROR, "Error"},
      {sdkInformation, MB_ICONINFORMATION, "Information"},
      {sdkConfirmation, MB_ICONQUESTION, "Confirm"},
      {sdkPlain, 0, ""},
      {7, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessageDialogStyle(c.kind, sdbOK), c.icon) << c.kind;
    EXPECT_EQ(MessageDialogCaption(c.kind), c.caption) << c.kind;
  }
}

TEST(sDialogs, BoxesShowTheirTextAndCaptionAndThePositionIsResetAfterwards) {
  Application->Initialize();
  ktest::TMessageBoxWatcher watcher;
  std::atomic<int> seenX{0};
  watcher.SetCloseWhen([&] {
    seenX = DialogPosX;
    return true;
  });
  EXPECT_EQ(ShowPlainMessage("plain"), IDOK);
  EXPECT_EQ(ShowErrorMessage("failed"), IDOK);
  EXPECT_EQ(ShowMessageDialogCaption("Update", "new?", sdkInformation, sdbOK, 0), IDOK);
  EXPECT_EQ(ShowMessageDialogPos("placed", sdkWarning, sdbOK, 0, 40, 50), IDOK);
  EXPECT_EQ(seenX.load(), 40) << "the position is set while the box is shown";
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].Caption, "");
  EXPECT_EQ(seen[0].Text, "plain");
  EXPECT_EQ(seen[1].Caption, "Error");
  EXPECT_EQ(seen[2].Caption, "Update");
  EXPECT_EQ(seen[3].Caption, "Warning");
  EXPECT_EQ(DialogPosX, -1);
  EXPECT_EQ(DialogPosY, -1);
}

}  // namespace
