#include "skin/core/skinfiles/SkinFileSystem.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "framework/SysUtils.h"

namespace fs = std::filesystem;

namespace {

fs::path DiskPath(const std::string& path) {
#ifdef _WIN32
  return fs::path(path);
#else
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return fs::path(p);
#endif
}

// The key of a path in the memory file system: "\" separators, upper case, no trailing "\".
std::string NormalizedKey(const std::string& path) {
  std::string key = AnsiUpperCase(path);
  for (char& c : key)
    if (c == '/') c = '\\';
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::string ParentKey(const std::string& key) {
  size_t slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

}  // namespace

// ---- disk -------------------------------------------------------------------------------------

bool TDiskSkinFileSystem::FileExists(const std::string& path) const {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(DiskPath(path), ec);
}

bool TDiskSkinFileSystem::FolderExists(const std::string& path) const {
  std::error_code ec;
  return !path.empty() && fs::is_directory(DiskPath(path), ec);
}

bool TDiskSkinFileSystem::ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                                   int64_t maxSize) const {
  std::error_code ec;
  const fs::path p = DiskPath(path);
  if (!fs::is_regular_file(p, ec)) return false;
  const auto size = fs::file_size(p, ec);
  if (ec || static_cast<int64_t>(size) > maxSize) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  bytes.resize(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  return static_cast<uint64_t>(in.gcount()) == size;
}

std::vector<ISkinFileSystem::TEntry> TDiskSkinFileSystem::ListFolder(
    const std::string& path) const {
  std::vector<TEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(DiskPath(path), ec), end; !ec && it != end; it.increment(ec)) {
    try {
      entries.push_back(TEntry{it->path().filename().string(), it->is_directory(ec)});
    } catch (const std::exception&) {
      // A name the 8-bit code page cannot spell cannot be a skin name either.
    }
  }
  return entries;
}

ISkinFileSystem& DiskSkinFileSystem() {
  static TDiskSkinFileSystem disk;
  return disk;
}

// ---- memory -----------------------------------------------------------------------------------

void TMemorySkinFileSystem::AddParents(const std::string& path) {
  // Every folder above the path, outermost first, spelled as the path spells it.
  std::string trimmed = path;
  while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  for (size_t at = trimmed.find_first_of("\\/"); at != std::string::npos;
       at = trimmed.find_first_of("\\/", at + 1)) {
    const std::string folder = trimmed.substr(0, at);
    const std::string key = NormalizedKey(folder);
    if (key.empty() || index_.count(key)) continue;
    index_[key] = nodes_.size();
    nodes_.push_back(TNode{folder, true, {}});
  }
}

void TMemorySkinFileSystem::AddFile(const std::string& path, std::vector<uint8_t> bytes) {
  AddParents(path);
  const std::string key = NormalizedKey(path);
  auto found = index_.find(key);
  if (found != index_.end()) {
    nodes_[found->second] = TNode{path, false, std::move(bytes)};
    return;
  }
  index_[key] = nodes_.size();
  nodes_.push_back(TNode{path, false, std::move(bytes)});
}

void TMemorySkinFileSystem::AddFile(const std::string& path, const std::string& text) {
  AddFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void TMemorySkinFileSystem::AddFolder(const std::string& path) {
  AddParents(path);
  const std::string key = NormalizedKey(path);
  if (index_.count(key)) return;
  index_[key] = nodes_.size();
  nodes_.push_back(TNode{path, true, {}});
}

void TMemorySkinFileSystem::Clear() {
  nodes_.clear();
  index_.clear();
  reads_.clear();
}

const TMemorySkinFileSystem::TNode* TMemorySkinFileSystem::Find(const std::string& path) const {
  auto found = index_.find(NormalizedKey(path));
  return found == index_.end() ? nullptr : &nodes_[found->second];
}

bool TMemorySkinFileSystem::FileExists(const std::string& path) const {
  const TNode* node = Find(path);
  return node && !node->IsFolder;
}

bool TMemorySkinFileSystem::FolderExists(const std::string& path) const {
  const TNode* node = Find(path);
  return node && node->IsFolder;
}

bool TMemorySkinFileSystem::ReadFile(const std::string& path, std::vector<uint8_t>& bytes,
                                     int64_t maxSize) const {
  const TNode* node = Find(path);
  if (!node || node->IsFolder || static_cast<int64_t>(node->Bytes.size()) > maxSize) return false;
  ++reads_[NormalizedKey(path)];
  bytes = node->Bytes;
  return true;
}

std::vector<ISkinFileSystem::TEntry> TMemorySkinFileSystem::ListFolder(
    const std::string& path) const {
  std::vector<TEntry> entries;
  const std::string folder = NormalizedKey(path);
  for (const TNode& node : nodes_) {
    const std::string key = NormalizedKey(node.Path);
    if (ParentKey(key) != folder) continue;
    std::string name = node.Path;
    while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
    size_t slash = name.find_last_of("\\/");
    entries.push_back(
        TEntry{slash == std::string::npos ? name : name.substr(slash + 1), node.IsFolder});
  }
  return entries;
}

int TMemorySkinFileSystem::ReadCount(const std::string& path) const {
  auto found = reads_.find(NormalizedKey(path));
  return found == reads_.end() ? 0 : found->second;
}
