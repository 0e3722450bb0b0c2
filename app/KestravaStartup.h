// Kestrava's start-up list: everything the program sets up before its first window, in one
// place and in order, and taken down in reverse after its last window is gone.
#pragma once

class TKestravaStartup {
 public:
  TKestravaStartup();
  ~TKestravaStartup();
  TKestravaStartup(const TKestravaStartup&) = delete;
  TKestravaStartup& operator=(const TKestravaStartup&) = delete;
};
