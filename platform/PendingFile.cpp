#include "platform/PendingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kCreateAttempts = 16;
constexpr const char* kTemporaryPattern = "^\\.saving-[0-9a-f]{16}\\.part$";

bool NameTaken(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

// Gives from the name to, never replacing whatever has that name (a dangling
// link included) and never copying, so nothing is written through a link.
// 0 or the errno; EEXIST: the name is taken.
int RenameNoReplace(const QString& from, const QString& to) {
  const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without that rename: a second name, then the first one dropped.
  if (::link(source.constData(), target.constData()) != 0) return errno;
  ::unlink(source.constData());
  return 0;
}
}  // namespace

QString PendingFile::CreateTemporary(const QString& folder) {
  const QDir dir(folder);
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const QString path = dir.filePath(
        QStringLiteral(".saving-%1.part").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0')));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return path;
    if (!NameTaken(path)) return {};  // not a clash: the folder refuses new files
  }
  return {};
}

QString PendingFile::NumberedName(const QString& path, int n) {
  const QFileInfo info(path);
  QString name = info.completeBaseName() + QStringLiteral(" (%1)").arg(n);
  if (!info.suffix().isEmpty()) name += '.' + info.suffix();
  return info.dir().filePath(name);
}

QString PendingFile::Commit(const QString& temporaryPath, const QString& finalPath) {
  for (int n = 1; n <= kMaxNumber; ++n) {
    const QString name = n == 1 ? finalPath : NumberedName(finalPath, n);
    const int error = RenameNoReplace(temporaryPath, name);
    if (error == 0) return name;
    if (error != EEXIST) break;
  }
  QFile::remove(temporaryPath);
  return {};
}

int PendingFile::RemoveLeftovers(const QString& folder) {
  static const QRegularExpression temporary(QString::fromLatin1(kTemporaryPattern));
  int removed = 0;
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
  for (const QFileInfo& entry : entries)
    if (temporary.match(entry.fileName()).hasMatch() && QFile::remove(entry.filePath())) ++removed;
  return removed;
}
