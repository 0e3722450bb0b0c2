#include "editor/KedEditParallel.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

int KedParallelParts(size_t bytes) {
  constexpr size_t kSmallestPart = size_t{8} << 20;
  const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  return static_cast<int>(std::max<size_t>(1, std::min<size_t>(cores, bytes / kSmallestPart)));
}

void KedRunInParallel(int parts, const std::function<void(int part)>& work) {
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto run = [&](int part) {
    try {
      work(part);
    } catch (...) {
      // No exception may leave a thread's entry: the first is kept and raised on the caller's.
      const std::lock_guard<std::mutex> hold(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  std::vector<int> leftOver;
  for (int part = 1; part < parts; ++part) {
    try {
      threads.emplace_back(run, part);
    } catch (const std::system_error&) {
      leftOver.push_back(part);
    }
  }
  run(0);
  for (int part : leftOver) run(part);
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
}
