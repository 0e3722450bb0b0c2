#include "engine/WinHttpTransport.h"

#include <windows.h>
#include <winhttp.h>
// Only for the socket error numbers some WinHTTP builds pass through.
#include <winsock2.h>

#include <memory>
#include <string>
#include <vector>

namespace netengine {
namespace {

struct InternetCloser {
  void operator()(HINTERNET h) const { ::WinHttpCloseHandle(h); }
};
using TInternet = std::unique_ptr<void, InternetCloser>;

struct FileCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};

// Texts are 8-bit in the program's code page; WinHTTP wants UTF-16.
std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
  return s;
}

int LastError(std::string& error) {
  DWORD code = ::GetLastError();
  // Some WinHTTP builds pass socket errors through; report them as their WinHTTP kin.
  if (code == WSAETIMEDOUT) code = ERROR_WINHTTP_TIMEOUT;
  if (code == WSAECONNREFUSED) code = ERROR_WINHTTP_CANNOT_CONNECT;
  if (code == WSAECONNRESET) code = ERROR_WINHTTP_CONNECTION_ERROR;
  switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
      error = "The operation timed out";
      break;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      error = "The server name could not be resolved";
      break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      error = "Cannot connect to the server";
      break;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      error = "The connection was reset";
      break;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      error = "Invalid server response";
      break;
    case ERROR_WINHTTP_SECURE_FAILURE:
      error = "Secure connection failed";
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
      error = "Out of memory";
      break;
    default:
      error = "Network error " + std::to_string(code);
  }
  return code != 0 ? static_cast<int>(code) : -2;
}

std::wstring QueryText(HINTERNET request, DWORD what) {
  DWORD size = 0;
  ::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, WINHTTP_NO_HEADER_INDEX);
  if (size == 0) return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (!::WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  text.resize(size / sizeof(wchar_t));
  return text;
}

// Raw headers come as "status line CRLF field: value CRLF ... CRLF".
void ReportHeaders(const std::string& raw, ReplyHandler& handler) {
  size_t start = raw.find("\r\n");
  while (start != std::string::npos) {
    start += 2;
    size_t end = raw.find("\r\n", start);
    std::string line =
        raw.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t colon = line.find(':');
    if (colon != std::string::npos && colon > 0) {
      size_t value = line.find_first_not_of(" \t", colon + 1);
      handler.OnHeader(line.substr(0, colon),
                       value == std::string::npos ? std::string() : line.substr(value));
    }
    start = end;
  }
}

}  // namespace

int WinHttpPlatform::Execute(const Request& request, ReplyHandler& handler, std::string& error) {
  const bool proxied = !request.proxy.empty();
  std::wstring proxy = Wide(request.proxy);
  TInternet session(::WinHttpOpen(
      L"Kestrava", proxied ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
      proxied ? proxy.c_str() : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return LastError(error);
  // 0 means no limit for WinHTTP as for the engine's Timeout property.
  int ms = request.timeoutSeconds > 0x7FFFFFFF / 1000 ? 0 : request.timeoutSeconds * 1000;
  if (!::WinHttpSetTimeouts(session.get(), ms, ms, ms, ms)) return LastError(error);

  TInternet connection(
      ::WinHttpConnect(session.get(), Wide(request.url.host).c_str(), request.url.port, 0));
  if (!connection) return LastError(error);
  TInternet req(::WinHttpOpenRequest(connection.get(), Wide(request.method).c_str(),
                                     Wide(request.url.path).c_str(), nullptr, WINHTTP_NO_REFERER,
                                     WINHTTP_DEFAULT_ACCEPT_TYPES,
                                     request.url.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!req) return LastError(error);
  // Set on the request as well: not every WinHTTP hands the session's time-outs down, and
  // waiting for the reply's head has a time-out of its own.
  ::WinHttpSetTimeouts(req.get(), ms, ms, ms, ms);
  DWORD replyTimeout = ms == 0 ? 0xFFFFFFFF : static_cast<DWORD>(ms);
  ::WinHttpSetOption(req.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &replyTimeout,
                     sizeof replyTimeout);
  // The engine decides about redirects (the component's event) and reports cookies itself.
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  ::WinHttpSetOption(req.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
  DWORD disable = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
  ::WinHttpSetOption(req.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
  if (proxied && !request.proxyUser.empty()) {
    ::WinHttpSetCredentials(req.get(), WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC,
                            Wide(request.proxyUser).c_str(), Wide(request.proxyPassword).c_str(),
                            nullptr);
  }

  std::string headers;
  for (const auto& [field, value] : request.headers) headers += field + ": " + value + "\r\n";
  std::wstring wideHeaders = Wide(headers);
  DWORD bodySize = static_cast<DWORD>(request.body.size());
  if (!::WinHttpSendRequest(
          req.get(), wideHeaders.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : wideHeaders.c_str(),
          static_cast<DWORD>(wideHeaders.size()),
          bodySize ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA, bodySize,
          bodySize, 0) ||
      !::WinHttpReceiveResponse(req.get(), nullptr)) {
    return LastError(error);
  }

  DWORD status = 0, size = sizeof status;
  if (!::WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return LastError(error);
  }
  handler.OnStatus(Narrow(QueryText(req.get(), WINHTTP_QUERY_VERSION)), static_cast<int>(status),
                   Narrow(QueryText(req.get(), WINHTTP_QUERY_STATUS_TEXT)));
  ReportHeaders(Narrow(QueryText(req.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF)), handler);

  std::vector<char> buffer(16384);
  for (;;) {
    DWORD read = 0;
    if (!::WinHttpReadData(req.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
      return LastError(error);
    }
    if (read == 0) break;
    handler.OnData(std::string_view(buffer.data(), read));
  }
  return 0;
}

bool WinHttpPlatform::WriteLocalFile(const std::string& path, std::string_view data) {
  // Written beside the target and moved over it, so a failure never leaves half a file.
  std::string temp = path + ".part";
  {
    std::unique_ptr<void, FileCloser> file(::CreateFileA(
        temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      file.release();
      return false;
    }
    DWORD written = 0;
    if (!data.empty() && (!::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()),
                                       &written, nullptr) ||
                          written != data.size())) {
      file.reset();
      ::DeleteFileA(temp.c_str());
      return false;
    }
  }
  if (!::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

void WinHttpPlatform::ShowAbout(const std::string& text) {
  ::MessageBoxA(nullptr, text.c_str(), "About", MB_OK | MB_ICONINFORMATION);
}

}  // namespace netengine
