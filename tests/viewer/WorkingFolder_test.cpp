// The working folder of an installed program: found beside the executable,
// filled with the shipped files it lacks, never overwritten.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "viewer/WorkingFolder.h"

namespace {

void Write(const QString& path, const QByteArray& bytes) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(WorkingFolder, FoundBesideTheExecutableFilledWithWhatIsMissingAndNeverOverwritten) {
  QTemporaryDir root;
  const QDir r(root.path());
  ASSERT_TRUE(r.mkpath("usr/bin") && r.mkpath("usr/share/ardeviz") && r.mkpath("build"));
  EXPECT_EQ(WorkingFolder::ShippedFilesOf(r.filePath("usr/bin")),
            QDir(r.filePath("usr/share/ardeviz")).canonicalPath());
  EXPECT_EQ(WorkingFolder::ShippedFilesOf(r.filePath("build")), QString());

  const QDir shipped(root.filePath("share")), user(root.filePath("user/ardeviz"));
  Write(shipped.filePath("PTZ/pelcoD.tl"), "D");
  Write(shipped.filePath("ini/opt.ini"), "[PTZ_CMD_INTERVAL]\n");
  // Installed files are read-only; the copies must still be the operator's to edit.
  QFile::setPermissions(shipped.filePath("ini/opt.ini"), QFileDevice::ReadOwner | QFileDevice::ReadOther);

  ASSERT_TRUE(WorkingFolder::Seed(shipped.path(), user.path()));
  EXPECT_EQ(Read(user.filePath("PTZ/pelcoD.tl")) + Read(user.filePath("ini/opt.ini")), "D[PTZ_CMD_INTERVAL]\n");
  EXPECT_TRUE(QFile::permissions(user.filePath("ini/opt.ini")) & QFileDevice::WriteOwner);

  // The operator edits; a later version ships one more file.
  Write(user.filePath("ini/opt.ini"), "mine");
  Write(shipped.filePath("PTZ/pelcoP.tl"), "P");
  ASSERT_TRUE(WorkingFolder::Seed(shipped.path(), user.path()));
  EXPECT_EQ(Read(user.filePath("ini/opt.ini")) + Read(user.filePath("PTZ/pelcoP.tl")), "mineP");

  // A folder that cannot be made is a failure, not a silent success.
  Write(root.filePath("file"), "x");
  EXPECT_FALSE(WorkingFolder::Seed(shipped.path(), root.filePath("file/sub")));
}

}  // namespace
