#include "tests/acceptance/XServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XServer::~XServer() {
  if (m_pid <= 0) return;
  ::kill(m_pid, SIGTERM);
  ::waitpid(m_pid, nullptr, 0);
}

bool XServer::Start(int timeoutMs) {
  int fds[2];
  if (::pipe(fds) != 0) {
    m_error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  const std::string fdText = std::to_string(fds[1]);
  const std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
  const pid_t parent = ::getpid();
  m_pid = ::fork();
  if (m_pid < 0) {
    m_error = std::string("fork: ") + std::strerror(errno);
    return false;
  }
  if (m_pid == 0) {
    // The server goes when the test program goes, even after a crash.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    ::close(fds[0]);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, STDIN_FILENO);
      ::dup2(null, STDOUT_FILENO);
    }
    ::execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-nolisten", "tcp", "-screen", "0", screen.c_str(),
             "-noreset", static_cast<char*>(nullptr));
    std::fprintf(stderr, "cannot run Xvfb: %s\n", std::strerror(errno));
    ::_exit(127);
  }
  ::close(fds[1]);

  // Xvfb writes the display number it chose once it accepts clients.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  int waited = 0;
  constexpr int kStepMs = 100;
  while (waited < timeoutMs) {
    const int ready = ::poll(&p, 1, kStepMs);
    waited += kStepMs;
    if (ready <= 0) {
      if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
        m_pid = -1;
        break;
      }
      continue;
    }
    char c = 0;
    if (::read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (number.empty()) {
    m_error = m_pid < 0 ? "Xvfb ended before it reported a display (is the xvfb package installed?)"
                        : "Xvfb reported no display within " + std::to_string(timeoutMs) + " ms";
    return false;
  }
  m_display = ":" + number;
  return true;
}
