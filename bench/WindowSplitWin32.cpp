// Opens a dump in the real main window and splits it into pieces of a given size through the
// window's own buttons (CSV mode: a cut at any line, as `split -C` cuts), and prints the
// time of each step. bench/window_split_vs_coreutils.sh runs it under Wine beside split -C.
//   bench_window_split.exe <dump> <folder> <piece megabytes>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "app/KestravaStartup.h"
#include "app/mainWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_window_split <dump> <folder> <piece megabytes>\n");
    return 2;
  }
  const std::string dump = argv[1];
  try {
    const TKestravaStartup startup;  // the program's own start-up list
    Application->Initialize();
    auto* form = new TForm1(Application);
    form->AfterConstruction();
    form->CheckVersion = nullptr;  // no update server here
    form->Show();
    // The message that the run finished is answered as soon as it shows.
    ktest::TMessageBoxWatcher watcher;
    form->cb_csv->SetChecked(true);
    form->ChooseOpenFile = [&dump](const std::string&, std::string& fileName) {
      fileName = dump;
      return true;
    };
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    form->sBitBtn1->Click();
    const auto opened = Clock::now();
    form->sDirectoryEdit1->SetText(argv[2]);
    form->sEdit1->SetText("piece");
    form->sEdit2->SetText(argv[3]);
    form->sComboBox1->SetItemIndex(1);  // MB
    form->sBitBtn2->Click();
    const auto split = Clock::now();
    const auto seconds = [](auto d) { return std::chrono::duration<double>(d).count(); };
    std::printf("open %.3f s, split %.3f s, %s lines, %zu messages\n", seconds(opened - start),
                seconds(split - opened), form->sLabel2->Caption().c_str(), watcher.Seen().size());
    delete form;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_window_split: %s\n", e.what());
    return 1;
  }
  return 0;
}
