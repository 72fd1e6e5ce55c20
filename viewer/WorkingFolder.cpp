#include "viewer/WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

#include "platform/OwnerOnly.h"

QString WorkingFolder::ShippedFilesOf(const QString& applicationDir) {
  const QFileInfo shipped(QDir(applicationDir).filePath(QString::fromLatin1(kShippedRelative)));
  return shipped.isDir() ? shipped.canonicalFilePath() : QString();
}

bool WorkingFolder::Seed(const QString& shipped, const QString& folder) {
  const QDir source(shipped), target(folder);
  if (!OwnerOnly::MakeFolder(folder)) return false;  // it holds the operator's files: theirs alone
  bool ok = true;
  QDirIterator it(shipped, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString from = it.next();
    const QString to = target.filePath(source.relativeFilePath(from));
    if (QFileInfo::exists(to)) continue;
    if (!QDir().mkpath(QFileInfo(to).path()) || !QFile::copy(from, to)) {
      ok = false;
      continue;
    }
    // Installed files are read-only; the operator's copies are theirs to edit.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
  }
  return ok;
}

QString WorkingFolder::EnterForThisProgram() {
  const QString shipped = ShippedFilesOf(QCoreApplication::applicationDirPath());
  if (shipped.isEmpty()) return {};
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (folder.isEmpty() || !Seed(shipped, folder))
    std::fprintf(stderr, "ardeviz: could not fill the working folder %s with the files of %s\n", qPrintable(folder),
                 qPrintable(shipped));
  if (folder.isEmpty() || !QDir::setCurrent(folder)) return {};
  return folder;
}
