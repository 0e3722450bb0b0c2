// The engine's exported functions: two fronts ("WebForm_" for the main program, "HTTP_"
// for the updater) over one engine. Every export catches everything: an exception must
// not unwind into a caller that mapped us from memory and knows nothing of our runtime.
#include <windows.h>

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "engine/EngineCore.h"
#include "engine/EngineInterface.h"
#include "engine/WinHttpTransport.h"

using namespace netengine;

namespace {

// Built on first use, not at start-up: our entry point may be called by a loader that
// runs nothing else of ours, and nothing here needs to exist before the first call.
struct EngineState {
  WinHttpPlatform platform;
  EngineTable table;
};

EngineState& State() {
  static EngineState state;
  return state;
}

const char* const kInvalidHandleText = "Invalid engine handle";

int CreateFor(Front front, EventCallback callback, void* owner) noexcept {
  try {
    return State().table.Create(front, State().platform, callback, owner);
  } catch (...) {
    return 0;
  }
}

void DestroyFor(int handle) noexcept {
  try {
    State().table.Destroy(handle);
  } catch (...) {
  }
}

int SetFor(int handle, int index, intptr_t value) noexcept {
  try {
    Engine* e = State().table.Find(handle);
    return e ? e->Set(index, value) : kErrInvalidHandle;
  } catch (...) {
    return kErrArguments;
  }
}

intptr_t GetFor(int handle, int index, int32_t* length) noexcept {
  try {
    Engine* e = State().table.Find(handle);
    if (e == nullptr) {
      if (length) *length = 0;
      return 0;
    }
    return e->Get(index, length);
  } catch (...) {
    return 0;
  }
}

const char* LastErrorFor(int handle) noexcept {
  try {
    Engine* e = State().table.Find(handle);
    return e ? e->LastError() : kInvalidHandleText;
  } catch (...) {
    return "";
  }
}

int CheckIndexFor(Front front, int index) noexcept {
  return Engine::PropOf(front, index) ? kOk : kErrUnknownProperty;
}

int DoFor(int handle, int method, int count, intptr_t* values, int32_t* lengths) noexcept {
  int result = kErrArguments;
  try {
    Engine* e = State().table.Find(handle);
    result = e ? e->Do(method, count, values, lengths) : kErrInvalidHandle;
    // Objects destroyed by their own event handlers go once their call is over.
    State().table.Collect();
  } catch (...) {
  }
  return result;
}

}  // namespace

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

ENGINE_EXPORT int __stdcall WebForm_Create(EventCallback callback, void* owner, int) {
  return CreateFor(Front::WebForm, callback, owner);
}
ENGINE_EXPORT void __stdcall WebForm_Destroy(int handle) { DestroyFor(handle); }
ENGINE_EXPORT int __stdcall WebForm_Set(int handle, int index, int, intptr_t value, int) {
  return SetFor(handle, index, value);
}
ENGINE_EXPORT intptr_t __stdcall WebForm_Get(int handle, int index, int, int32_t* length) {
  return GetFor(handle, index, length);
}
ENGINE_EXPORT const char* __stdcall WebForm_GetLastError(int handle) {
  return LastErrorFor(handle);
}
ENGINE_EXPORT int __stdcall WebForm_CheckIndex(int, int index) {
  return CheckIndexFor(Front::WebForm, index);
}
ENGINE_EXPORT int __stdcall WebForm_Do(int handle, int method, int count, intptr_t* values,
                                       int32_t* lengths) {
  return DoFor(handle, method, count, values, lengths);
}

ENGINE_EXPORT int __stdcall HTTP_Create(EventCallback callback, void* owner, int) {
  return CreateFor(Front::Http, callback, owner);
}
ENGINE_EXPORT void __stdcall HTTP_Destroy(int handle) { DestroyFor(handle); }
ENGINE_EXPORT int __stdcall HTTP_Set(int handle, int index, int, intptr_t value, int) {
  return SetFor(handle, index, value);
}
ENGINE_EXPORT intptr_t __stdcall HTTP_Get(int handle, int index, int, int32_t* length) {
  return GetFor(handle, index, length);
}
ENGINE_EXPORT const char* __stdcall HTTP_GetLastError(int handle) { return LastErrorFor(handle); }
ENGINE_EXPORT int __stdcall HTTP_CheckIndex(int, int index) {
  return CheckIndexFor(Front::Http, index);
}
ENGINE_EXPORT int __stdcall HTTP_Do(int handle, int method, int count, intptr_t* values,
                                    int32_t* lengths) {
  return DoFor(handle, method, count, values, lengths);
}

// The names above are the ones the programs bind (EngineInterface.h): a misspelt export
// would only show as an engine that never binds.
#define ENGINE_EXPORT_NAMED(front, function, field, member)              \
  static_assert(std::string_view(k##front##Exports.field) == #function); \
  static_assert(std::is_same_v<decltype(&function), decltype(EngineFunctions::member)>);
ENGINE_EXPORT_NAMED(WebForm, WebForm_Create, create, Create)
ENGINE_EXPORT_NAMED(WebForm, WebForm_Destroy, destroy, Destroy)
ENGINE_EXPORT_NAMED(WebForm, WebForm_Set, set, Set)
ENGINE_EXPORT_NAMED(WebForm, WebForm_Get, get, Get)
ENGINE_EXPORT_NAMED(WebForm, WebForm_GetLastError, getLastError, GetLastError)
ENGINE_EXPORT_NAMED(WebForm, WebForm_CheckIndex, checkIndex, CheckIndex)
ENGINE_EXPORT_NAMED(WebForm, WebForm_Do, doMethod, Do)
ENGINE_EXPORT_NAMED(Http, HTTP_Create, create, Create)
ENGINE_EXPORT_NAMED(Http, HTTP_Destroy, destroy, Destroy)
ENGINE_EXPORT_NAMED(Http, HTTP_Set, set, Set)
ENGINE_EXPORT_NAMED(Http, HTTP_Get, get, Get)
ENGINE_EXPORT_NAMED(Http, HTTP_GetLastError, getLastError, GetLastError)
ENGINE_EXPORT_NAMED(Http, HTTP_CheckIndex, checkIndex, CheckIndex)
ENGINE_EXPORT_NAMED(Http, HTTP_Do, doMethod, Do)
#undef ENGINE_EXPORT_NAMED

// Nothing to set up or tear down here: the state is built on first use and released by
// the runtime's exit handlers, which run from our entry point at detach.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
