// libFuzzer target for the update list: any bytes the server could send as "update.txt",
// read as the run reads them, and every local name put through the folder rule. A name
// the rule lets through must stay a relative path of plain parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "updater/UpdateList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const TUpdateListEntry& entry : ParseUpdateList(text)) {
    std::optional<std::string> path = LocalPathInFolder(entry.LocalName);
    if (!path) continue;
    if (path->empty() || path->front() == '\\' || path->find(':') != std::string::npos ||
        path->find('/') != std::string::npos || path->find("..\\") == 0 || *path == ".." ||
        path->find("\\..\\") != std::string::npos) {
      std::abort();
    }
  }
  std::optional<std::string> whole = LocalPathInFolder(text);
  if (whole && (whole->find(':') != std::string::npos || whole->front() == '\\')) std::abort();
  return 0;
}
