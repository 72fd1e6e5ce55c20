// main() of the acceptance scenarios: a private X server first, then a Qt
// application on it (the scenarios read the screen through Qt), then the
// GoogleTest run. Without an X server or xdotool every scenario fails; none
// is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "tests/acceptance/XServer.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  XServer x;
  if (!x.Start()) {
    std::fprintf(stderr, "FAILED: the acceptance scenarios need an X server and could not start Xvfb: %s\n",
                 x.Error().c_str());
    return 1;
  }
  setenv("DISPLAY", x.Display().c_str(), 1);
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
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
