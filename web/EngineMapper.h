// Maps the network engine, a library image carried as a resource, into this process's
// memory without writing it to disk, and finds its exports. Win32 only; the checks on
// the image's bytes are in web/PeImage.h.
#pragma once

#include <cstddef>

// Lays the image out in fresh memory, relocates it, binds its imports, gives each section
// its own page protection and runs its entry point for process attach. Returns the
// image's base and its entry point (nullptr when it has none), or nullptr when the image
// is invalid, an import cannot be resolved or the entry point refuses; nothing is left
// behind on failure. On systems outside the NT family the image is ignored and
// "netengine6.dll" is loaded from the search path instead.
void* MapEngineImage(const void* image, size_t size, void*& entryPoint);

// Runs the entry point for process detach, releases the memory and the modules the
// image imported from. True when the memory was released.
bool UnmapEngineImage(void* moduleBase, void* entryPoint);

// Address of the export of exactly that name (case-sensitive), or nullptr.
void* FindEngineExport(void* moduleBase, const char* name);

// True on NT-family Windows.
bool IsNTPlatform();
