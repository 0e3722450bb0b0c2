// The updater's whole run: fetch the update list, show its files, download each one into
// the program folder, mark it, start Kestrava again. The run decides; four small seams
// carry it out (the HTTP download, the program folder, the program start and the window),
// so the run is tested natively against fakes and the window only forwards.
//
// Every download lands in a fresh temporary file beside its target and replaces the
// target only after it checked out: a 2xx reply, a length equal to Content-Length when
// the server sent one. A failed download leaves the old file whole. The list may carry
// further fields after the third; they are ignored, also a would-be checksum: the list
// comes from the same server over the same plain HTTP as the files, so a hash in it
// would prove nothing the length check does not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "updater/UpdateList.h"

inline constexpr const char* kUpdateConnecting = "Verbinde mit Update-Server...";
inline constexpr const char* kUpdateLoading = "Lade Datei ";
inline constexpr const char* kUpdateDone = "Update beendet...";
inline constexpr const char* kUpdateFailed = "Fehler beim Update";
inline constexpr const char* kMainProgramFile = "Kestrava.exe";

// The state image of a listed file, by its index in the window's image list.
enum class TUpdateItemState { Listed = 0, Downloading = 1, Downloaded = 2, Failed = 3 };

// What the HTTP component reports while one download runs.
class IUpdateDownloadEvents {
 public:
  virtual ~IUpdateDownloadEvents() = default;
  virtual void OnStatus(int statusCode) = 0;
  virtual void OnHeader(const std::string& field, const std::string& value) = 0;
  virtual void OnStartTransfer() = 0;
  virtual void OnTransfer(int64_t bytesTransferred) = 0;
  virtual void OnEndTransfer() = 0;
};

class IUpdateHttp {
 public:
  virtual ~IUpdateHttp() = default;
  // Fetches `url` into `localFile`, reporting to `events` meanwhile; raises when the
  // transfer fails.
  virtual void DownloadURL(const std::string& url, const std::string& localFile,
                           IUpdateDownloadEvents& events) = 0;
};

// The program folder. Paths are full paths; Path() ends with a separator.
class IUpdateFolder {
 public:
  virtual ~IUpdateFolder() = default;
  virtual std::string Path() const = 0;
  // The file name of the running updater itself ("Updater.exe").
  virtual std::string ProgramFileName() const = 0;
  // Creates a new, empty file of a name of its own in the folder of `target` and returns
  // its path; raises when it cannot.
  virtual std::string NewTempFile(const std::string& target) = 0;
  virtual std::optional<int64_t> FileSize(const std::string& path) = 0;
  // Raises when the file cannot be read.
  virtual std::string ReadFile(const std::string& path) = 0;
  // Moves `from` over `to` in one step; false when it cannot (`to` stays as it was).
  virtual bool MoveFileOver(const std::string& from, const std::string& to) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual void RemoveFile(const std::string& path) = 0;
};

class IUpdateLauncher {
 public:
  virtual ~IUpdateLauncher() = default;
  virtual void Start(const std::string& file) = 0;
};

// The window. Item numbers count from 0 in the order AddItem was called.
class IUpdateView {
 public:
  virtual ~IUpdateView() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void AddItem(const TUpdateListEntry& entry) = 0;
  virtual void SelectItem(int item) = 0;
  virtual void SetItemState(int item, TUpdateItemState state) = 0;
  virtual void SetGaugeMax(int maxValue) = 0;
  virtual void SetGaugeProgress(int progress) = 0;
  // Shows a message and returns once the user closed it.
  virtual void ShowMessage(const std::string& text) = 0;
};

struct TUpdateRunResult {
  bool ListRead = false;
  int Items = 0;
  int Failed = 0;
};

// The end message: "Update beendet..." when every file arrived, else how many did not.
std::string UpdateEndMessage(int items, int failed);

class TUpdateRun : private IUpdateDownloadEvents {
 public:
  TUpdateRun(IUpdateHttp& http, IUpdateFolder& folder, IUpdateLauncher& launcher, IUpdateView& view)
      : http_(http), folder_(folder), launcher_(launcher), view_(view) {}

  // The whole run, from the list at `listUrl` to the start of the main program.
  // Raises nothing: every failure ends in the window.
  TUpdateRunResult Run(const std::string& listUrl);

  // The last "Content-Length" of the download in progress; nothing when its reply has none.
  std::optional<int64_t> ContentLength() const { return contentLength_; }

 private:
  // Downloads into a temporary file, checks it and puts it in place of `target`; raises
  // when any of that fails, and then `target` is untouched.
  void Fetch(const std::string& url, const std::string& target);
  void DownloadItem(const TUpdateListEntry& entry);
  void Finish();

  void OnStatus(int statusCode) override;
  void OnHeader(const std::string& field, const std::string& value) override;
  void OnStartTransfer() override;
  void OnTransfer(int64_t bytesTransferred) override;
  void OnEndTransfer() override;

  IUpdateHttp& http_;
  IUpdateFolder& folder_;
  IUpdateLauncher& launcher_;
  IUpdateView& view_;
  int statusCode_ = 0;
  std::optional<int64_t> contentLength_;
  bool badContentLength_ = false;
};
