#include "platform/PendingFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
bool Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(PendingFile, CommitNeverReplacesATakenName) {
  QTemporaryDir dir;
  const QString target = dir.filePath("2005-03-07 14-05-09.avi");
  QStringList given;
  for (const char* content : {"one", "two", "three"}) {
    const QString temporary = PendingFile::CreateTemporary(dir.path());
    ASSERT_FALSE(temporary.isEmpty());
    EXPECT_TRUE(QFileInfo(temporary).fileName().startsWith(".saving-"));
    ASSERT_TRUE(Put(temporary, content));
    given << PendingFile::Commit(temporary, target);
  }
  EXPECT_EQ(given, (QStringList{target, dir.filePath("2005-03-07 14-05-09 (2).avi"),
                                dir.filePath("2005-03-07 14-05-09 (3).avi")}));
  EXPECT_EQ(Read(target), "one");
  EXPECT_EQ(Read(given[2]), "three");
  EXPECT_EQ(PendingFile::NumberedName("/a/b/name", 7), "/a/b/name (7)");
}

TEST(PendingFile, FolderThatTakesNoFileFails) {
  QTemporaryDir dir;
  ASSERT_TRUE(Put(dir.filePath("plain"), "x"));
  // A folder below a plain file cannot exist, for root neither.
  EXPECT_TRUE(PendingFile::CreateTemporary(dir.filePath("plain/sub")).isEmpty());
  const QString temporary = PendingFile::CreateTemporary(dir.path());
  ASSERT_FALSE(temporary.isEmpty());
  EXPECT_TRUE(PendingFile::Commit(temporary, dir.filePath("plain/sub/x.avi")).isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
}
