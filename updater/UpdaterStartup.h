// The updater's start-up list: what it sets up before its window, in order, and takes
// down in reverse after the window is gone.
#pragma once

class TUpdaterStartup {
 public:
  TUpdaterStartup();
  ~TUpdaterStartup();
  TUpdaterStartup(const TUpdaterStartup&) = delete;
  TUpdaterStartup& operator=(const TUpdaterStartup&) = delete;
};
