// TResourceStream: a read-only stream over a resource of a loaded module (Windows only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Streams.h"
#include "framework/SysUtils.h"

K_EXCEPTION(EResNotFound, Exception);

class TResourceStream : public TStream {
  K_CLASS(TResourceStream, TStream)

  // The resource `name` of `type` (e.g. RT_RCDATA) in `instance`; raises EResNotFound
  // "Resource <name> not found" when the module has no such resource.
  TResourceStream(HINSTANCE instance, const std::string& name, const char* type);
  // The resource with the numeric identifier `id`.
  TResourceStream(HINSTANCE instance, int id, const char* type);

  int32_t Read(void* buffer, int32_t count) override;
  // Raises EStreamError "Can't write to a read-only resource stream".
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }

  // The resource's bytes; they stay valid while the module is loaded.
  const uint8_t* Memory() const { return data_; }

 private:
  void Load(HINSTANCE instance, const char* name, const char* type, const std::string& shownName);

  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};
