// Work on a large text split over several cores: loading a gigabyte dump is bound by one
// pass over its bytes, which several cores finish sooner than one.
#pragma once

#include <cstddef>
#include <functional>

// How many parts a pass over `bytes` is worth cutting into: one per core (at most eight),
// none smaller than a few megabytes, at least one.
int KedParallelParts(size_t bytes);

// Runs work(part) for every part in 0 .. parts - 1, part 0 on the calling thread, the others
// on threads of their own, and returns when all are done. The first exception a part raises
// is raised again here once every part has ended. Threads that cannot be started leave their
// parts to the calling thread.
void KedRunInParallel(int parts, const std::function<void(int part)>& work);
