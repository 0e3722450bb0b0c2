// Stands in for Updater.exe in the version-check tests: leaves a marker file in its own
// folder, so the test sees that the shell started it.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  folder.resize(folder.find_last_of('\\') + 1);
  HANDLE file = CreateFileA((folder + "updater-started.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "started", 7, &written, nullptr);
  CloseHandle(file);
  return 0;
}
