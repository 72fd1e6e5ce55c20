#pragma once
// A private X server for the acceptance scenarios: Xvfb on a display number it
// picks itself, reachable only through its Unix socket (no TCP), ended with
// this object or with the process that started it.

#include <string>
#include <sys/types.h>

class XServer {
 public:
  static constexpr int kScreenWidth = 1280;
  static constexpr int kScreenHeight = 1024;

  XServer() = default;
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Starts Xvfb and waits until it accepts clients; false with Error() set otherwise.
  bool Start(int timeoutMs = 15000);
  // ":N", valid after a successful Start.
  const std::string& Display() const { return m_display; }
  const std::string& Error() const { return m_error; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
  std::string m_error;
};
