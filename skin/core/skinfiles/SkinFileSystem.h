// The files a skin manager reads, behind a small interface: the disk in the program, a map of
// paths to bytes in tests. Paths are Windows paths ("C:\Skins\Name.asz"); "\" and "/" both
// separate folders, and names compare without regard to case, as Windows does.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ISkinFileSystem {
 public:
  struct TEntry {
    std::string Name;
    bool IsFolder = false;
  };

  virtual ~ISkinFileSystem() = default;
  virtual bool FileExists(const std::string& path) const = 0;
  virtual bool FolderExists(const std::string& path) const = 0;
  // The whole file; false when it is missing, unreadable or larger than maxSize bytes.
  virtual bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                        int64_t maxSize) const = 0;
  // The files and folders directly inside a folder, in the folder's own order.
  virtual std::vector<TEntry> ListFolder(const std::string& path) const = 0;
};

// The real disk. Natively "\" is turned into "/", so Windows-style paths work on Linux too.
class TDiskSkinFileSystem : public ISkinFileSystem {
 public:
  bool FileExists(const std::string& path) const override;
  bool FolderExists(const std::string& path) const override;
  bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                int64_t maxSize) const override;
  std::vector<TEntry> ListFolder(const std::string& path) const override;
};

// The shared disk instance that skin managers use unless they are given another.
ISkinFileSystem& DiskSkinFileSystem();

// Files held in memory: a folder exists when a file lies in it or it was added itself;
// entries are listed in the order they were added.
class TMemorySkinFileSystem : public ISkinFileSystem {
 public:
  void AddFile(const std::string& path, std::vector<uint8_t> bytes);
  void AddFile(const std::string& path, const std::string& text);
  void AddFolder(const std::string& path);
  void Clear();

  bool FileExists(const std::string& path) const override;
  bool FolderExists(const std::string& path) const override;
  bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                int64_t maxSize) const override;
  std::vector<TEntry> ListFolder(const std::string& path) const override;

  // How many times each file was read (tests check which source a load used).
  int ReadCount(const std::string& path) const;

 private:
  struct TNode {
    std::string Path;  // as added, with "\" separators
    bool IsFolder = false;
    std::vector<uint8_t> Bytes;
  };
  const TNode* Find(const std::string& path) const;
  void AddParents(const std::string& path);

  std::vector<TNode> nodes_;
  std::map<std::string, size_t> index_;  // normalized path -> node
  mutable std::map<std::string, int> reads_;
};
