// The bytes the line list's loaded lines point into: a read-only mapping of the whole
// file, or a block of memory when no mapping can be had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TKedEditTextBytes {
 public:
  virtual ~TKedEditTextBytes() = default;
  virtual const char* Data() const = 0;
  virtual size_t Size() const = 0;
  // True while the bytes are a view of a file, which holds that file open.
  virtual bool IsFileMapping() const { return false; }
  // The mapped file's name; empty for a block of memory. A save that renames the file
  // under the mapping records its new name.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }

 private:
  std::string fileName_;
};

// A block of memory the list owns.
class TKedEditHeapBytes : public TKedEditTextBytes {
 public:
  TKedEditHeapBytes(std::unique_ptr<char[]> data, size_t size)
      : data_(std::move(data)), size_(size) {}
  const char* Data() const override { return data_.get(); }
  size_t Size() const override { return size_; }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_;
};

// Maps the whole file read-only. While the mapping lives, other programs may read the
// file, rename or delete it, but not write it, so the text shown never changes under the
// user (Windows; POSIX has no such share mode). Renaming stays allowed so a save can put
// a new file in the mapped one's place. nullptr when no mapping can be had: the file cannot be
// opened this way (it is open for writing elsewhere, or missing), it is empty, larger than the line
// records can address, or the address space has no room for it. The caller then reads the file
// instead, which also reports the errors.
std::unique_ptr<TKedEditTextBytes> MapFileReadOnly(const std::string& fileName);

#ifndef _WIN32
// The whole file read into memory of its own by several cores at once, in large pages where
// the system has them. nullptr when the file cannot be read so (missing, empty, larger than
// the line records can address, no memory for it, or it shrank while read): the caller then
// reads it through a stream, which reports the errors. Only where reading is the faster way
// (see LoadFileBytes).
std::unique_ptr<TKedEditTextBytes> ReadFileBytes(const std::string& fileName);
#endif

// The whole file as the base of the lines, in the way that is measured fastest where the
// program runs. Linux: a large file is read (ReadFileBytes): a mapping costs a fault for each
// of its pages, which on a virtual machine makes it several times slower than copying the
// cached file into large pages on several cores; a small file is mapped, which needs no
// memory of its own. Windows: the mapping with every page fetched up front, as fresh memory
// there comes in small pages only. nullptr when neither can be had: the caller then reads the
// file through a stream, which also reports the errors. A file larger than `maxSize` as it was
// opened is neither mapped nor read (nullptr). `openedSize` is the size of the file this
// opened (0 when it opened none): the caller refuses a file too large by it, as a size asked
// for before the opening misses a file that grew in between.
std::unique_ptr<TKedEditTextBytes> LoadFileBytes(const std::string& fileName, uint64_t maxSize,
                                                 uint64_t& openedSize);

// Asks the system to back a large array about to be written in full with large pages and to
// make all of it ready now, in one call, instead of one fault per page as it is written
// (Linux); elsewhere nothing. Only a hint: the array works either way.
void PrepareForFilling(void* data, size_t bytes);
