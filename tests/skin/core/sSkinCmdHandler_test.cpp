// The skin command's one handler: every command from our own senders and from elsewhere, its
// default answer for a skin data, and the trust rule that leaves a foreign command that is not
// a question entirely alone, also in a receiver that overrides the command.
#include "skin/core/painting/sSkinCmdHandler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/core/painting/sCommonData.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

const char* const kSkin =
    "[GLOBALINFO]\nCOLOR=8421504\n"
    "[EDIT]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=2\n"
    "[PANEL]\nCOLOR=16711680\nTRANSPARENCY=0\n";

// What a command may change in a skin data.
struct TSnapshot {
  bool PaintSuspended, ImmediatePaint, BackgroundDirty, PartlyHidden;
  uint16_t SkinState;
  intptr_t PrintTarget;
  int SectionIndex;
  std::string SkinSection;
  bool operator==(const TSnapshot&) const = default;
};

TSnapshot SnapshotOf(const TsCommonData& d) {
  return {d.PaintSuspended, d.ImmediatePaint, d.BackgroundDirty, d.PartlyHidden,
          d.SkinState,      d.PrintTarget,    d.SectionIndex,    d.SkinSection()};
}

// What LParam carries: a pointer is only real for our own senders; from elsewhere any number
// arrives, here one that would crash the test if it were followed.
enum class TArg { Zero, One, Manager, SectionInfo, BgRequest, Dc };

struct SkinCmdHandler : ::testing::Test {
  void SetUp() override {
    f.AddFolderSkin("Cmd", kSkin);
    f.Manager->SetSkinName("Cmd");
    ASSERT_EQ(DefaultManager, f.Manager.get());
  }
  // A fresh skinned control: every case starts from the same state.
  struct TReceiver {
    TFakeSkinDataHost host;
    TsCommonData data{&host, true};
  };
  std::unique_ptr<TReceiver> NewReceiver() {
    auto r = std::make_unique<TReceiver>();
    r->data.SetSkinSection("EDIT");
    r->data.BackgroundDirty = false;
    r->data.PartlyHidden = false;
    return r;
  }
  intptr_t ArgValue(TArg arg, bool own) {
    switch (arg) {
      case TArg::Zero:
        return 0;
      case TArg::One:
        return 1;
      case TArg::Manager:
        return reinterpret_cast<intptr_t>(f.Manager.get());
      case TArg::Dc:
        return 0x777;
      case TArg::SectionInfo:
        return own ? reinterpret_cast<intptr_t>(&section) : 0x10;
      case TArg::BgRequest:
        return own ? reinterpret_cast<intptr_t>(&request) : 0x10;
    }
    return 0;
  }
  skintest::TManagerFixture f;
  TskSectionInfo section;
  TsBackgroundRequest request;
};

