#include "editor/KedEditKbdHandler.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/SysUtils.h"

namespace {

class KbdHandlerTest : public ::testing::Test {
 protected:
  // A key handler that logs its name and, when told, consumes the key.
  TKedKeyEvent KeyHandler(char name, bool consume) {
    return TKedKeyEvent([this, name, consume](TObject* sender, std::uint16_t& key, TShiftState) {
      EXPECT_EQ(sender, editor);
      log += name;
      if (consume) key = 0;
    });
  }

  TKedEditKbdHandler handler;
  TObject* editor = reinterpret_cast<TObject*>(&handler);  // only compared
  std::string log;
};

}  // namespace

TEST_F(KbdHandlerTest, KeyChainRunsNewestFirstAndStopsWhenConsumed) {
  handler.AddKeyDownHandler(KeyHandler('a', false));
  handler.AddKeyDownHandler(KeyHandler('b', true));
  handler.AddKeyDownHandler(KeyHandler('c', false));
  std::uint16_t key = 65;
  handler.RunKeyDownChain(editor, key, {});
  EXPECT_EQ(log, "cb");
  EXPECT_EQ(key, 0);

  log.clear();
  handler.AddKeyUpHandler(KeyHandler('x', false));
  handler.AddKeyUpHandler(KeyHandler('y', false));
  key = 65;
  handler.RunKeyUpChain(editor, key, {});
  EXPECT_EQ(log, "yx");
  EXPECT_EQ(key, 65);
}

TEST_F(KbdHandlerTest, KeyPressChainStopsAtNul) {
  handler.AddKeyPressHandler(TKedKeyPressEvent([this](TObject*, char&) { log += 'a'; }));
  handler.AddKeyPressHandler(TKedKeyPressEvent([this](TObject*, char& c) {
    log += 'b';
    c = '\0';
  }));
  char c = 'q';
  handler.RunKeyPressChain(editor, c);
  EXPECT_EQ(log, "b");
  EXPECT_EQ(c, '\0');
}

TEST_F(KbdHandlerTest, MouseChainsCallEveryHandler) {
  handler.AddMouseDownHandler(
      TKedMouseEvent([this](TObject*, int button, TShiftState, int x, int y) {
        log += "1:" + std::to_string(button) + "," + std::to_string(x) + "," + std::to_string(y);
      }));
  handler.AddMouseDownHandler(
      TKedMouseEvent([this](TObject*, int, TShiftState, int, int) { log += "2;"; }));
  handler.RunMouseDownChain(editor, 1, {}, 5, 7);
  EXPECT_EQ(log, "2;1:1,5,7");

  handler.AddMouseCursorHandler(TKedMouseCursorEvent(
      [](TObject*, const TBufferCoord& pos, int& cursor) { cursor = pos.Line * 100 + pos.Char; }));
  handler.AddMouseCursorHandler(
      TKedMouseCursorEvent([](TObject*, const TBufferCoord&, int& cursor) { cursor = -1; }));
  int cursor = 0;
  handler.RunMouseCursorChain(editor, TBufferCoord{3, 4}, cursor);
  EXPECT_EQ(cursor, 403) << "the oldest handler runs last";
  handler.RunMouseUpChain(editor, 0, {}, 0, 0);  // empty: nothing happens
}

TEST_F(KbdHandlerTest, ChainDoesNotReenterItselfAndRecoversFromAnException) {
  bool raise = false;
  handler.AddKeyDownHandler(TKedKeyEvent([&](TObject*, std::uint16_t& key, TShiftState shift) {
    log += 'r';
    std::uint16_t inner = key;
    handler.RunKeyDownChain(editor, inner, shift);  // returns at once
    if (raise) throw Exception("handler failed");
  }));
  std::uint16_t key = 1;
  handler.RunKeyDownChain(editor, key, {});
  EXPECT_EQ(log, "r");

  raise = true;
  EXPECT_THROW(handler.RunKeyDownChain(editor, key, {}), Exception);
  raise = false;
  log.clear();
  handler.RunKeyDownChain(editor, key, {});
  EXPECT_EQ(log, "r") << "the running flag was cleared by the exception";
}

TEST_F(KbdHandlerTest, RemovingAHandlerRemovesEveryCopy) {
  TKedKeyEvent a = KeyHandler('a', false);
  handler.AddKeyDownHandler(a);
  handler.AddKeyDownHandler(KeyHandler('b', false));
  handler.AddKeyDownHandler(a);
  handler.RemoveKeyDownHandler(a);
  std::uint16_t key = 1;
  handler.RunKeyDownChain(editor, key, {});
  EXPECT_EQ(log, "b");
}
