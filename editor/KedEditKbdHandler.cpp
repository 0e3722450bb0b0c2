#include "editor/KedEditKbdHandler.h"

#include "framework/ScopeExit.h"

namespace {

// Calls the handlers newest first until stop() says the event was consumed. The
// handlers are copied first: one may add or remove handlers while it runs.
template <class TEvent, class Call, class Stop>
void RunChain(const TKedMethodList<TEvent>& list, bool& running, Call call, Stop stop) {
  if (running) return;
  // Marked as running for this run, also when a handler raises.
  running = true;
  TScopeExit notRunning([&running] { running = false; });
  std::vector<TEvent> handlers;
  handlers.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) handlers.push_back(list.Items(i));
  for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
    call(*it);
    if (stop()) return;
  }
}

}  // namespace

void TKedEditKbdHandler::RunKeyDownChain(TObject* editor, std::uint16_t& key, TShiftState shift) {
  RunChain(
      keyDown_, inKeyDown_, [&](const TKedKeyEvent& h) { h(editor, key, shift); },
      [&] { return key == 0; });
}

void TKedEditKbdHandler::RunKeyUpChain(TObject* editor, std::uint16_t& key, TShiftState shift) {
  RunChain(
      keyUp_, inKeyUp_, [&](const TKedKeyEvent& h) { h(editor, key, shift); },
      [&] { return key == 0; });
}

void TKedEditKbdHandler::RunKeyPressChain(TObject* editor, char& key) {
  RunChain(
      keyPress_, inKeyPress_, [&](const TKedKeyPressEvent& h) { h(editor, key); },
      [&] { return key == '\0'; });
}

void TKedEditKbdHandler::RunMouseDownChain(TObject* editor, int button, TShiftState shift, int x,
                                           int y) {
  RunChain(
      mouseDown_, inMouseDown_, [&](const TKedMouseEvent& h) { h(editor, button, shift, x, y); },
      [] { return false; });
}

void TKedEditKbdHandler::RunMouseUpChain(TObject* editor, int button, TShiftState shift, int x,
                                         int y) {
  RunChain(
      mouseUp_, inMouseUp_, [&](const TKedMouseEvent& h) { h(editor, button, shift, x, y); },
      [] { return false; });
}

void TKedEditKbdHandler::RunMouseCursorChain(TObject* editor, const TBufferCoord& position,
                                             int& cursor) {
  RunChain(
      mouseCursor_, inMouseCursor_,
      [&](const TKedMouseCursorEvent& h) { h(editor, position, cursor); }, [] { return false; });
}
