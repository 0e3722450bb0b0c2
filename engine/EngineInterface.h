// The network engine's interface, as the engine library exports it and as the programs
// bind it: the callback, the function table of a front, the export names of each front,
// and the numbers of properties, methods and events. Both sides include this header, so
// a number is written once. Plain C++: no platform header.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ENGINE_STDCALL __stdcall
#else
#define ENGINE_STDCALL
#endif

namespace netengine {

// Called by the engine for every event: owner, event number, parameter count, values
// (texts as addresses of zero-terminated texts, numbers as themselves), lengths (0 for
// zero-terminated texts). Parameters passed by reference are read back afterwards.
using EventCallback = int(ENGINE_STDCALL*)(void* owner, int event, int count, intptr_t* values,
                                           int32_t* lengths);

// The seven functions every front exports; each nullptr while not bound.
struct EngineFunctions {
  int(ENGINE_STDCALL* Create)(EventCallback callback, void* owner, int reserved) = nullptr;
  void(ENGINE_STDCALL* Destroy)(int handle) = nullptr;
  int(ENGINE_STDCALL* Set)(int handle, int index, int reserved, intptr_t value,
                           int reserved2) = nullptr;
  intptr_t(ENGINE_STDCALL* Get)(int handle, int index, int reserved, int32_t* length) = nullptr;
  const char*(ENGINE_STDCALL* GetLastError)(int handle) = nullptr;
  int(ENGINE_STDCALL* CheckIndex)(int handle, int index) = nullptr;
  int(ENGINE_STDCALL* Do)(int handle, int method, int count, intptr_t* values,
                          int32_t* lengths) = nullptr;
};

// Where a program finds a front: the resource that carries the engine image and the
// export name of each function of EngineFunctions, in its order.
struct FrontExports {
  const char* resourceName;
  const char* create;
  const char* destroy;
  const char* set;
  const char* get;
  const char* getLastError;
  const char* checkIndex;
  const char* doMethod;
};

inline constexpr FrontExports kWebFormExports{
    "NETENGINE6_WEBFORM_DTA", "WebForm_Create",     "WebForm_Destroy", "WebForm_Set", "WebForm_Get",
    "WebForm_GetLastError",   "WebForm_CheckIndex", "WebForm_Do"};
inline constexpr FrontExports kHttpExports{
    "NETENGINE6_HTTP_DTA", "HTTP_Create",     "HTTP_Destroy", "HTTP_Set", "HTTP_Get",
    "HTTP_GetLastError",   "HTTP_CheckIndex", "HTTP_Do"};

// Property numbers of the web-form front.
namespace webform {
inline constexpr int kAccept = 1;
inline constexpr int kAuthScheme = 3;
inline constexpr int kEncoding = 9;
inline constexpr int kFirewallHost = 10;
inline constexpr int kFirewallPassword = 11;
inline constexpr int kFirewallPort = 12;
inline constexpr int kFirewallType = 13;
inline constexpr int kFirewallUser = 14;
inline constexpr int kFollowRedirects = 15;
inline constexpr int kIdle = 20;
inline constexpr int kLocalFile = 21;
inline constexpr int kLocalHost = 22;
inline constexpr int kPassword = 24;
inline constexpr int kProxyPassword = 26;
inline constexpr int kProxyPort = 27;
inline constexpr int kProxyServer = 28;
inline constexpr int kProxyUser = 29;
inline constexpr int kTimeout = 32;
inline constexpr int kTransferredData = 33;
inline constexpr int kURL = 35;
inline constexpr int kUser = 36;
// Methods.
inline constexpr int kAddFormVar = 3;
inline constexpr int kReset = 6;
inline constexpr int kSubmitTo = 8;
}  // namespace webform

// Property numbers of the HTTP front (the updater's downloads).
namespace http {
inline constexpr int kAccept = 1;
inline constexpr int kAuthScheme = 4;
inline constexpr int kFirewallHost = 10;
inline constexpr int kFirewallPassword = 11;
inline constexpr int kFirewallPort = 12;
inline constexpr int kFirewallType = 13;
inline constexpr int kFirewallUser = 14;
inline constexpr int kFollowRedirects = 15;
inline constexpr int kIdle = 18;
inline constexpr int kLocalFile = 20;
inline constexpr int kLocalHost = 21;
inline constexpr int kPassword = 23;
inline constexpr int kProxyPassword = 27;
inline constexpr int kProxyPort = 28;
inline constexpr int kProxyServer = 29;
inline constexpr int kProxyUser = 30;
inline constexpr int kRange = 31;
inline constexpr int kTimeout = 34;
inline constexpr int kURL = 37;
inline constexpr int kUser = 42;
// Methods.
inline constexpr int kDownloadURL = 4;
}  // namespace http

// A method every front knows: shows the engine's banner.
inline constexpr int kMethodAboutBox = 255;

// Event numbers, the same for both fronts.
enum Event : int {
  evConnected = 1,
  evConnectionStatus,
  evDisconnected,
  evEndTransfer,
  evError,
  evHeader,
  evRedirect,
  evSetCookie,
  evStartTransfer,
  evStatus,
  evTransfer,
  evLast = evTransfer
};

// Parameters each event of the web-form front brings at least (indexed by event number).
inline constexpr int kWebFormEventParamCount[evLast + 1] = {0, 2, 3, 2, 0, 2, 2, 2, 6, 0, 3, 2};
// The same for the HTTP front, whose transfer events also bring their direction.
inline constexpr int kHttpEventParamCount[evLast + 1] = {0, 2, 3, 2, 1, 2, 2, 2, 6, 1, 3, 3};

}  // namespace netengine
