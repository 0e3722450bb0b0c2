// Starts tests/web/version_server.py on 127.0.0.1 for one test program and stops it
// again; the test sets the replies and reads back what the server received.
#pragma once

#include <string>
#include <utility>
#include <vector>

class LocalServer {
 public:
  struct Route {
    using Headers = std::vector<std::pair<std::string, std::string>>;
    // `mode`: how the body travels ("length", "truncated", "nolength", "chunked"), and
    // `trickleSeconds` the pause between its pieces (see version_server.py).
    Route(std::string path, int status, std::string body, Headers headers = {},
          double delaySeconds = 0, std::string mode = "length", double trickleSeconds = 0)
        : path(std::move(path)),
          status(status),
          body(std::move(body)),
          headers(std::move(headers)),
          delaySeconds(delaySeconds),
          mode(std::move(mode)),
          trickleSeconds(trickleSeconds) {}
    std::string path;
    int status;
    std::string body;
    Headers headers;
    double delaySeconds;
    std::string mode;
    double trickleSeconds;
  };
  struct Received {
    std::string method, path, contentType, body;
  };

  // `name` keeps state folders of different tests apart.
  explicit LocalServer(const std::string& name);
  ~LocalServer();
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  bool Running() const { return port_ != 0; }
  int Port() const { return port_; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The folder for the test's own files (Windows path).
  std::string Folder() const { return windowsState_; }

  void SetRoutes(const std::vector<Route>& routes);
  std::vector<Received> Requests() const;
  void ClearRequests();

 private:
  std::string unixState_;
  std::string windowsState_;
  int port_ = 0;
};
