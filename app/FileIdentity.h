// Which file a path names, independent of the name: two paths that reach the same file
// (another case, a short name, a link) give equal identities.
#pragma once

#include <cstdint>
#include <string>

struct TFileIdentity {
  // Device and inode natively, volume serial number and file index on Windows.
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool Known = false;  // false when the file is missing or cannot be asked

  bool SameFileAs(const TFileIdentity& other) const {
    return Known && other.Known && Volume == other.Volume && Index == other.Index;
  }
};

// Asks the file system without opening the file for reading or writing.
TFileIdentity FileIdentityOf(const std::string& path);
