// The instance lock: whatever stands at its name is answered at once, never
// waited on; a lock left by an ended instance is taken over; the fallback
// folder in the shared temporary folder is made private to the user.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/InstanceLock.h"

namespace fs = std::filesystem;
using Outcome = InstanceLock::Outcome;

TEST(InstanceLock, OddLocksAreRefusedWithTheirKindAndAStaleOneIsTakenOver) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  const auto in = [&](const char* name) { return folder + "/" + name; };
  ASSERT_EQ(::mkfifo(in("fifo").c_str(), 0600), 0);
  fs::create_directory(in("folder"));
  fs::create_symlink(in("missing"), in("dangling"));
  std::ofstream(in("other-host"), std::ios::binary) << "4242\nardeviz\nsomewhere-else\n";
  fs::create_symlink(in("other-host"), in("link"));
  fs::create_directory(in("shared"));
  fs::permissions(in("shared"), fs::perms::all);
  const struct {
    const char* name;
    Outcome outcome;
    const char* told;
  } cases[] = {
      {"fifo", Outcome::Refused, "it is a FIFO, not a plain file"},
      {"folder", Outcome::Refused, "it is a folder, not a plain file"},
      {"dangling", Outcome::Refused, "it is a link, not a plain file"},
      {"link", Outcome::Refused, "it is a link, not a plain file"},
      {"shared/Ardeviz.lock", Outcome::Refused, "its folder is not a folder that only this user can write"},
      {"other-host", Outcome::Locked, ""},
  };
  for (const auto& c : cases) {
    InstanceLock lock(dir.filePath(c.name));
    EXPECT_EQ(lock.TryLock(), c.outcome) << c.name;
    EXPECT_TRUE(lock.Problem().contains(c.told)) << c.name << ": " << lock.Problem().toStdString();
  }
  EXPECT_FALSE(fs::exists(in("missing")));

  // No runtime folder: a folder of the user's own, made 0700, in the temporary folder.
  const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
  const QByteArray tmpdir = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(dir.path()));
  const QString fallback = InstanceLock::PathIn(QString(), "Ardeviz.lock");
  hadTmpdir ? qputenv("TMPDIR", tmpdir) : qunsetenv("TMPDIR");
  EXPECT_EQ(fallback, dir.filePath(QString("ardeviz-%1/Ardeviz.lock").arg(::getuid())));
  EXPECT_EQ(InstanceLock(fallback).TryLock(), Outcome::Locked);
  EXPECT_EQ(fs::status(QFileInfo(fallback).path().toStdString()).permissions(), fs::perms::owner_all);
}
