// The engine's platform half on Windows: HTTP exchanges through WinHTTP and the local
// file written as a whole through a temporary file.
#pragma once

#include "engine/EngineCore.h"

namespace netengine {

class WinHttpPlatform : public Platform {
 public:
  int Execute(const Request& request, ReplyHandler& handler, std::string& error) override;
  bool WriteLocalFile(const std::string& path, std::string_view data) override;
  void ShowAbout(const std::string& text) override;
};

}  // namespace netengine
