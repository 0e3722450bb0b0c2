#include "app/FileIdentity.h"

#include <sys/stat.h>

TFileIdentity FileIdentityOf(const std::string& path) {
  struct stat info {};
  // stat follows links, so a link to a file has that file's identity.
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return {};
  return TFileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                       true};
}
