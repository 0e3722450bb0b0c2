// Chains of key and mouse handlers that the editor runs before its own handling.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/KedEditTypes.h"
#include "framework/Events.h"
#include "framework/Types.h"

// Same shapes as the controls' key events; the mouse button is the control
// layer's button number (left 0, right 1, middle 2) so this unit stays portable.
using TKedKeyEvent = TMethod<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;
using TKedKeyPressEvent = TMethod<void(TObject* sender, char& key)>;
using TKedMouseEvent = TMethod<void(TObject* sender, int button, TShiftState shift, int x, int y)>;
using TKedMouseCursorEvent =
    TMethod<void(TObject* sender, const TBufferCoord& position, int& cursor)>;

// An ordered list of handlers of one kind; removing takes out every equal entry.
template <class TEvent>
class TKedMethodList {
 public:
  void Add(const TEvent& handler) { handlers_.push_back(handler); }
  void Remove(const TEvent& handler) {
    std::erase_if(handlers_, [&](const TEvent& h) { return h == handler; });
  }
  int Count() const { return static_cast<int>(handlers_.size()); }
  const TEvent& Items(int index) const { return handlers_[static_cast<std::size_t>(index)]; }

 private:
  std::vector<TEvent> handlers_;
};

class TKedEditKbdHandler {
 public:
  void AddKeyDownHandler(const TKedKeyEvent& h) { keyDown_.Add(h); }
  void RemoveKeyDownHandler(const TKedKeyEvent& h) { keyDown_.Remove(h); }
  void AddKeyUpHandler(const TKedKeyEvent& h) { keyUp_.Add(h); }
  void RemoveKeyUpHandler(const TKedKeyEvent& h) { keyUp_.Remove(h); }
  void AddKeyPressHandler(const TKedKeyPressEvent& h) { keyPress_.Add(h); }
  void RemoveKeyPressHandler(const TKedKeyPressEvent& h) { keyPress_.Remove(h); }
  void AddMouseDownHandler(const TKedMouseEvent& h) { mouseDown_.Add(h); }
  void RemoveMouseDownHandler(const TKedMouseEvent& h) { mouseDown_.Remove(h); }
  void AddMouseUpHandler(const TKedMouseEvent& h) { mouseUp_.Add(h); }
  void RemoveMouseUpHandler(const TKedMouseEvent& h) { mouseUp_.Remove(h); }
  void AddMouseCursorHandler(const TKedMouseCursorEvent& h) { mouseCursor_.Add(h); }
  void RemoveMouseCursorHandler(const TKedMouseCursorEvent& h) { mouseCursor_.Remove(h); }

  // Newest handler first. The key runs stop once a handler has consumed the key
  // (set it to 0 or NUL). A run started while the same run is going returns at once.
  void RunKeyDownChain(TObject* editor, std::uint16_t& key, TShiftState shift);
  void RunKeyUpChain(TObject* editor, std::uint16_t& key, TShiftState shift);
  void RunKeyPressChain(TObject* editor, char& key);
  void RunMouseDownChain(TObject* editor, int button, TShiftState shift, int x, int y);
  void RunMouseUpChain(TObject* editor, int button, TShiftState shift, int x, int y);
  void RunMouseCursorChain(TObject* editor, const TBufferCoord& position, int& cursor);

 private:
  TKedMethodList<TKedKeyEvent> keyDown_, keyUp_;
  TKedMethodList<TKedKeyPressEvent> keyPress_;
  TKedMethodList<TKedMouseEvent> mouseDown_, mouseUp_;
  TKedMethodList<TKedMouseCursorEvent> mouseCursor_;
  bool inKeyDown_ = false, inKeyUp_ = false, inKeyPress_ = false;
  bool inMouseDown_ = false, inMouseUp_ = false, inMouseCursor_ = false;
};
