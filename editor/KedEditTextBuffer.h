// The editor's line store: one buffer per loaded file (a read-only mapping of the file
// where one can be had), lines as views into it; a line is copied when it is edited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Events.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

class TKedEditTextBytes;
class TKedEditLineRun;

class TStream;
class TFileStream;

K_EXCEPTION(EKedEditStringList, Exception);

enum TKedEditLineBreakStyle : uint8_t { lbsCRLF = 0, lbsLF = 1, lbsCR = 2 };

using TStringListChangeEvent = TMethod<void(TObject* sender, int index, int count)>;

class TKedEditStringList : public TStrings {
  K_CLASS(TKedEditStringList, TStrings)

  TKedEditStringList();
  ~TKedEditStringList() override;
  TKedEditStringList(const TKedEditStringList&) = delete;
  TKedEditStringList& operator=(const TKedEditStringList&) = delete;

  // Reading.
  int GetCount() const override { return static_cast<int>(lines_.size()); }
  int GetCapacity() const override { return static_cast<int>(lines_.capacity()); }
  // Out of range: an empty line, never an exception.
  std::string Get(int index) const override;
  // The line's bytes without a copy; valid until the list changes. Out of range: empty.
  std::string_view LineView(int index) const;
  TObject* GetObjectAt(int index) const override;
  // All lines joined with CR LF, no break after the last, whatever the break style.
  std::string GetTextStr() const override;

  // Changing.
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Put(int index, const std::string& s) override;
  void PutObject(int index, TObject* object) override;
  void Delete(int index) override;
  void Exchange(int index1, int index2) override;
  void Clear() override;
  void AddStrings(TStrings* strings) override;
  void SetCapacity(int newCapacity) override;
  void InsertEmptyLines(int index, int count);
  void DeleteLineRange(int index, int count);
  // Deletes every line for which remove(index, line) is true in one compaction pass;
  // reports the removed runs from the last to the first. Returns the number deleted.
  int DeleteLinesIf(const std::function<bool(int index, std::string_view line)>& remove);
  // Removes count lines from index on as DeleteLineRange does and hands them back with their
  // records and a hold on the text they point into, so PutBackLines can restore them without
  // copying a byte: what undo keeps of a large deletion.
  std::shared_ptr<TKedEditLineRun> TakeLines(int index, int count);
  // Inserts the lines of a run at index. Lines whose text the list no longer holds (another
  // file was loaded meanwhile) come back as copies.
  void PutBackLines(int index, const TKedEditLineRun& run);
  // Exchanges the text of two lists (not their handlers); used to load into a
  // fresh list and take it over only when loading succeeded.
  void SwapContents(TKedEditStringList& other);

