// The library the loader test maps from memory: absolute pointers that need relocating,
// imports by name (kernel32) and by ordinal (LoaderDep.dll), C++ exceptions inside, and
// an entry point whose calls the test can watch.
#include <windows.h>

#include <stdexcept>
#include <string>

extern "C" int DepAnswer();
extern "C" int DepTwice(int v);
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
const char* const kWords[] = {"alpha", "beta", "gamma"};  // pointers in .rdata: relocated
int gAttachCount = 0;
int* gDetachFlag = nullptr;
char gBuffer[64] = "writable";
}  // namespace

extern "C" __declspec(dllexport) const char* LoaderTest_Word(int index) { return kWords[index]; }
extern "C" __declspec(dllexport) void* LoaderTest_Base() { return &__ImageBase; }
extern "C" __declspec(dllexport) int LoaderTest_Dep() { return DepAnswer() + DepTwice(1); }
extern "C" __declspec(dllexport) DWORD LoaderTest_Pid() { return GetCurrentProcessId(); }
extern "C" __declspec(dllexport) int LoaderTest_AttachCount() { return gAttachCount; }
extern "C" __declspec(dllexport) void LoaderTest_WatchDetach(int* flag) { gDetachFlag = flag; }
extern "C" __declspec(dllexport) char* LoaderTest_Buffer() { return gBuffer; }

// Unwinding inside a mapped image needs its unwind tables registered by its own start-up.
extern "C" __declspec(dllexport) int LoaderTest_CatchInside() {
  try {
    throw std::runtime_error(std::string("thrown ") + kWords[1]);
  } catch (const std::exception& e) {
    return std::string(e.what()) == "thrown beta" ? 1 : 0;
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    ++gAttachCount;
    // Lets the test see a refused attach.
    char value[8];
    if (GetEnvironmentVariableA("LOADERTEST_REFUSE", value, sizeof value) > 0) return FALSE;
  } else if (reason == DLL_PROCESS_DETACH && gDetachFlag != nullptr) {
    *gDetachFlag = 1;
  }
  return TRUE;
}
