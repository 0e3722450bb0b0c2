// Stands in for Kestrava.exe in the updater's tests: leaves a marker file in its own
// folder, so the test sees that the updater started it.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  folder.resize(folder.find_last_of('\\') + 1);
  HANDLE file = CreateFileA((folder + "kestrava-started.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "started", 7, &written, nullptr);
  CloseHandle(file);
  return 0;
}
