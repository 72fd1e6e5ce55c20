#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/PendingFile.h"

// A taken name is never replaced: the new file gets the next number. A folder
// that takes no file fails, and a failed commit leaves nothing behind.
TEST(PendingFile, CommitNumbersATakenNameAndFailsCleanly) {
  QTemporaryDir dir;
  const QString target = dir.filePath("a.avi");
  QStringList given;
  for (const QByteArray content : {"one", "two", "three"}) {
    QFile f(PendingFile::CreateTemporary(dir.path()));
    ASSERT_TRUE(QFileInfo(f).fileName().startsWith(".saving-"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    f.close();
    given << PendingFile::Commit(f.fileName(), target);
  }
  EXPECT_EQ(given, (QStringList{target, dir.filePath("a (2).avi"), dir.filePath("a (3).avi")}));
  QFile first(target), third(given[2]);
  ASSERT_TRUE(first.open(QIODevice::ReadOnly) && third.open(QIODevice::ReadOnly));
  EXPECT_EQ(first.readAll() + third.readAll(), "onethree");
  EXPECT_EQ(PendingFile::NumberedName("/a/b/name", 7), "/a/b/name (7)");

  // A dangling link takes its name too: nothing is written through it (below, no "elsewhere.avi").
  ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.avi"), dir.filePath("b.avi")));
  EXPECT_EQ(PendingFile::Commit(PendingFile::CreateTemporary(dir.path()), dir.filePath("b.avi")),
            dir.filePath("b (2).avi"));

  // A folder below a plain file cannot exist, for root neither.
  EXPECT_TRUE(PendingFile::CreateTemporary(target + "/sub").isEmpty());
  EXPECT_TRUE(PendingFile::Commit(PendingFile::CreateTemporary(dir.path()), target + "/sub/x.avi").isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{"a (2).avi", "a (3).avi", "a.avi", "b (2).avi"}));
}

// At start-up the temporary files a crash left behind go; nothing else does.
TEST(PendingFile, LeftoversOfACrashAreRemoved) {
  QTemporaryDir dir;
  const QString leftover = PendingFile::CreateTemporary(dir.path());
  for (const char* name : {".saving-12345.part", "keep.part", "a.avi"})
    QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
  EXPECT_EQ(PendingFile::RemoveLeftovers(dir.path()), 1);
  EXPECT_FALSE(QFileInfo::exists(leftover));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList{".saving-12345.part", "a.avi", "keep.part"}));
}