TEST_F(SkinCmdHandler, EveryCommandGetsItsDefaultAnswerAndOnlyQuestionsComeFromAnywhere) {
  const struct {
    int cmd, low;
    TArg arg;
    bool answered;  // from our own senders
    intptr_t result;
    bool changes;   // from our own senders
    bool question;  // answered alike from elsewhere
  } cases[] = {
      {CmdIsSkinned, 0, TArg::Zero, true, 1, false, true},
      {CmdIsUpdating, 0, TArg::Zero, true, 0, false, true},
      {CmdIsPartlyHidden, 0, TArg::Zero, true, 0, false, true},
      {CmdIsBgGraphic, 0, TArg::Zero, true, 0, false, true},
      {CmdGetBgColor, 0, TArg::Zero, true, 65280, false, true},
      {CmdSkinState, 0, TArg::Zero, true, 0, false, true},
      {CmdSkinState, 0, TArg::One, true, 0, false, false},  // recompute: a change
      {CmdSetUpdating, 1, TArg::Zero, false, 0, true, false},
      {CmdSetImmediatePaint, 1, TArg::Zero, false, 0, true, false},
      {CmdSetSection, 0, TArg::SectionInfo, false, 0, true, false},
      {CmdBgChanged, 0, TArg::Zero, false, 0, true, false},
      {CmdSetPartlyHidden, 0, TArg::Zero, false, 0, true, false},
      {CmdSetPrintDC, 0, TArg::Dc, true, 0, true, false},
      {CmdGetSectionIndex, 0, TArg::SectionInfo, true, 0, false, false},
      {CmdGetBgInfo, 0, TArg::BgRequest, true, 0, false, false},
      {CmdSkinChanged, 0, TArg::Manager, false, 0, true, false},
      {CmdRemoveSkin, 0, TArg::Manager, false, 0, true, false},
      {CmdRefresh, 0, TArg::Manager, false, 0, true, false},
      {CmdBgChangedRedraw, 0, TArg::Zero, false, 0, false, false},
      {CmdRefreshSection, 0, TArg::Zero, false, 0, false, false},
      // Commands only forms, adapters or controls answer, and numbers nobody uses.
      {CmdGetProvider, 0, TArg::Zero, false, 0, false, false},
      {CmdResumePainting, 0, TArg::Zero, false, 0, false, false},
      {CmdStopFade, 0, TArg::Zero, false, 0, false, false},
      {CmdPrepareCache, 0, TArg::Zero, false, 0, false, false},
      {CmdMouseEnter, 0, TArg::Manager, false, 0, false, false},
      {CmdGetApplication, 0, TArg::Zero, false, 0, false, false},
      {CmdGetClientOffset, 0, TArg::Zero, false, 0, false, false},
      {12, 0, TArg::Zero, false, 0, false, false},
      {62, 0, TArg::Zero, false, 0, false, false},
  };
  for (const auto& c : cases) {
    for (bool own : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << "command " << c.cmd << (own ? " from us" : " from elsewhere"));
      section = TskSectionInfo{};
      section.SectionName = "panel";
      request = TsBackgroundRequest{};
      auto r = NewReceiver();
      const TSnapshot before = SnapshotOf(r->data);
      TSkinCmdMessage m{c.cmd, c.low, ArgValue(c.arg, own), 0, own};
      const bool trusted = own || c.question;
      EXPECT_EQ(IsSkinCmdTrusted(m), trusted);
      EXPECT_EQ(ProcessSkinCommand(m, &r->data), trusted && c.answered);
      EXPECT_EQ(m.Result, trusted ? c.result : 0);
      EXPECT_EQ(!(SnapshotOf(r->data) == before), own && c.changes);
    }
  }
  // The pointers of our own senders are followed.
  auto r = NewReceiver();
  request = TsBackgroundRequest{};
  TSkinCmdMessage info{CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&request), 0, true};
  ProcessSkinCommand(info, &r->data);
  EXPECT_EQ(request.BgType, 1) << "a plain section answers with its colour";
  EXPECT_EQ(request.Color, 65280);
  section.SectionIndex = -1;
  TSkinCmdMessage index{CmdGetSectionIndex, 0, reinterpret_cast<intptr_t>(&section), 0, true};
  ProcessSkinCommand(index, &r->data);
  EXPECT_EQ(section.SectionIndex, r->data.SectionIndex);
}

// A receiver that answers one command its own way: the override is reached through the one
// dispatch, and the trust rule still guards it.
class TCountingHandler : public TsSkinCmdHandler {
 public:
  using TsSkinCmdHandler::TsSkinCmdHandler;
  int stops = 0;

 protected:
  bool OnStopFade(TSkinCmdMessage& m) override {
    ++stops;
    m.Result = 7;
    return true;
  }
  bool OnIsSkinned(TSkinCmdMessage& m) override {
    m.Result = 2;
    return true;
  }
};

TEST_F(SkinCmdHandler, AnOverrideAnswersItsCommandAndTheRestKeepTheirDefaults) {
  auto r = NewReceiver();
  TCountingHandler handler(r->data);
  TSkinCmdMessage stop{CmdStopFade, 0, 0, 0, true};
  EXPECT_TRUE(handler.Handle(stop));
  EXPECT_EQ(stop.Result, 7);
  TSkinCmdMessage foreignStop{CmdStopFade, 0, 0, 0, false};
  EXPECT_FALSE(handler.Handle(foreignStop));
  EXPECT_EQ(handler.stops, 1) << "a change from elsewhere never reaches the override";
  TSkinCmdMessage skinned{CmdIsSkinned, 0, 0, 0, false};
  EXPECT_TRUE(handler.Handle(skinned));
  EXPECT_EQ(skinned.Result, 2);
  TSkinCmdMessage color{CmdGetBgColor, 0, 0, 0, true};
  EXPECT_TRUE(handler.Handle(color));
  EXPECT_EQ(color.Result, 65280);
}

}  // namespace
