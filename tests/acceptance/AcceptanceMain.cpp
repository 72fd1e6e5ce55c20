// main() of the acceptance scenarios: a private X server first, then a Qt
// application on it (the scenarios read the screen through Qt), then the
// GoogleTest run. Without an X server or xdotool every scenario fails; none
// is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Starts Xvfb on a display number it picks itself, reachable only through its
// Unix socket (no TCP); it ends with this program, even after a crash. Screen 0
// is the scenarios' own; screens 1 and 2 are the full-screen scenario's 1920 x
// 1080 and 3840 x 2160. The display ":N", or empty when Xvfb reported none.
std::string StartXvfb(pid_t& pid) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t parent = ::getpid();
  pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
             "-screen", "1", "1920x1080x24", "-screen", "2", "3840x2160x24", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  // Xvfb writes the number once it accepts clients; the pipe closes empty when it ends first.
  std::string number;
  char c = 0;
  while (pid > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  return number.empty() ? std::string() : ":" + number;
}
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  pid_t xvfb = -1;
  const std::string display = StartXvfb(xvfb);
  if (display.empty()) {
    std::fprintf(stderr, "FAILED: the acceptance scenarios need an X server and Xvfb reported no display\n");
    return 1;
  }
  setenv("DISPLAY", display.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The reference view of this program reads settings too: never the user's own.
  QTemporaryDir home;
  if (!home.isValid()) {
    std::fprintf(stderr, "FAILED: no temporary folder for the test program's home\n");
    return 1;
  }
  for (const char* folder : {"home", "config", "runtime"}) QDir(home.path()).mkpath(QLatin1String(folder));
  QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  setenv("HOME", qPrintable(home.filePath(QStringLiteral("home"))), 1);
  setenv("XDG_CONFIG_HOME", qPrintable(home.filePath(QStringLiteral("config"))), 1);
  setenv("XDG_RUNTIME_DIR", qPrintable(home.filePath(QStringLiteral("runtime"))), 1);

  if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
    std::fprintf(stderr, "FAILED: the acceptance scenarios click through xdotool, which is not installed\n");
    return 1;
  }
  int result = 1;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  ::kill(xvfb, SIGTERM);
  ::waitpid(xvfb, nullptr, 0);
  return result;
}