  // Highlighter state and display lengths.
  int GetLineRange(int index) const;
  void SetLineRange(int index, int range);
  // Stores a range without an update bracket: for scans the editor runs while it paints,
  // which must not look like a change of the text. Out of range: nothing.
  void StoreLineRange(int index, int range);
  std::string GetExpandedLine(int index);
  int GetExpandedLength(int index);
  // Whether the line holds a tab, measured once with its expanded length. Out of range: false.
  bool LineHasTabs(int index);
  int GetLongestLineLength();
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);

  // Files.
  TKedEditLineBreakStyle LineBreakStyle() const { return lineBreakStyle_; }
  void SetLineBreakStyle(TKedEditLineBreakStyle style) { lineBreakStyle_ = style; }
  // Maps the file read-only as the base of the lines (reads it when no mapping can be had),
  // its line breaks found on several cores when it is large. A file larger than MaxFileSize()
  // as it was opened is refused before anything is read, as is one the memory cannot hold;
  // the list keeps its lines then.
  void LoadFromFile(const std::string& fileName) override;
  // The largest text the list loads: what a 32-bit process can hold beside its line records,
  // or what the records' 32-bit offsets can address.
  uint64_t MaxFileSize() const { return maxFileSize_; }
  void SetMaxFileSize(uint64_t bytes) { maxFileSize_ = bytes; }
  void LoadFromStream(TStream* stream) override;
  // Takes over a whole text; LoadFromStream hands its single read over to it.
  void LoadFromBuffer(std::unique_ptr<char[]> data, size_t size);
  // Takes over the bytes as the base of the lines (a file mapping or a block of memory).
  void LoadFromBytes(std::unique_ptr<TKedEditTextBytes> bytes);
  // Whether the loaded lines point into a mapping of a file (which holds the file open).
  bool IsFileMapped() const;
  void LoadFromString(std::string_view data);
  // Saving over the file the lines are mapped from writes the text beside it, moves the
  // lines onto that new file and then renames it into the old one's place.
  void SaveToFile(const std::string& fileName) override;
  void SaveToStream(TStream* stream) override;
  // The bytes SaveToFile writes: lines joined with the list's break style.
  std::string SaveToString() const;

  // Bytes held for the text and the line records (for memory checks).
  size_t MemoryUsed() const;

  TNotifyEvent OnLinesChanged;
  TNotifyEvent OnLinesChanging;
  TNotifyEvent OnListCleared;
  TStringListChangeEvent OnLinesDeleted;
  TStringListChangeEvent OnLinesInserted;
  TStringListChangeEvent OnLineReplaced;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  friend class TKedEditLineRun;
  // 16 bytes per line: where the text is, the highlighter state, and the cached
  // display length with its flags, so a 1 GB dump of short lines fits 32 bits.
  struct LineRec {
    uint32_t Offset;  // into the loaded buffer, or the slot of an edited line
    uint32_t Length;
    int32_t Range;
    uint32_t Meta;  // expanded length (bits 0-27) and the flags
  };
  static_assert(sizeof(LineRec) == 16);

  class UpdateGuard;
  struct TLineBreaksSeen {
    bool CR = false;
    bool LF = false;
  };

  // Appends a record per line of the text in one pass over it.
  static TLineBreaksSeen IndexLines(const char* text, size_t size, std::vector<LineRec>& lines);
  // The same records, the text cut into parts indexed on several cores.
  static TLineBreaksSeen IndexLinesInParallel(const char* text, size_t size, int parts,
                                              std::vector<LineRec>& lines);
  void RefuseTooLarge(const std::string& name, uint64_t size) const;
  // Reads a stream of `size` bytes, asked for once by the caller, whole; `name` names it in
  // a refusal.
  void LoadWholeStream(TStream* stream, int64_t size, const std::string& name);
  // Saves to a new file beside fileName and moves it over fileName once complete.
  void WriteBesideAndReplace(const std::string& fileName) const;
  void WriteLinesTo(const std::string& fileName) const;
  std::string WriteLinesBeside(const std::string& fileName) const;
  void SaveOverMappedFile(const std::string& fileName);
  // Makes bytes holding exactly the saved text the base of every line; false (nothing
  // changed) when their lines do not match the list's.
  bool RebaseOnto(std::unique_ptr<TKedEditTextBytes> bytes);

  void CheckIndex(int index, int last) const;
  std::string_view View(const LineRec& rec) const;
  LineRec MakeOwned(std::string_view text, int32_t range, uint32_t meta);
  void Release(LineRec& rec);
  void InsertLine(int index, const std::string& s);
  void ExpandLine(int index);
  void InvalidateLongest() { longestIndex_ = -1; }
  bool HasObjects() const { return !objects_.empty(); }

  // Taken runs that point into the old bytes get copies of their text instead.
  void DetachRunsFrom(const TKedEditTextBytes* old);

  std::shared_ptr<TKedEditTextBytes> bytes_;          // the loaded text; nullptr when none
  std::vector<std::weak_ptr<TKedEditLineRun>> runs_;  // taken runs that may still come back
  std::vector<LineRec> lines_;
  std::vector<std::string> owned_;   // texts of edited or added lines
  std::vector<uint32_t> freeSlots_;  // reusable entries of owned_
  std::vector<TObject*> objects_;    // empty until an object is stored
  TKedEditLineBreakStyle lineBreakStyle_ = lbsCRLF;
  int longestIndex_ = -1;
  int tabWidth_ = 8;
  uint64_t maxFileSize_ = kDefaultMaxFileSize;

  // A 32-bit process has 2 to 4 GB of address space for everything; a text of up to 2 GB
  // leaves room for its records (16 bytes a line) and the program. 64 bits: what 32-bit
  // offsets address.
  static constexpr uint64_t kDefaultMaxFileSize =
      sizeof(void*) == 4 ? 0x7FFFFFFFull : 0xFFFFFFFFull;
};

// Lines taken out of a list (TakeLines); opaque to everyone but the list.
class TKedEditLineRun {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }

 private:
  friend class TKedEditStringList;
  std::shared_ptr<TKedEditTextBytes> bytes_;
  // As in the list; an edited line's offset is its slot in owned_.
  std::vector<TKedEditStringList::LineRec> lines_;
  std::vector<std::string> owned_;
  std::vector<TObject*> objects_;  // empty when the list held no objects
};

// Buffered file output with a chosen line break.
class TKedEditFiler {
 public:
  TKedEditFiler();
  virtual ~TKedEditFiler();
  TKedEditFiler(const TKedEditFiler&) = delete;
  TKedEditFiler& operator=(const TKedEditFiler&) = delete;
  virtual void Flush() {}
  void SetBufferSize(size_t size);
  size_t BufferSize() const { return buffer_.size(); }
  TKedEditLineBreakStyle LineBreakStyle() const { return lineBreakStyle_; }
  void SetLineBreakStyle(TKedEditLineBreakStyle style) { lineBreakStyle_ = style; }

 protected:
  std::vector<char> buffer_;
  size_t fill_ = 0;
  TKedEditLineBreakStyle lineBreakStyle_ = lbsLF;
};

class TKedEditFileWriter : public TKedEditFiler {
 public:
  explicit TKedEditFileWriter(const std::string& fileName);
  ~TKedEditFileWriter() override;
  void Flush() override;
  void Write(std::string_view s);
  void WriteLine(std::string_view s);
  // Flushes and closes, reporting a failure that the destructor would have to swallow.
  void Close();

 private:
  void Reserve(size_t length);
  std::unique_ptr<TFileStream> stream_;
};
