#include "updater/UpdateRun.h"

#include <climits>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

namespace {

K_EXCEPTION(EUpdateDownload, Exception);

bool ParseLength(const std::string& text, int64_t& value) {
  std::string digits = Trim(text);
  if (digits.empty() || digits.size() > 18) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

int GaugeValue(int64_t value) {
  return value < 0 ? 0 : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

std::string UpdateEndMessage(int items, int failed) {
  if (failed == 0) return kUpdateDone;
  return "Update beendet, " + std::to_string(failed) + " von " + std::to_string(items) +
         (failed == 1 ? " Dateien konnte nicht geladen werden."
                      : " Dateien konnten nicht geladen werden.");
}

TUpdateRunResult TUpdateRun::Run(const std::string& listUrl) {
  TUpdateRunResult result;
  view_.SetStatus(kUpdateConnecting);
  std::vector<TUpdateListEntry> entries;
  try {
    const std::string listFile = folder_.Path() + kUpdateListFile;
    Fetch(listUrl, listFile);
    entries = ParseUpdateList(folder_.ReadFile(listFile));
  } catch (...) {
    view_.ShowMessage(kUpdateFailed);
    Finish();
    return result;
  }
  result.ListRead = true;
  result.Items = static_cast<int>(entries.size());
  for (const TUpdateListEntry& entry : entries) view_.AddItem(entry);
  for (int i = 0; i < result.Items; ++i) {
    view_.SelectItem(i);
    view_.SetItemState(i, TUpdateItemState::Downloading);
    view_.SetStatus(kUpdateLoading + entries[static_cast<size_t>(i)].Caption);
    try {
      DownloadItem(entries[static_cast<size_t>(i)]);
      view_.SetItemState(i, TUpdateItemState::Downloaded);
    } catch (...) {
      // The item's image says it; the run goes on with the next file.
      view_.SetItemState(i, TUpdateItemState::Failed);
      ++result.Failed;
    }
  }
  const std::string end = UpdateEndMessage(result.Items, result.Failed);
  view_.SetStatus(end);
  // The window closes right after the run: failures would go unseen in the status bar.
  if (result.Failed > 0) view_.ShowMessage(end);
  Finish();
  return result;
}

void TUpdateRun::DownloadItem(const TUpdateListEntry& entry) {
  std::optional<std::string> path = LocalPathInFolder(entry.LocalName);
  if (!path) throw EUpdateDownload("Not a file name in the program folder: " + entry.LocalName);
  // Windows keeps a running program's file; the replacement would fail after the download.
  if (SameFileName(*path, folder_.ProgramFileName())) {
    throw EUpdateDownload("The running updater cannot replace itself");
  }
  Fetch(entry.URL, folder_.Path() + *path);
}

void TUpdateRun::Fetch(const std::string& url, const std::string& target) {
  const std::string temp = folder_.NewTempFile(target);
  bool placed = false;
  TScopeExit removeTemp([&] {
    if (!placed && folder_.FileExists(temp)) folder_.RemoveFile(temp);
  });
  statusCode_ = 0;
  contentLength_.reset();
  badContentLength_ = false;
  http_.DownloadURL(url, temp, *this);
  if (statusCode_ < 200 || statusCode_ > 299) {
    throw EUpdateDownload("HTTP status " + std::to_string(statusCode_));
  }
  if (badContentLength_) throw EUpdateDownload("Invalid Content-Length");
  std::optional<int64_t> size = folder_.FileSize(temp);
  if (!size) throw EUpdateDownload("Downloaded file missing");
  if (contentLength_ && *size != *contentLength_) throw EUpdateDownload("Download incomplete");
  if (!folder_.MoveFileOver(temp, target)) throw EUpdateDownload("Cannot replace " + target);
  placed = true;
}

void TUpdateRun::Finish() {
  const std::string listFile = folder_.Path() + kUpdateListFile;
  if (folder_.FileExists(listFile)) folder_.RemoveFile(listFile);
  launcher_.Start(folder_.Path() + kMainProgramFile);
}

void TUpdateRun::OnStatus(int statusCode) {
  // Each reply brings its own headers: a redirect's length is not the file's.
  statusCode_ = statusCode;
  contentLength_.reset();
  badContentLength_ = false;
}

void TUpdateRun::OnHeader(const std::string& field, const std::string& value) {
  if (UpperCase(field) != "CONTENT-LENGTH") return;
  int64_t length = 0;
  if (ParseLength(value, length)) {
    contentLength_ = length;
  } else {
    badContentLength_ = true;
  }
}

void TUpdateRun::OnStartTransfer() {
  view_.SetGaugeMax(GaugeValue(contentLength_.value_or(0)));
  view_.SetGaugeProgress(0);
}

void TUpdateRun::OnTransfer(int64_t bytesTransferred) {
  view_.SetGaugeProgress(GaugeValue(bytesTransferred));
}

void TUpdateRun::OnEndTransfer() { view_.SetGaugeProgress(0); }
